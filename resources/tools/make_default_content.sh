#!/usr/bin/env bash
# Makes the pictures, the built-in templates and the help document of the
# default resource content.
# Run once after changing this script; the results are committed so that
# builds need neither ImageMagick nor groff.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
content="$here/DefaultContent"
mkdir -p "$content/Frames" "$content/LibraryImage/Shapes" "$content/LibraryImage/Celebration"

# Frames: card-sized (CR80 at 300 dpi) borders with a transparent middle.
frame() { # name stroke fill inset radius
  convert -size 1011x639 xc:none -fill "$3" -draw "roundrectangle 0,0 1010,638 $5,$5" \
    -fill none -stroke "$2" -strokewidth 8 -draw "roundrectangle $4,$4 $((1010-$4)),$((638-$4)) $5,$5" \
    \( -size 1011x639 xc:black -fill white -draw "roundrectangle 0,0 1010,638 $5,$5" -fill black -draw "roundrectangle 44,44 966,594 30,30" \) \
    -alpha off -compose CopyOpacity -composite "$content/Frames/$1.png"
}
frame "Gold Border" "#b8860b" "#f5deb3" 22 40
frame "Blue Wave" "#1e3a8a" "#93c5fd" 22 60
frame "Rose Classic" "#9f1239" "#fecdd3" 22 20
frame "Green Leaf" "#166534" "#bbf7d0" 22 80

# Clip art.
convert -size 256x256 xc:none -fill "#f59e0b" -stroke "#92400e" -strokewidth 6 \
  -draw "polygon 128,12 158,98 248,98 176,152 202,240 128,188 54,240 80,152 8,98 98,98" \
  "$content/LibraryImage/Shapes/Star.png"
convert -size 256x256 xc:none -fill "#dc2626" -stroke "#7f1d1d" -strokewidth 6 \
  -draw "path 'M 128,232 C 20,150 8,80 60,48 C 96,26 120,48 128,72 C 136,48 160,26 196,48 C 248,80 236,150 128,232 Z'" \
  "$content/LibraryImage/Shapes/Heart.png"
convert -size 256x256 xc:none -fill "#2563eb" -stroke "#1e3a8a" -strokewidth 6 \
  -draw "circle 128,128 128,16" "$content/LibraryImage/Shapes/Circle.png"
convert -size 256x256 xc:none -fill "#a855f7" -stroke "#581c87" -strokewidth 4 \
  -draw "ellipse 128,96 70,86 0,360" -draw "line 128,182 128,250" "$content/LibraryImage/Celebration/Balloon.png"
convert -size 256x256 xc:none -fill "#fde68a" -stroke "#b45309" -strokewidth 5 \
  -draw "rectangle 40,120 216,236" -draw "rectangle 28,96 228,126" -fill "#ef4444" -stroke none \
  -draw "rectangle 118,96 138,236" "$content/LibraryImage/Celebration/Gift.png"

# The start window's background pattern (a bundle resource, not copied).
convert -size 64x64 pattern:checkerboard -fill "#eef2ff" -colorize 85% "$here/Wizard_pattern.jpg"

# Built-in templates, made with the program's own design-file writer from
# the frames and clip art above (so build the program first).
build="${QUORVANT_BUILD_DIR:-$here/../build}"
cmake --build "$build" --target quorvant_make_templates
rm -rf "$content/Templates"
"$build/profiles_wizards/quorvant_make_templates" "$content/Templates" "$content"

# Help document from its troff source.
groff -Tps "$here/tools/Help.roff" | ps2pdf - "$here/Help.pdf"
