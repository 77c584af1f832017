#!/usr/bin/env bash
# Draws the About page's banner, resources/banner.bmp (committed): the
# program's name and version in gold with an authorship line below, on pure
# black. The page draws black as transparent, so the lettering carries a dark
# brown edge that reads on the page's light background as well, and the faint
# anti-aliasing next to black is cut to black rather than leave a grey halo.
# Written as BMP3: 580 x 112, 8 bits per pixel with a palette.
set -euo pipefail
convert=/usr/bin/convert
fonts=/usr/share/fonts/truetype/dejavu
out=${1:-$(dirname "$0")/../resources/banner.bmp}
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
W=580
H=112
edge='#3a2208'

# Gold for the name: pale at the top of the letters, deep in the middle,
# warm again at the foot.
"$convert" -size 1x16 gradient:'#fff6cf'-'#f3d47e' -size 1x22 gradient:'#f3d47e'-'#b9822a' \
  -size 1x14 gradient:'#b9822a'-'#e9bf5c' -size 1x14 gradient:'#e9bf5c'-'#8a5a1a' -append \
  -gravity north -background '#8a5a1a' -extent 1x$H -roll +0+12 -scale ${W}x$H! "$tmp/gold.png"
# One half of the rule under the name, fading into the black outwards.
"$convert" -size 2x150 gradient:'#d9a441'-black -rotate 90 "$tmp/rule.png"

# The name (357 px wide at 60 pt) and the version (46 px) are centred as one
# line; the version sits on the name's baseline.
"$convert" -size ${W}x$H xc:black \
  -font $fonts/DejaVuSerif-Bold.ttf -pointsize 60 -gravity northwest \
  -stroke "$edge" -strokewidth 4 -fill "$edge" -annotate +83+6 'Quillsmith' \
  -stroke none -tile "$tmp/gold.png" -annotate +83+6 'Quillsmith' +tile \
  -font $fonts/DejaVuSerif-BoldItalic.ttf -pointsize 17 -fill '#d2a14a' -annotate +450+46 '1.0.0' \
  \( "$tmp/rule.png" \) -geometry +132+80 -compose lighten -composite \
  \( "$tmp/rule.png" -flop \) -geometry +298+80 -compose lighten -composite -compose over \
  -stroke "$edge" -strokewidth 1 -fill '#e9bf5c' -draw 'polygon 290,76 295,81 290,86 285,81' \
  -stroke none -font $fonts/DejaVuSerif-Italic.ttf -pointsize 14 -fill '#c49544' \
  -gravity north -annotate +0+90 '© 2026 Hearthcove-Team' \
  "$tmp/rgb.png"
"$convert" "$tmp/rgb.png" \( +clone -colorspace gray -threshold 9% \) -compose multiply -composite \
  "$tmp/cut.png"

"$convert" "$tmp/cut.png" -dither None -colors 256 -type Palette -compress None "BMP3:$out"

# The background must stay exactly black through the palette reduction.
black() { "$convert" "$1" -fill white +opaque black -fill black -opaque black -format '%[fx:int(w*h*(1-mean)+0.5)]' info:; }
before=$(black "$tmp/cut.png")
after=$(black "$out")
if [[ "$before" != "$after" ]]; then
  echo "make_banner: black pixels changed in the palette ($before -> $after)" >&2
  exit 1
fi
/usr/bin/identify "$out"
