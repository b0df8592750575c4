#!/usr/bin/env bash
# Draws the program icon (a small blue scroll) at the small and large icon
# sizes of 100, 125, 150 and 200 % display scaling (16, 20, 24, 32, 40, 48
# and 64 pixels), so the system never has to stretch one for the tray or the
# window.
#   vt_icon.sh <output .ico>
set -euo pipefail
out="${1:?usage: vt_icon.sh <output.ico>}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
# Drawn once at 256 pixels and scaled down, so every size keeps the same shape.
convert -size 256x256 xc:none -antialias \
    -fill '#EAF2FC' -stroke '#7FA2D4' -strokewidth 6 -draw "rectangle 52,44 204,212" \
    -stroke '#B9CFEC' -strokewidth 8 -draw "line 78,92 178,92" -draw "line 78,128 178,128" -draw "line 78,164 150,164" \
    -fill '#2E62A8' -stroke '#143A73' -strokewidth 6 -draw "roundrectangle 28,16 228,60 20,20" \
    -draw "roundrectangle 28,196 228,240 20,20" \
    -fill '#E8C463' -stroke '#8A6A22' -draw "roundrectangle 8,22 34,54 8,8" -draw "roundrectangle 222,22 248,54 8,8" \
    -draw "roundrectangle 8,202 34,234 8,8" -draw "roundrectangle 222,202 248,234 8,8" \
    -stroke none -fill '#8FBDF2' -draw "roundrectangle 40,22 216,30 4,4" -draw "roundrectangle 40,202 216,210 4,4" \
    "$work/big.png"
sizes=(16 20 24 32 40 48 64)
frames=()
for s in "${sizes[@]}"; do
    convert "$work/big.png" -filter Lanczos -resize ${s}x${s} "$work/i$s.png"
    frames+=("$work/i$s.png")
done
convert "${frames[@]}" "ICO:$out"
