// TextMeasure on GDI: the program's font at the screen's real DPI.
#pragma once

#include <map>

#include "platform/text_measure.h"
#include "platform/win32/ui_font.h"

namespace vt {

class TextMeasureWin32 : public TextMeasure {
public:
    TextMeasureWin32();
    int TextWidthTwips(const std::string& text, int fontSizePt) override;
    // Height of one line in twips, for labels that size themselves to their text.
    int LineHeightTwips(int fontSizePt);

private:
    HFONT FontFor(int points);
    int dpi_;
    std::map<int, UniqueHfont> fonts_;
};

}  // namespace vt
