#!/usr/bin/env bash
# tools/check-needs against a PATH made by hand: with every listed command it
# passes; with one taken away it fails at once and names the command and the
# package that brings it.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

bash_bin="$(command -v bash)"
timeout_bin="$(command -v timeout)"
# A bin folder with a stand-in for every command the table names.
mkdir -p "$work/bin"
commands=()
while read -r what package _; do
    [[ -z $what || $what == \#* || $what == /* ]] && continue
    commands+=("$what:$package")
    printf '#!/bin/sh\nexit 0\n' >"$work/bin/$what"
    chmod +x "$work/bin/$what"
done <"$root/tools/needs"
((${#commands[@]} > 10)) || fail "tools/needs lists only ${#commands[@]} commands"

PATH="$work/bin" "$bash_bin" "$root/tools/check-needs" || fail "a complete PATH is refused"

# Take each command away in turn (a sample keeps this quick): the check names it
# and its package, exits non-zero and does not hang.
for entry in "${commands[@]}"; do
    cmd="${entry%%:*}"
    package="${entry#*:}"
    mv "$work/bin/$cmd" "$work/gone"
    status=0
    out="$(PATH="$work/bin" "$timeout_bin" 10 "$bash_bin" "$root/tools/check-needs" 2>&1)" || status=$?
    mv "$work/gone" "$work/bin/$cmd"
    ((status == 1)) || fail "without $cmd the check exits with $status"
    grep -qF "missing: $cmd (package $package)" <<<"$out" || fail "without $cmd the check says: $out"
    [[ $(grep -c '^missing:' <<<"$out") == 1 ]] || fail "without $cmd the check names more: $out"
done

# Asked about some commands only, it looks at those only.
rm "$work/bin/xdotool"
PATH="$work/bin" "$bash_bin" "$root/tools/check-needs" wine cmake || fail "a check of wine and cmake looked further"
status=0
PATH="$work/bin" "$bash_bin" "$root/tools/check-needs" xdotool 2>/dev/null || status=$?
((status == 1)) || fail "a check of xdotool alone passed without it"
# tools/deps spells out its packages; each one the table names must be there.
listed="$(sed -n '/^packages=(/,/)/p' "$root/tools/deps")"
while read -r what package _; do
    [[ -z $what || $what == \#* ]] && continue
    grep -qw -- "$package" <<<"$listed" || fail "tools/deps does not list $package (for $what)"
done <"$root/tools/needs"
echo "check-needs: names every missing command and its package"
