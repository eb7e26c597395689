#!/bin/sh
# Draws the three button images under data/images with ImageMagick (needs the DejaVu fonts).
set -e
cd "$(dirname "$0")/../data/images"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
convert -size 20x20 xc:none -fill '#2f6fd0' -stroke '#1d4d99' -strokewidth 1 \
    -draw 'circle 9.5,9.5 9.5,0.8' -stroke none -fill white -font "$font" -pointsize 15 \
    -gravity center -annotate +0+0 '?' helpbutton.gif
convert -size 20x20 xc:none -fill '#2e9e3a' -stroke '#1f7a29' -strokewidth 1 \
    -draw 'roundrectangle 7.5,2.5 11.5,16.5 1.5,1.5' -draw 'roundrectangle 2.5,7.5 16.5,11.5 1.5,1.5' \
    -stroke none -draw 'rectangle 8,8 11,11' -define png:exclude-chunks=date,time PNG32:AddIcon.png
convert -size 20x20 xc:none -stroke '#b71c1c' -strokewidth 4.6 \
    -draw 'line 4.5,4.5 14.5,14.5' -draw 'line 14.5,4.5 4.5,14.5' -stroke '#e53935' -strokewidth 3 \
    -draw 'line 4.5,4.5 14.5,14.5' -draw 'line 14.5,4.5 4.5,14.5' -define png:exclude-chunks=date,time PNG32:Delete-icon.png
# The program's 256-pixel icon from its drawing (resources/icons/karveno.svg).
cd ../../resources/icons
convert -background none -density 96 karveno.svg -resize 256x256 \
    -define png:exclude-chunks=date,time PNG32:karveno.png
