#!/usr/bin/env bash
# Writes the starting files of every fuzz target's corpus from the project's
# own data: the demo store (as the build converts it: GBK, CR LF), the bundled
# skin projects and skin pictures, and small bitmaps and icons. Run once when
# a target is added; tools/fuzz grows the corpora from there.
#   tests/fuzz/make_seeds.sh [corpus folder]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
out="${1:-$root/tests/fuzz/corpus}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$root"

ansi() { iconv -f UTF-8 -t GBK "$1" | sed 's/$/\r/'; }
seed() { mkdir -p "$out/$1"; cat >"$out/$1/$2"; }

# The demo store, file by file and packed as one tree (the store target's
# archive: "@@ path" lines before each file).
pack_demo() {
    local conv=$1
    for f in $(cd assets/demo/DATA && find . -type f | sort); do
        printf '@@ %s\n' "${f#./}"
        $conv "assets/demo/DATA/$f"
    done
}
pack_demo ansi | seed store demo_ansi
pack_demo cat | seed store demo_utf8
for f in $(cd assets/demo/DATA && find . -name '*.SET' | sort); do
    name=$(echo "${f#./}" | tr '/' '_')
    case "$f" in
        *TEAM.SET | *ITEM.SET) ansi "assets/demo/DATA/$f" | seed ini "$name" ;;
        *) ansi "assets/demo/DATA/$f" | seed line_file "$name" ;;
    esac
done
cat assets/demo/DATA/TEAM.SET | seed ini TEAM.SET.utf8
ansi assets/demo/DATA/TEAM.SET | seed codepage team_gbk
cat assets/demo/DATA/TEAM.SET | seed codepage team_utf8
printf 'K7Q2M9X4TA' | seed password folder_name
printf 'pw\0C:\\Windows\\notepad.exe' | seed password path
printf '%s' '密码记事本.exe' | iconv -f UTF-8 -t GBK | seed password chinese

# Skin projects, and their skin sections as a skin.vsu would hold them.
for vse in assets/skins/*/*.vse; do
    name=$(basename "$vse" .vse | md5sum | cut -c1-8)
    seed editor_project "$name.vse" <"$vse"
    seed ini "$name.vse" <"$vse"
    seed skin_package "$name.vsu" <"$vse"
done
printf '[SKIN]\r\nName=x\r\nWidth=5400\r\nHeight=6900\r\n[Team]\r\nLeft=300\r\n[ITEM]\r\nWidth=0\r\nFontSize=300\r\n' |
    seed skin_package minimal.vsu

# The previous version's files, packed like the store's.
{
    printf '@@ TEAM.QRD\r\n[Team]\r\nCount=2\r\n[1]\r\nName=%s\r\nNote=n\r\nTeam=A\r\n[2]\r\nName=b\r\n' \
        "$(printf '工具' | iconv -f UTF-8 -t GBK)"
    printf '@@ SET.QRD\r\n[Warn]\r\nOnError=-1\r\n[Run]\r\nAutoRun=-1\r\n[XY]\r\nX=120\r\n'
    printf '@@ TEAMA/ITEM.QRD\r\n[Item]\r\nCount=2\r\n[1]\r\nName=np\r\nType=1\r\nMode=2\r\nCode=pw\r\n'
    printf 'Path=C:\\a.exe\r\nCommand=-x\r\nIconOld=C:\\a.exe,3\r\nIcon=a.bmp\r\n[2]\r\nType=4\r\nIconOld=[WEB],0\r\n'
    printf '@@ TEAMA/a.bmp\r\nBM\r\n@@ TEAM2/ITEM.QRD\r\n[Item]\r\nCount=x\r\n[1]\r\nName=c\r\n'
} | seed migration old_store

# Pictures: the bundled skin's own, and small bitmaps and icons of each depth.
if command -v convert >/dev/null; then
    bash assets/skins/蓝色卷轴/make_pictures.sh "$work/skin" >/dev/null 2>&1 || true
    for p in close1 lock1 file link; do
        [[ -f $work/skin/$p.img ]] && seed picture_decode "$p.img" <"$work/skin/$p.img"
    done
    convert -size 3x2 xc:red BMP3:"$work/a.bmp" && seed picture_decode bmp24 <"$work/a.bmp"
    convert -size 3x2 xc:blue -type palette BMP3:"$work/b.bmp" && seed picture_decode bmp8 <"$work/b.bmp"
    convert -size 5x3 xc:white -monochrome BMP3:"$work/c.bmp" && seed picture_decode bmp1 <"$work/c.bmp"
    convert -size 4x4 xc:'rgba(0,255,0,0.5)' BMP:"$work/d.bmp" && seed picture_decode bmp32 <"$work/d.bmp"
    convert -size 16x16 xc:'rgba(255,0,0,0.5)' -define icon:format=bmp "$work/e.ico" &&
        seed picture_decode icon32 <"$work/e.ico"
    convert -size 16x16 xc:yellow -type palette -define icon:format=bmp "$work/f.ico" &&
        seed picture_decode icon8 <"$work/f.ico"
fi
echo "seeds written to $out"
# Finding items: names, paths and typed text run together; the fuzzer finds
# the cuts. Chinese names with pinyin queries, Latin words, bad UTF-8.
printf '\x02\x03\x01记事本\x00C:\\Windows\\notepad.exe\x00\x01\x02jsb' | seed search pinyin_initials
printf '\x01\x04\x02银行 重庆 乐\x00x.exe\x00\x00yinhangchongq' | seed search polyphonic
printf '\x01\x03\x00Photo Shop\x00ps.exe\x00\x00PhotoShop CS6\x00\x00\x01ps' | seed search latin_words
printf '\x01\x03\x00\xe8\xae\xb0\xff\xe4\xba\x00\xc0\x80\x00\x01\xe8\xaesb' | seed search invalid_utf8
printf '\x03\x02\x05绿色软件\x00\x00\x00 lv \xef\xbd\x8c\x00VANTREL LAUNCH 1\r\nK7Q2M9X4TA 0 1f 3 9\r\n' | seed search launch_file
