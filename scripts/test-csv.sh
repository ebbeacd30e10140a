#!/usr/bin/env bash
# Builds Tombarel and runs only the CSV test, in the environment the whole suite gives it
# (private prefix, HOME and Xvfb).
set -euo pipefail
source "$(dirname "$0")/lib.sh"

build_all Tombarel
prepare_wine "$BUILD/csv-env" fresh
trap stop_all EXIT
start_xvfb
start_wineserver
TOMBAREL_EXE="$BUILD/Tombarel.exe" /usr/bin/python3 "$TOP/tests/catalog/csv_test.py" "$@"
