#!/bin/sh
# The viewer's pictures as ImageMagick reads them: each strip as wide as its
# pictures side by side, the lens 235 x 235, the program icon at 16, 32 and 48
# pixels with alpha and a transparent corner.
#   identify_pictures.sh <identify> <pictures folder>
identify=$1
folder=$2
failed=0

expect() {  # file, format, expected line
    actual=$("$identify" -format "$2" "$folder/$1" 2>&1)
    if [ "$actual" != "$3" ]; then
        echo "$1: expected '$3', read '$actual'"
        failed=1
    fi
}

strip='%m %wx%h %z-bit %[colorspace]'
expect imlmain.bmp "$strip" "BMP3 144x24 8-bit sRGB"
expect imlbutton.bmp "$strip" "BMP3 32x16 8-bit sRGB"
expect imlno0.bmp "$strip" "BMP3 32x16 8-bit sRGB"
expect imlno1.bmp "$strip" "BMP3 32x16 8-bit sRGB"
expect imllist.bmp "$strip" "BMP3 32x16 8-bit sRGB"
expect imlicon.bmp "$strip" "BMP3 32x16 8-bit sRGB"
expect imgshadow.bmp "$strip" "BMP3 40x8 8-bit sRGB"
expect imgleftvertical.bmp "$strip" "BMP3 5x20 8-bit sRGB"
expect imglefthorizontal.bmp "$strip" "BMP3 20x5 8-bit sRGB"
expect lens.bmp "$strip %[pixel:p{117,117}]" "BMP3 235x235 8-bit sRGB srgb(255,255,255)"
expect program.ico '%m %wx%h %A %[pixel:p{0,0}];' "ICO 16x16 True srgba(0,0,0,0);ICO 32x32 True srgba(0,0,0,0);ICO 48x48 True srgba(0,0,0,0);"
exit $failed
