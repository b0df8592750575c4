// Checking an editable skin project (*.vse) before it is opened: every
// section and key the editor writes is there, numbers are numbers in the
// range the editor can show, and the text is text of the ANSI code page.
// A damaged file (cut short by a full disk, overwritten by another program,
// edited by hand) is described line by line, so the designer can decide
// whether to open what could be read.
#pragma once

#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vt {

// How the value of one project key must look.
enum class ValueRule {
    Text,          // anything (picture paths and the texts of the info page)
    Colour,        // empty, or 0..16777215
    FontSize,      // empty, or 0..255
    MenuFontSize,  // empty, or 1..255
    Length,        // empty, or a whole number of twips, 0 or more
    Columns,       // empty, or 0..31
    Flag,          // 0 or 1
    Position,      // a number of twips, -32768..32767
    Size,          // a number of twips, 0..32767
};

struct ProjectKey {
    std::string_view section;
    std::string_view key;
    ValueRule rule;
};

// Every key a project holds, in the order a save writes them.
const std::vector<ProjectKey>& ProjectKeys();
// The sections, in the order they first appear in a saved project.
extern const std::vector<std::string_view> kProjectSections;

struct ProjectProblem {
    int line = 0;  // 1-based; 0 for something missing
    std::string text;
};

struct ProjectCheck {
    // The file could be read and holds at least one section of a project.
    bool readable = true;
    bool recognised = false;
    std::vector<ProjectProblem> problems;
    // Keys (section, key; as in ProjectKeys) whose values cannot be used:
    // they keep the editor's defaults when the project is opened anyway.
    std::set<std::pair<std::string, std::string>> unread;

    bool Ok() const { return readable && problems.empty(); }
    bool IsUnread(std::string_view section, std::string_view key) const {
        return unread.count({std::string(section), std::string(key)}) != 0;
    }
};

// Larger files are not projects (a project is a few kilobytes).
constexpr size_t kMaxProjectBytes = 1 << 20;

ProjectCheck CheckProject(const std::string& file);
// The same, on the bytes of a file.
ProjectCheck CheckProjectBytes(std::string_view bytes);

// The problems, one per line, at most maxLines of them and a last line
// saying how many more there are.
std::string DescribeProblems(const ProjectCheck& check, size_t maxLines);
// The values that keep their defaults, one line per section:
// "[TEAM] FontSize, Width" or "[ITEM] 全部".
std::string DescribeUnread(const ProjectCheck& check);

}  // namespace vt
