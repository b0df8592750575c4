// Line files: writing line n of any file puts the text there and leaves every
// other line as it was; a line past the end is refused and changes nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include "common/codepage.h"
#include "common/line_file.h"
#include "tests/fuzz/fuzz_support.h"

using namespace vt;
using namespace vt::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const int beyond = in.ConsumeIntegralInRange<int>(0, 3);
    const bool append = in.ConsumeBool();
    const std::string raw = in.ConsumeRandomLengthString(300);
    const std::string bytes = in.ConsumeRemainingBytesAsString();

    const std::string file = FreshScratch() + "PATH.SET";
    WriteFile(file, bytes);

    // Lines as the store sees them, up to a little past the end.
    int lines = 0;
    for (char c : bytes)
        lines += c == '\n';
    if (!bytes.empty() && bytes.back() != '\n') ++lines;
    std::vector<std::string> before;
    for (int n = 1; n <= lines + 2; ++n)
        before.push_back(ReadDataLine(file, n));
    VT_FUZZ_CHECK(ReadDataLine(file, 0).empty() && ReadDataLine(file, -1).empty(), "line 0 is not empty");

    // The text as it can be stored: in the code page, on one line.
    std::string text = AnsiToUtf8(Utf8ToAnsi(AnsiToUtf8(raw)));
    std::string stored = text;
    for (char& c : stored)
        if (c == '\r' || c == '\n') c = ' ';

    const int n = append ? 0 : 1 + (lines + beyond) % (lines + 3);
    const int got = WriteDataLine(file, text, n);
    if (text.empty()) {
        VT_FUZZ_CHECK(got == 0, "empty text was written");
        VT_FUZZ_CHECK(ReadFile(file) == bytes, "empty text changed the file");
        return 0;
    }
    if (!append && n > lines + 1) {
        // A line past the end is a missing line: nothing is padded up to it.
        VT_FUZZ_CHECK(got == kLineBeyondEnd, "line " + std::to_string(n) + " past the end gave " + std::to_string(got));
        VT_FUZZ_CHECK(ReadFile(file) == bytes, "a write past the end changed the file");
        return 0;
    }
    VT_FUZZ_CHECK(got > 0, "write failed");
    VT_FUZZ_CHECK(append ? got == lines + 1 : got == n, "wrong line number " + std::to_string(got));
    VT_FUZZ_CHECK(ReadDataLine(file, got) == stored,
                  "line " + std::to_string(got) + " reads [" + ReadDataLine(file, got) + "] not [" + stored + "]");
    for (int k = 1; k <= static_cast<int>(before.size()); ++k) {
        if (k == got) continue;
        VT_FUZZ_CHECK(ReadDataLine(file, k) == before[static_cast<size_t>(k) - 1],
                      "line " + std::to_string(k) + " changed");
    }
    return 0;
}
