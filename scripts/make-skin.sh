#!/usr/bin/env bash
# Regenerates the default skin's pictures in data/ with ImageMagick, and copies its font from
# Debian's fonts-dejavu-core. The drawing below is the skin's source: change it, run this, and
# commit the results. A skin is any folder data/ with these files:
#   base.png          200 x 200 with alpha: drawn under the time text
#   targetSelect.png  200 x 200 with alpha: drawn over everything while a target is being picked
#   font.ttf          the time text's font (a regular face)
#   skin.cfg          text centre x, y, font size in pixels, colour alpha, red, green; then,
#                     optional, the project name's centre x, y, font size and widest width
# Fully transparent pixels let clicks through to the window below, so keep something opaque
# where the user should be able to drag or right-click the overlay.
set -euo pipefail
data=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/data
fonts=/usr/share/fonts/truetype/dejavu
label_font=$fonts/DejaVuSans-Bold.ttf

cp "$fonts/DejaVuSansMono.ttf" "$data/font.ttf"
cp /usr/share/doc/fonts-dejavu-core/copyright "$data/font-LICENSE.txt"

# A dark plate with a soft shadow reads over light windows; its light rim over dark ones. It has
# room for the time and, under it, the project's name (skin.cfg places both).
convert -size 200x200 xc:none \
  \( -size 200x200 xc:none -fill 'rgba(0,0,0,0.55)' -draw 'roundrectangle 14,56 186,154 18,18' -blur 0x5 \) \
  -composite \
  -fill 'rgba(22,28,38,0.88)' -stroke 'rgba(255,255,255,0.45)' -strokewidth 2 \
  -draw 'roundrectangle 14,54 186,150 16,16' \
  -stroke none -fill 'rgba(242,179,61,1)' -draw 'roundrectangle 84,62 116,65 1,1' \
  "PNG32:$data/base.png"

convert -size 200x200 xc:none \
  -fill 'rgba(22,28,38,0.93)' -stroke 'rgba(242,179,61,1)' -strokewidth 4 \
  -draw 'roundrectangle 6,6 194,194 22,22' \
  -stroke 'rgba(242,179,61,1)' -strokewidth 3 -fill none \
  -draw 'circle 100,52 100,70' -draw 'line 100,26 100,40' -draw 'line 100,64 100,78' \
  -draw 'line 74,52 88,52' -draw 'line 112,52 126,52' \
  -stroke none -fill white -font "$label_font" -pointsize 17 \
  -gravity north -annotate +0+92 'Click a window' \
  -annotate +0+116 'of the program' -annotate +0+140 'to track' \
  "PNG32:$data/targetSelect.png"

printf '%s\r\n' \
  $'100\tx of the centre of the time text, pixels from the left' \
  $'98\ty of the centre of the time text, pixels from the top' \
  $'28\tfont size in pixels' \
  $'255\ttext colour: alpha' \
  $'255\ttext colour: red' \
  $'255\ttext colour: green (blue is always 255)' \
  $'100\tx of the centre of the project\'s name (this line and the next three may be left out)' \
  $'130\ty of the centre of the project\'s name' \
  $'12\tfont size of the project\'s name in pixels (the system\'s interface font)' \
  $'156\tthe widest the project\'s name may be, in pixels (longer ones end in ...; 0 hides it)' \
  >"$data/skin.cfg"

echo "skin written to $data"
