#!/bin/sh
# Draws the pictures installed with the sample catalogue: seven 320x240 product
# pictures (data/Bin/sample0.jpg .. sample6.jpg) and the tileable background of
# the sample yearbook (data/Bin/Backgrd.gif).
#
# The generated files are committed, so building or running the demo never needs
# ImageMagick; run this script again only to change the pictures.
#
#   sample0  chair        sample4  bookcase
#   sample1  table        sample5  sofa
#   sample2  armchair     sample6  stool
#   sample3  floor lamp
#
# Usage: scripts/make-sample-pictures.sh [output-directory]   (default: data/Bin)
set -eu

out=${1:-"$(dirname "$0")/../data/Bin"}
mkdir -p "$out"

if ! command -v convert >/dev/null 2>&1; then
    echo "make-sample-pictures: ImageMagick 'convert' is required" >&2
    exit 1
fi

W=320
H=240

# picture NAME TOP BOTTOM SHADOW DRAW...
# A soft vertical gradient, a blurred floor shadow, then the object drawn with
# the given primitives. Metadata is stripped so that the files are reproducible.
picture() {
    name=$1 top=$2 bottom=$3 shadow=$4
    shift 4
    convert -size ${W}x${H} gradient:"$top"-"$bottom" \
        \( -size ${W}x${H} xc:none -fill 'rgba(60,40,20,0.35)' \
           -draw "$shadow" -blur 0x7 \) -composite \
        "$@" \
        -strip -sampling-factor 4:2:0 -interlace none -quality 84 \
        "$out/$name.jpg"
}

# Chair: solid oak, seen from the front, with a slatted back.
picture sample0 '#f4efe6' '#e2d6c3' 'ellipse 160,210 70,10 0,360' \
    -fill '#9c6a3c' \
    -draw 'roundrectangle 116,128 126,208 3,3' \
    -draw 'roundrectangle 194,128 204,208 3,3' \
    -fill '#8a5a30' \
    -draw 'roundrectangle 130,136 138,198 3,3' \
    -draw 'roundrectangle 182,136 190,198 3,3' \
    -fill '#b57d47' \
    -draw 'roundrectangle 114,40 126,136 4,4' \
    -draw 'roundrectangle 194,40 206,136 4,4' \
    -fill '#c8915a' \
    -draw 'roundrectangle 120,46 200,62 6,6' \
    -draw 'roundrectangle 138,62 146,112 2,2' \
    -draw 'roundrectangle 156,62 164,112 2,2' \
    -draw 'roundrectangle 174,62 182,112 2,2' \
    -draw 'roundrectangle 120,104 200,114 4,4' \
    -fill '#d6a06a' \
    -draw 'roundrectangle 104,122 216,138 7,7' \
    -fill '#e3b27d' \
    -draw 'roundrectangle 108,122 212,128 5,3'

# Table: walnut dining table with a small vase.
picture sample1 '#eef2ee' '#d5ddd4' 'ellipse 160,212 120,10 0,360' \
    -fill '#5f3a22' \
    -draw 'roundrectangle 70,118 82,210 3,3' \
    -draw 'roundrectangle 238,118 250,210 3,3' \
    -fill '#4e2f1b' \
    -draw 'roundrectangle 96,118 104,196 3,3' \
    -draw 'roundrectangle 216,118 224,196 3,3' \
    -fill '#6d4429' \
    -draw 'rectangle 66,112 254,126' \
    -fill '#7e5031' \
    -draw 'roundrectangle 46,100 274,114 6,6' \
    -fill '#946240' \
    -draw 'roundrectangle 50,100 270,105 4,2' \
    -fill '#3f6f8f' \
    -draw 'ellipse 160,84 13,16 0,360' \
    -draw 'rectangle 155,62 165,76' \
    -fill '#5d8f4a' \
    -draw 'ellipse 150,52 9,6 -30,330' \
    -draw 'ellipse 172,48 9,6 0,360' \
    -fill '#e07a5f' \
    -draw 'circle 160,46 160,38' \
    -fill '#f2cc8f' \
    -draw 'circle 160,46 160,42'

# Armchair: teal upholstery on short beech legs.
picture sample2 '#f3ede4' '#dccfbd' 'ellipse 160,212 92,10 0,360' \
    -fill '#a87446' \
    -draw 'polygon 92,186 102,186 96,210 88,210' \
    -draw 'polygon 218,186 228,186 232,210 224,210' \
    -fill '#2b6f6b' \
    -draw 'roundrectangle 96,44 224,150 26,26' \
    -fill '#32807a' \
    -draw 'roundrectangle 80,104 116,190 16,16' \
    -draw 'roundrectangle 204,104 240,190 16,16' \
    -fill '#3a938c' \
    -draw 'roundrectangle 108,132 212,188 14,14' \
    -fill '#46a59d' \
    -draw 'roundrectangle 112,132 208,148 10,8' \
    -fill '#3f9a93' \
    -draw 'roundrectangle 84,104 112,118 10,6' \
    -draw 'roundrectangle 208,104 236,118 10,6'

