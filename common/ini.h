// Profile (INI) files, read and written the way the Windows profile functions
// treat them, but parsed once and cached until the file changes on disk.
// All text arguments and results are UTF-8; the files hold ANSI bytes.
#pragma once

#include <string>
#include <string_view>

namespace vt {

// Leading whole number of the value; default when the key is missing or empty.
int ReadIniInt(const std::string& file, std::string_view section, std::string_view key, int def);
// Value with blanks trimmed and matching quotes removed (blanks inside the
// quotes stay), at most 254 ANSI bytes. A file that is there but cannot be
// read reads like a missing one; nothing is written from it.
std::string ReadIniString(const std::string& file, std::string_view section, std::string_view key,
                          std::string_view def);
// Writes key=value into section, creating file, section or key as needed.
// False, and the file left as it is, when it is there but cannot be read
// even after waiting a moment for whoever holds it: rewriting it from
// nothing would lose every other key.
bool WriteIniString(const std::string& file, std::string_view section, std::string_view key, std::string_view value);
bool WriteIniString(const std::string& file, std::string_view section, std::string_view key, long long value);
// Removes one key, or a whole section; true when the file is as asked afterwards.
bool DeleteIniKey(const std::string& file, std::string_view section, std::string_view key);
bool DeleteIniSection(const std::string& file, std::string_view section);

// True when the file is there but could not be read even after waiting a
// moment for whoever holds it: reads of it gave their defaults, which a
// caller must not take for the file's content.
bool IniFileUnreadable(const std::string& file);

// Pins one file for a batch of reads on this thread (the item panel reading a
// whole team, say): while the scope lives, the file is checked for changes on
// the first read only, so the batch sees one consistent version of it. The
// first read after the scope ends checks again, so nothing stays stale.
// Writes through this engine inside the scope are seen at once.
class IniReadScope {
public:
    explicit IniReadScope(std::string file);
    ~IniReadScope();
    IniReadScope(const IniReadScope&) = delete;
    IniReadScope& operator=(const IniReadScope&) = delete;

private:
    std::string file_;
};

// Groups many writes to one file into a single atomic replacement (shifting
// a hundred sections down after a delete rewrites the file once instead of a
// thousand times). Reads on this thread see the pending changes; other
// processes see the old file until Commit, then the whole new one: a crash
// in between leaves the old file, never half of the change. Only Commit
// writes; a batch that ends without it (an early return, an exception)
// drops its pending changes.
class IniWriteBatch {
public:
    explicit IniWriteBatch(std::string file);
    ~IniWriteBatch();  // discards what was not committed
    IniWriteBatch(const IniWriteBatch&) = delete;
    IniWriteBatch& operator=(const IniWriteBatch&) = delete;
    // Writes the pending changes; false (and nothing written) on failure.
    [[nodiscard]] bool Commit();
    // Drops the pending changes; the file stays as it is on disk.
    void Discard();

private:
    std::string file_;
    bool open_ = true;
};

// Forgets every cached file (tests that edit files behind the engine's back
// within one clock tick use it).
void FlushIniCache();

}  // namespace vt
