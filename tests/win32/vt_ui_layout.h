// Where things are in VT.exe's window, worked out the way VT.exe does it: the
// core lays out the same skin and store in-process, so the UI tests click at
// element centres instead of at pixels copied from a picture.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "launcher/mainwindow/main_model.h"
#include "launcher/scene/pixel_map.h"
#include "launcher/skin/skin_format.h"
#include "platform/fake/fakes.h"
#include "platform/win32/pictures_win32.h"
#include "platform/win32/text_measure_win32.h"
#include "platform/win32/ui_font.h"
#include "tests/win32/screen_pixels.h"
#include "tests/win32/vt_harness.h"

namespace vt::ui_test {

class WindowLayout {
public:
    // appDir ends with a backslash; items laid out as showItemType in the
    // skin of that folder under SKIN, drawn at `dpi` (the screen's when 0).
    WindowLayout(const std::string& appDir, int showItemType, const std::string& skin = kDefaultSkinFolder, int dpi = 0)
        : map_(dpi ? dpi : ScreenDpi()) {
        settings_.AppDir = appDir;
        settings_.ShowItemType = static_cast<uint8_t>(showItemType);
        model_ =
            std::make_unique<MainModel>(MainModelServices{registry_, prompts_, measure_, pictures_, shell_}, settings_);
        model_->ApplySkin(appDir + "SKIN\\" + skin);
    }
    MainModel& Model() { return *model_; }
    // Lays the item panel out for a team (its password answered with `password`).
    void OpenTeam(int team, const std::string& password = {}) {
        prompts_.passwordAnswers.push_back(password);
        model_->TeamClick(team);
    }
    // Centre of an element's visible part, in client pixels.
    POINT Centre(Part part, int index = 0) const {
        Rect r = model_->GetScene().VisibleRect(ElementId{part, index});
        return POINT{map_.Px(r.left + r.width / 2), map_.Px(r.top + r.height / 2)};
    }
    const PixelMap& Map() const { return map_; }

private:
    PixelMap map_;
    TextMeasureWin32 measure_;
    PicturesWin32 pictures_;
    FakeRegistry registry_;
    FakePrompts prompts_;
    FakeShell shell_;
    Settings settings_;
    std::unique_ptr<MainModel> model_;
};

inline std::wstring Title(HWND w) {
    wchar_t buf[256] = {};
    GetWindowTextW(w, buf, 256);
    return buf;
}

// The open popup menu window of any process (class "#32768"), visible.
inline HWND OpenMenuWindow() {
    HWND found = nullptr;
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            wchar_t cls[32] = {};
            GetClassNameW(w, cls, 32);
            if (wcscmp(cls, L"#32768") == 0 && IsWindowVisible(w)) {
                *reinterpret_cast<HWND*>(p) = w;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The popup menu a posted click or key opened; null when none came.
inline HWND WaitForMenu(HANDLE process) {
    HWND menu = nullptr;
    WaitFor(process, harness::kDialogTimeoutMs, [&] { return (menu = OpenMenuWindow()); });
    return menu;
}

// Escape closes the menu; one that ignores it is cancelled through its owner.
// True once no menu is open.
inline bool CloseMenu(HANDLE process, HWND menu, HWND owner) {
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    if (!WaitFor(process, 5000, [&] { return !IsWindowVisible(menu); })) PostMessageW(owner, WM_CANCELMODE, 0, 0);
    return WaitFor(process, harness::kDialogTimeoutMs, [&] { return !OpenMenuWindow(); });
}

// The screen's pixels in a window's client rectangle r (client pixels), to
// tell whether two paintings of a region look alike.
inline std::vector<uint32_t> ClientPixels(HWND w, RECT r) {
    POINT origin{0, 0};
    ClientToScreen(w, &origin);
    OffsetRect(&r, origin.x, origin.y);
    return ScreenPixels(r);
}

// An element's visible rectangle in client pixels, as the window maps it.
inline RECT PixelRect(const Scene& scene, Part part, int index = 0, int dpi = 0) {
    const PixelBox b = PixelMap(dpi ? dpi : ScreenDpi()).Box(scene.VisibleRect(ElementId{part, index}));
    return RECT{b.left, b.top, b.right, b.bottom};
}

// Clicks a team's caption and waits until the item panel shows its items and
// the window is idle again.
inline bool OpenTeamByClick(HANDLE process, HWND w, WindowLayout& layout, int team) {
    const RECT panel = PixelRect(layout.Model().GetScene(), Part::PicItem);
    if (!harness::Settled(w)) return false;
    const std::vector<uint32_t> empty = ClientPixels(w, panel);
    harness::PostClick(w, layout.Centre(Part::LabTeam, team));
    return WaitFor(process, harness::kDialogTimeoutMs, [&] { return ClientPixels(w, panel) != empty; }) &&
           harness::Settled(w);
}

}  // namespace vt::ui_test
