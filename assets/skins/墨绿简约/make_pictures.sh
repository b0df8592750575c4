#!/usr/bin/env bash
# Draws the 26 pictures of the skin "墨绿简约" with ImageMagick: a narrow,
# tall window in ivory with an ink-green header and footer, the window buttons
# on the left of the header, the team bar under it, a three-column item panel
# that also suits the text list, the scroll buttons side by side beneath the
# panel and the four menu captions in the footer. Drawn at their size and at
# twice it into the folder 2x beside them, for screens of 175 % and more (the
# same drawing with every length doubled, not the small pictures enlarged).
#   make_pictures.sh <image folder>
# Pictures are 24-bit bitmaps (the stock item icons are 32-bit icons). Every
# button picture is cut from the backdrop at the button's own position, so a
# button sits seamlessly on the window whichever state it shows.
# Pixels of exactly RGB(250,250,250) are see-through in the launcher window;
# only the rounded corners use that colour, and the outline is drawn without
# anti-aliasing so no light fringe shows against a dark desktop.
# Positions below must match 墨绿简约.vse (there in twips, 15 per pixel).
set -euo pipefail

image="${1:?usage: make_pictures.sh <image folder>}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

KEY='#FAFAFA'
W=240
H=432
INK='#1F4A3B'
INK_DARK='#163528'
IVORY='#F4F1E8'

