#!/usr/bin/env bash
# tools/style in a small repository of its own: clean sources pass; a tracked
# file clang-format-14 would change and a clang-tidy finding in the core each
# fail and are named, while an untracked file and a finding under tests/ are
# none of its business.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

repo="$work/repo"
mkdir -p "$repo/tools" "$repo/common" "$repo/tests" "$repo/build/native"
cp "$root/tools/style" "$repo/tools/"
cp "$root/.clang-format" "$root/.clang-tidy" "$repo/"
cat >"$repo/common/clean.cpp" <<'EOF'
int Twice(int n) {
    return 2 * n;
}
EOF
cat >"$repo/tests/loose.cpp" <<'EOF'
int* Nothing() {
    return 0;
}
EOF
compile_db() {
    local first=1 f
    echo "["
    for f in "$@"; do
        ((first)) || echo ","
        first=0
        printf '{\n  "directory": "%s",\n  "command": "/usr/bin/c++ -std=c++20 -c %s",\n  "file": "%s"\n}' \
            "$repo/build/native" "$repo/$f" "$repo/$f"
    done
    echo "]"
}
compile_db common/clean.cpp tests/loose.cpp >"$repo/build/native/compile_commands.json"
git -C "$repo" init -q
git -C "$repo" add .
run() { (cd "$repo" && "$@") >"$work/out" 2>&1; }

run tools/style || fail "a clean repository fails: $(cat "$work/out")"

# A misformatted tracked file is named; the same file untracked is not looked at.
printf 'int  Bad( ){return 1;}\n' >"$repo/common/bad.cpp"
run tools/style format || fail "an untracked file was checked: $(cat "$work/out")"
git -C "$repo" add common/bad.cpp
status=0
run tools/style format || status=$?
((status == 1)) || fail "a misformatted file gives status $status"
grep -qx '  common/bad.cpp' "$work/out" || fail "the misformatted file is not named: $(cat "$work/out")"
grep -q 'clean.cpp' "$work/out" && fail "a formatted file is named: $(cat "$work/out")"
git -C "$repo" rm -q --cached common/bad.cpp
rm "$repo/common/bad.cpp"

# A finding in the core fails the tidy check and is printed with its check.
cat >"$repo/common/finding.cpp" <<'EOF'
int* Nothing() {
    return 0;
}
EOF
compile_db common/clean.cpp common/finding.cpp tests/loose.cpp >"$repo/build/native/compile_commands.json"
status=0
run tools/style tidy || status=$?
((status == 1)) || fail "a clang-tidy finding gives status $status"
grep -q 'common/finding.cpp:2:12: .*\[modernize-use-nullptr' "$work/out" ||
    fail "the finding is not printed: $(cat "$work/out")"
grep -q 'loose.cpp' "$work/out" && fail "a file under tests/ was checked: $(cat "$work/out")"

# Without the compile commands the check says what to do instead of passing.
rm "$repo/build/native/compile_commands.json"
status=0
run tools/style tidy || status=$?
((status == 1)) || fail "missing compile commands give status $status"
grep -q 'compile_commands.json is missing' "$work/out" || fail "no hint without compile commands: $(cat "$work/out")"
echo "style: names misformatted files and clang-tidy findings, and only in its own files"
