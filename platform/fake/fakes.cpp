#include "platform/fake/fakes.h"

#include "common/text.h"

#include <algorithm>
#include <filesystem>

#include "common/codepage.h"

namespace vt {

std::string FakeRegistry::Norm(RegRoot root, const std::string& key) {
    std::string k = std::to_string(static_cast<int>(root)) + "\\" + key;
    for (char& c : k)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    while (!k.empty() && k.back() == '\\')
        k.pop_back();
    return k;
}

bool FakeRegistry::KeyExists(RegRoot root, const std::string& key) {
    return keys.count(Norm(root, key)) > 0;
}

std::optional<uint32_t> FakeRegistry::QueryDword(RegRoot root, const std::string& key, const std::string& value) {
    auto it = values.find(Norm(root, key) + "|" + AsciiLower(value));
    if (it == values.end() || !std::holds_alternative<uint32_t>(it->second)) return std::nullopt;
    return std::get<uint32_t>(it->second);
}

std::optional<std::string> FakeRegistry::QueryString(RegRoot root, const std::string& key, const std::string& value) {
    auto it = values.find(Norm(root, key) + "|" + AsciiLower(value));
    if (it == values.end() || !std::holds_alternative<std::string>(it->second)) return std::nullopt;
    return std::get<std::string>(it->second);
}

long FakeRegistry::SetDword(RegRoot root, const std::string& key, const std::string& value, uint32_t data) {
    if (failStatus) return failStatus;
    keys[Norm(root, key)] = true;
    keySpelling.emplace(Norm(root, key), key);
    values[Norm(root, key) + "|" + AsciiLower(value)] = data;
    return 0;
}

long FakeRegistry::SetString(RegRoot root, const std::string& key, const std::string& value, const std::string& data) {
    if (failStatus) return failStatus;
    keys[Norm(root, key)] = true;
    keySpelling.emplace(Norm(root, key), key);
    values[Norm(root, key) + "|" + AsciiLower(value)] = data;
    return 0;
}

long FakeRegistry::SetBinary(RegRoot root, const std::string& key, const std::string& value, const std::string& bytes) {
    return SetString(root, key, value, bytes);
}

long FakeRegistry::DeleteValue(RegRoot root, const std::string& key, const std::string& value) {
    values.erase(Norm(root, key) + "|" + AsciiLower(value));
    return 0;
}

std::vector<std::string> FakeRegistry::EnumSubKeys(RegRoot root, const std::string& key) {
    const std::string prefix = Norm(root, key) + "\\";
    std::vector<std::string> names;
    std::vector<std::string> seen;  // normalised, to list each subkey once
    for (const auto& [norm, spelled] : keySpelling) {
        if (norm.compare(0, prefix.size(), prefix) != 0) continue;
        size_t end = norm.find('\\', prefix.size());
        std::string child =
            norm.substr(prefix.size(), end == std::string::npos ? std::string::npos : end - prefix.size());
        if (child.empty() || std::find(seen.begin(), seen.end(), child) != seen.end()) continue;
        seen.push_back(child);
        // The spelling sits at the same offset in the written key, after the
        // root's prefix that Norm adds.
        size_t rootLen = Norm(root, "").size() + 1;
        size_t at = prefix.size() - rootLen;
        names.push_back(spelled.substr(at, child.size()));
    }
    return names;
}

bool FakeRegistry::Has(RegRoot root, const std::string& key, const std::string& value) const {
    return values.count(Norm(root, key) + "|" + AsciiLower(value)) > 0;
}

bool FakePrompts::Confirm(const std::string& text, const std::string&) {
    confirms.push_back(text);
    if (confirmAnswers.empty()) return true;
    bool a = confirmAnswers.front();
    confirmAnswers.pop_front();
    return a;
}

std::string FakePrompts::AskPassword(const std::string& prompt) {
    passwordPrompts.push_back(prompt);
    if (passwordAnswers.empty()) return {};
    std::string a = passwordAnswers.front();
    passwordAnswers.pop_front();
    return a;
}

void FakePrompts::ShowMessage(const std::string& text) {
    messages.push_back(text);
}

bool FakeShell::Execute(const std::string& verb, const std::string& file, const std::string& params,
                        const std::string& dir, ShowCmd show) {
    calls.push_back({verb, file, params, dir, show});
    return result;
}

bool FakeShell::EmptyRecycleBin() {
    ++recycleCalls;
    return result;
}

bool FakeShell::SetClipboardText(const std::string& text) {
    clipboard = text;
    return result;
}

int FakeTextMeasure::TextWidthTwips(const std::string& text, int) {
    return static_cast<int>(Utf8ToAnsi(text).size()) * perByte;
}

std::optional<PictureSize> FakePictures::Probe(const std::string& file) {
    auto it = sizes.find(file);
    if (it != sizes.end()) return it->second;
    std::error_code ec;
    if (acceptAnyExisting && std::filesystem::is_regular_file(PathFromUtf8(file), ec)) return PictureSize{16, 16};
    return std::nullopt;
}

}  // namespace vt
