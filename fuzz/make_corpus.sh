#!/usr/bin/env bash
# Makes the seed corpora in fuzz/corpus: pictures in every format from
# ImageMagick, the built-in pictures, and the files that make_corpus (GIFs,
# JPEG and PNG variants, settings records, filters) writes. Found crashes
# are kept beside them as regressions; this script leaves those alone.
# Usage: fuzz/make_corpus.sh [build-dir]   (default: build-corpus)
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"

ensure_packages "${build_packages[@]}" "${test_packages[@]}" "${fuzz_packages[@]}"

build=${1:-$top/build-corpus}
corpus=$top/fuzz/corpus
pictures=$corpus/pictures
mkdir -p "$pictures"

# A 37×23 source with smooth shading and hard edges, the same on every run.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert -size 37x23 gradient:'#c04010-#1060e0' -fill '#ffe020' -draw 'circle 12,11 12,4' \
  -fill black -draw 'rectangle 25,3 33,19' "$work/source.png"
im() { convert "$work/source.png" "$@"; }

im -type TrueColor BMP3:"$pictures/rgb24.bmp"
im -alpha set -channel A -evaluate set 60% +channel -define bmp3:alpha=true BMP3:"$pictures/argb32.bmp"
im -alpha set -define bmp:format=bmp4 BMP:"$pictures/bitfields32.bmp"
im -colors 200 -type Palette -compress None BMP3:"$pictures/palette8.bmp"
im -colors 200 -type Palette BMP3:"$pictures/rle8.bmp"
im -colors 16 -type Palette -compress None BMP3:"$pictures/palette4.bmp"
im -monochrome BMP3:"$pictures/mono1.bmp"
# The same 24-bit file stored top-down: the height field negated.
cp "$pictures/rgb24.bmp" "$pictures/top-down24.bmp"
printf '\xe9\xff\xff\xff' | dd of="$pictures/top-down24.bmp" bs=1 seek=22 conv=notrunc status=none
im -colors 200 -type Palette PCX:"$pictures/palette.pcx"
im PCX:"$pictures/three-planes.pcx"
im -resize 32x32! -colors 16 -type Palette ICO:"$pictures/icon32-16colours.ico"
im -define icon:auto-resize=16,48 ICO:"$pictures/two-sizes.ico"
im -alpha set -resize 24x24! ICO:"$pictures/alpha24.ico"
im -resize 256x256! -colors 4 -define icon:auto-resize=256 ICO:"$pictures/png-entry.ico"
# A cursor is an icon directory of type 2.
cp "$pictures/two-sizes.ico" "$pictures/cursor.cur"
printf '\x02' | dd of="$pictures/cursor.cur" bs=1 seek=2 conv=notrunc status=none
im -interlace JPEG -quality 70 JPEG:"$pictures/magick-progressive.jpg"
im -colorspace Gray -sampling-factor 1x1 JPEG:"$pictures/magick-grey.jpg"

cp "$top"/assets/badges/*.png "$top"/assets/defaults/* "$top"/assets/icons/window-icon.ico "$pictures/"

cmake -S "$top" -B "$build" -DPICTORIN_BENCH=OFF >/dev/null
cmake --build "$build" --parallel 2 --target make_corpus
"$build/fuzz/make_corpus" "$corpus"
du -sh "$corpus"/*
