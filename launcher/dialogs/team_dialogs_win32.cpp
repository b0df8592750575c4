#include "launcher/dialogs/team_dialogs_win32.h"

#include "platform/win32/win_text.h"

namespace vt {

void PagedDialog::AddPageButtons(DialogTemplate& t, std::span<const char* const> captions) {
    for (int i = 0; i < pageCount_; ++i)
        t.Add(DialogTemplate::kButton, static_cast<WORD>(firstButton_ + i), Widen(captions[static_cast<size_t>(i)]),
              8 + i * 62, 6, 60, 16, BS_AUTORADIOBUTTON | BS_PUSHLIKE | (i == 0 ? WS_GROUP | WS_TABSTOP : 0));
}

void PagedDialog::AddOnPage(DialogTemplate& t, int page, WORD cls, WORD id, const std::string& text, int x, int y,
                            int w, int h, DWORD style) {
    t.Add(cls, id, Widen(text), x, y, w, h, style);
    if (page >= 0) pageOf_.push_back({id, page});
}

void PagedDialog::ShowPage(int page) {
    const int shown = TurnToPage(page);
    for (int i = 0; i < pageCount_; ++i)
        SetChecked(firstButton_ + i, i == shown);
    for (const auto& [id, p] : pageOf_)
        ::ShowWindow(Item(id), p == shown ? SW_SHOW : SW_HIDE);
}

bool PagedDialog::OnPageButton(WORD id, WORD code) {
    if (id < firstButton_ || id >= firstButton_ + pageCount_) return false;
    if (code == BN_CLICKED) {
        ShowPage(id - firstButton_);
        ::SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Item(IDCANCEL)), TRUE);
    }
    return true;
}

int ArrowStep(WORD scrollCode) {
    switch (scrollCode) {
        case SB_LINEUP:
        case SB_PAGEUP:
            return 1;
        case SB_LINEDOWN:
        case SB_PAGEDOWN:
            return -1;
        default:
            return 0;
    }
}

void PrepareArrows(HWND scrollBar) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_POS | SIF_PAGE;
    si.nMin = 0;
    si.nMax = 2;
    si.nPage = 1;
    si.nPos = 1;
    ::SetScrollInfo(scrollBar, SB_CTL, &si, FALSE);
}

}  // namespace vt
