#!/usr/bin/env bash
# Builds the Debian package from a hardened release build in build-pkg/ and,
# when lintian is installed, checks it (a lintian error fails the script).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-pkg -DCMAKE_BUILD_TYPE=Release -DVADMO_TESTS=OFF >/dev/null
cmake --build build-pkg -j"${JOBS:-$(nproc)}"
(cd build-pkg && cpack -G DEB >/dev/null)
deb="$(ls -t build-pkg/vadmo7_*.deb | head -1)"
echo "$deb"
if command -v lintian >/dev/null; then
  lintian --info --display-info "$deb"
fi
