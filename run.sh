#!/usr/bin/env bash
# Installs what is missing, builds, creates the database if there is none, starts the program.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh
cd build/prog
if [ ! -f vadmo7.fdb ]; then
  ./vadmo7-newdb --samples vadmo7.fdb
fi
exec ./vadmo7 "$@"
