#!/usr/bin/env bash
# Builds everything and runs every test under Wine in a private prefix, HOME and Xvfb.
# Extra arguments go to ctest (for example: -R explorer).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

build_all
prepare_locales
# A zone with daylight saving, the same on every machine: file times are checked exactly.
export TZ=Europe/Paris
trap stop_all EXIT
make_run_tmp
prepare_wine "$BUILD/test-env" fresh
# Folders only the Unix side can make: a folder holding links back to itself and its parent
# (a Windows program cannot make a Unix symbolic link under Wine).
loop="$WINEPREFIX/drive_c/tombarel-fixtures/linkloop"
mkdir -p "$loop/sub"
head -c 500 /dev/zero > "$loop/sub/data.bin"
ln -s .. "$loop/sub/up"
ln -s . "$loop/sub/self"
prepare_user_wine "$BUILD/test-env-user"
# Room for the windows at 200 % (the explorer window is then 1640 pixels wide).
start_xvfb 1920x1200
start_wineserver
cd "$BUILD"
ctest --output-on-failure "$@"
