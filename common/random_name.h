#pragma once

#include <string>

namespace vt {

// Ten characters drawn from 0-9 and A-Z.
std::string MakeRandomName();

}  // namespace vt
