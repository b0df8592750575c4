// The main window's keyboard: item and team keys, the menu key, and the find
// line with its input method windows. The decisions live in the model; this
// only turns messages into its calls and draws the line's caret.
#include "launcher/mainwindow/main_window_win32.h"

#include <imm.h>

#include <ctime>

#include "common/colour.h"
#include "launcher/store/launch_stats.h"
#include "launcher/store/store.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

bool Down(int vk) {
    return (::GetKeyState(vk) & 0x8000) != 0;
}

std::optional<NavKey> NavKeyFor(WPARAM vk) {
    switch (vk) {
        case VK_LEFT:
            return NavKey::Left;
        case VK_RIGHT:
            return NavKey::Right;
        case VK_UP:
            return NavKey::Up;
        case VK_DOWN:
            return NavKey::Down;
        case VK_HOME:
            return NavKey::Home;
        case VK_END:
            return NavKey::End;
        case VK_PRIOR:
            return NavKey::PageUp;
        case VK_NEXT:
            return NavKey::PageDown;
        default:
            return std::nullopt;
    }
}

}  // namespace

bool MainWindow::HandleKeyMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    result = 0;
    switch (msg) {
        case WM_ACTIVATE:
            // The window has no child to take the keys: it takes them itself
            // (without the focus they would arrive as system keys).
            if (LOWORD(wp) != WA_INACTIVE) ::SetFocus(hwnd_);
            return false;
        case WM_KEYDOWN: {
            const bool ctrl = Down(VK_CONTROL), shift = Down(VK_SHIFT);
            if (ctrl) {
                if (wp == VK_TAB)
                    model_.SwitchTeam(!shift);
                else if (wp == VK_NEXT || wp == VK_PRIOR)
                    model_.SwitchTeam(wp == VK_NEXT);
                else if (wp == 'F')
                    model_.OpenFind();
                else
                    return false;  // the menus' own shortcuts
            } else if (auto nav = NavKeyFor(wp)) {
                model_.OnNavKey(*nav);
            } else if (wp == VK_RETURN) {
                model_.LaunchCurrent();
            } else if (wp == VK_ESCAPE) {
                model_.CloseFind();
            } else if (wp == VK_BACK) {
                model_.FindBackspace();
            } else if (wp == VK_APPS) {
                model_.ItemMenuFromKeyboard();
            } else {
                return false;
            }
            AfterModelCall();
            return true;
        }
        case WM_SYSKEYDOWN:
            if (wp != VK_F10 || !Down(VK_SHIFT)) return false;
            model_.ItemMenuFromKeyboard();
            AfterModelCall();
            return true;
        case WM_CONTEXTMENU:
            // The keyboard's own (menu key, Shift+F10) was opened on the key press.
            return lp == -1;
        case WM_CHAR: {
            const auto ch = static_cast<wchar_t>(wp);
            if (ch < 0x20 || ch == 0x7F) return ch != 0;  // Enter, Escape, Backspace, Tab: handled as keys
            if (ch >= 0xD800 && ch <= 0xDBFF) {
                pendingSurrogate_ = ch;
                return true;
            }
            std::wstring text;
            if (ch >= 0xDC00 && ch <= 0xDFFF) {
                if (!pendingSurrogate_) return true;
                text.push_back(pendingSurrogate_);
            }
            pendingSurrogate_ = 0;
            text.push_back(ch);
            // A blank alone does not start a search; inside one it is part of it.
            if (!model_.Finding() && ch == L' ') return true;
            model_.FindType(Narrow(text));
            AfterModelCall();
            return true;
        }
        case WM_IME_STARTCOMPOSITION:
            // Typing through an input method opens the line first, so its
            // windows can stand at the line.
            if (!model_.Finding()) {
                model_.OpenFind();
                AfterModelCall();
                ::UpdateWindow(hwnd_);
            }
            PlaceImeWindows();
            return false;
        case WM_IME_COMPOSITION:
        case WM_IME_NOTIFY:
            if (model_.Finding()) PlaceImeWindows();
            return false;
        default:
            return false;
    }
}

POINT MainWindow::FindCaretPx(int* heightPx) {
    const Scene& scene = model_.GetScene();
    const Element& line = scene.At(Part::LabFind);
    const Rect r = scene.WindowRect(ElementId{Part::LabFind, 0});
    const PixelBox box = map_.Box(r);
    std::wstring text = Widen(line.text);
    HDC dc = ::GetDC(hwnd_);
    SIZE size{};
    int lineHeight = 0;
    if (dc) {
        SelectRestorer font(dc, Font(line.fontSize, line.bold));
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        TEXTMETRICW tm{};
        ::GetTextMetricsW(dc, &tm);
        lineHeight = tm.tmHeight;
        ::ReleaseDC(hwnd_, dc);
    }
    if (heightPx) *heightPx = lineHeight;
    return POINT{std::min<LONG>(box.left + size.cx + 1, box.right - 2), box.top};
}

void MainWindow::PaintFindCaret(HDC dc) {
    const Scene& scene = model_.GetScene();
    if (!model_.Finding() || !scene.Shown(ElementId{Part::LabFind, 0})) return;
    int height = 0;
    POINT at = FindCaretPx(&height);
    const Element& line = scene.At(Part::LabFind);
    RECT caret{at.x, at.y + LinePx(), at.x + LinePx(), at.y + std::max(height, 2 * LinePx())};
    UniqueHbrush ink(::CreateSolidBrush(ColorrefOf(line.foreColor)));
    ::FillRect(dc, &caret, ink.get());
}

void MainWindow::PlaceImeWindows() {
    HIMC imc = ::ImmGetContext(hwnd_);
    if (!imc) return;
    int height = 0;
    POINT at = FindCaretPx(&height);
    COMPOSITIONFORM comp{};
    comp.dwStyle = CFS_POINT;
    comp.ptCurrentPos = at;
    ::ImmSetCompositionWindow(imc, &comp);
    CANDIDATEFORM cand{};
    cand.dwIndex = 0;
    cand.dwStyle = CFS_CANDIDATEPOS;
    cand.ptCurrentPos = POINT{at.x, at.y + height + 2 * LinePx()};
    ::ImmSetCandidateWindow(imc, &cand);
    ::ImmReleaseContext(hwnd_, imc);
}

void MainWindow::AfterLaunch(const std::string& teamFolder, int index) {
    // The counts that rank the results; a failed write costs only the ranking.
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    (void)RecordLaunch(teamFolder, index, ReadItemRecord(teamFolder, index).Name, now);
    model_.NoteLaunched(teamFolder, index, now);
}

}  // namespace vt
