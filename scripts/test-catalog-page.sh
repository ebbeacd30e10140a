#!/usr/bin/env bash
# Builds Tombarel and runs only the catalogue page's browser test, in the environment the
# whole suite gives it (private prefix, HOME, temporary folder and Xvfb). TOMBAREL_ENGINES
# narrows the browsers (e.g. TOMBAREL_ENGINES=firefox). A first argument naming a .py file runs
# that test instead (e.g. tests/catalog/changes_page_test.py); other arguments go to the test.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

TEST=$TOP/tests/catalog/catalog_page_test.py
if [[ "${1:-}" == *.py ]]; then TEST=$(realpath "$1"); shift; fi
build_all Tombarel
export TZ=Europe/Paris
trap stop_all EXIT
make_run_tmp
prepare_wine "$BUILD/catalog-env" fresh
start_xvfb
start_wineserver
TOMBAREL_EXE="$BUILD/Tombarel.exe" /usr/bin/python3 "$TEST" "$@"
