#pragma once

#include <optional>
#include <string>

namespace vt {

struct PictureSize {
    int width = 0;   // pixels
    int height = 0;  // pixels
};

// Loads picture files (bitmap, GIF, JPEG, PNG, icon). The core only needs to
// know whether a file is a usable picture and how big it is.
class Pictures {
public:
    virtual ~Pictures() = default;
    virtual std::optional<PictureSize> Probe(const std::string& file) = 0;
};

}  // namespace vt
