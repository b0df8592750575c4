// Platform services for the benchmarks that drive MainModel, answering at
// once so that only the core is timed.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "common/codepage.h"
#include "launcher/mainwindow/main_model.h"

namespace vt::bench {

class NoRegistry : public vt::Registry {
public:
    bool KeyExists(vt::RegRoot, const std::string&) override { return false; }
    std::optional<uint32_t> QueryDword(vt::RegRoot, const std::string&, const std::string&) override { return {}; }
    std::optional<std::string> QueryString(vt::RegRoot, const std::string&, const std::string&) override { return {}; }
    long SetDword(vt::RegRoot, const std::string&, const std::string&, uint32_t) override { return 0; }
    long SetString(vt::RegRoot, const std::string&, const std::string&, const std::string&) override { return 0; }
    long SetBinary(vt::RegRoot, const std::string&, const std::string&, const std::string&) override { return 0; }
    long DeleteValue(vt::RegRoot, const std::string&, const std::string&) override { return 0; }
};
class NoPrompts : public vt::Prompts {
public:
    bool Confirm(const std::string&, const std::string&) override { return true; }
    std::string AskPassword(const std::string&) override { return {}; }
    void ShowMessage(const std::string&) override {}
};
class NoShell : public vt::Shell {
public:
    bool Execute(const std::string&, const std::string&, const std::string&, const std::string&, vt::ShowCmd) override {
        return true;
    }
    bool EmptyRecycleBin() override { return true; }
    bool SetClipboardText(const std::string&) override { return true; }
};
// A CJK character counts 12 points wide at 9 points, an ASCII one 6: close to SimSun.
class FixedMeasure : public vt::TextMeasure {
public:
    int TextWidthTwips(const std::string& text, int pt) override {
        int units = 0;
        for (unsigned char c : text)
            units += c < 0x80 ? 1 : (c >= 0xC0 ? 2 : 0);  // one per ASCII character, two per UTF-8 lead byte
        return units * pt * 10;
    }
};
class IconSizedPictures : public vt::Pictures {
public:
    std::optional<vt::PictureSize> Probe(const std::string& file) override {
        std::error_code ec;
        if (!std::filesystem::exists(vt::PathFromUtf8(file), ec)) return std::nullopt;
        return vt::PictureSize{32, 32};
    }
};

// All of them, for MainModelServices.
struct BenchServices {
    NoRegistry registry;
    NoPrompts prompts;
    NoShell shell;
    FixedMeasure measure;
    IconSizedPictures pictures;
    vt::MainModelServices Services() { return vt::MainModelServices{registry, prompts, measure, pictures, shell}; }
};

}  // namespace vt::bench
