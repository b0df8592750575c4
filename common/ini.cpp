#include "common/ini.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/file_stamp.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

// A profile file as lines. Lines we do not change are written back byte for
// byte, comments, blank lines and garbage included.
struct Line {
    enum Kind { Other, Section, Key } kind = Other;
    std::string raw;      // the line without its terminator
    std::string eol;      // "\r\n", "\n" or "" (last line without one)
    std::string name;     // section or key name, trimmed
    std::string value;    // key value, trimmed, quotes removed
    bool quoted = false;  // value was in matching quotes: its blanks are its own
};

struct ParsedFile {
    bool exists = false;
    // Nothing could be read although the file is there (held open without
    // sharing, say): lines is empty and must never be written back.
    bool unreadable = false;
    FileStamp stamp;
    // Whether the stamp is old enough to show every later write (see
    // StampIsSettled); until it is, a matching stamp is confirmed by
    // comparing the bytes.
    bool settled = false;
    int64_t tick = 0;   // StampTick of the file, asked once
    std::string bytes;  // what lines were parsed from or last written as
    std::vector<Line> lines;
    std::chrono::steady_clock::time_point retryAt;  // when unreadable: reads wait again from then
    // Where the first header of each section and the first line of each key
    // under it are, by folded name; rebuilt after every change to lines.
    bool indexed = false;
    std::unordered_map<std::string, size_t> sections;
    std::unordered_map<std::string, size_t> keys;  // header index + '\n' + folded key
};

constexpr const char* kBlanks = " \t\v\f\r";

std::string_view Trim(std::string_view s) {
    size_t b = s.find_first_not_of(kBlanks);
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(kBlanks);
    return s.substr(b, e - b + 1);
}

