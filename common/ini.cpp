#include "common/ini.h"

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <unordered_map>
#include <vector>

#include "common/atomic_file.h"
#include "common/codepage.h"

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
};

struct ParsedFile {
    bool exists = false;
    fs::file_time_type mtime{};
    uintmax_t size = 0;
    std::vector<Line> lines;
};

constexpr const char* kBlanks = " \t\v\f\r";

std::string_view Trim(std::string_view s) {
    size_t b = s.find_first_not_of(kBlanks);
    if (b == std::string_view::npos) return {};
    size_t e = s.find_last_not_of(kBlanks);
    return s.substr(b, e - b + 1);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

void Classify(Line& line) {
    std::string_view t = Trim(line.raw);
    line.kind = Line::Other;
    line.name.clear();
    line.value.clear();
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
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) v = v.substr(1, v.size() - 2);
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

struct FileStamp {
    bool exists = false;
    fs::file_time_type mtime{};
    uintmax_t size = 0;
};

FileStamp Stamp(const fs::path& p) {
    std::error_code ec;
    FileStamp s;
    auto st = fs::status(p, ec);
    if (ec || !fs::is_regular_file(st)) return s;
    s.mtime = fs::last_write_time(p, ec);
    if (ec) return s;
    s.size = fs::file_size(p, ec);
    if (ec) return s;
    s.exists = true;
    return s;
}

class IniCache {
public:
    // The parsed file, re-read only when its time stamp or size changed.
    ParsedFile& Get(const std::string& file) {
        fs::path p = PathFromUtf8(file);
        FileStamp st = Stamp(p);
        auto it = files_.find(file);
        if (it != files_.end() && it->second.exists == st.exists &&
            (!st.exists || (it->second.mtime == st.mtime && it->second.size == st.size)))
            return it->second;
        ParsedFile parsed;
        if (st.exists) {
            if (auto bytes = ReadFileBytes(p)) {
                parsed.exists = true;
                parsed.mtime = st.mtime;
                parsed.size = st.size;
                parsed.lines = Parse(*bytes);
            }
        }
        if (files_.size() > 64) files_.clear();
        return files_[file] = std::move(parsed);
    }

    bool Store(const std::string& file, ParsedFile& parsed) {
        fs::path p = PathFromUtf8(file);
        if (!WriteFileAtomic(p, Serialize(parsed.lines))) {
            files_.erase(file);
            return false;
        }
        FileStamp st = Stamp(p);
        parsed.exists = st.exists;
        parsed.mtime = st.mtime;
        parsed.size = st.size;
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

// Index of the first section header with this name, or npos.
size_t FindSection(const std::vector<Line>& lines, std::string_view section) {
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].kind == Line::Section && EqualNoCase(lines[i].name, section)) return i;
    return std::string::npos;
}

// One past the last line of the section that starts at header.
size_t SectionEnd(const std::vector<Line>& lines, size_t header) {
    size_t i = header + 1;
    while (i < lines.size() && lines[i].kind != Line::Section) ++i;
    return i;
}

size_t FindKey(const std::vector<Line>& lines, size_t header, std::string_view key) {
    size_t end = SectionEnd(lines, header);
    for (size_t i = header + 1; i < end; ++i)
        if (lines[i].kind == Line::Key && EqualNoCase(lines[i].name, key)) return i;
    return std::string::npos;
}

// The number at the start of a value, read the way the system reads profile
// integers: optional sign, then "0x" hex, "0o" octal, "0b" binary or decimal
// digits up to the first character that is not one; wraps around on overflow.
int ParseProfileInt(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && static_cast<unsigned char>(s[i]) <= ' ') ++i;
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

// Section and key names as the caller gave them, in ANSI, with the blanks the
// system ignores around names removed.
std::string Name(std::string_view utf8) { return std::string(Trim(Utf8ToAnsi(utf8))); }

std::optional<std::string> Lookup(const std::string& file, std::string_view section, std::string_view key) {
    ParsedFile& pf = Cache().Get(file);
    std::string sec = Name(section);
    std::string k = Name(key);
    size_t s = FindSection(pf.lines, sec);
    if (s == std::string::npos) return std::nullopt;
    size_t i = FindKey(pf.lines, s, k);
    if (i == std::string::npos) return std::nullopt;
    return pf.lines[i].value;
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
    auto v = Lookup(file, section, key);
    if (!v || v->empty()) return def;
    return ParseProfileInt(CutAnsi(*v, 254));
}

std::string ReadIniString(const std::string& file, std::string_view section, std::string_view key,
                          std::string_view def) {
    std::lock_guard lock(Cache().mutex);
    auto v = Lookup(file, section, key);
    if (!v) {
        // The default goes through the same 254-byte limit as a stored value.
        std::string d = Utf8ToAnsi(def);
        return AnsiToUtf8(Trim(CutAnsi(d, 254)));
    }
    return AnsiToUtf8(Trim(CutAnsi(*v, 254)));
}

bool WriteIniString(const std::string& file, std::string_view section, std::string_view key,
                    std::string_view value) {
    std::lock_guard lock(Cache().mutex);
    ParsedFile& pf = Cache().Get(file);
    std::string sec = Name(section);
    std::string k = Name(key);
    std::string v = Utf8ToAnsi(value);
    auto& lines = pf.lines;
    // Keep the file's own line ends when it has them; CR LF otherwise.
    std::string eol = "\r\n";
    for (const Line& l : lines)
        if (!l.eol.empty()) {
            eol = l.eol;
            break;
        }
    size_t s = FindSection(lines, sec);
    if (s == std::string::npos) {
        if (!lines.empty() && lines.back().eol.empty()) lines.back().eol = eol;
        lines.push_back(MakeLine("[" + sec + "]", eol));
        lines.push_back(MakeLine(k + "=" + v, eol));
    } else {
        size_t i = FindKey(lines, s, k);
        if (i != std::string::npos) {
            std::string name = lines[i].name;
            std::string keepEol = lines[i].eol.empty() ? std::string() : lines[i].eol;
            lines[i] = MakeLine(name + "=" + v, keepEol);
        } else {
            // After the section's last non-blank line, so trailing blank lines
            // keep separating it from the next section.
            size_t end = SectionEnd(lines, s);
            size_t at = end;
            while (at > s + 1 && Trim(lines[at - 1].raw).empty()) --at;
            if (at == lines.size() && !lines.empty() && lines.back().eol.empty()) lines.back().eol = eol;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), MakeLine(k + "=" + v, eol));
        }
    }
    return Cache().Store(file, pf);
}

