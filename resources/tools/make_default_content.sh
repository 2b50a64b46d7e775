#!/usr/bin/env bash
# Makes the pictures, the built-in templates and the help document of the
# default resource content.
# Run once after changing this script; the results are committed so that
# builds need neither ImageMagick nor groff.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
content="$here/DefaultContent"
mkdir -p "$content/Frames" "$content/LibraryImage/Shapes" "$content/LibraryImage/Celebration" "$content/LibraryImage/Nature"

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
convert -size 256x256 xc:none -fill "#fbcfe8" -stroke "#9d174d" -strokewidth 5 \
  -draw "rectangle 44,120 212,228" -fill "#fdf2f8" -draw "rectangle 44,120 212,150" \
  -fill "#fde047" -stroke "#a16207" -strokewidth 3 -draw "rectangle 122,70 134,120" \
  -fill "#f97316" -stroke none -draw "ellipse 128,58 9,14 0,360" "$content/LibraryImage/Celebration/Cake.png"
convert -size 256x256 xc:none -fill "#facc15" -stroke "#ca8a04" -strokewidth 6 -draw "circle 128,128 128,70" \
  -strokewidth 10 -draw "line 128,10 128,46" -draw "line 128,210 128,246" -draw "line 10,128 46,128" \
  -draw "line 210,128 246,128" -draw "line 45,45 70,70" -draw "line 186,186 211,211" \
  -draw "line 45,211 70,186" -draw "line 186,70 211,45" "$content/LibraryImage/Nature/Sun.png"
convert -size 256x256 xc:none -fill "#22c55e" -stroke "#14532d" -strokewidth 6 \
  -draw "path 'M 40,216 C 40,90 120,30 220,36 C 226,140 160,216 40,216 Z'" \
  -fill none -strokewidth 5 -draw "path 'M 40,216 C 100,150 150,100 200,56'" "$content/LibraryImage/Nature/Leaf.png"
convert -size 256x256 xc:none -stroke "#15803d" -strokewidth 8 -draw "line 128,140 128,248" \
  -fill "#f472b6" -stroke "#9d174d" -strokewidth 4 \
  -draw "circle 128,58 128,98" -draw "circle 82,92 82,132" -draw "circle 174,92 174,132" \
  -draw "circle 100,140 100,178" -draw "circle 156,140 156,178" \
  -fill "#fde047" -stroke "#a16207" -draw "circle 128,110 128,136" "$content/LibraryImage/Nature/Flower.png"

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
