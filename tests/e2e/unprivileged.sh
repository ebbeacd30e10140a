#!/usr/bin/env bash
# Runs the end-to-end tests named Unprivileged* as the ordinary test user, in a Wine prefix
# and HOME of that user's own: as root every folder can be read, so a folder closed to its
# user can only be tried as someone else. The test script exports the user, the prepared
# environment folder and the display.
# Usage: unprivileged.sh e2e_tests.exe Tombarel.exe catalog_page_test.py
set -euo pipefail
# Making the closed folder and changing user need root.
[ "$(id -u)" -eq 0 ] || exec sudo --preserve-env bash "$0" "$@"
user=${TOMBAREL_TEST_USER:?run through scripts/test.sh}
env=${TOMBAREL_USER_ENV:?run through scripts/test.sh}
home=$env/home
prefix=$env/prefix

# The programs are copied into the user's C: drive, readable whatever the clone's
# permissions; the page test with the browsers' driver and its npm packages.
bin=$prefix/drive_c/tombarel-bin
install -o "$user" -m 755 -D "$1" "$bin/e2e_tests.exe"
install -o "$user" -m 755 -D "$2" "$bin/Tombarel.exe"
pages=$(dirname "$3")
for f in "$3" "$pages/browsers.py" "$pages/firefox_bridge.js"; do
  install -o "$user" -m 644 -D "$f" "$bin/$(basename "$f")"
done
rm -rf "$bin/node_modules"
cp -r "$pages/node_modules" "$bin/node_modules"
chown -R "$user": "$bin/node_modules"

# C:\tombarel-locked holds one readable file and the folder "Fechada", which only root may
# list.
locked=$prefix/drive_c/tombarel-locked
rm -rf "$locked"
mkdir -p "$locked/Fechada"
echo leia >"$locked/leia.txt"
echo segredo >"$locked/Fechada/segredo.txt"
chown -R root:root "$locked"
chmod 755 "$locked"
chmod 644 "$locked/leia.txt"
chmod 700 "$locked/Fechada"

as_user() {
  runuser -u "$user" -- env HOME="$home" TMPDIR="$env/tmp" XDG_DATA_HOME="$home/.local/share" \
    XDG_CONFIG_HOME="$home/.config" XDG_CACHE_HOME="$home/.cache" \
    TOMBAREL_BROWSER_TMP="${TOMBAREL_BROWSER_TMP:+$TOMBAREL_BROWSER_TMP/user}" \
    WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d" \
    DISPLAY="$DISPLAY" "$@"
}

status=0
as_user TOMBAREL_EXE='C:\tombarel-bin\Tombarel.exe' TOMBAREL_LOCKED='C:\tombarel-locked' \
  GTEST_FILTER='Unprivileged*' wine "$bin/e2e_tests.exe" || status=$?
# The catalogue of that folder: the closed folder is in the page, marked, with its reason.
as_user TOMBAREL_EXE="$bin/Tombarel.exe" TOMBAREL_LOCKED='C:\tombarel-locked' \
  /usr/bin/python3 "$bin/$(basename "$3")" --unreadable || status=$?
as_user wineserver -k >/dev/null 2>&1 || true
rm -rf "$locked"
exit "$status"