# Floor lamp: brass stem and a mustard shade lit up at dusk.
convert -size ${W}x${H} gradient:'#33414f'-'#1f2833' \
    \( -size ${W}x${H} xc:none -fill 'rgba(255,214,130,0.55)' \
       -draw 'ellipse 160,96 70,58 0,360' -blur 0x24 \) -composite \
    \( -size ${W}x${H} xc:none -fill 'rgba(255,228,160,0.30)' \
       -draw 'polygon 112,106 208,106 250,214 70,214' -blur 0x10 \) -composite \
    \( -size ${W}x${H} xc:none -fill 'rgba(0,0,0,0.45)' \
       -draw 'ellipse 160,212 46,8 0,360' -blur 0x5 \) -composite \
    -fill '#caa25a' \
    -draw 'roundrectangle 156,96 163,206 3,3' \
    -draw 'ellipse 160,206 32,7 0,360' \
    -fill '#b48a45' \
    -draw 'ellipse 160,204 32,5 0,180' \
    -fill '#e2a93b' \
    -draw 'polygon 134,44 186,44 212,104 108,104' \
    -fill '#efc05e' \
    -draw 'polygon 140,44 160,44 150,104 118,104' \
    -fill '#fff3cf' \
    -draw 'ellipse 160,106 48,5 0,360' \
    -strip -sampling-factor 4:2:0 -interlace none -quality 84 \
    "$out/sample3.jpg"

# Bookcase: ash frame, books and a plant.
picture sample4 '#f1f0ea' '#d9d7cb' 'ellipse 160,214 86,8 0,360' \
    -fill '#c9a77c' \
    -draw 'rectangle 88,30 232,212' \
    -fill '#efe7da' \
    -draw 'rectangle 98,40 222,86' \
    -draw 'rectangle 98,96 222,144' \
    -draw 'rectangle 98,154 222,202' \
    -fill '#c0392b' -draw 'rectangle 104,52 116,86' \
    -fill '#2e5e8c' -draw 'rectangle 117,46 128,86' \
    -fill '#e6b54a' -draw 'rectangle 129,56 139,86' \
    -fill '#3d7a5a' -draw 'rectangle 140,50 152,86' \
    -fill '#7a4f8a' -draw 'polygon 156,86 166,86 186,62 177,56' \
    -fill '#8d6e55' -draw 'roundrectangle 190,70 214,86 3,3' \
    -fill '#d1763f' -draw 'rectangle 104,108 126,144' \
    -fill '#5d8f4a' \
    -draw 'ellipse 115,102 9,6 -20,340' \
    -draw 'ellipse 124,99 8,5 0,360' \
    -draw 'ellipse 107,98 7,5 0,360' \
    -fill '#2b4f6f' -draw 'rectangle 160,104 172,144' \
    -fill '#d9d0bf' -draw 'rectangle 173,110 184,144' \
    -fill '#b0413e' -draw 'rectangle 185,100 196,144' \
    -fill '#4d6b46' -draw 'rectangle 197,112 210,144' \
    -fill '#ccbfa9' -draw 'roundrectangle 106,180 150,202 3,3' \
    -fill '#bfb199' -draw 'roundrectangle 110,168 146,180 3,3' \
    -fill '#8fb3c8' -draw 'ellipse 190,188 16,14 0,360' \
    -fill '#b89669' \
    -draw 'rectangle 88,30 232,38' \
    -draw 'rectangle 88,86 232,96' \
    -draw 'rectangle 88,144 232,154' \
    -draw 'rectangle 88,202 232,212' \
    -draw 'rectangle 88,30 98,212' \
    -draw 'rectangle 222,30 232,212'

# Sofa: terracotta, three seats, walnut feet.
picture sample5 '#f4eee6' '#ded2c1' 'ellipse 160,206 128,9 0,360' \
    -fill '#5f3a22' \
    -draw 'rectangle 50,186 58,204' \
    -draw 'rectangle 262,186 270,204' \
    -fill '#a9532f' \
    -draw 'roundrectangle 58,74 262,156 22,22' \
    -fill '#bd6039' \
    -draw 'roundrectangle 40,114 74,192 14,14' \
    -draw 'roundrectangle 246,114 280,192 14,14' \
    -draw 'roundrectangle 70,144 250,190 12,12' \
    -fill '#cf7046' \
    -draw 'roundrectangle 74,144 158,160 10,8' \
    -draw 'roundrectangle 162,144 246,160 10,8' \
    -fill '#b65a35' \
    -draw 'roundrectangle 74,86 158,140 14,14' \
    -draw 'roundrectangle 162,86 246,140 14,14' \
    -fill '#e6c29a' \
    -draw 'roundrectangle 84,98 120,132 8,8' \
    -fill '#44789a' \
    -draw 'roundrectangle 202,100 236,132 8,8'

# Stool: round beech seat on three splayed legs.
picture sample6 '#eef1f4' '#d4dbe2' 'ellipse 160,212 64,9 0,360' \
    -fill '#b98a5a' \
    -draw 'polygon 130,104 141,104 116,210 104,210' \
    -draw 'polygon 179,104 190,104 216,210 204,210' \
    -fill '#a47548' \
    -draw 'polygon 155,106 165,106 166,200 154,200' \
    -fill '#c99a68' \
    -draw 'polygon 117,160 203,160 205,168 115,168' \
    -fill '#c69461' \
    -draw 'ellipse 160,100 56,14 0,360' \
    -fill '#dcae7c' \
    -draw 'ellipse 160,96 56,13 0,360' \
    -fill '#e7c093' \
    -draw 'ellipse 160,94 40,8 0,360'

# Background of the yearbook: a warm paper tone with a faint dot grid; every
# dot lies inside the 64x64 tile so that tiles join without a seam.
convert -size 64x64 xc:'#f7f3ec' \
    -fill '#ede6da' \
    -draw 'circle 16,16 16,18' \
    -draw 'circle 48,48 48,50' \
    -fill '#f1ebe1' \
    -draw 'circle 48,16 48,17' \
    -draw 'circle 16,48 16,49' \
    -strip -colors 8 \
    "$out/Backgrd.gif"

ls -l "$out"/sample?.jpg "$out/Backgrd.gif"