// Names compare without regard to ASCII case. The second byte of a
// double-byte character may look like a letter; it is part of that character
// and is never folded, or two different characters would match.
std::string Fold(std::string_view s) {
    std::string out(s);
    for (size_t i = 0; i < out.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(out[i]);
        if (IsAnsiLeadByte(c) && i + 1 < out.size()) {
            ++i;
            continue;
        }
        if (c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

void Classify(Line& line) {
    std::string_view t = Trim(line.raw);
    line.kind = Line::Other;
    line.name.clear();
    line.value.clear();
    line.quoted = false;
    if (t.empty()) return;
    if (t.front() == '[') {
        size_t close = t.rfind(']');
        if (close != std::string_view::npos && close > 0) {
            line.kind = Line::Section;
            line.name = std::string(Trim(t.substr(1, close - 1)));
        }
        return;
    }
    size_t eq = t.find('=');
    if (eq == std::string_view::npos) return;
    line.kind = Line::Key;
    line.name = std::string(Trim(t.substr(0, eq)));
    std::string_view v = Trim(t.substr(eq + 1));
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
        line.quoted = true;
    }
    line.value = std::string(v);
}

std::vector<Line> Parse(std::string_view bytes) {
    std::vector<Line> lines;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t nl = bytes.find('\n', pos);
        Line line;
        if (nl == std::string_view::npos) {
            line.raw = std::string(bytes.substr(pos));
            pos = bytes.size();
        } else {
            size_t end = nl;
            if (end > pos && bytes[end - 1] == '\r') {
                --end;
                line.eol = "\r\n";
            } else {
                line.eol = "\n";
            }
            line.raw = std::string(bytes.substr(pos, end - pos));
            pos = nl + 1;
        }
        Classify(line);
        lines.push_back(std::move(line));
    }
    return lines;
}

std::string Serialize(const std::vector<Line>& lines) {
    std::string out;
    for (const Line& l : lines) {
        out += l.raw;
        out += l.eol;
    }
    return out;
}

struct ThreadTables {
    // Files pinned by an IniReadScope on this thread, with their nesting
    // depth, and those of them already checked since they were pinned.
    std::unordered_map<std::string, int> pinned;
    std::unordered_map<std::string, bool> checked;
    // Files under an IniWriteBatch on this thread -> whether writes are pending.
    std::unordered_map<std::string, bool> deferred;
};

// Reached through a plain pointer: with mingw, a thread_local object that has
// a destructor corrupts the heap when a thread other than the main one ends.
// The few bytes of a finished worker thread's tables are left to the process.
ThreadTables& Tables() {
    thread_local ThreadTables* tables = nullptr;
    if (!tables) tables = new ThreadTables;
    return *tables;
}

bool Deferred(const std::string& file) {
    const auto& deferred = Tables().deferred;
    return !deferred.empty() && deferred.count(file) > 0;
}

class IniCache {
public:
    // The parsed file, re-read only when it changed. One stat-like call per
    // read: any write by anyone changes the write time, the change time, the
    // size or (where the system has one) the file's identity, unless it falls
    // within the same clock tick as the version we hold; a version that
    // recent is confirmed against the bytes on disk instead.
    //
    // forWrite: the caller is about to rewrite the file from what this
    // returns, so a file that is there but cannot be read is waited for and,
    // failing that, reported as unreadable rather than handed out empty.
    ParsedFile& Get(const std::string& file, bool forWrite = false) {
        auto it = files_.find(file);
        // Pending batch writes live only here until the batch commits.
        if (it != files_.end() && Deferred(file)) return it->second;
        // A write always looks at the disk: rewriting a pinned, older
        // version would undo what another program wrote meanwhile.
        ThreadTables& tables = Tables();
        bool pinned = !forWrite && !tables.pinned.empty() && tables.pinned.count(file) > 0;
        if (pinned && it != files_.end() && tables.checked.count(file) > 0) return it->second;
        if (pinned) tables.checked[file] = true;
        FileStamp st = GetFileStamp(file);
        const bool known = it != files_.end();
        if (known && st.exists && it->second.exists && it->second.stamp == st && it->second.settled) return it->second;
        // Still missing. A reader takes that as it is; a writer makes sure
        // the name is not something that exists but cannot be examined.
        if (known && !forWrite && !st.exists && !it->second.exists && !it->second.unreadable) return it->second;
        // A file that failed to read a moment ago is not waited for on every
        // read of a long list; a write always waits.
        const bool wait =
            forWrite || !known || !it->second.unreadable || std::chrono::steady_clock::now() >= it->second.retryAt;
        // Taken before the bytes are read: a stamp old enough now was old
        // enough when they were read.
        const int64_t now = FileClockNow();
        FileContents c = ReadFileForRewrite(PathFromUtf8(file), wait);
        if (c.state == FileContents::Read && known && it->second.exists && it->second.bytes == c.bytes) {
            // Same content: keep the parse, and trust the stamp once it is old enough.
            it->second.stamp = st;
            it->second.settled = st.exists && StampIsSettled(st, now, it->second.tick);
            return it->second;
        }
        ParsedFile parsed;
        parsed.stamp = st;
        if (c.state == FileContents::Read) {
            parsed.exists = true;
            parsed.tick = known && it->second.tick ? it->second.tick : StampTick(file);
            parsed.settled = st.exists && StampIsSettled(st, now, parsed.tick);
            parsed.lines = Parse(c.bytes);
            parsed.bytes = std::move(c.bytes);
        } else if (c.state == FileContents::Unreadable) {
            parsed.unreadable = true;
            parsed.retryAt = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        } else if (st.exists) {
            // Gone between the two calls: next time look again.
            parsed.stamp = FileStamp{};
        }
        if (files_.size() > 64) {
            for (auto e = files_.begin(); e != files_.end();)
                e = Deferred(e->first) ? std::next(e) : files_.erase(e);
        }
        return files_[file] = std::move(parsed);
    }

    bool Store(const std::string& file, ParsedFile& parsed) {
        if (Deferred(file)) {
            Tables().deferred[file] = true;
            parsed.indexed = false;
            return true;
        }
        return Flush(file, parsed);
    }

    // Writes the batch's pending version of file, if any.
    bool CommitDeferred(const std::string& file) {
        auto pending = Tables().deferred.find(file);
        bool dirty = pending != Tables().deferred.end() && pending->second;
        if (pending != Tables().deferred.end()) Tables().deferred.erase(pending);
        if (!dirty) return true;
        auto it = files_.find(file);
        if (it == files_.end()) return false;
        return Flush(file, it->second);
    }

    // Drops the batch's pending version so the next read sees the disk.
    void DiscardDeferred(const std::string& file) {
        Tables().deferred.erase(file);
        files_.erase(file);
    }

    bool Flush(const std::string& file, ParsedFile& parsed) {
        if (parsed.unreadable) {
            files_.erase(file);
            return false;
        }
        fs::path p = PathFromUtf8(file);
        std::string bytes = Serialize(parsed.lines);
        if (!WriteFileAtomic(p, bytes)) {
            files_.erase(file);
            return false;
        }
        // The stamp seen now might already belong to another writer's file
        // that replaced ours in between, so it is not trusted: the next read
        // compares the bytes once before keeping what we wrote.
        parsed.exists = true;
        parsed.stamp = GetFileStamp(file);
        parsed.settled = false;
        if (parsed.tick == 0) parsed.tick = StampTick(file);
        parsed.bytes = std::move(bytes);
        parsed.indexed = false;
        return true;
    }

    void Clear() { files_.clear(); }

    std::mutex mutex;

private:
    std::unordered_map<std::string, ParsedFile> files_;
};

IniCache& Cache() {
    static IniCache cache;
    return cache;
}

std::string KeySlot(size_t header, std::string_view foldedKey) {
    std::string slot = std::to_string(header);
    slot += '\n';
    slot += foldedKey;
    return slot;
}

void Index(ParsedFile& pf) {
    if (pf.indexed) return;
    pf.sections.clear();
    pf.keys.clear();
    size_t header = std::string::npos;
    for (size_t i = 0; i < pf.lines.size(); ++i) {
        const Line& l = pf.lines[i];
        if (l.kind == Line::Section) {
            header = i;
            pf.sections.emplace(Fold(l.name), i);
        } else if (l.kind == Line::Key && header != std::string::npos) {
            pf.keys.emplace(KeySlot(header, Fold(l.name)), i);
        }
    }
    pf.indexed = true;
}

// Index of the first section header with this name, or npos.
size_t FindSection(ParsedFile& pf, std::string_view section) {
    Index(pf);
    auto it = pf.sections.find(Fold(section));
    return it == pf.sections.end() ? std::string::npos : it->second;
}

// One past the last line of the section that starts at header.
size_t SectionEnd(const std::vector<Line>& lines, size_t header) {
    size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != Line::Section)
        ++i;
    return i;
}

