// TextMeasure on GDI: the program's font at the screen's real DPI.
#pragma once

#include <map>

#include "platform/text_measure.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/unique_handle.h"

namespace vt {

class TextMeasureWin32 : public TextMeasure {
public:
    TextMeasureWin32();
    int TextWidthTwips(const std::string& text, int fontSizePt) override;
    // Height of one line in twips, for labels that size themselves to their text.
    int LineHeightTwips(int fontSizePt);
    // Measures with fonts for `dpi` from now on (the window moved to a
    // monitor of another scale), so widths agree with what is drawn.
    void SetDpi(int dpi);

private:
    // The measuring DC with the font of `points` selected. One DC serves
    // every call: the item panel measures hundreds of names per rebuild.
    HDC DcFor(int points);
    int dpi_;
    std::map<int, UniqueHfont> fonts_;
    UniqueMemDc dc_;  // after fonts_: goes first, while its font still exists
    int selected_ = 0;
};

}  // namespace vt
