#!/usr/bin/env bash
# Draws the game's icon (a city block seen from above, a blast and the green target marker)
# as an SVG, renders it to the PNG sizes desktops ask for and to the window icon the game
# loads (assets/game/icon.bmp); run it again after changing the drawing.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
icons="$here/icons"
window_icon="$here/../assets/game/icon.bmp"
png_sizes=(16 22 24 32 48 64 128 256)
street='#2a2a30'

# The points of a star around (X, Y): star_points X Y OUTER INNER SPIKES.
star_points() {
    awk -v x="$1" -v y="$2" -v outer="$3" -v inner="$4" -v spikes="$5" 'BEGIN {
        for (i = 0; i < 2 * spikes; i++) {
            r = (i % 2 == 0) ? outer : inner
            a = 3.14159265358979 * i / spikes
            printf "%s%.1f,%.1f", (i ? " " : ""), x + r * sin(a), y - r * cos(a)
        }
    }'
}

# Eight blocks around the middle one, where the blast lands; each has a lighter roof.
buildings() {
    local x y
    for y in 28 100 172; do
        for x in 28 100 172; do
            [ "$x$y" = 100100 ] && continue
            echo "  <rect x=\"$x\" y=\"$y\" width=\"56\" height=\"56\" rx=\"3\" fill=\"#8c8c96\"/>"
            echo "  <rect x=\"$((x + 8))\" y=\"$((y + 8))\" width=\"40\" height=\"40\" fill=\"#a4a4b0\"/>"
        done
    done
}

# Zombies are points on the streets, as the game draws them.
zombies() {
    local spot
    for spot in "92,48" "164,66" "48,164" "236,136" "128,236" "20,92" "200,164"; do
        echo "  <circle cx=\"${spot%,*}\" cy=\"${spot#*,}\" r=\"5\" fill=\"#9acd32\"/>"
    done
}

write_svg() {
    cat <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<!-- Skarnholt's icon; packaging/make-icon.sh writes this file. -->
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <rect x="4" y="4" width="248" height="248" rx="32" fill="$street"/>
$(buildings)
$(zombies)
  <polygon points="$(star_points 128 128 52 26 10)" fill="#ff8c1a"/>
  <polygon points="$(star_points 128 128 34 18 10)" fill="#ffd040"/>
  <circle cx="128" cy="128" r="13" fill="#fff6c0"/>
  <circle cx="128" cy="128" r="64" fill="none" stroke="#60ff60" stroke-width="10"/>
</svg>
EOF
}

render_pngs() {
    local size folder
    for size in "${png_sizes[@]}"; do
        folder="$icons/${size}x${size}/apps"
        mkdir -p "$folder"
        rsvg-convert -w "$size" -h "$size" "$icons/scalable/apps/skarnholt.svg" -o "$folder/skarnholt.png"
    done
}

# SDL 1.2's SDL_LoadBMP reads uncompressed Windows bitmaps; the window icon has no alpha, so
# the rounded corners are filled with the street colour.
render_window_icon() {
    convert "$icons/32x32/apps/skarnholt.png" -background "$street" -flatten -alpha off \
        -type TrueColor -compress none "BMP3:$window_icon"
}

mkdir -p "$icons/scalable/apps"
write_svg >"$icons/scalable/apps/skarnholt.svg"
render_pngs
render_window_icon
