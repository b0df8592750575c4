#include "platform/win32/text_measure_win32.h"

#include "common/twips.h"
#include "platform/win32/win_text.h"

namespace vt {

TextMeasureWin32::TextMeasureWin32() : dpi_(ScreenDpi()) {}

void TextMeasureWin32::SetDpi(int dpi) {
    if (dpi == dpi_) return;
    // The DC lets go of the selected font before the fonts go.
    dc_.reset();
    selected_ = 0;
    fonts_.clear();
    dpi_ = dpi;
}

HDC TextMeasureWin32::DcFor(int points) {
    if (!dc_) {
        dc_.reset(::CreateCompatibleDC(nullptr));
        selected_ = 0;
        if (!dc_) return nullptr;
    }
    if (selected_ != points) {
        auto it = fonts_.find(points);
        if (it == fonts_.end()) it = fonts_.emplace(points, CreateUiFont(points, dpi_)).first;
        ::SelectObject(dc_.get(), it->second.get());
        selected_ = points;
    }
    return dc_.get();
}

int TextMeasureWin32::TextWidthTwips(const std::string& text, int fontSizePt) {
    if (text.empty()) return 0;
    std::wstring w = Widen(text);
    HDC dc = DcFor(fontSizePt);
    SIZE size{};
    if (!dc || !::GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size)) {
        LogWin32Failure("GetTextExtentPoint32W");
        return 0;
    }
    return PixelsToTwips(size.cx, dpi_);
}

int TextMeasureWin32::LineHeightTwips(int fontSizePt) {
    HDC dc = DcFor(fontSizePt);
    TEXTMETRICW tm{};
    if (!dc || !::GetTextMetricsW(dc, &tm)) return MulDivRound(fontSizePt, kTwipsPerInch * 4, 72 * 3);
    return PixelsToTwips(tm.tmHeight, dpi_);
}

}  // namespace vt
