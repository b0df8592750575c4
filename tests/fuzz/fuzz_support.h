// Shared pieces of the fuzz targets: a scratch folder per process, snapshots
// of folder trees to prove what a run wrote, a small archive format that
// packs a folder tree into one fuzz input, and a check that stops the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vt::fuzz {

// Stops the run with the message: libFuzzer saves the input that did it.
[[noreturn]] void Fail(const char* what, const std::string& detail = {});
#define VT_FUZZ_CHECK(cond, detail)                   \
    do {                                              \
        if (!(cond)) ::vt::fuzz::Fail(#cond, detail); \
    } while (0)

// An empty folder of this process's own (created on first use, emptied on
// every call). Ends with '/'.
std::string FreshScratch();

void WriteFile(const std::string& path, std::string_view bytes);
// For a tree unpacked from fuzzed input: false, rather than a failed run,
// when the path cannot be a file there (a file already stands where one of
// its folders would go, or a folder where the file would).
bool PlaceFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);

// Every file under root (relative path -> content) and every folder (content
// "<dir>"). A path that cannot be read shows as "<unreadable>".
using Tree = std::map<std::string, std::string>;
Tree Snapshot(const std::string& root);
// Entries of `after` whose path starts with none of `allowed` and that differ
// from `before` (added, changed or removed), one per line; empty when none.
std::string Differences(const Tree& before, const Tree& after, const std::vector<std::string>& allowed);

// A folder tree packed as text: entries "\n@@ relative/path\n" followed by the
// file's bytes up to the next entry. Names are cut down to letters, digits,
// '.', '_' and '-' per component, at most three components, so an input can
// never name anything outside the folder it is unpacked into.
struct PackedFile {
    std::string path;
    std::string bytes;
};
std::vector<PackedFile> Unpack(std::string_view data);
std::string Pack(const std::vector<PackedFile>& files);

// Rough names of the sections and keys of a profile file, as UTF-8: enough to
// ask the INI engine about everything a file might hold, without being a
// second parser (the engine decides what they mean).
struct IniNames {
    std::vector<std::string> sections;
    std::vector<std::string> keys;
};
IniNames ScanIniNames(std::string_view bytes, size_t limit);

// Every (section, key) value the engine reads from file for the given names.
std::map<std::pair<std::string, std::string>, std::string> ReadAll(const std::string& file, const IniNames& names);

// True when name, as the engine sees it (ANSI, blanks trimmed, ASCII case
// folded), is the ASCII name `ascii`.
bool SameAsciiName(const std::string& name, std::string_view ascii);

// Valid UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view s);

}  // namespace vt::fuzz
