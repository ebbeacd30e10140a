#!/usr/bin/env bash
# Installs what building and testing Tombarel needs on a Debian machine, and nothing when
# everything is already there: the MinGW-w64 i686 cross compiler (posix threads), 32-bit
# Wine, Xvfb, ImageMagick, zip, xdotool, GoogleTest's sources, the locale tools; for the
# catalogue's page the three browsers it is tested in (Chromium with its WebDriver, Firefox ESR,
# WebKitGTK's WebDriver and MiniBrowser), Python's Selenium, Node with npm, and the npm packages
# of tests/catalog/package-lock.json; LibreOffice Calc, which opens the CSV as a user would;
# and the ordinary user some tests run as.
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
have_cmd zip     || need+=(zip)
# The pointer and keys of a screenshot (a menu opened from the keyboard).
have_cmd xdotool || need+=(xdotool)
[ -f /usr/share/i18n/locales/pt_BR ] || need+=(locales)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
[ -f /usr/share/zoneinfo/Europe/Paris ] || need+=(tzdata)
# The catalogue's page is tested where it runs: a real browser driven through WebDriver.
have_cmd chromium     || need+=(chromium)
have_cmd chromedriver || need+=(chromium-driver)
/usr/bin/python3 -c 'import selenium' >/dev/null 2>&1 || need+=(python3-selenium)
have_cmd firefox-esr  || need+=(firefox-esr)
# The CSV is opened in a real spreadsheet: no name may run as a formula.
have_cmd soffice      || need+=(libreoffice-calc-nogui)
have_cmd WebKitWebDriver || need+=(webkit2gtk-driver)
# Firefox is driven over WebDriver BiDi by puppeteer-core, run by Node.
have_cmd node || need+=(nodejs)
have_cmd npm  || need+=(npm)

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

# An ordinary user for the tests of a folder its user may not read: root reads every folder.
# It has no home and no login; the tests give it a Wine prefix and HOME in the build tree.
if ! id -u tombarel-user >/dev/null 2>&1; then
  $SUDO useradd --system --no-create-home --shell /usr/sbin/nologin tombarel-user
fi

if [ ${#need[@]} -gt 0 ]; then
  echo "setup: installing ${need[*]}" >&2
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# The npm packages the page tests use (puppeteer-core, axe-core), exactly as the lock file
# names them, in tests/catalog/node_modules (ignored by git); installed again only when the
# lock file changed since.
npm_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")/../tests/catalog" && pwd)
if ! cmp -s "$npm_dir/package-lock.json" "$npm_dir/node_modules/.package-lock.json.installed"; then
  echo "setup: installing the npm packages of $npm_dir/package-lock.json" >&2
  (cd "$npm_dir" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)
  cp "$npm_dir/package-lock.json" "$npm_dir/node_modules/.package-lock.json.installed"
fi
