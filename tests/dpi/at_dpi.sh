#!/usr/bin/env bash
# Runs a test program on a display of $1 DPI. Wine reads the display's "LogPixels" as each
# process starts: the value is set before the run and taken away after it, however it ends,
# so the programs run after it are back at 96 DPI.  Usage: at_dpi.sh DPI WINE PROGRAM [ARGS]
set -u
dpi=$1 wine=$2
shift 2
key='HKCU\Control Panel\Desktop'
trap '"$wine" reg delete "$key" /v LogPixels /f >/dev/null 2>&1' EXIT
"$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 || exit 1
"$wine" "$@"
