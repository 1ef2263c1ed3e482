#!/bin/sh
# Draws the start-up picture (res/splash.png, 600 x 450) and the application
# icon (res/zemtra800.png, 128 x 128) with ImageMagick. Run from anywhere;
# the results are committed, so the build does not need ImageMagick.
#
# The lower right of the picture (x 200..600, y 360..450) is left plain: the
# splash window writes its two text lines there.
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/res"
sans_bold=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
sans=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
mono=/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf
cjk=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
for f in "$sans_bold" "$sans" "$mono" "$cjk"; do
    [ -r "$f" ] || { echo "missing font $f (fonts-dejavu-core, fonts-wqy-microhei)" >&2; exit 1; }
done
command -v convert >/dev/null || { echo "ImageMagick 'convert' not found" >&2; exit 1; }

# Keypad of the radio: 3 x 4 keys.
keys=""
for row in 0 1 2 3; do
    for col in 0 1 2; do
        x=$((88 + col * 28)); y=$((300 + row * 22))
        keys="$keys roundrectangle $x,$y $((x + 20)),$((y + 14)) 4,4"
    done
done

convert -size 600x450 gradient:'#0d2748'-'#1c5490' \
    -fill none -stroke '#ffffff40' -strokewidth 3 \
    -draw "ellipse 111,64 18,18 290,340" -draw "ellipse 111,64 18,18 200,250" \
    -stroke '#ffffff2c' \
    -draw "ellipse 111,64 32,32 290,340" -draw "ellipse 111,64 32,32 200,250" \
    -stroke '#ffffff1a' \
    -draw "ellipse 111,64 46,46 290,340" -draw "ellipse 111,64 46,46 200,250" \
    -fill '#00000055' -stroke none -draw "roundrectangle 82,128 196,428 18,18" \
    -fill '#3a3f46' -draw "roundrectangle 103,64 119,140 7,7" \
    -fill '#4a4f57' -draw "roundrectangle 150,100 168,132 4,4" \
    -fill '#2a2e34' -stroke '#7b8794' -strokewidth 2 -draw "roundrectangle 76,120 190,420 16,16" \
    -fill '#3b4049' -stroke none -draw "rectangle 70,200 76,260" \
    -fill '#9fd8a4' -stroke '#1a1d21' -strokewidth 2 -draw "roundrectangle 90,232 176,284 5,5" \
    -fill '#1d3b22' -stroke none -font "$mono" -pointsize 17 -draw "text 96,256 'CH 01'" \
    -pointsize 13 -draw "text 96,276 '438.500'" \
    -fill none -stroke '#596270' -strokewidth 3 \
    -draw "line 96,146 170,146" -draw "line 96,160 170,160" \
    -draw "line 96,174 170,174" -draw "line 96,188 170,188" -draw "line 96,202 170,202" \
    -fill '#4d5561' -stroke '#8896a6' -strokewidth 1 -draw "$keys" \
    -fill '#e24b3b' -stroke none -draw "circle 172,130 176,130" \
    -fill white -font "$sans_bold" -pointsize 48 -draw "text 230,148 'ZEMTRA800'" \
    -fill '#a8c8ee' -font "$sans" -pointsize 16 -draw "text 232,186 'RADIO PROGRAMMING SOFTWARE'" \
    -fill '#d8e6f6' -font "$cjk" -pointsize 24 -draw "text 232,226 '对讲机编程软件'" \
    -fill '#a8c8ee' -font "$sans" -pointsize 14 -draw "text 232,262 'Version 3.12'" \
    -stroke '#ffffff55' -strokewidth 1 -draw "line 220,345 580,345" \
    -type TrueColor -depth 8 -strip "$out/splash.png"

# The icon: the same radio, reduced, on a rounded blue tile.
convert -size 128x128 xc:none \
    \( -size 120x120 gradient:'#2f7bd0'-'#123c6e' \
       \( -size 120x120 xc:none -fill white -draw "roundrectangle 0,0 119,119 24,24" \) \
       -compose DstIn -composite \) -geometry +4+4 -compose Over -composite \
    -fill none -stroke '#ffffffaa' -strokewidth 4 \
    -draw "ellipse 48,20 12,12 285,345" -draw "ellipse 48,20 22,22 290,340" \
    -fill white -stroke none -draw "roundrectangle 44,14 52,52 3,3" \
    -draw "roundrectangle 38,44 86,118 9,9" \
    -fill '#9fd8a4' -draw "roundrectangle 45,56 79,74 3,3" \
    -fill '#123c6e' -draw "rectangle 46,82 78,84" -draw "rectangle 46,90 78,92" \
    -draw "rectangle 46,98 78,100" -draw "rectangle 46,106 78,108" \
    -type TrueColorAlpha -depth 8 -strip "$out/zemtra800.png"

echo "wrote $out/splash.png and $out/zemtra800.png"
