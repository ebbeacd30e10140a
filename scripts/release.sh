#!/usr/bin/env bash
# Makes the release a Windows user downloads: both programs without debug information, and a
# zip holding them with a read-me for the person who unzips it and the screenshots.
# Usage: scripts/release.sh   ->  build/release/Tombarel-<version>.zip
set -euo pipefail
source "$(dirname "$0")/lib.sh"

build_all Tombarel Explorador
version=$(sed -n 's/^project(Tombarel VERSION \([0-9.]*\).*/\1/p' "$TOP/CMakeLists.txt")
out=$BUILD/release
stage=$out/Tombarel-$version
rm -rf "$out"
mkdir -p "$stage/docs"
# The build keeps debug information for the tests' sake; the user needs none of it.
for program in Tombarel Explorador; do
  i686-w64-mingw32-strip --strip-all -o "$stage/$program.exe" "$BUILD/$program.exe"
done
# The read-me as Notepad opens it anywhere: UTF-8 with a byte-order mark, CR LF.
{ printf '\xEF\xBB\xBF'; sed 's/$/\r/' "$TOP/docs/LEIA-ME.txt"; } >"$stage/LEIA-ME.txt"
cp "$TOP"/docs/*.png "$stage/docs/"
(cd "$out" && zip -q -9 -r "Tombarel-$version.zip" "Tombarel-$version")
ls -l "$stage"/*.exe "$out/Tombarel-$version.zip" | awk '{print $5, $9}'