size_t FindKey(ParsedFile& pf, size_t header, std::string_view key) {
    Index(pf);
    auto it = pf.keys.find(KeySlot(header, Fold(key)));
    return it == pf.keys.end() ? std::string::npos : it->second;
}

// The number at the start of a value, read the way the system reads profile
// integers: optional sign, then "0x" hex, "0o" octal, "0b" binary or decimal
// digits up to the first character that is not one; wraps around on overflow.
int ParseProfileInt(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ')
        ++i;
    bool neg = false;
    while (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        if (s[i] == '-') neg = !neg;
        ++i;
    }
    uint32_t base = 10;
    if (i + 1 < s.size() && s[i] == '0') {
        char p = s[i + 1];
        if (p == 'x' || p == 'X') base = 16;
        if (p == 'o' || p == 'O') base = 8;
        if (p == 'b' || p == 'B') base = 2;
        if (base != 10) i += 2;
    }
    uint32_t n = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        uint32_t d;
        if (c >= '0' && c <= '9')
            d = static_cast<uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f')
            d = static_cast<uint32_t>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            d = static_cast<uint32_t>(c - 'A' + 10);
        else
            break;
        if (d >= base) break;
        n = n * base + d;
    }
    if (neg) n = 0u - n;
    return static_cast<int>(n);
}

// A line break inside a value would end the line early and turn the rest
// into a key or section of its own; it is stored as a blank instead.
std::string OneLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

// Section and key names as the caller gave them, in ANSI, the way they end
// up in the file: line breaks stored as blanks, then the blanks the system
// ignores around names removed. Reads look names up in the same form, so a
// name with a line break finds what was written under it.
std::string Name(std::string_view utf8) {
    return std::string(Trim(OneLine(Utf8ToAnsi(utf8))));
}

const Line* Lookup(const std::string& file, std::string_view section, std::string_view key) {
    ParsedFile& pf = Cache().Get(file);
    std::string sec = Name(section);
    std::string k = Name(key);
    size_t s = FindSection(pf, sec);
    if (s == std::string::npos) return nullptr;
    size_t i = FindKey(pf, s, k);
    if (i == std::string::npos) return nullptr;
    return &pf.lines[i];
}

Line MakeLine(std::string raw, const std::string& eol) {
    Line l;
    l.raw = std::move(raw);
    l.eol = eol;
    Classify(l);
    return l;
}

}  // namespace

int ReadIniInt(const std::string& file, std::string_view section, std::string_view key, int def) {
    std::lock_guard lock(Cache().mutex);
    const Line* l = Lookup(file, section, key);
    if (!l || l->value.empty()) return def;
    return ParseProfileInt(CutAnsi(l->value, 254));
}

std::string ReadIniString(const std::string& file, std::string_view section, std::string_view key,
                          std::string_view def) {
    std::lock_guard lock(Cache().mutex);
    const Line* l = Lookup(file, section, key);
    if (!l) {
        // The default goes through the same 254-byte limit as a stored value.
        std::string d = Utf8ToAnsi(def);
        return AnsiToUtf8(Trim(CutAnsi(d, 254)));
    }
    // Blanks inside quotes are part of the value, as the profile functions keep them.
    std::string_view cut = CutAnsi(l->value, 254);
    return AnsiToUtf8(l->quoted ? cut : Trim(cut));
}

