#include <iconv.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <string>

#include "common/codepage.h"
#include "common/text.h"

namespace vt {
namespace {

std::mutex g_mutex;
std::string g_codepage = "GBK";
std::atomic<AnsiKind> g_kind{AnsiKind::DoubleByte};

AnsiKind KindOfName(const std::string& iconvName) {
    std::string name;
    for (char c : iconvName)
        if (c != '-' && c != '_') name.push_back(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
    if (name == "UTF8" || name == "CP65001") return AnsiKind::Utf8;
    if (name == "GBK" || name == "CP936" || name == "GB2312" || name == "GB18030" || name == "BIG5" ||
        name == "CP950" || name == "SHIFTJIS" || name == "CP932" || name == "CP949" || name == "UHC" || name == "EUCKR")
        return AnsiKind::DoubleByte;
    return AnsiKind::SingleByte;
}

std::string Convert(std::string_view in, const char* to, const char* from) {
    // Keys, numbers and most paths are plain ASCII, which every supported
    // code page shares with UTF-8: no converter needed.
    if (IsAscii(in)) return std::string(in);
    iconv_t cd = iconv_open(to, from);
    // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv_open's failure value is (iconv_t)-1.
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
    std::string out;
    out.reserve(in.size() * 2);
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char buf[512];
    while (srcLeft > 0) {
        char* dst = buf;
        size_t dstLeft = sizeof buf;
        size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buf, dst - buf);
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG) continue;
            // Invalid or truncated input: replace one byte and go on.
            out.push_back('?');
            ++src;
            --srcLeft;
            if (std::string_view(from) == "UTF-8") {
                while (srcLeft > 0 && (static_cast<unsigned char>(*src) & 0xC0) == 0x80) {
                    ++src;
                    --srcLeft;
                }
            }
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace

void SetAnsiCodePage(const std::string& iconvName) {
    std::lock_guard lock(g_mutex);
    g_codepage = iconvName;
    g_kind = KindOfName(iconvName);
}

std::string AnsiToUtf8(std::string_view ansi) {
    std::string cp;
    {
        std::lock_guard lock(g_mutex);
        cp = g_codepage;
    }
    return Convert(ansi, "UTF-8", cp.c_str());
}

std::string Utf8ToAnsi(std::string_view utf8) {
    std::string cp;
    {
        std::lock_guard lock(g_mutex);
        cp = g_codepage;
    }
    return Convert(utf8, cp.c_str(), "UTF-8");
}

AnsiKind CurrentAnsiKind() {
    return g_kind.load(std::memory_order_relaxed);
}

bool IsAnsiLeadByte(unsigned char b) {
    return b >= 0x81 && b <= 0xFE && CurrentAnsiKind() == AnsiKind::DoubleByte;
}

// Unix file systems keep no short names.
std::string ShortPathName(const std::string&) {
    return {};
}

}  // namespace vt
