// In-memory stand-ins for the platform interfaces, for native tests.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "platform/clock.h"
#include "platform/pictures.h"
#include "platform/prompts.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/text_measure.h"

namespace vt {

class FakeRegistry : public Registry {
public:
    using Value = std::variant<uint32_t, std::string>;
    struct Binary {
        std::string bytes;
    };
    // Key paths compare case-insensitively, like the real registry.
    static std::string Norm(RegRoot root, const std::string& key);

    bool KeyExists(RegRoot root, const std::string& key) override;
    std::optional<uint32_t> QueryDword(RegRoot root, const std::string& key, const std::string& value) override;
    std::optional<std::string> QueryString(RegRoot root, const std::string& key, const std::string& value) override;
    long SetDword(RegRoot root, const std::string& key, const std::string& value, uint32_t data) override;
    long SetString(RegRoot root, const std::string& key, const std::string& value, const std::string& data) override;
    long SetBinary(RegRoot root, const std::string& key, const std::string& value, const std::string& bytes) override;
    long DeleteValue(RegRoot root, const std::string& key, const std::string& value) override;
    // Subkeys of every key that was written below key (in name order), spelled
    // as they were first written.
    std::vector<std::string> EnumSubKeys(RegRoot root, const std::string& key) override;

    bool Has(RegRoot root, const std::string& key, const std::string& value) const;
    // Every value, "root\key|value" -> data; binary data is stored as a string too.
    std::map<std::string, Value> values;
    std::map<std::string, bool> keys;
    std::map<std::string, std::string> keySpelling;  // Norm(root, key) -> key as first written
    long failStatus = 0;                             // when not 0, every Set fails with it
};

class FakePrompts : public Prompts {
public:
    bool Confirm(const std::string& text, const std::string& caption) override;
    std::string AskPassword(const std::string& prompt) override;
    void ShowMessage(const std::string& text) override;

    std::deque<bool> confirmAnswers;          // default true when empty
    std::deque<std::string> passwordAnswers;  // default "" when empty
    std::vector<std::string> confirms;        // texts asked
    std::vector<std::string> passwordPrompts;
    std::vector<std::string> messages;
};

class FakeShell : public Shell {
public:
    struct Call {
        std::string verb, file, params, dir;
        ShowCmd show;
    };
    bool Execute(const std::string& verb, const std::string& file, const std::string& params, const std::string& dir,
                 ShowCmd show) override;
    bool EmptyRecycleBin() override;
    bool SetClipboardText(const std::string& text) override;

    std::vector<Call> calls;
    int recycleCalls = 0;
    std::string clipboard;
    bool result = true;
};

// Every byte of ANSI text is `twipsPerByte` wide, whatever the size.
class FakeTextMeasure : public TextMeasure {
public:
    explicit FakeTextMeasure(int twipsPerByte = 90) : perByte(twipsPerByte) {}
    int TextWidthTwips(const std::string& text, int fontSizePt) override;
    int perByte;
};

class FakePictures : public Pictures {
public:
    // Files listed here "load" with the size given; others fail.
    std::optional<PictureSize> Probe(const std::string& file) override;
    std::map<std::string, PictureSize> sizes;
    bool acceptAnyExisting = true;  // an existing file without an entry loads as 16x16
};

class FakeClock : public Clock {
public:
    uint64_t NowMs() override { return now; }
    uint64_t now = 0;
};

class FakeRandom : public Random {
public:
    int Next(int n) override { return n > 0 ? (next++ % n) : 0; }
    int next = 0;
};

}  // namespace vt
