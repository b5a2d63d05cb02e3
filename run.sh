#!/usr/bin/env bash
# Installs what is missing, builds, creates the register if there is none, starts the program.
# The register lives in the user's data folder, never in the build folder.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/build.sh
DATA="${XDG_DATA_HOME:-$HOME/.local/share}/vadmo7"
# A register left in build/prog by an older version is copied by the program itself.
# The register made here holds sample producers, products and a ticket series to
# try the program with, so it starts at the buyer selection. VADMO_SAMPLES=0 leaves
# the register to the program, which makes an empty one and asks for the buyer's
# own data first, as an installed program's first start does.
if [ "${VADMO_SAMPLES:-1}" != 0 ] && [ ! -f "$DATA/vadmo7.fdb" ] && [ ! -f build/prog/vadmo7.fdb ]; then
  mkdir -p "$DATA"
  build/prog/vadmo7-newdb --samples "$DATA/vadmo7.fdb"
fi
exec build/prog/vadmo7 "$@"
