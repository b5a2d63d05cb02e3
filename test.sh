#!/usr/bin/env bash
# Installs what is missing, builds, runs every test headless.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh --tests
./scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure -j"$(nproc)"
