#!/usr/bin/env bash
# Makes the release a Windows user downloads: Tombarel.exe without debug information, and a
# zip holding it with the README and its screenshots.
# Usage: scripts/release.sh   ->  build/release/Tombarel-<version>.zip
set -euo pipefail
source "$(dirname "$0")/lib.sh"

build_all Tombarel
version=$(sed -n 's/^project(Tombarel VERSION \([0-9.]*\).*/\1/p' "$TOP/CMakeLists.txt")
out=$BUILD/release
stage=$out/Tombarel-$version
rm -rf "$out"
mkdir -p "$stage/docs"
# The build keeps debug information for the tests' sake; the user needs none of it.
i686-w64-mingw32-strip --strip-all -o "$stage/Tombarel.exe" "$BUILD/Tombarel.exe"
cp "$TOP/README.md" "$stage/README.md"
# The README shows both screenshots.
cp "$TOP"/docs/*.png "$stage/docs/"
(cd "$out" && zip -q -9 -r "Tombarel-$version.zip" "Tombarel-$version")
ls -l "$stage/Tombarel.exe" "$out/Tombarel-$version.zip" | awk '{print $5, $9}'
