#!/usr/bin/env bash
# Draws the 26 pictures of the default skin with ImageMagick, at their size
# and at twice it into the folder 2x beside them, for screens of 175 % and
# more (the same drawing with every length doubled, not the small pictures
# enlarged).
#   make_pictures.sh <image folder>
# Pictures are 24-bit bitmaps (the stock item icons are 32-bit icons). Every
# button picture is cut from the backdrop at the button's own position and the
# glyph drawn on top, so the buttons sit seamlessly on the scroll.
# Pixels of exactly RGB(250,250,250) are see-through in the launcher window;
# only the area outside the scroll uses that colour, and the outline is drawn
# without anti-aliasing so no light fringe shows against a dark desktop.
# Positions below must match the skin project 蓝色卷轴.vse (there in twips,
# 15 per pixel), from which the build writes skin.vsu.
set -euo pipefail

image="${1:?usage: make_pictures.sh <image folder>}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

KEY='#FAFAFA'

# Every picture at scale $S (1 or 2) into $out; coordinates below are those
# of the normal size (see scaled_drawing.sh).
source "$(dirname "${BASH_SOURCE[0]}")/../scaled_drawing.sh"
draw_all() {
start_scale "$1" "$2"
W=$(z 360)
H=$(z 460)

# ---- backdrop ---------------------------------------------------------------
# Roller: a cylinder shaded dark-light-dark from top to bottom.
roller() {  # name width height
    local w=$(z $2) h=$(z $3) half=$(z $(($3 / 2)))
    convert -size "${w}x${half}" gradient:'#143A73'-'#6FA6E6' \
            -size "${w}x$((h - half))" gradient:'#6FA6E6'-'#0E2C5A' -append "$work/$1.png"
}
# Gold knob at each end of a roller.
knob() {  # name height
    local h=$(z $2) half=$(z $(($2 / 2)))
    convert -size "$(z 14)x${half}" gradient:'#8A6A22'-'#F3DB93' \
            -size "$(z 14)x$((h - half))" gradient:'#F3DB93'-'#7A5A18' -append "$work/$1.png"
}

roller rod 336 36
knob cap 26

# Paper: pale blue with a soft vertical fade.
convert -size "$(z 328)x$(z 404)" gradient:'#F1F6FD'-'#D6E5F7' "$work/paper.png"

# Shape mask of the whole scroll: paper + two rods + four knobs (no AA).
convert -size ${W}x${H} xc:black -affine "$A" +antialias -fill white \
    -draw "rectangle 16,28 343,431" \
    -draw "roundrectangle 12,2 347,37 10,10" \
    -draw "roundrectangle 12,422 347,457 10,10" \
    -draw "roundrectangle 0,7 13,32 4,4" -draw "roundrectangle 346,7 359,32 4,4" \
    -draw "roundrectangle 0,427 13,452 4,4" -draw "roundrectangle 346,427 359,452 4,4" \
    "$work/mask.png"

at() { echo "+$(z $1)+$(z $2)"; }
convert -size ${W}x${H} xc:'#D6E5F7' \
    "$work/paper.png" -geometry "$(at 16 28)" -composite \
    "$work/rod.png" -geometry "$(at 12 2)" -composite \
    "$work/rod.png" -geometry "$(at 12 422)" -composite \
    "$work/cap.png" -geometry "$(at 0 7)" -composite "$work/cap.png" -geometry "$(at 346 7)" -composite \
    "$work/cap.png" -geometry "$(at 0 427)" -composite "$work/cap.png" -geometry "$(at 346 427)" -composite \
    -affine "$A" -fill none -strokewidth 1 \
    -stroke '#A9C3E6' -draw "line 16,38 16,421" -draw "line 343,38 343,421" \
    -stroke '#FFFFFF' -draw "line 17,38 17,421" \
    -stroke '#0B2550' -draw "line 12,37 347,37" -draw "line 12,422 347,422" \
    -stroke '#9FC5F2' -draw "line 22,5 337,5" -draw "line 22,425 337,425" \
    -stroke '#B9CFEC' -draw "rectangle 21,43 338,417" \
    -stroke '#7FA2D4' -draw "rectangle 39,75 320,98" \
    -stroke '#7FA2D4' -draw "rectangle 23,109 311,406" \
    -stroke none -fill '#E9F1FB' -draw "rectangle 24,110 310,405" \
    -fill '#CFDDF1' -draw "roundrectangle 321,132 335,384 5,5" \
    -stroke '#B3C9E8' -fill none -draw "line 328,138 328,378" \
    -stroke '#C9D9EF' -draw "line 24,67 335,67" \
    -stroke none -fill '#8CA9D3' -font DejaVu-Sans -pointsize 9 \
    -draw "text 24,416 'Vantrel'" \
    "$work/mask.png" -alpha off -compose CopyOpacity -composite \
    -compose Over -background "$KEY" -flatten \
    -type TrueColor "$work/backdrop.png"
convert "$work/backdrop.png" -type TrueColor "BMP3:$out/backdrop.img"

# ---- buttons ------------------------------------------------------------------
# Cut the backdrop under a button.
cut() {  # x y w h -> stdout png
    convert "$work/backdrop.png" -crop "$(z $3)x$(z $4)+$(z $1)+$(z $2)" +repage png:-
}

# Round badge buttons on the top roller (20x20 at y=9).
badge() {  # file x fill ring glyph-draw glyph-colour shift
    local file=$1 x=$2 fill=$3 ring=$4 glyph=$5 colour=$6 shift=${7:-0}
    cut "$x" 9 20 20 | convert png:- -affine "$A" -antialias \
        -fill "$fill" -stroke "$ring" -strokewidth 1 -draw "circle 9.5,9.5 9.5,1" \
        -fill none -stroke "$colour" -strokewidth 2 \
        -draw "translate $shift,$shift $glyph" \
        -type TrueColor "BMP3:$out/$file"
}
X_GLYPH="line 6,6 13,13 line 13,6 6,13"
MIN_GLYPH="line 6,10 13,10"
# Pushpin: head, needle.
PIN_OFF="rectangle 7,5 12,9 line 5,10 14,10 line 9.5,10 9.5,15"
PIN_ON="line 6,8 13,8 line 9.5,4 9.5,8 circle 9.5,12 9.5,9"

badge close1.img 322 '#2E62A8' '#9FC5F2' "$X_GLYPH" '#FFFFFF'
badge close2.img 322 '#D9473F' '#FFC2BC' "$X_GLYPH" '#FFFFFF'
badge close3.img 322 '#8E211B' '#D9473F' "$X_GLYPH" '#FFE0DC' 1
badge min1.img 298 '#2E62A8' '#9FC5F2' "$MIN_GLYPH" '#FFFFFF'
badge min2.img 298 '#4C8BE0' '#D4E7FF' "$MIN_GLYPH" '#FFFFFF'
badge min3.img 298 '#163F7A' '#4C8BE0' "$MIN_GLYPH" '#DDEBFF' 1
badge lock1.img 274 '#2E62A8' '#9FC5F2' "$PIN_OFF" '#D6E6FA'
badge lock2.img 274 '#D9A520' '#FFF0B8' "$PIN_ON" '#FFFFFF'

# Arrow buttons on the paper: rounded tile with a triangle.
arrow() {  # file x y w h tile edge arrow-points arrow-colour shift
    local file=$1 x=$2 y=$3 w=$4 h=$5 tile=$6 edge=$7 pts=$8 colour=$9 shift=${10:-0}
    cut "$x" "$y" "$w" "$h" | convert png:- -affine "$A" -antialias \
        -fill "$tile" -stroke "$edge" -strokewidth 1 -draw "roundrectangle 0.5,0.5 $((w - 1)).5,$((h - 1)).5 4,4" \
        -fill "$colour" -stroke none -draw "translate $shift,$shift polygon $pts" \
        -type TrueColor "BMP3:$out/$file"
}
LEFT_PTS="10,5 10,16 4,10.5"
RIGHT_PTS="5,5 5,16 11,10.5"
UP_PTS="4,12 15,12 9.5,6"
DOWN_PTS="4,8 15,8 9.5,14"
for dir in left right; do
    x=20
    pts=$LEFT_PTS
    if [[ $dir == right ]]; then x=324; pts=$RIGHT_PTS; fi
    arrow "${dir}1.img" $x 76 16 22 '#DCE8F7' '#8FAFDB' "$pts" '#2E62A8'
    arrow "${dir}2.img" $x 76 16 22 '#4C8BE0' '#2E62A8' "$pts" '#FFFFFF'
    arrow "${dir}3.img" $x 76 16 22 '#1F4E93' '#143A73' "$pts" '#DDEBFF' 1
done
for dir in up down; do
    y=110
    pts=$UP_PTS
    if [[ $dir == down ]]; then y=386; pts=$DOWN_PTS; fi
    arrow "${dir}1.img" 318 $y 20 20 '#DCE8F7' '#8FAFDB' "$pts" '#2E62A8'
    arrow "${dir}2.img" 318 $y 20 20 '#4C8BE0' '#2E62A8' "$pts" '#FFFFFF'
    arrow "${dir}3.img" 318 $y 20 20 '#1F4E93' '#143A73' "$pts" '#DDEBFF' 1
done

# Team bar background: a faint paper stripe the height of the bar.
convert -size "$(z 1600)x$(z 22)" gradient:'#EEF4FC'-'#DCE8F7' -type TrueColor "BMP3:$out/teamback.img"

# ---- stock item icons (32x32, with alpha) -------------------------------------
icon() {  # file draw-commands...
    local file=$1
    shift
    convert -size "$(z 32)x$(z 32)" xc:none -affine "$A" -antialias "$@" "ICO:$work/icon.ico"
    cp "$work/icon.ico" "$out/$file"
}
# Web link: a globe.
icon link.img -fill '#3B82D6' -stroke '#1B4F91' -strokewidth 1.5 -draw "circle 16,16 16,3" \
    -fill none -stroke '#DDEEFF' -strokewidth 1.2 -draw "ellipse 16,16 6,13 0,360" \
    -draw "line 3.5,16 28.5,16" -draw "line 6,9 26,9" -draw "line 6,23 26,23"
# Document: a page with a folded corner and text lines.
icon file.img -fill '#FFFFFF' -stroke '#5F7EA8' -strokewidth 1.2 -draw "polygon 7,3 20,3 26,9 26,29 7,29" \
    -fill '#C9D8EE' -draw "polygon 20,3 20,9 26,9" \
    -stroke '#8CA9D3' -strokewidth 1 -draw "line 10,14 23,14" -draw "line 10,18 23,18" -draw "line 10,22 19,22"
# Folder: tab and body in warm yellow.
icon dir.img -fill '#E2B13C' -stroke '#A7781A' -strokewidth 1 -draw "roundrectangle 3,7 14,12 2,2" \
    -fill '#F5CD5B' -draw "roundrectangle 3,10 29,27 2,2" \
    -stroke '#FBE39A' -draw "line 5,13 27,13"
# Extended item: a gear.
icon exitem.img -fill '#6C7F99' -stroke '#3E4E66' -strokewidth 1 \
    -draw "polygon 14,2 18,2 19,7 23,8 27,5 29,8 26,12 27,15 31,16 31,19 26,20 25,23 28,27 25,29 21,26 18,27 17,31 14,31 13,26 10,25 6,28 4,25 7,21 6,18 2,17 2,14 7,13 8,10 5,6 8,4 12,7" \
    -fill '#E8EEF6' -draw "circle 16,16 16,11"

count=$(ls "$out"/*.img | wc -l)
if [[ $count -ne 26 ]]; then
    echo "make_pictures.sh: expected 26 pictures in $out, made $count" >&2
    exit 1
fi
}

draw_all 1 "$image"
draw_all 2 "$image/2x"
