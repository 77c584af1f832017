#!/usr/bin/env bash
# Draws the template's three background pictures (committed under
# resources/template/). Run again only to change the artwork.
#   img_bk_0.jpg  96 x 96 greyscale stone, tiled behind the whole page
#   img_bk_1.jpg  24 x 64 colour, the title row (white bold text on it)
#   img_bk_2.jpg  24 x 24 colour, every section heading
set -euo pipefail
convert=/usr/bin/convert
out=${1:-$(dirname "$0")/../resources/template}

# Blurring with tiled edges keeps the seams invisible when the browser repeats a tile.
"$convert" -size 96x96 -seed 1251 xc: +noise Random -channel G -separate +channel \
  -virtual-pixel tile -blur 0x2.2 -auto-level -level 0%,100% +level 62%,80% \
  -colorspace Gray -type Grayscale -strip -quality 86 -sampling-factor 1x1 "$out/img_bk_0.jpg"

"$convert" -size 24x64 gradient:'#7a5a36'-'#3b2814' \
  \( -size 24x64 -seed 7 xc: +noise Random -channel G -separate +channel -virtual-pixel tile -blur 0x1.4 -auto-level +level 30%,70% \) \
  -compose SoftLight -composite -colorspace sRGB -type TrueColor -strip -quality 88 "$out/img_bk_1.jpg"

"$convert" -size 24x24 gradient:'#6b4f30'-'#46311b' \
  \( -size 24x24 -seed 11 xc: +noise Random -channel G -separate +channel -virtual-pixel tile -blur 0x1.4 -auto-level +level 30%,70% \) \
  -compose SoftLight -composite -colorspace sRGB -type TrueColor -strip -quality 88 "$out/img_bk_2.jpg"

identify "$out"/img_bk_*.jpg
