// Picture sizes read from the file headers (BMP, GIF, PNG, JPEG, icon), for
// places that have no picture loader of the system, such as the command-line
// packager.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/pictures.h"

namespace vt {

std::optional<PictureSize> ProbePictureBytes(std::string_view bytes);

class HeaderPictures : public Pictures {
public:
    std::optional<PictureSize> Probe(const std::string& file) override;
};

}  // namespace vt
