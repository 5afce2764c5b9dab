#!/bin/sh
# Renders the pictures of the offline page into ../res/GIF and ../res/JPG at
# the sizes and in the formats the page's addresses expect. The drawings are
# the SVG files beside this script; the backgrounds are plain gradients. The
# results are committed, so neither build needs librsvg or ImageMagick.
set -eu
cd "$(dirname "$0")"
convert=${CONVERT:-/usr/bin/convert}
gif=../res/GIF
jpg=../res/JPG
mkdir -p "$gif" "$jpg"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Pictures on the white page: flattened onto white, then a GIF89a palette.
for name in awards:192x108 download:148x59; do
  file=${name%%:*} size=${name#*:}
  rsvg-convert -w "${size%x*}" -h "${size#*x}" "$file.svg" -o "$work/$file.png"
  "$convert" "$work/$file.png" -background white -flatten -colors 64 "$gif/$file.gif"
done
# Menu icons stand on the blue menu row: keep their transparency.
for file in home files software; do
  rsvg-convert -w 16 -h 16 "$file.svg" -o "$work/$file.png"
  "$convert" "$work/$file.png" -channel A -threshold 50% +channel "$gif/$file.gif"
done
"$convert" -size 1x1 xc:'#b8c2cc' "$gif/space.gif"

# Backgrounds, tiled by the page.
"$convert" -size 2x35 gradient:'#3d7cc4-#143d6b' -quality 92 "$jpg/bgmenu.jpg"
"$convert" -size 2x35 gradient:'#e0a030-#a8660c' -quality 92 "$jpg/bgmenutop.jpg"
"$convert" -size 1x110 gradient:'#5aa0e6-#0e2c52' -quality 92 "$jpg/bgverlauf.jpg"
