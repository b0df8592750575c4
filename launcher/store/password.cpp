#include "launcher/store/password.h"

#include <cstdint>
#include <limits>
#include <vector>

#include "common/codepage.h"

namespace vt {
namespace {

// Character codes of ANSI text: a single byte gives 0..255, a double-byte
// character gives lead * 256 + trail read as a signed 16-bit number.
std::vector<long long> AnsiCodes(const std::string& utf8) {
    std::string ansi = Utf8ToAnsi(utf8);
    std::vector<long long> codes;
    codes.reserve(ansi.size());
    for (size_t i = 0; i < ansi.size(); ++i) {
        auto lead = static_cast<unsigned char>(ansi[i]);
        if (IsAnsiLeadByte(lead) && i + 1 < ansi.size()) {
            auto trail = static_cast<unsigned char>(ansi[i + 1]);
            codes.push_back(static_cast<int16_t>(static_cast<uint16_t>(lead * 256 + trail)));
            ++i;
        } else {
            codes.push_back(lead);
        }
    }
    return codes;
}

// The character of a code, by the same rule backwards. Codes outside 16 bits
// (only a wrong key produces them) keep their low 16 bits.
void AppendAnsiChar(std::string& out, long long code) {
    auto bits = static_cast<uint16_t>(static_cast<unsigned long long>(code) & 0xFFFFu);
    if (bits < 256) {
        out.push_back(static_cast<char>(bits));
    } else {
        out.push_back(static_cast<char>(bits >> 8));
        out.push_back(static_cast<char>(bits & 0xFF));
    }
}

// Leading decimal number of a token, like the old Val(): blanks skipped, an
// optional sign, digits until the first non-digit; no digits gives 0. Huge
// numbers saturate instead of overflowing.
long long LeadingNumber(const std::string& token) {
    constexpr long long kLimit = std::numeric_limits<long long>::max() / 16;
    size_t i = 0;
    while (i < token.size() && (token[i] == ' ' || token[i] == '\t'))
        ++i;
    bool neg = false;
    if (i < token.size() && (token[i] == '-' || token[i] == '+')) neg = token[i++] == '-';
    long long n = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i) {
        if (n < kLimit) n = n * 10 + (token[i] - '0');
    }
    return neg ? -n : n;
}

// Key position brought into 1..m, so a hand-edited position can never read
// outside the key.
long long WrapPosition(long long p, long long m) {
    return ((p - 1) % m + m) % m + 1;
}

}  // namespace

std::string EncodePassword(const std::string& text, const std::string& key) {
    // Nothing to hide in an empty text; keeping it empty lets the line files
    // store "no parameters" as line 0 for protected items too.
    if (key.empty() || text.empty()) return text;
    std::vector<long long> codes = AnsiCodes(text);
    std::vector<long long> keyCodes = AnsiCodes(key);
    if (keyCodes.empty()) return text;
    const auto m = static_cast<long long>(keyCodes.size());
    std::string out;
    long long s = 1;
    long long p = 1;
    const size_t n = codes.size();
    for (size_t i = 0; i < n; ++i) {
        // Widened arithmetic: a sum beyond 16 bits is written with its true
        // value, which the decoder reads back exactly.
        long long v = codes[i] + s * keyCodes[static_cast<size_t>(p - 1)] + 10;
        out.insert(0, std::to_string(v) + "|");
        s = -s;
        if (i + 1 < n) p = p % m + 1;
    }
    out.insert(0, std::to_string(p) + "|");
    if (s == -1) out.insert(0, "|");
    return out;
}

std::string DecodePassword(const std::string& stored, const std::string& key) {
    if (key.empty()) return stored;
    std::vector<long long> keyCodes = AnsiCodes(key);
    if (keyCodes.empty()) return stored;
    const auto m = static_cast<long long>(keyCodes.size());
    long long s = -1;
    long long p = 0;
    bool first = true;
    size_t pos = 0;
    if (!stored.empty() && stored[0] == '|') {
        s = 1;
        pos = 1;
    }
    // Characters come out last first; collected in order and reversed at the end.
    std::vector<long long> codes;
    while (pos < stored.size()) {
        size_t bar = stored.find('|', pos);
        if (bar == std::string::npos) break;  // text after the last "|" is ignored
        long long value = LeadingNumber(stored.substr(pos, bar - pos));
        pos = bar + 1;
        if (first) {
            p = WrapPosition(value, m);
            first = false;
        } else {
            long long kc = keyCodes[static_cast<size_t>(p - 1)];
            // Saturated inputs keep this within range: |value| < 2^59, |kc| < 2^16.
            codes.push_back(s * kc + value - 10);
            p = p == 1 ? m : p - 1;
        }
        s = -s;
    }
    std::string ansi;
    for (auto it = codes.rbegin(); it != codes.rend(); ++it)
        AppendAnsiChar(ansi, *it);
    return AnsiToUtf8(ansi);
}

}  // namespace vt
