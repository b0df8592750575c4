#include "platform/win32/text_measure_win32.h"

#include "platform/win32/win_text.h"

namespace vt {

TextMeasureWin32::TextMeasureWin32() : dpi_(ScreenDpi()) {}

HFONT TextMeasureWin32::FontFor(int points) {
    auto it = fonts_.find(points);
    if (it == fonts_.end()) it = fonts_.emplace(points, CreateUiFont(points, dpi_)).first;
    return it->second.get();
}

int TextMeasureWin32::TextWidthTwips(const std::string& text, int fontSizePt) {
    if (text.empty()) return 0;
    std::wstring w = Widen(text);
    UniqueMemDc dc(::CreateCompatibleDC(nullptr));
    SelectRestorer font(dc.get(), FontFor(fontSizePt));
    SIZE size{};
    if (!::GetTextExtentPoint32W(dc.get(), w.c_str(), static_cast<int>(w.size()), &size)) {
        LogWin32Failure("GetTextExtentPoint32W");
        return 0;
    }
    return ::MulDiv(size.cx, 1440, dpi_);
}

int TextMeasureWin32::LineHeightTwips(int fontSizePt) {
    UniqueMemDc dc(::CreateCompatibleDC(nullptr));
    SelectRestorer font(dc.get(), FontFor(fontSizePt));
    TEXTMETRICW tm{};
    if (!::GetTextMetricsW(dc.get(), &tm)) return ::MulDiv(fontSizePt, 1440 * 4, 72 * 3);
    return ::MulDiv(tm.tmHeight, 1440, dpi_);
}

}  // namespace vt
