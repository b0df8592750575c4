#!/usr/bin/env bash
# tools/wine under failure: a Wine prefix set-up that fails, or a call killed
# while it creates the prefix, never leaves the set-up lock held, and the next
# call still creates the prefix and runs the program. And it never touches a
# prefix that is not its own: an inherited WINEPREFIX is ignored, and a
# VT_WINEPREFIX outside build/ (directly or through a link) is left alone.
#
# Runs a copy of tools/wine in a root of its own, so the lock, the display and
# the prefix are private to this test and nothing of the build tree is touched.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
fail() { echo "FAIL: $*" >&2; exit 1; }

mine="$work/root"
mkdir -p "$mine/tools" "$work/fake"
cp "$root/tools/wine" "$root/tools/check-needs" "$root/tools/needs" "$mine/tools/"
# The test's own calls of wineserver below talk to the same prefix.
export VT_WINEPREFIX="$mine/build/wineprefix" WINEPREFIX="$mine/build/wineprefix"
lock="$mine/build/.wine-setup.lock"
unset DISPLAY

cleanup() {
    timeout 30 wineserver -k >/dev/null 2>&1 || true
    if [[ -f "$mine/build/.xvfb-display" ]]; then
        n="$(cut -c2- "$mine/build/.xvfb-display")"
        [[ -f /tmp/.X$n-lock ]] && kill "$(tr -d ' ' </tmp/.X$n-lock)" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

lock_is_free() { flock -w "$1" "$lock" true; }

# 1. wineboot fails: the call says so and ends; the display it started for the
#    prefix keeps running, but must not keep the lock.
printf '#!/bin/sh\necho "wineboot: broken on purpose" >&2\nexit 1\n' >"$work/fake/wineboot"
chmod +x "$work/fake/wineboot"
status=0
out="$(PATH="$work/fake:$PATH" timeout 120 "$mine/tools/wine" cmd.exe /c exit 0 2>&1)" || status=$?
((status == 1)) || fail "a failed wineboot gave status $status: $out"
grep -q 'could not be created' <<<"$out" || fail "a failed wineboot said: $out"
[[ -f "$mine/build/.xvfb-display" ]] || fail "no display was started"
lock_is_free 5 || fail "after a failed set-up the lock is still held"

# 2. A call killed while wineboot is creating the prefix.
"$mine/tools/wine" cmd.exe /c exit 0 >/dev/null 2>&1 &
victim=$!
for _ in $(seq 1 600); do
    [[ -d "$WINEPREFIX/drive_c" ]] && break
    sleep 0.1
done
[[ -d "$WINEPREFIX/drive_c" ]] || fail "the prefix was never begun"
kill -9 "$victim"
wait "$victim" 2>/dev/null || true
[[ ! -f "$WINEPREFIX/.vt-ready" ]] || fail "the prefix was finished before the kill; the test proves nothing"
lock_is_free 5 || fail "after a killed set-up the lock is still held"

# 3. The next call makes the prefix again and runs the program.
out="$(timeout 600 "$mine/tools/wine" cmd.exe /c echo vt-prefix-ok 2>&1)" || fail "the call after the kill failed: $out"
grep -q 'vt-prefix-ok' <<<"$out" || fail "the call after the kill printed: $out"
[[ -f "$WINEPREFIX/.vt-ready" ]] || fail "the prefix is not marked ready"
lock_is_free 5 || fail "after a good call the lock is still held"

# 4. A developer's own prefix, half made (no marker of ours), stays as it was.
foreign="$work/their-prefix"
mkdir -p "$foreign/drive_c/keep"
echo "theirs" >"$foreign/user.reg"
listing() { ls -laR --time-style=full-iso "$foreign"; }
before="$(listing)"
untouched() { [[ "$(listing)" == "$before" && "$(cat "$foreign/user.reg")" == theirs ]]; }

out="$(env -u VT_WINEPREFIX WINEPREFIX="$foreign" timeout 300 "$mine/tools/wine" cmd.exe /c echo vt-own-prefix 2>&1)" ||
    fail "a call with an inherited WINEPREFIX failed: $out"
grep -q 'vt-own-prefix' <<<"$out" || fail "a call with an inherited WINEPREFIX printed: $out"
untouched || fail "an inherited WINEPREFIX was changed"

for chosen in "$foreign" "$mine/build/their-link"; do
    [[ "$chosen" == "$foreign" ]] || ln -s "$foreign" "$chosen"
    status=0
    out="$(VT_WINEPREFIX="$chosen" timeout 120 "$mine/tools/wine" cmd.exe /c exit 0 2>&1)" || status=$?
    ((status == 1)) || fail "VT_WINEPREFIX=$chosen gave status $status: $out"
    grep -q 'left alone' <<<"$out" || fail "VT_WINEPREFIX=$chosen said: $out"
    untouched || fail "VT_WINEPREFIX=$chosen changed a prefix outside build/"
    lock_is_free 5 || fail "a refused prefix kept the lock"
done
echo "wine set-up: survives a failed and a killed prefix creation, and leaves foreign prefixes alone"
