#!/bin/sh
# Renders the artwork's PNGs from the SVG sources beside this script.
# The PNGs are committed so that both builds (GResource on Linux, .ico/.bmp
# for the Win32 .rc) use the same pictures without needing librsvg.
set -eu
cd "$(dirname "$0")"
for size in 16 24 32 48; do
  rsvg-convert -w "$size" -h "$size" proclens.svg -o "proclens-$size.png"
done
# The larger sizes only the installed icon theme needs (software centres ask
# for 64 pixels and up); they stay out of the program's resource bundle.
mkdir -p hicolor
for size in 64 128 256; do
  rsvg-convert -w "$size" -h "$size" proclens.svg -o "hicolor/proclens-$size.png"
done
for size in 16 32; do
  rsvg-convert -w "$size" -h "$size" system-process.svg -o "system-process-$size.png"
  rsvg-convert -w "$size" -h "$size" missing-file.svg -o "missing-file-$size.png"
done
for glyph in view-large view-small view-report; do
  rsvg-convert -w 23 -h 19 "$glyph.svg" -o "$glyph.png"
done
