#!/usr/bin/env bash
# Builds Tombarel, starts it on a private display inside a Wine desktop and saves a PNG of
# the screen once the window "Tombarel 1.5" is up.
# Usage: scripts/screenshot.sh [--dpi N] [out.png]
# --dpi N shows it on a display of N DPI (96 unless given; 144 is 150 %, 192 is 200 %), in a
# desktop as much larger. TOMBAREL_SHOT_PROGRAM=Explorador takes the explorer window instead
# (in a larger desktop). TOMBAREL_SHOT_INPUT gives xdotool commands run before the shot, such
# as "mousemove 200 210 click 1 sleep 1 key shift+F10" to open a menu from the keyboard.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
dpi=96
if [ "${1:-}" = --dpi ]; then
  dpi=$2
  shift 2
fi
case "$dpi" in
  '' | *[!0-9]*) echo "screenshot: --dpi takes a number, such as 144" >&2; exit 2 ;;
esac
out=$(realpath -m "${1:-$TOP/build/screenshot.png}")

program=${TOMBAREL_SHOT_PROGRAM:-Tombarel}
width=800 height=560
[ "$program" = Tombarel ] || { width=1000; height=680; }
size=$((width * dpi / 96))x$((height * dpi / 96))
build_all "$program"
prepare_wine "$BUILD/shot-env"
trap stop_all EXIT
start_xvfb "$((width * dpi / 96 + 64))x$((height * dpi / 96 + 64))"
start_wineserver
# The display's DPI, which Wine reads as each program starts.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
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
if [ -n "${TOMBAREL_SHOT_INPUT:-}" ]; then
  # shellcheck disable=SC2086  # xdotool's commands and their arguments, a word each
  xdotool $TOMBAREL_SHOT_INPUT
  sleep 1
fi
import -window root -crop "$size+0+0" "$out"
echo "$out"
