#pragma once

#include <string>

namespace vt {

// Width in twips of a text drawn in the program's font at the given point size.
class TextMeasure {
public:
    virtual ~TextMeasure() = default;
    virtual int TextWidthTwips(const std::string& text, int fontSizePt) = 0;
};

}  // namespace vt
