#include "launcher/dialogs/team_dialogs_win32.h"

namespace vt {

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
