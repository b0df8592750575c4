// Whole-file replacement that never leaves a torn file behind: the new
// content goes to a temporary file in the same folder, is flushed to disk,
// and is then renamed over the old file in one step.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vt {

// Returns false (and leaves the old file untouched) on any failure.
[[nodiscard]] bool WriteFileAtomic(const std::filesystem::path& file, std::string_view bytes);

// The temporary name WriteFileAtomic writes `file` under before the rename.
std::filesystem::path AtomicTempName(const std::filesystem::path& file, uint64_t tag);
// A tag no other write of this process has used, and that no other running
// process can produce (the process id is part of it).
uint64_t NextAtomicTempTag();

// Removes the temporary files a killed or powered-off writer left beside
// files of `folder`, once per folder and process. Only those older than
// `minAgeSeconds` go: a younger one may belong to a write in progress. A
// temporary file whose own file is missing is kept: where a replacement is
// not one step (FAT and exFAT sticks), a power cut between removing the old
// file and renaming the new one leaves the data only there.
void RemoveStaleTempFiles(const std::filesystem::path& folder, int minAgeSeconds = 600);

// A temporary file left beside a file that no longer exists.
struct UnfinishedSave {
    std::filesystem::path temp;
    std::filesystem::path target;
};
// Those of `folder`, the newest one per missing file.
std::vector<UnfinishedSave> FindUnfinishedSaves(const std::filesystem::path& folder);
// Gives the temporary file its file's name; false when that name has been
// taken meanwhile or the rename fails.
[[nodiscard]] bool RestoreUnfinishedSave(const UnfinishedSave& save);

// Whole file as bytes; nullopt when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& file);

// A file read in order to rewrite it. Missing and unreadable are told apart:
// a file another program holds open without sharing (a virus scanner, a
// backup or sync tool) is not empty, and rewriting it from nothing would wipe it.
struct FileContents {
    enum State { Read, Missing, Unreadable } state = Missing;
    std::string bytes;  // when Read
};
// Waits for a busy file as long as WriteFileAtomic waits for its rename;
// with wait false, tries once.
FileContents ReadFileForRewrite(const std::filesystem::path& file, bool wait = true);

}  // namespace vt
