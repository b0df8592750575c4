// Whole-file replacement that never leaves a torn file behind: the new
// content goes to a temporary file in the same folder, is flushed to disk,
// and is then renamed over the old file in one step.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vt {

// Returns false (and leaves the old file untouched) on any failure.
[[nodiscard]] bool WriteFileAtomic(const std::filesystem::path& file, std::string_view bytes);
// Whole file as bytes; nullopt when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& file);

}  // namespace vt
