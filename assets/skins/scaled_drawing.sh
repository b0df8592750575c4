# Sourced by the skins' make_pictures.sh: drawing a skin's pictures at their
# size and at twice it from the same coordinates.
#   start_scale S OUT   sets S (1 or 2), out (made if missing) and A, the
#                       -affine that makes -draw scale the normal size's
#                       coordinates, pixel centre onto pixel centre;
#   z N                 N times S, for sizes and offsets given outside -draw.
z() { echo $(($1 * S)); }
start_scale() {
    S=$1
    out=$2
    mkdir -p "$out"
    local shift="$(((S - 1) * 5 / 10)).$(((S - 1) * 5 % 10))"
    A="$S,0,0,$S,$shift,$shift"
}
