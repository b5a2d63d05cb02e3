#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop and a
# user meet there: the programs, the shipped files, a valid menu entry and
# icon, and that the installed program starts in the user's data folder.
set -euo pipefail
BUILD="$1"
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT
PREFIX="$TMP/usr"
cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null

fail() { echo "FAIL: $*"; exit 1; }
for f in bin/vadmo7 bin/vadmo7-newdb bin/vadmo7-server-setup \
         share/vadmo7/sugo.pdf share/vadmo7/schema.sql \
         share/vadmo7/vadmo7form9.ini share/vadmo7/vadmo7form10.ini \
         share/vadmo7/FjLista2.frf share/vadmo7/FjLista7.frf \
         share/applications/vadmo7.desktop share/icons/hicolor/scalable/apps/vadmo7.svg \
         share/man/man1/vadmo7.1.gz share/man/man1/vadmo7-newdb.1.gz \
         share/man/man1/vadmo7-server-setup.1.gz \
         share/doc/vadmo7/copyright share/doc/vadmo7/changelog.gz \
         share/metainfo/org.example.vadmo7.metainfo.xml; do
  [ -e "$PREFIX/$f" ] || fail "missing $f"
done
[ -x "$PREFIX/bin/vadmo7" ] || fail "vadmo7 is not executable"
desktop-file-validate "$PREFIX/share/applications/vadmo7.desktop" || fail "desktop entry does not validate"
grep -q '^Exec=vadmo7$' "$PREFIX/share/applications/vadmo7.desktop" || fail "Exec line"
grep -q '^Categories=Office;Finance;$' "$PREFIX/share/applications/vadmo7.desktop" || fail "Categories"

# Software centres read the metainfo; Debian's checker reads the package.
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$PREFIX/share/metainfo/org.example.vadmo7.metainfo.xml" \
    >"$TMP/appstream.txt" 2>&1 || { cat "$TMP/appstream.txt"; fail "the metainfo does not validate"; }
fi
if command -v lintian >/dev/null && command -v cpack >/dev/null; then
  (cd "$BUILD" && cpack -G DEB -B "$TMP/deb" >"$TMP/cpack.txt" 2>&1) || { cat "$TMP/cpack.txt"; fail "cpack"; }
  deb="$(ls "$TMP"/deb/vadmo7_*.deb)"
  # No error and no warning; informational notes (this development build
  # lacks the release build's hardening) may stay.
  lintian --fail-on error,warning "$deb" >"$TMP/lintian.txt" 2>&1 || { cat "$TMP/lintian.txt"; fail "lintian"; }
fi

# The installed program: a register made with the installed tool in the data
# folder, opened by the program started from another folder.
export XDG_DATA_HOME="$TMP/data" QT_QPA_PLATFORM=offscreen VADMO_NO_SPLASH=1
mkdir -p "$XDG_DATA_HOME/vadmo7"
"$PREFIX/bin/vadmo7-newdb" --samples "$XDG_DATA_HOME/vadmo7/vadmo7.fdb" >/dev/null
cd /
"$PREFIX/bin/vadmo7" >"$TMP/out.txt" 2>&1 &
PID=$!
held=""
for _ in $(seq 1 200); do
  if ls -l "/proc/$PID/fd" 2>/dev/null | grep -q "$XDG_DATA_HOME/vadmo7/vadmo7.fdb"; then held=1; break; fi
  kill -0 "$PID" 2>/dev/null || break
  sleep 0.1
done
kill -TERM "$PID" 2>/dev/null || true
for _ in $(seq 1 150); do kill -0 "$PID" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$PID" 2>/dev/null; then kill -KILL "$PID"; fail "the installed program did not end on SIGTERM"; fi
[ -n "$held" ] || { cat "$TMP/out.txt"; fail "the installed program did not open the register in the data folder"; }
echo "1 passed, 0 failed"
