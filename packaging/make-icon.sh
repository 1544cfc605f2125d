#!/usr/bin/env bash
# Draws the 64x64 application icon (a city block seen from above, a green target marker and
# a blast) with ImageMagick and writes packaging/skarnholt.png; run it again after changing it.
set -euo pipefail
cd "$(dirname "$0")"

# Streets are the dark background; the grey squares are the buildings.
buildings=()
for box in "6,6 18,18" "24,6 36,18" "44,6 58,18" "6,24 18,36" "44,24 58,36" \
           "6,44 18,58" "24,44 36,58" "44,44 58,58"; do
    buildings+=(-fill '#8c8c96' -draw "rectangle $box")
done

# The dates ImageMagick would store change with every run; leave them out so the file is stable.
convert -size 64x64 xc:'#2a2a30' \
    "${buildings[@]}" \
    -fill '#ffb030' -draw "circle 32,30 32,23" \
    -fill '#fff0a0' -draw "circle 32,30 32,27" \
    -fill none -stroke '#60ff60' -strokewidth 3 -draw "circle 32,30 32,19" \
    -depth 8 -strip -define png:exclude-chunks=date,time \
    skarnholt.png
