// Code page conversion: ANSI bytes always become valid UTF-8; text that the
// code page can hold survives the round trip both ways; cutting to a byte
// limit never splits a character and keeps as much as fits.
#include <fuzzer/FuzzedDataProvider.h>

#include "common/codepage.h"
#include "tests/fuzz/fuzz_support.h"

using namespace vt;
using namespace vt::fuzz;

namespace {

// GBK plays the ANSI code page everywhere; CP1252 stands for the single-byte
// ones. (BIG5 maps some characters twice, so it has no round trip to check.)
const char* const kCodePages[] = {"GBK", "CP1252"};

size_t Count(std::string_view s, char c) {
    size_t n = 0;
    for (char x : s)
        n += x == c;
    return n;
}

// Bytes of the first character of well-formed ANSI text.
size_t FirstCharLength(std::string_view ansi) {
    for (size_t len = 1; len <= 2 && len <= ansi.size(); ++len)
        if (Utf8ToAnsi(AnsiToUtf8(ansi.substr(0, len))) == ansi.substr(0, len) &&
            Count(AnsiToUtf8(ansi.substr(0, len)), '?') == Count(ansi.substr(0, len), '?'))
            return len;
    return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const char* cp = kCodePages[in.ConsumeIntegralInRange<size_t>(0, std::size(kCodePages) - 1)];
    const size_t limit = in.ConsumeIntegralInRange<size_t>(0, 300);
    const std::string bytes = in.ConsumeRemainingBytesAsString();
    SetAnsiCodePage(cp);

    // ANSI -> UTF-8 -> ANSI.
    const std::string utf8 = AnsiToUtf8(bytes);
    VT_FUZZ_CHECK(IsValidUtf8(utf8), std::string(cp) + " gave broken UTF-8");
    const bool wellFormed = Count(utf8, '?') == Count(bytes, '?');
    if (wellFormed) VT_FUZZ_CHECK(Utf8ToAnsi(utf8) == bytes, std::string(cp) + " round trip from ANSI");

    // UTF-8 -> ANSI -> UTF-8, for the input read as UTF-8.
    if (IsValidUtf8(bytes)) {
        const std::string ansi = Utf8ToAnsi(bytes);
        if (Count(ansi, '?') == Count(bytes, '?'))
            VT_FUZZ_CHECK(AnsiToUtf8(ansi) == bytes, std::string(cp) + " round trip from UTF-8");
    }

    // Cutting.
    const std::string_view cut = CutAnsi(bytes, limit);
    VT_FUZZ_CHECK(cut.size() <= limit || cut.size() == bytes.size(), "cut is too long");
    VT_FUZZ_CHECK(bytes.compare(0, cut.size(), cut) == 0, "cut is not a prefix");
    if (bytes.size() <= limit) VT_FUZZ_CHECK(cut.size() == bytes.size(), "short text was cut");
    if (wellFormed && cut.size() < bytes.size()) {
        // The kept part is whole characters, and the next one would not fit.
        const std::string keptUtf8 = AnsiToUtf8(cut);
        VT_FUZZ_CHECK(utf8.compare(0, keptUtf8.size(), keptUtf8) == 0 && Utf8ToAnsi(keptUtf8) == cut,
                      std::string(cp) + " cut splits a character");
        VT_FUZZ_CHECK(cut.size() + FirstCharLength(std::string_view(bytes).substr(cut.size())) > limit,
                      std::string(cp) + " cut dropped a character that fits");
    }
    SetAnsiCodePage("GBK");
    return 0;
}
