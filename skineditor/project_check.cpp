#include "skineditor/project_check.h"

#include <map>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "skineditor/editor_model.h"
#include "skineditor/editor_slots.h"

namespace vt {

const std::vector<std::string_view> kProjectSections = {"SKIN", "MAIN", "TITLE", "MENU", "TEAM", "ITEM"};

namespace {

ValueRule RuleOfSlot(const SlotInfo& s) {
    switch (s.kind) {
        case SlotKind::Colour:
            return ValueRule::Colour;
        case SlotKind::Points:
            return s.slot == 15 ? ValueRule::MenuFontSize : ValueRule::FontSize;
        case SlotKind::Twips:
            return ValueRule::Length;
        case SlotKind::Count:
            return ValueRule::Columns;
        case SlotKind::Picture:
        case SlotKind::Text:
            break;
    }
    return ValueRule::Text;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view Trim(std::string_view s) {
    constexpr const char* kBlanks = " \t\v\f\r";
    size_t b = s.find_first_not_of(kBlanks);
    if (b == std::string_view::npos) return {};
    return s.substr(b, s.find_last_not_of(kBlanks) - b + 1);
}

// Text of the code page: no control characters but tabs, and every byte part
// of a character that survives the trip to UTF-8 and back.
bool IsText(std::string_view line) {
    for (unsigned char c : line)
        if ((c < 0x20 && c != '\t' && c != '\r') || c == 0x7F) return false;
    return Utf8ToAnsi(AnsiToUtf8(line)) == line;
}

// What is wrong with a value, or empty.
std::string RuleFault(ValueRule rule, std::string_view value) {
    auto range = [&](long long lo, long long hi, bool emptyOk) -> std::string {
        if (value.empty()) return emptyOk ? "" : "没有值";
        auto v = ParseInteger(value);
        if (!v) return "不是数字";
        if (*v < lo || *v > hi) return "超出范围(" + std::to_string(lo) + " 到 " + std::to_string(hi) + ")";
        return {};
    };
    switch (rule) {
        case ValueRule::Text:
            return {};
        case ValueRule::Colour:
            return range(0, kMaxColourValue, true);
        case ValueRule::FontSize:
            return range(0, 255, true);
        case ValueRule::MenuFontSize:
            return range(1, 255, true);
        case ValueRule::Length:
            return range(0, 2147483647, true);
        case ValueRule::Columns:
            return range(0, 31, true);
        case ValueRule::Flag:
            if (value != "0" && value != "1") return "应为 0 或 1";
            return {};
        case ValueRule::Position:
            return range(-32768, 32767, false);
        case ValueRule::Size:
            return range(0, 32767, false);
    }
    return {};
}

std::string Shown(std::string_view value) {
    constexpr size_t kMax = 40;
    std::string v = AnsiToUtf8(CutAnsi(value, kMax));
    if (value.size() > kMax) v += "…";
    return v;
}

}  // namespace

const std::vector<ProjectKey>& ProjectKeys() {
    static const std::vector<ProjectKey> keys = [] {
        std::vector<ProjectKey> out;
        auto slots = [&](std::initializer_list<int> list) {
            for (int i : list) {
                const SlotInfo* s = FindSlot(i);
                out.push_back({s->section, s->key, RuleOfSlot(*s)});
            }
        };
        slots({44, 45, 46, 47, 51, 52, 0,  53, 54, 55, 56, 2,  3,  4,  5,  6,  7,  8,  10, 11, 12, 13,
               14, 15, 50, 9,  16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 48});
        out.push_back({"TEAM", "Frame", ValueRule::Flag});
        slots({32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 49});
        out.push_back({"ITEM", "Frame", ValueRule::Flag});
        for (std::string_view k : {"Left", "Top"})
            out.push_back({"TITLE", k, ValueRule::Position});
        for (std::string_view k : {"Width", "Height"})
            out.push_back({"TITLE", k, ValueRule::Size});
        for (std::string_view k : {"CloseLeft", "CloseTop", "MinLeft", "MinTop", "LockLeft", "LockTop"})
            out.push_back({"TITLE", k, ValueRule::Position});
        for (std::string_view k : {"Left", "Top"})
            out.push_back({"MENU", k, ValueRule::Position});
        for (std::string_view k : {"Left", "Top", "LeftLeft", "LeftTop", "RightLeft", "RightTop"})
            out.push_back({"TEAM", k, ValueRule::Position});
        for (std::string_view k : {"Left", "Top", "UpLeft", "UpTop", "DownLeft", "DownTop"})
            out.push_back({"ITEM", k, ValueRule::Position});
        return out;
    }();
    return keys;
}

ProjectCheck CheckProject(const std::string& file) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(PathFromUtf8(file), ec);
    ProjectCheck too;
    if (!ec && size > kMaxProjectBytes) {
        too.readable = false;
        too.problems.push_back({0, "文件过大(" + std::to_string(size / 1024) + " KB)，不是可编辑皮肤文件"});
        return too;
    }
    auto bytes = ReadFileBytes(PathFromUtf8(file));
    if (!bytes) {
        too.readable = false;
        too.problems.push_back({0, "无法读取文件(文件不存在或被其他程序占用)"});
        return too;
    }
    return CheckProjectBytes(*bytes);
}

ProjectCheck CheckProjectBytes(std::string_view bytes) {
    ProjectCheck out;
    if (Trim(bytes).empty()) {
        out.problems.push_back({0, "文件是空的"});
        for (const auto& k : ProjectKeys())
            out.unread.insert({std::string(k.section), std::string(k.key)});
        return out;
    }

    // Where each section and key of the project is first found.
    struct Found {
        int line;
        std::string value;
        bool text;  // the line is decodable text
    };
    std::map<std::string, int> sectionLine;                     // folded section -> line
    std::map<std::pair<std::string, std::string>, Found> keys;  // folded section, key
    std::string section;                                        // folded; empty before the first header
    int lineNo = 0;
    size_t pos = 0;
    int badLines = 0;
    while (pos < bytes.size()) {
        size_t nl = bytes.find('\n', pos);
        std::string_view raw = bytes.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
        pos = nl == std::string_view::npos ? bytes.size() : nl + 1;
        ++lineNo;
        const std::string_view t = Trim(raw);
        if (t.empty() || t.front() == ';') continue;
        const bool text = IsText(raw);
        if (!text && badLines++ < 3)  // a file of noise would fill the list
            out.problems.push_back({lineNo, "文字无法识别(不是 GBK 编码的文本)"});
        if (t.front() == '[') {
            const size_t close = t.rfind(']');
            if (close == std::string_view::npos || close == 0) {
                if (text) out.problems.push_back({lineNo, "节名不完整: " + Shown(t)});
                section = "\n";  // keys below belong to no section of the project
                continue;
            }
            section = text ? Lower(Trim(t.substr(1, close - 1))) : "\n";
            if (!sectionLine.count(section)) sectionLine[section] = lineNo;
            continue;
        }
        const size_t eq = t.find('=');
        if (eq == std::string_view::npos) {
            if (text) out.problems.push_back({lineNo, "无法识别的内容: " + Shown(t)});
            continue;
        }
        std::string_view v = Trim(t.substr(eq + 1));
        if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
            v = v.substr(1, v.size() - 2);
        keys.emplace(std::make_pair(section, Lower(Trim(t.substr(0, eq)))), Found{lineNo, std::string(v), text});
    }
    if (badLines > 3) out.problems.push_back({0, "另有 " + std::to_string(badLines - 3) + " 行文字无法识别"});

    for (std::string_view s : kProjectSections) {
        const std::string folded = Lower(s);
        if (sectionLine.count(folded)) {
            out.recognised = true;
            continue;
        }
        out.problems.push_back({0, "缺少 [" + std::string(s) + "] 节"});
    }

    std::map<std::string, std::vector<std::string>> missingKeys;  // by section, for one line each
    for (const auto& k : ProjectKeys()) {
        const std::pair<std::string, std::string> id{std::string(k.section), std::string(k.key)};
        const std::string folded = Lower(k.section);
        if (!sectionLine.count(folded)) {
            out.unread.insert(id);  // already told: the whole section is missing
            continue;
        }
        auto it = keys.find({folded, Lower(k.key)});
        if (it == keys.end()) {
            missingKeys[std::string(k.section)].push_back(std::string(k.key));
            out.unread.insert(id);
            continue;
        }
        const Found& f = it->second;
        if (!f.text) {
            out.unread.insert(id);
            continue;
        }
        if (std::string fault = RuleFault(k.rule, f.value); !fault.empty()) {
            out.problems.push_back({f.line, "[" + std::string(k.section) + "] " + std::string(k.key) + "=" +
                                                Shown(f.value) + " " + fault});
            out.unread.insert(id);
        }
    }
    for (std::string_view s : kProjectSections) {
        auto it = missingKeys.find(std::string(s));
        if (it == missingKeys.end()) continue;
        std::string list;
        for (const auto& k : it->second)
            list += (list.empty() ? "" : ", ") + k;
        out.problems.push_back({0, "[" + std::string(s) + "] 节缺少键: " + list});
    }
    return out;
}

std::string DescribeProblems(const ProjectCheck& check, size_t maxLines) {
    std::string out;
    size_t shown = 0;
    for (const auto& p : check.problems) {
        if (shown == maxLines) {
            out += "……另有 " + std::to_string(check.problems.size() - shown) + " 处问题\n";
            break;
        }
        if (p.line > 0) out += "第 " + std::to_string(p.line) + " 行: ";
        out += p.text + "\n";
        ++shown;
    }
    if (!out.empty()) out.pop_back();
    return out;
}

std::string DescribeUnread(const ProjectCheck& check) {
    std::string out;
    for (std::string_view s : kProjectSections) {
        std::vector<std::string_view> names;
        size_t total = 0;
        for (const auto& k : ProjectKeys()) {
            if (k.section != s) continue;
            ++total;
            if (check.IsUnread(k.section, k.key)) names.push_back(k.key);
        }
        if (names.empty()) continue;
        out.append("[").append(s).append("] ");
        if (names.size() == total) {
            out += "全部";
        } else {
            for (size_t i = 0; i < names.size(); ++i)
                out += (i ? ", " : "") + std::string(names[i]);
        }
        out += "\n";
    }
    if (!out.empty()) out.pop_back();
    return out;
}

}  // namespace vt