bool WriteIniString(const std::string& file, std::string_view section, std::string_view key, long long value) {
    return WriteIniString(file, section, key, std::to_string(value));
}

bool DeleteIniKey(const std::string& file, std::string_view section, std::string_view key) {
    std::lock_guard lock(Cache().mutex);
    ParsedFile& pf = Cache().Get(file);
    size_t s = FindSection(pf.lines, Name(section));
    if (s == std::string::npos) return true;
    size_t i = FindKey(pf.lines, s, Name(key));
    if (i == std::string::npos) return true;
    pf.lines.erase(pf.lines.begin() + static_cast<std::ptrdiff_t>(i));
    return Cache().Store(file, pf);
}

bool DeleteIniSection(const std::string& file, std::string_view section) {
    std::lock_guard lock(Cache().mutex);
    ParsedFile& pf = Cache().Get(file);
    size_t s = FindSection(pf.lines, Name(section));
    if (s == std::string::npos) return true;
    size_t end = SectionEnd(pf.lines, s);
    pf.lines.erase(pf.lines.begin() + static_cast<std::ptrdiff_t>(s), pf.lines.begin() + static_cast<std::ptrdiff_t>(end));
    return Cache().Store(file, pf);
}

void FlushIniCache() {
    std::lock_guard lock(Cache().mutex);
    Cache().Clear();
}

}  // namespace vt
