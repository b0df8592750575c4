#!/usr/bin/env bash
# The release archive unpacks into a folder whose VT.exe starts, on a first
# start with no settings, in the default skin.
#   archive_starts.sh <Vantrel-x.y-win64.zip> <work folder> <default skin backdrop as built>
# The work folder keeps its Wine prefix between runs (making one takes most of
# a minute); the launcher's settings in it are removed before each start.
set -euo pipefail
zip="$(realpath -m "${1:?usage: archive_starts.sh <zip> <work folder>}")"
work="$(realpath -m "${2:?usage: archive_starts.sh <zip> <work folder>}")"
reference="$(realpath -m "${3:?usage: archive_starts.sh <zip> <work folder> <backdrop.img>}")"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

fail() { echo "FAIL: $*" >&2; exit 1; }

[[ -f "$zip" ]] || fail "no archive $zip; build it first with: cmake --build <tree> --target release"

mkdir -p "$work"
rm -rf "$work/unpacked"
mkdir -p "$work/unpacked"
(cd "$work/unpacked" && LC_ALL=C.UTF-8 cmake -E tar xf "$zip") || fail "the archive does not unpack"
app="$work/unpacked/Vantrel"

# What a user gets, and nothing of a developer's.
for f in VT.exe VTSkinEditor.exe help.chm PINYIN_NOTICE.txt "SKIN/蓝色卷轴/skin.vsu" "SKIN/蓝色卷轴/image/backdrop.img" \
         "SKIN/墨绿简约/skin.vsu" "SKIN/墨绿简约/image/backdrop.img"; do
    [[ -f "$app/$f" ]] || fail "the archive lacks Vantrel/$f"
done
[[ ! -e "$app/DATA" ]] || fail "the archive holds a DATA folder"
if find "$app" -iname '*.dll' | grep -q .; then fail "the archive holds DLLs"; fi
for skin in "$app"/SKIN/*/; do
    n=$(find "$skin/image" -name '*.img' | wc -l)
    [[ $n -ge 25 ]] || fail "skin $skin has $n pictures"
done

# The editable project of each skin, beside the pictures it names relative to
# itself, for designers to start from.
for skin in "$app"/SKIN/*/; do
    name="$(basename "$skin")"
    project="$app/SkinProjects/$name"
    [[ -f "$project/$name.vse" ]] || fail "the archive lacks Vantrel/SkinProjects/$name/$name.vse"
    # Every picture the project names, stored as \image\<file>, is there.
    names="$(iconv -f GBK -t UTF-8 "$project/$name.vse" | tr -d '\r' | sed -n 's/^[A-Za-z0-9]*=\\image\\//p')"
    [[ $(wc -l <<<"$names") -ge 25 ]] || fail "SkinProjects/$name/$name.vse names too few pictures"
    while read -r f; do
        [[ -f "$project/image/$f" ]] || fail "SkinProjects/$name lacks image/$f, which its project names"
    done <<<"$names"
done

# Named after the version the programs carry: Vantrel-1.40-win64.zip holds
# programs whose product version is 1.40.0.0.
[[ "$(basename "$zip")" =~ ^Vantrel-([0-9]+\.[0-9]+)-win64\.zip$ ]] || fail "the archive is named $(basename "$zip")"
version="${BASH_REMATCH[1]}"
for exe in VT.exe VTSkinEditor.exe; do
    carried="$(strings -e l "$app/$exe" | grep -A1 -x ProductVersion | sed -n 2p)"
    [[ "$carried" == "$version.0.0" ]] || fail "$exe carries the product version '$carried', the archive is named $version"
done

# A display of its own, so no other window can be taken for the launcher.
xvfb_pid=""
# tools/wine takes its prefix from VT_WINEPREFIX; wineserver below, from WINEPREFIX.
export VT_WINEPREFIX="$work/prefix" WINEPREFIX="$work/prefix"
cleanup() {
    wineserver -k 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null || true
}
trap cleanup EXIT
for n in $(seq 200 250); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 100); do xdpyinfo -display ":$n" >/dev/null 2>&1 && break; sleep 0.1; done
    if xdpyinfo -display ":$n" >/dev/null 2>&1; then export DISPLAY=":$n"; break; fi
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
done
[[ -n "$xvfb_pid" ]] || fail "no free X display"

# First start: no settings at all.
"$root/tools/wine" reg delete 'HKLM\SOFTWARE\Oskarn' /f >/dev/null 2>&1 || true

(cd "$app" && exec "$root/tools/wine" "$app/VT.exe") >/dev/null 2>&1 &
win=""
for _ in $(seq 1 600); do
    win="$(xdotool search --onlyvisible --name '^Vantrel' 2>/dev/null | head -1 || true)"
    [[ -n "$win" ]] && break
    sleep 0.1
done
[[ -n "$win" ]] || fail "VT.exe from the archive shows no window"

# The default skin is 360 x 460 pixels.
eval "$(xdotool getwindowgeometry --shell "$win")"
[[ "$WIDTH" == 360 && "$HEIGHT" == 460 ]] || fail "the window is ${WIDTH}x${HEIGHT}, not the default skin's 360x460"

# And it shows the default skin's backdrop: a spot of the top roller, away from
# any text or button, has the backdrop's colour. Painting may lag the window's
# appearance, so look until it matches.
want="$(convert "bmp:$reference" -format '%[pixel:p{150,20}]' info:)"
got=""
for _ in $(seq 1 100); do
    got="$(import -window root -crop "1x1+$((X + 150))+$((Y + 20))" +repage -format '%[pixel:p{0,0}]' info: 2>/dev/null || true)"
    [[ "$got" == "$want" ]] && break
    sleep 0.1
done
[[ "$got" == "$want" ]] || fail "the window shows $got where the default skin has $want"

# It runs from the unpacked folder: its store is made beside it.
for _ in $(seq 1 50); do [[ -d "$app/DATA" ]] && break; sleep 0.1; done
[[ -d "$app/DATA" ]] || fail "VT.exe made no DATA folder beside itself"

echo "release archive: unpacks and starts in the default skin"
