#!/usr/bin/env bash
# Builds everything and runs every test under Wine in a private prefix, HOME and Xvfb.
# Extra arguments go to ctest (for example: -R explorer).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

build_all
prepare_locales
# A zone with daylight saving, the same on every machine: file times are checked exactly.
export TZ=Europe/Paris
prepare_wine "$BUILD/test-env" fresh
prepare_user_wine "$BUILD/test-env-user"
trap stop_all EXIT
start_xvfb
start_wineserver
cd "$BUILD"
ctest --output-on-failure "$@"
