// Password scrambling: decoding what was encoded with the same key gives the
// text back; decoding anything at all never fails.
#include <fuzzer/FuzzedDataProvider.h>

#include "common/codepage.h"
#include "launcher/store/password.h"
#include "tests/fuzz/fuzz_support.h"

using namespace vt;
using namespace vt::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    // Texts are what the code page can hold: stored texts come from ANSI files.
    const std::string key = AnsiToUtf8(in.ConsumeRandomLengthString(64));
    const std::string rest = in.ConsumeRemainingBytesAsString();
    const std::string text = AnsiToUtf8(Utf8ToAnsi(AnsiToUtf8(rest)));

    const std::string stored = EncodePassword(text, key);
    VT_FUZZ_CHECK(DecodePassword(stored, key) == text, "key [" + key + "] text [" + text + "] stored [" + stored + "]");
    if (key.empty()) VT_FUZZ_CHECK(stored == text, "an empty key changed the text");

    // The raw bytes as a stored form (damaged files, wrong keys).
    (void)DecodePassword(rest, key);
    (void)DecodePassword(AnsiToUtf8(rest), key);
    return 0;
}
