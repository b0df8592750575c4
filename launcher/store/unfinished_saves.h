// Store files that an interrupted save left only as a temporary file (a
// power cut on a stick whose file system cannot replace a file in one
// step). Start-up offers each of them back.
#pragma once

#include <string>

#include "platform/prompts.h"

namespace vt {

inline constexpr const char* kAskRestoreSave = "发现未完成的保存:%s,是否恢复?";  // %s: the file, from AppDir
inline constexpr const char* kAskRestoreSaveCaption = "恢复确认";

// Looks in "DATA\" and each folder directly under it; asks once per missing
// file; OK gives the temporary file its name back, Cancel leaves it where it
// is (it is asked about again at the next start). Returns how many came back.
int OfferUnfinishedSaves(const std::string& appDir, Prompts& prompts);

}  // namespace vt
