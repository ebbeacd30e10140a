#!/usr/bin/env bash
# Builds Tombarel, starts it on a private display inside a Wine desktop and saves a PNG of
# the screen once the window "Tombarel 1.5" is up.  Usage: scripts/screenshot.sh [out.png]
# TOMBAREL_SHOT_PROGRAM=Explorador takes the explorer window instead (in a larger desktop).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
out=$(realpath -m "${1:-$TOP/build/screenshot.png}")

program=${TOMBAREL_SHOT_PROGRAM:-Tombarel}
size=800x560
[ "$program" = Tombarel ] || size=1000x680
build_all "$program"
prepare_wine "$BUILD/shot-env"
trap stop_all EXIT
start_xvfb
start_wineserver
# A folder worth showing, opened as the last folder used.
demo=$WINEPREFIX/drive_c/Viagem
mkdir -p "$demo"
for f in "Roteiro.txt:2300" "Praia do Forte.jpg:1843200" "Pelourinho.jpg:2254857" \
         "Passagens.pdf:98304" "Hotel - reserva.pdf:45120" "Mapa.png:512000" "Setup.exe:734003"; do
  truncate -s "${f##*:}" "$demo/${f%:*}"
done
for value in lastdir explorerdir; do
  wine reg add 'HKCU\SOFTWARE\Quorvantix\Tombarel' /v "$value" /t REG_SZ /d 'C:\Viagem' /f \
    >/dev/null 2>&1
done
wine explorer /desktop=Tombarel,$size "$BUILD/$program.exe" >/dev/null 2>&1 &
# The desktop window appears before the program's own; give the program time to start.
sleep "${TOMBAREL_SHOT_DELAY:-5}"
import -window root -crop "$size+0+0" "$out"
echo "$out"
