#!/usr/bin/env bash
# Runs one test program of the build as it stands (no build step) under the tests' Wine
# prefix, HOME and Xvfb, as scripts/test.sh does; for example:
#   scripts/run-test.sh listmenu_tests.exe --gtest_filter='FileOperationsModel*'
set -euo pipefail
source "$(dirname "$0")/lib.sh"
prepare_locales
export TZ=Europe/Paris
prepare_wine "$BUILD/test-env"
trap stop_all EXIT
start_xvfb 1920x1200
start_wineserver
cd "$BUILD/tests"
exe=$1
shift
wine "$exe" "$@"
