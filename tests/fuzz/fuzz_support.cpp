#include "tests/fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "common/codepage.h"
#include "common/ini.h"
#include "common/text.h"

namespace vt::fuzz {
namespace fs = std::filesystem;

void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "\n==fuzz== invariant broken: %s\n%s\n", what, detail.c_str());
    std::fflush(stderr);
    std::abort();
}

std::string FreshScratch() {
    static std::string root = [] {
        // Memory-backed when there is such a folder: every store write syncs
        // its file, which on a disk would make the runs a hundred times slower.
        std::error_code shm;
        fs::path dir = fs::is_directory("/dev/shm", shm) && access("/dev/shm", W_OK) == 0 ? fs::path("/dev/shm")
                                                                                          : fs::temp_directory_path();
        std::string base = (dir / "vt-fuzz-XXXXXX").string();
        if (!mkdtemp(base.data())) Fail("mkdtemp", base);
        return base + "/";
    }();
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(root, ec)) {
        // Permissions a run may have taken away are given back first.
        fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(e.path(), ec);
    }
    return root;
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::error_code ec;
    fs::create_directories(PathFromUtf8(path).parent_path(), ec);
    std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) Fail("writing a scratch file", path);
}

bool PlaceFile(const std::string& path, std::string_view bytes) {
    std::error_code ec;
    fs::create_directories(PathFromUtf8(path).parent_path(), ec);
    if (ec) return false;
    std::ofstream out(PathFromUtf8(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) return "<unreadable>";
    return std::string(std::istreambuf_iterator<char>(in), {});
}

Tree Snapshot(const std::string& root) {
    Tree tree;
    std::error_code ec;
    fs::path base = PathFromUtf8(root);
    for (fs::recursive_directory_iterator it(base, ec), end; !ec && it != end; it.increment(ec)) {
        std::string rel = PathToUtf8(it->path().lexically_relative(base));
        if (it->is_directory(ec))
            tree[rel] = "<dir>";
        else
            tree[rel] = ReadFile(PathToUtf8(it->path()));
    }
    return tree;
}

std::string Differences(const Tree& before, const Tree& after, const std::vector<std::string>& allowed) {
    auto free = [&](const std::string& p) {
        for (const auto& a : allowed)
            if (p == a || p.rfind(a + "/", 0) == 0) return true;
        return false;
    };
    std::string out;
    for (const auto& [p, v] : after) {
        if (free(p)) continue;
        auto it = before.find(p);
        if (it == before.end())
            out += "added " + p + "\n";
        else if (it->second != v)
            out += "changed " + p + "\n";
    }
    for (const auto& [p, v] : before)
        if (!free(p) && !after.count(p)) out += "removed " + p + "\n";
    return out;
}

namespace {
constexpr std::string_view kEntry = "\n@@ ";

std::string CleanPath(std::string_view raw) {
    std::string out;
    std::string part;
    int parts = 0;
    auto flush = [&] {
        if (part.empty() || part == "." || part == ".." || parts == 3) {
            part.clear();
            return;
        }
        if (!out.empty()) out += '/';
        out += part.substr(0, 40);
        part.clear();
        ++parts;
    };
    for (char c : raw) {
        if (c == '/' || c == '\\') {
            flush();
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
                   c == '-') {
            part += c;
        }
    }
    flush();
    return out;
}
}  // namespace

std::vector<PackedFile> Unpack(std::string_view data) {
    std::vector<PackedFile> files;
    // The input may start with an entry line without the newline before it.
    std::string text = "\n" + std::string(data);
    std::string_view s = text;
    size_t pos = s.find(kEntry);
    while (pos != std::string_view::npos && files.size() < 64) {
        size_t nameStart = pos + kEntry.size();
        size_t nameEnd = s.find('\n', nameStart);
        if (nameEnd == std::string_view::npos) break;
        size_t next = s.find(kEntry, nameEnd);
        size_t bodyEnd = next == std::string_view::npos ? s.size() : next;
        PackedFile f{CleanPath(s.substr(nameStart, nameEnd - nameStart)),
                     std::string(s.substr(nameEnd + 1, bodyEnd - nameEnd - 1))};
        if (!f.path.empty()) files.push_back(std::move(f));
        pos = next;
    }
    return files;
}

std::string Pack(const std::vector<PackedFile>& files) {
    std::string out;
    for (const auto& f : files) {
        out += "@@ " + f.path + "\n" + f.bytes;
        out += '\n';
    }
    return out;
}

IniNames ScanIniNames(std::string_view bytes, size_t limit) {
    IniNames names;
    auto add = [&](std::vector<std::string>& list, std::string_view ansi) {
        if (list.size() >= limit) return;
        std::string name = AnsiToUtf8(ansi);
        for (const auto& n : list)
            if (n == name) return;
        list.push_back(std::move(name));
    };
    size_t pos = 0;
    while (pos <= bytes.size()) {
        size_t nl = bytes.find('\n', pos);
        std::string_view line = bytes.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        size_t open = line.find('[');
        size_t close = line.rfind(']');
        if (open != std::string_view::npos && close != std::string_view::npos && close > open)
            add(names.sections, line.substr(open + 1, close - open - 1));
        size_t eq = line.find('=');
        if (eq != std::string_view::npos) add(names.keys, line.substr(0, eq));
        if (nl == std::string_view::npos) break;
        pos = nl + 1;
    }
    return names;
}

std::map<std::pair<std::string, std::string>, std::string> ReadAll(const std::string& file, const IniNames& names) {
    std::map<std::pair<std::string, std::string>, std::string> values;
    static const std::string kNone = "\x01<none>";
    for (const auto& s : names.sections)
        for (const auto& k : names.keys) {
            values[{s, k}] = ReadIniString(file, s, k, kNone);
            (void)ReadIniInt(file, s, k, -7);
        }
    return values;
}

bool SameAsciiName(const std::string& name, std::string_view ascii) {
    std::string ansi = Utf8ToAnsi(name);
    size_t b = ansi.find_first_not_of(" \t\v\f\r");
    if (b == std::string::npos) return ascii.empty();
    size_t e = ansi.find_last_not_of(" \t\v\f\r");
    return AsciiLower(ansi.substr(b, e - b + 1)) == AsciiLower(std::string(ascii));
}

bool IsValidUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        size_t len;
        uint32_t cp;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (i + len > s.size()) return false;
        for (size_t k = 1; k < len; ++k) {
            unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        static const uint32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        i += len;
    }
    return true;
}

}  // namespace vt::fuzz
