#!/usr/bin/env bash
# Draws the program icon: a quill over a written page. Writes the 16-colour
# 32 x 32 and 16 x 16 images the window uses (PNG, and both in one .ico for
# Windows), and full-colour PNGs of 16 to 256 pixels for a desktop install.
# Needs ImageMagick's own convert (Debian's /usr/bin/convert).
set -euo pipefail
cd "$(dirname "$0")"
CONVERT=/usr/bin/convert
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

"$CONVERT" -size 256x256 xc:none \
  -fill '#f2e2b0' -stroke '#5a3a1a' -strokewidth 8 \
  -draw 'roundrectangle 28,20 196,236 14,14' \
  -stroke '#8a7a5a' -strokewidth 7 \
  -draw 'line 56,70 168,70' -draw 'line 56,100 168,100' -draw 'line 56,130 150,130' \
  -draw 'line 56,160 130,160' -draw 'line 56,190 110,190' \
  -stroke '#5a1010' -strokewidth 6 -fill '#b02020' \
  -draw 'path "M 236,14 C 200,40 150,90 120,150 L 108,184 L 132,170 C 170,130 214,80 236,14 Z"' \
  -stroke '#2a1a0a' -strokewidth 8 -draw 'line 128,160 86,226' \
  -fill '#2a1a0a' -stroke none -draw 'circle 84,230 84,222' \
  "$tmp/icon-256.png"

for size in 16 24 32 48 64 128 256; do
  "$CONVERT" "$tmp/icon-256.png" -filter Lanczos -resize ${size}x${size} "quillsmith-${size}.png"
done
# The window's images: 16 colours, as the Windows icon resource holds them.
for size in 16 32; do
  "$CONVERT" "quillsmith-${size}.png" -channel A -threshold 50% +channel -colors 16 \
    PNG8:"quillsmith-${size}-16c.png"
done
"$CONVERT" quillsmith-32-16c.png quillsmith-16-16c.png quillsmith.ico
