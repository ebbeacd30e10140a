#!/usr/bin/env bash
# Builds Tombarel and runs only the catalogue page's browser test, in the environment the
# whole suite gives it (private prefix, HOME and Xvfb). Extra arguments go to the test.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

build_all Tombarel
export TZ=Europe/Paris
prepare_wine "$BUILD/catalog-env" fresh
trap stop_all EXIT
start_xvfb
start_wineserver
TOMBAREL_EXE="$BUILD/Tombarel.exe" /usr/bin/python3 "$TOP/tests/catalog/catalog_page_test.py" "$@"
