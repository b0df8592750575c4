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

// The temporary name WriteFileAtomic writes `file` under before the rename.
std::filesystem::path AtomicTempName(const std::filesystem::path& file, unsigned long tag);

// Removes the temporary files a killed or powered-off writer left beside
// files of `folder`, once per folder and process. Only those older than
// `minAgeSeconds` go: a younger one may belong to a write in progress.
void RemoveStaleTempFiles(const std::filesystem::path& folder, int minAgeSeconds = 600);
// Whole file as bytes; nullopt when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& file);

}  // namespace vt
