#!/usr/bin/env bash
# Builds Tombarel and starts it under Wine. With no display, a private Xvfb is started
# (the window is then only visible to screenshots). The program's registry value is kept
# in a prefix of its own between runs.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

build_all Tombarel
prepare_wine "$BUILD/run-env"
trap stop_all EXIT
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb
  echo "run: no display; Tombarel runs on the private display $DISPLAY" >&2
fi
wine "$BUILD/Tombarel.exe"
