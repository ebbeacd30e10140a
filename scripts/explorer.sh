#!/usr/bin/env bash
# Builds the explorer window (Explorador) and starts it under Wine, as scripts/run.sh does for
# Tombarel: a private Xvfb when there is no display, and the same Wine prefix, so the folder
# it remembers survives between runs.
set -euo pipefail
source "$(dirname "$0")/lib.sh"

build_all Explorador
prepare_wine "$BUILD/run-env"
trap stop_all EXIT
if [ -z "${DISPLAY:-}" ]; then
  start_xvfb
  echo "explorer: no display; the explorer runs on the private display $DISPLAY" >&2
fi
wine "$BUILD/Explorador.exe"