# Every picture at scale $S (1 or 2) into $out; coordinates below are those
# of the normal size (see scaled_drawing.sh).
source "$(dirname "${BASH_SOURCE[0]}")/../scaled_drawing.sh"
draw_all() {
start_scale "$1" "$2"

# ---- backdrop ---------------------------------------------------------------
convert -size "$(z 240)x$(z 44)" gradient:'#2B5E4A'-'#1D4536' "$work/header.png"
convert -size "$(z 240)x$(z 36)" gradient:'#1D4536'-'#143126' "$work/footer.png"

# Window outline: one rounded rectangle, no anti-aliasing.
convert -size "$(z $W)x$(z $H)" xc:black -affine "$A" +antialias -fill white \
    -draw "roundrectangle 0,0 $((W - 1)),$((H - 1)) 10,10" "$work/mask.png"

convert -size "$(z $W)x$(z $H)" xc:"$IVORY" \
    "$work/header.png" -geometry +0+0 -composite \
    "$work/footer.png" -geometry "+0+$(z 396)" -composite \
    -affine "$A" -fill none -strokewidth 1 \
    -stroke '#3F7A62' -draw "line 10,1 229,1" \
    -stroke "$INK_DARK" -draw "line 0,44 239,44" \
    -stroke '#D9D3C2' -draw "line 0,45 239,45" \
    -stroke '#0F2A20' -draw "line 0,395 239,395" \
    -stroke '#2C604C' -draw "line 0,396 239,396" \
    -stroke '#D6CFBC' -fill '#E9E4D6' -draw "roundrectangle 8,52 231,77 4,4" \
    -stroke '#CFC8B4' -fill none -draw "rectangle 9,85 229,358" \
    -stroke '#E6E0D0' -draw "line 10,359 229,359" \
    -stroke none -fill '#5E8A76' -font DejaVu-Sans -pointsize 8 \
    -draw "text 200,426 'Vantrel'" \
    "$work/mask.png" -alpha off -compose CopyOpacity -composite \
    -compose Over -background "$KEY" -flatten \
    -type TrueColor "$work/backdrop.png"
convert "$work/backdrop.png" -type TrueColor "BMP3:$out/backdrop.img"

# ---- buttons ------------------------------------------------------------------
cut() {  # x y w h -> stdout png
    convert "$work/backdrop.png" -crop "$(z $3)x$(z $4)+$(z $1)+$(z $2)" +repage png:-
}

# Round window buttons on the left of the header (16x16 at y=14).
dot() {  # file x fill ring glyph-draw glyph-colour
    local file=$1 x=$2 fill=$3 ring=$4 glyph=$5 colour=$6
    cut "$x" 14 16 16 | convert png:- -affine "$A" -antialias \
        -fill "$fill" -stroke "$ring" -strokewidth 1 -draw "circle 7.5,7.5 7.5,0.8" \
        -fill none -stroke "$colour" -strokewidth 1.6 -draw "$glyph" \
        -type TrueColor "BMP3:$out/$file"
}
X_GLYPH="line 5,5 10,10 line 10,5 5,10"
MIN_GLYPH="line 4.5,7.5 10.5,7.5"
PIN_OFF="rectangle 6,3.5 9,6.5 line 4.5,7.5 10.5,7.5 line 7.5,7.5 7.5,12"
PIN_ON="line 4,5.5 11,5.5 line 7.5,2.5 7.5,5.5 line 7.5,9 7.5,12.5 circle 7.5,9 7.5,7.8"

dot close1.img 12 '#D9564A' '#A83A30' "$X_GLYPH" '#7A1E16'
dot close2.img 12 '#F06A5C' '#C0463A' "$X_GLYPH" '#FFFFFF'
dot close3.img 12 '#A63A2F' '#7A241C' "$X_GLYPH" '#FFD9D4'
dot min1.img 33 '#E2A93B' '#B07F1E' "$MIN_GLYPH" '#6E4A08'
dot min2.img 33 '#F4BD4E' '#C8922A' "$MIN_GLYPH" '#FFFFFF'
dot min3.img 33 '#B8841F' '#8A6112' "$MIN_GLYPH" '#FFF0CC'
dot lock1.img 54 '#7E978A' '#5B7366' "$PIN_OFF" '#EEF3EF'
dot lock2.img 54 '#4DB37A' '#2F8055' "$PIN_ON" '#FFFFFF'

# Flat tiles with a chevron.
tile() {  # file x y w h fill edge chevron colour shift
    local file=$1 x=$2 y=$3 w=$4 h=$5 fill=$6 edge=$7 chev=$8 colour=$9 shift=${10:-0}
    cut "$x" "$y" "$w" "$h" | convert png:- -affine "$A" -antialias \
        -fill "$fill" -stroke "$edge" -strokewidth 1 \
        -draw "roundrectangle 0.5,0.5 $((w - 1)).5,$((h - 1)).5 $(((h - 2) / 2)),$(((h - 2) / 2))" \
        -fill none -stroke "$colour" -strokewidth 2 -draw "translate $shift,$shift polyline $chev" \
        -type TrueColor "BMP3:$out/$file"
}
states() {  # name x y w h chevron
    tile "${1}1.img" "$2" "$3" "$4" "$5" "$IVORY" '#CFC8B4' "$6" '#2F6B52'
    tile "${1}2.img" "$2" "$3" "$4" "$5" '#2F6B52' "$INK" "$6" '#FFFFFF'
    tile "${1}3.img" "$2" "$3" "$4" "$5" "$INK" "$INK_DARK" "$6" '#CFE3D6' 1
}
states left 10 54 16 22 "10,6.5 5.5,11 10,15.5"
states right 214 54 16 22 "6,6.5 10.5,11 6,15.5"
states up 68 366 48 18 "18.5,11 23.5,6 28.5,11"
states down 124 366 48 18 "18.5,7 23.5,12 28.5,7"

# Team bar background: a faint stripe the height of the bar.
convert -size "$(z 1600)x$(z 22)" gradient:'#EFEBDF'-'#E3DDCC' -type TrueColor "BMP3:$out/teamback.img"

# ---- stock item icons (32x32, with alpha) -------------------------------------
icon() {  # file draw-commands...
    local file=$1
    shift
    convert -size "$(z 32)x$(z 32)" xc:none -affine "$A" -antialias "$@" "ICO:$work/icon.ico"
    cp "$work/icon.ico" "$out/$file"
}
# Web link: a green globe.
icon link.img -fill '#3A8F6A' -stroke '#1E5A40' -strokewidth 1.5 -draw "circle 16,16 16,3" \
    -fill none -stroke '#DDF2E6' -strokewidth 1.2 -draw "ellipse 16,16 6,13 0,360" \
    -draw "line 3.5,16 28.5,16" -draw "line 6,9 26,9" -draw "line 6,23 26,23"
# Document: an ivory page with a green corner and text lines.
icon file.img -fill '#FFFEF8' -stroke '#5B7A6B' -strokewidth 1.2 -draw "polygon 7,3 20,3 26,9 26,29 7,29" \
    -fill '#8CC4A6' -draw "polygon 20,3 20,9 26,9" \
    -stroke '#9DB8AA' -strokewidth 1 -draw "line 10,14 23,14" -draw "line 10,18 23,18" -draw "line 10,22 19,22"
# Folder: olive tab and body.
icon dir.img -fill '#A8924A' -stroke '#7A6628' -strokewidth 1 -draw "roundrectangle 3,7 14,12 2,2" \
    -fill '#D4BE74' -draw "roundrectangle 3,10 29,27 2,2" \
    -stroke '#EBDCA6' -draw "line 5,13 27,13"
# Extended item: four tiles, one of them lit.
icon exitem.img -stroke '#1E5A40' -strokewidth 1 \
    -fill '#3A8F6A' -draw "roundrectangle 4,4 14,14 2,2" -draw "roundrectangle 18,18 28,28 2,2" \
    -fill '#7FC2A0' -draw "roundrectangle 18,4 28,14 2,2" \
    -fill '#F2D27A' -stroke '#A8862A' -draw "roundrectangle 4,18 14,28 2,2"

count=$(ls "$out"/*.img | wc -l)
if [[ $count -ne 26 ]]; then
    echo "make_pictures.sh: expected 26 pictures in $out, made $count" >&2
    exit 1
fi
}

draw_all 1 "$image"
draw_all 2 "$image/2x"