bool WriteIniString(const std::string& file, std::string_view section, std::string_view key, std::string_view value) {
    std::lock_guard lock(Cache().mutex);
    ParsedFile& pf = Cache().Get(file, true);
    if (pf.unreadable) return false;
    std::string sec = Name(section);
    std::string k = Name(key);
    std::string v = OneLine(Utf8ToAnsi(value));
    auto& lines = pf.lines;
    // Keep the file's own line ends when it has them; CR LF otherwise.
    std::string eol = "\r\n";
    for (const Line& l : lines)
        if (!l.eol.empty()) {
            eol = l.eol;
            break;
        }
    size_t s = FindSection(pf, sec);
    if (s == std::string::npos) {
        if (!lines.empty() && lines.back().eol.empty()) lines.back().eol = eol;
        lines.push_back(MakeLine("[" + sec + "]", eol));
        lines.push_back(MakeLine(k + "=" + v, eol));
    } else {
        size_t i = FindKey(pf, s, k);
        if (i != std::string::npos) {
            std::string name = lines[i].name;
            std::string keepEol = lines[i].eol.empty() ? std::string() : lines[i].eol;
            lines[i] = MakeLine(name + "=" + v, keepEol);
        } else {
            // After the section's last non-blank line, so trailing blank lines
            // keep separating it from the next section.
            size_t end = SectionEnd(lines, s);
            size_t at = end;
            while (at > s + 1 && Trim(lines[at - 1].raw).empty())
                --at;
            if (at == lines.size() && !lines.empty() && lines.back().eol.empty()) lines.back().eol = eol;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), MakeLine(k + "=" + v, eol));
        }
    }
    return Cache().Store(file, pf);
}

bool IniFileUnreadable(const std::string& file) {
    std::lock_guard lock(Cache().mutex);
    return Cache().Get(file).unreadable;
}

bool WriteIniString(const std::string& file, std::string_view section, std::string_view key, long long value) {
    return WriteIniString(file, section, key, std::to_string(value));
}

bool DeleteIniKey(const std::string& file, std::string_view section, std::string_view key) {
    std::lock_guard lock(Cache().mutex);
    ParsedFile& pf = Cache().Get(file, true);
    if (pf.unreadable) return false;
    size_t s = FindSection(pf, Name(section));
    if (s == std::string::npos) return true;
    if (FindKey(pf, s, Name(key)) == std::string::npos) return true;
    // Every copy of the key in the section goes: a hand-edited file may hold
    // it twice, and removing only the first would bring the stale one back.
    const std::string folded = Fold(Name(key));
    for (size_t i = SectionEnd(pf.lines, s); i-- > s + 1;)
        if (pf.lines[i].kind == Line::Key && Fold(pf.lines[i].name) == folded)
            pf.lines.erase(pf.lines.begin() + static_cast<std::ptrdiff_t>(i));
    pf.indexed = false;
    return Cache().Store(file, pf);
}

bool DeleteIniSection(const std::string& file, std::string_view section) {
    std::lock_guard lock(Cache().mutex);
    ParsedFile& pf = Cache().Get(file, true);
    if (pf.unreadable) return false;
    size_t s = FindSection(pf, Name(section));
    if (s == std::string::npos) return true;
    size_t end = SectionEnd(pf.lines, s);
    pf.lines.erase(pf.lines.begin() + static_cast<std::ptrdiff_t>(s),
                   pf.lines.begin() + static_cast<std::ptrdiff_t>(end));
    return Cache().Store(file, pf);
}

IniWriteBatch::IniWriteBatch(std::string file) : file_(std::move(file)) {
    std::lock_guard lock(Cache().mutex);
    // A nested batch on the same file joins the outer one.
    if (Deferred(file_)) {
        open_ = false;
        return;
    }
    Tables().deferred[file_] = false;
}

IniWriteBatch::~IniWriteBatch() {
    // Only an explicit Commit writes: a batch left by an early return or an
    // exception holds half a change, and half a change is worse than none.
    Discard();
}

bool IniWriteBatch::Commit() {
    if (!open_) return true;
    open_ = false;
    std::lock_guard lock(Cache().mutex);
    if (Cache().CommitDeferred(file_)) return true;
    Cache().DiscardDeferred(file_);
    return false;
}

void IniWriteBatch::Discard() {
    if (!open_) return;
    open_ = false;
    std::lock_guard lock(Cache().mutex);
    Cache().DiscardDeferred(file_);
}

IniReadScope::IniReadScope(std::string file) : file_(std::move(file)) {
    ++Tables().pinned[file_];
}

IniReadScope::~IniReadScope() {
    auto it = Tables().pinned.find(file_);
    if (it == Tables().pinned.end() || --it->second > 0) return;
    Tables().pinned.erase(it);
    Tables().checked.erase(file_);
}

void FlushIniCache() {
    std::lock_guard lock(Cache().mutex);
    Cache().Clear();
}

}  // namespace vt
