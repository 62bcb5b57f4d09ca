#!/usr/bin/env bash
# Renders the window icon's PNG sizes from data/drobi.svg (ImageMagick).
# The PNGs are committed, so the build needs no SVG renderer and the program
# no image plugin.
set -euo pipefail
cd "$(dirname "$0")/../data"
convert -background none -density 192 drobi.svg -resize 32x32 drobi-32.png
convert -background none -density 384 drobi.svg -resize 64x64 drobi-64.png
