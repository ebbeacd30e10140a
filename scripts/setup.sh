#!/usr/bin/env bash
# Installs what building and testing Tombarel needs on a Debian machine, and nothing when
# everything is already there: the MinGW-w64 i686 cross compiler (posix threads), 32-bit
# Wine, Xvfb, ImageMagick, GoogleTest's sources and the locale tools.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

have_cmd i686-w64-mingw32-g++-posix || need+=(g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686)
have_cmd cmake   || need+=(cmake)
have_cmd ninja   || need+=(ninja-build)
have_cmd wine    || need+=(wine)
have_pkg wine32:i386 || need+=(wine32:i386)
# Wine's own fonts: "MS Sans Serif", Tahoma and the caption buttons' Marlett.
have_pkg fonts-wine || need+=(fonts-wine)
have_cmd Xvfb    || need+=(xvfb)
have_cmd import  || need+=(imagemagick)
[ -f /usr/share/i18n/locales/pt_BR ] || need+=(locales)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
[ -f /usr/share/zoneinfo/Europe/Paris ] || need+=(tzdata)

if [ ${#need[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

echo "setup: installing ${need[*]}" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
