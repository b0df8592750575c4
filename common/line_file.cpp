#include "common/line_file.h"

#include <mutex>
#include <string_view>
#include <vector>

#include "common/atomic_file.h"
#include "common/codepage.h"

namespace vt {
namespace {

// Splits on LF, dropping a CR before it; a last line without LF counts.
std::vector<std::string_view> SplitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t nl = bytes.find('\n', pos);
        size_t end = nl == std::string_view::npos ? bytes.size() : nl;
        size_t cut = (end > pos && bytes[end - 1] == '\r') ? end - 1 : end;
        lines.push_back(bytes.substr(pos, cut - pos));
        pos = nl == std::string_view::npos ? bytes.size() : nl + 1;
    }
    return lines;
}

// One read-modify-write at a time: two of them interleaved would each
// write back the file without the other's line.
std::mutex gWriteLock;

}  // namespace

std::optional<std::string> TryReadDataLine(const std::string& file, int n) {
    if (n <= 0) return std::string();
    FileContents c = ReadFileForRewrite(PathFromUtf8(file));
    if (c.state == FileContents::Unreadable) return std::nullopt;
    auto lines = SplitLines(c.bytes);
    if (static_cast<size_t>(n) > lines.size()) return std::string();
    return AnsiToUtf8(lines[static_cast<size_t>(n) - 1]);
}

std::string ReadDataLine(const std::string& file, int n) {
    if (n <= 0) return {};
    auto bytes = ReadFileBytes(PathFromUtf8(file));
    if (!bytes) return {};
    auto lines = SplitLines(*bytes);
    if (static_cast<size_t>(n) > lines.size()) return {};
    return AnsiToUtf8(lines[static_cast<size_t>(n) - 1]);
}

std::vector<std::string> ReadDataLines(const std::string& file) {
    std::vector<std::string> out;
    auto bytes = ReadFileBytes(PathFromUtf8(file));
    if (!bytes) return out;
    for (std::string_view line : SplitLines(*bytes))
        out.push_back(AnsiToUtf8(line));
    return out;
}

int WriteDataLine(const std::string& file, const std::string& text, int n) {
    if (text.empty()) return 0;
    std::lock_guard lock(gWriteLock);
    std::filesystem::path p = PathFromUtf8(file);
    FileContents old = ReadFileForRewrite(p);
    if (old.state == FileContents::Unreadable) return kLineWriteFailed;
    auto lines = SplitLines(old.bytes);
    if (n > 0 && static_cast<size_t>(n) > lines.size() + 1) return kLineBeyondEnd;
    std::string ansi = Utf8ToAnsi(text);
    // A stored line must stay one line.
    for (char& c : ansi)
        if (c == '\r' || c == '\n') c = ' ';
    int result;
    if (n <= 0 || static_cast<size_t>(n) == lines.size() + 1) {
        lines.push_back(ansi);
        result = static_cast<int>(lines.size());
    } else {
        lines[static_cast<size_t>(n) - 1] = ansi;
        result = n;
    }
    std::string out;
    out.reserve(old.bytes.size() + ansi.size() + 2);
    for (auto l : lines) {
        out += l;
        out += "\r\n";
    }
    if (!WriteFileAtomic(p, out)) return kLineWriteFailed;
    return result;
}

}  // namespace vt
