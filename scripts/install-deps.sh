#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need (only what is missing).
set -euo pipefail
PKGS=(
  build-essential cmake ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-common firebird3.0-utils
  fonts-dejavu-core fonts-liberation qt6-translations-l10n
  poppler-utils xvfb xauth desktop-file-utils dpkg-dev
  xdg-utils  # opens workbooks, the guide and mail addresses in the desktop's programs
  libgsf-1-dev python3-xlrd libxlsxwriter-dev python3-openpyxl
  libxml2-dev libxml2-utils
  fonts-dejavu-extra  # the italics the report templates use
)
# The tests of several computers on one register run a private Firebird
# server; the program itself never needs one.
# The install check runs Debian's package checker and the AppStream
# validator on what it builds.
if [ "${1:-}" = "--tests" ]; then
  PKGS+=(firebird3.0-server lintian appstream)
fi
missing=()
for p in "${PKGS[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
