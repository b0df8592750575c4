#!/usr/bin/env bash
# tools/check-layers passes on this tree, and on a copy of it fails for an
# include against the layers (including one only a header makes, which no
# link would notice) and for a folder without a layer, naming the file.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

bash "$root/tools/check-layers" "$root" || fail "this tree breaks its layers"

fresh() {
    rm -rf "$work/tree"
    mkdir "$work/tree"
    cp -r "$root/common" "$root/platform" "$root/launcher" "$root/skineditor" "$work/tree/"
}
# Expects the check to fail on the copy and to name $1 in what it says.
refused() {
    local status=0 out
    out="$(bash "$root/tools/check-layers" "$work/tree" 2>&1)" || status=$?
    ((status == 1)) || fail "$2: the check exits with $status"
    grep -qF "$1" <<<"$out" || fail "$2: the check says: $out"
}

fresh
echo '#include "launcher/mainwindow/main_model.h"' >>"$work/tree/launcher/skin/apply_skin.h"
refused "launcher/skin/apply_skin.h: includes launcher/mainwindow/main_model.h" "the skin including the main window"

fresh
echo '#include "launcher/dialogs/dialogs_win32.h"' >>"$work/tree/launcher/dialogs/item_form.h"
refused "launcher/dialogs/item_form.h: includes launcher/dialogs/dialogs_win32.h" "a core file including its shell"

fresh
echo '#include "launcher/mainwindow/main_window_win32.h"' >>"$work/tree/launcher/menus/menu_form_win32.cpp"
refused "launcher/menus/menu_form_win32.cpp: includes launcher/mainwindow/main_window_win32.h" "the menus including the main window"

fresh
mkdir "$work/tree/launcher/extras"
echo '#include "common/ini.h"' >"$work/tree/launcher/extras/extra.cpp"
refused "launcher/extras/extra.cpp: its folder is in no layer" "a folder without a layer"

# Downward includes stay allowed.
fresh
echo '#include "launcher/scene/scene.h"' >>"$work/tree/launcher/mainwindow/main_window_win32.h"
bash "$root/tools/check-layers" "$work/tree" >/dev/null || fail "an include of a lower layer is refused"
echo "check_layers_test: ok"
