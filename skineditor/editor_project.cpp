#include "skineditor/editor_project.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <system_error>
#include <vector>

#include "common/atomic_file.h"
#include "common/codepage.h"
#include "common/ini.h"

namespace vt {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Picture slots in the order the project keeps them, with the ones that
// carry text as typed in between; see SaveProject.
struct GeometryKey {
    El element;
    std::string_view section;
    std::string_view leftKey;
    std::string_view topKey;
};

constexpr GeometryKey kButtonKeys[] = {
    {El::ImgClose, "TITLE", "CloseLeft", "CloseTop"},
    {El::ImgMin, "TITLE", "MinLeft", "MinTop"},
    {El::ImgLock, "TITLE", "LockLeft", "LockTop"},
};

}  // namespace

char NativeSeparator() {
#ifdef _WIN32
    return '\\';
#else
    return '/';
#endif
}

std::string GetFolderPart(std::string_view path) {
    for (size_t i = path.size(); i > 0; --i)
        if (IsSeparator(path[i - 1])) return std::string(path.substr(0, i - 1));
    return {};
}

std::string MakeRelativePath(std::string_view projectFolder, std::string_view path) {
    if (!projectFolder.empty() && path.size() > projectFolder.size() &&
        path.substr(0, projectFolder.size()) == projectFolder)
        return "\\" + std::string(path.substr(projectFolder.size()));
    return std::string(path);
}

std::string ResolveRelativePath(std::string_view projectFolder, std::string_view stored) {
    if (stored.empty() || stored.front() != '\\') return std::string(stored);
    std::string out(projectFolder);
    for (char c : stored)
        out.push_back(c == '\\' ? NativeSeparator() : c);
    return out;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string out(folder);
    if (out.empty() || !IsSeparator(out.back())) out.push_back(NativeSeparator());
    out += name;
    return out;
}

std::string FormatTwips(double v) {
    if (v == 0) v = 0;  // no "-0"
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string ProjectFileName(std::string_view chosen) {
    std::string out(chosen);
    if (out.size() < 4 || out.compare(out.size() - 4, 4, ".vse") != 0) out += ".vse";
    return out;
}

namespace {

struct ProjectEntry {
    std::string_view section;
    std::string_view key;
    std::string value;
};

// Every key of the project with the value a save writes, in the order of the
// writes; pictures relative to `folder` (with its trailing separator).
std::vector<ProjectEntry> ProjectEntries(const EditorModel& model, const std::string& folder) {
    std::vector<ProjectEntry> out;
    auto text = [&](int slot) {
        const SlotInfo* s = FindSlot(slot);
        out.push_back({s->section, s->key, model.SlotText(slot)});
    };
    auto picture = [&](int slot) {
        const SlotInfo* s = FindSlot(slot);
        out.push_back({s->section, s->key, MakeRelativePath(folder, model.SlotText(slot))});
    };
    auto number = [&](std::string_view section, std::string_view key, double v) {
        out.push_back({section, key, FormatTwips(v)});
    };
    auto each = [](std::initializer_list<int> slots, auto fn) {
        for (int s : slots)
            fn(s);
    };

    each({44, 45, 46, 47, 51, 52}, text);
    each({0, 53, 54, 55, 56}, picture);
    each({2, 3, 4, 5, 6, 7, 8, 10}, picture);
    text(11);
    each({12, 13, 14, 15, 50, 9}, text);
    each({16, 17, 18, 19, 20, 21}, picture);
    each({22, 23, 24, 25, 26, 27, 28, 29}, text);
    picture(30);
    each({31, 48}, text);
    out.push_back({"TEAM", "Frame", model.Frame(0) ? "1" : "0"});
    each({32, 33, 34, 35, 36, 37}, picture);
    each({38, 39, 40, 41, 42, 43, 49}, text);
    out.push_back({"ITEM", "Frame", model.Frame(1) ? "1" : "0"});

    const MockRect title = model.Get(El::ShpTitle).rect;
    number("TITLE", "Left", title.left);
    number("TITLE", "Top", title.top);
    number("TITLE", "Width", title.width);
    number("TITLE", "Height", title.height);
    for (const auto& g : kButtonKeys) {
        number(g.section, g.leftKey, model.Get(g.element).rect.left);
        number(g.section, g.topKey, model.Get(g.element).rect.top);
    }
    const GeometryKey rest[] = {
        {El::LabMenu0, "MENU", "Left", "Top"},        {El::PicTeam, "TEAM", "Left", "Top"},
        {El::ImgLeft, "TEAM", "LeftLeft", "LeftTop"}, {El::ImgRight, "TEAM", "RightLeft", "RightTop"},
        {El::PicItem, "ITEM", "Left", "Top"},         {El::ImgUp, "ITEM", "UpLeft", "UpTop"},
        {El::ImgDown, "ITEM", "DownLeft", "DownTop"},
    };
    for (const auto& g : rest) {
        number(g.section, g.leftKey, model.Get(g.element).rect.left);
        number(g.section, g.topKey, model.Get(g.element).rect.top);
    }
    return out;
}

// A new file as the profile functions would leave it after the writes:
// sections in the order of their first key, each key where it was first
// written.
std::string FreshProjectBytes(const std::vector<ProjectEntry>& entries) {
    std::string out;
    for (std::string_view section : kProjectSections) {
        out.append("[").append(section).append("]\r\n");
        for (const auto& e : entries) {
            if (e.section != section) continue;
            std::string value = e.value;
            for (char& c : value)
                if (c == '\r' || c == '\n') c = ' ';
            out += Utf8ToAnsi(std::string(e.key) + "=" + value) + "\r\n";
        }
    }
    return out;
}

}  // namespace

std::string WriteFailureCause(const std::string& file) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path p = PathFromUtf8(file);
    const std::string folder = GetFolderPart(file);
    if (!folder.empty() && !fs::is_directory(PathFromUtf8(folder), ec)) return "文件夹不存在: " + folder;
    if (fs::is_directory(p, ec)) return "同名的文件夹挡住了文件: " + file;
    if (IniFileUnreadable(file)) return "文件被其他程序占用，无法读取: " + file;
    if (fs::exists(p, ec) && (fs::status(p, ec).permissions() & fs::perms::owner_write) == fs::perms::none)
        return "文件是只读的: " + file;
    return "无法写入文件夹(只读或没有写入权限): " + (folder.empty() ? file : folder);
}

SaveResult SaveProject(const EditorModel& model, const std::string& file, bool replace) {
    const std::string folder = GetFolderPart(file) + NativeSeparator();
    const auto entries = ProjectEntries(model, folder);
    if (replace) {
        const bool ok = WriteFileAtomic(PathFromUtf8(file), FreshProjectBytes(entries));
        FlushIniCache();  // written behind the profile engine's back
        if (!ok) return {false, WriteFailureCause(file)};
        return {true, {}};
    }
    // One replacement of the file at the end. The first write reads the
    // project on disk; when it is there but cannot be read (another program
    // holds it), that write fails and nothing further is tried: each try
    // would wait for the holder again, and a project rewritten from nothing
    // would lose what the editor does not know about.
    IniWriteBatch batch(file);
    bool ok = true;
    for (const auto& e : entries)
        ok = ok && WriteIniString(file, e.section, e.key, e.value);
    if (ok && batch.Commit()) return {true, {}};
    batch.Discard();
    return {false, WriteFailureCause(file)};
}

std::string ProjectState(const EditorModel& model) {
    std::string out;
    for (const auto& e : ProjectEntries(model, {})) {
        out += e.section;
        out += '\x1f';
        out += e.key;
        out += '\x1f';
        out += e.value;
        out += '\n';
    }
    return out;
}

void MarkSaved(EditorModel& model) {
    model.savedState = ProjectState(model);
}

bool IsModified(const EditorModel& model) {
    return ProjectState(model) != model.savedState;
}

std::string TitleText(const EditorModel& model) {
    return (IsModified(model) ? "*" : "") + model.windowTitle;
}

std::string SlotDisplayName(int slot) {
    const SlotInfo* s = FindSlot(slot);
    if (!s) return {};
    std::string label(s->label);
    if (!label.empty() && label.back() == ':') label.pop_back();
    std::string name = label.substr(0, label.find('['));
    const auto states = StateCaptions(s->label);
    if (!states.empty()) {
        size_t index = 0;
        for (const auto& other : kSlots) {
            if (&other == s) break;
            if (other.label == s->label && other.page == s->page) ++index;
        }
        if (index < states.size()) name.append("(").append(states[index]).append(")");
    }
    return std::string(kPageButtonCaptions[static_cast<size_t>(s->page)]) + " " + name;
}

void LoadProject(EditorModel& model, const std::string& file, const ProjectCheck* check) {
    model.currentProjectPath = file;
    const std::string folder = GetFolderPart(file);
    model.isLoadingProject = true;
    auto usable = [&](std::string_view section, std::string_view key) {
        return !check || !check->IsUnread(section, key);
    };

    auto readInt = [&](std::string_view section, std::string_view key) {
        return static_cast<double>(ReadIniInt(file, section, key, 0));
    };
    auto place = [&](El e, std::string_view section, std::string_view leftKey, std::string_view topKey) {
        const MockRect r = model.Get(e).rect;
        model.MoveTo(e, usable(section, leftKey) ? readInt(section, leftKey) : r.left,
                     usable(section, topKey) ? readInt(section, topKey) : r.top);
    };

    // Geometry first, so that sizes applied from the slots below start from
    // the stored positions.
    {
        MockRect& t = model.Mutable(El::ShpTitle).rect;
        if (usable("TITLE", "Left")) t.left = readInt("TITLE", "Left");
        if (usable("TITLE", "Top")) t.top = readInt("TITLE", "Top");
        // A negative size cannot be shown; that step is skipped.
        if (double w = readInt("TITLE", "Width"); w >= 0 && usable("TITLE", "Width")) t.width = w;
        if (double h = readInt("TITLE", "Height"); h >= 0 && usable("TITLE", "Height")) t.height = h;
    }
    for (const auto& g : kButtonKeys)
        place(g.element, g.section, g.leftKey, g.topKey);
    place(El::LabMenu0, "MENU", "Left", "Top");
    model.PlaceMenuRowFromFirst();
    model.FitMenuHighlight();
    place(El::PicTeam, "TEAM", "Left", "Top");
    place(El::ImgLeft, "TEAM", "LeftLeft", "LeftTop");
    place(El::ImgRight, "TEAM", "RightLeft", "RightTop");
    place(El::PicItem, "ITEM", "Left", "Top");
    place(El::ImgUp, "ITEM", "UpLeft", "UpTop");
    place(El::ImgDown, "ITEM", "DownLeft", "DownTop");

    auto slot = [&](int i) {
        const SlotInfo* s = FindSlot(i);
        if (!usable(s->section, s->key)) return;
        std::string v = ReadIniString(file, s->section, s->key, "");
        if (s->kind == SlotKind::Picture) v = ResolveRelativePath(folder, v);
        model.SetSlotText(i, std::move(v));
    };
    auto frame = [&](int k, std::string_view section) {
        if (!usable(section, "Frame")) return;
        int v = ReadIniInt(file, section, "Frame", 0);
        if (v == 0 || v == 1) model.SetFrame(k, v == 1);
    };
    for (int i : {44, 45, 46, 47, 51, 52, 0, 53, 54, 55, 56, 2, 3, 4, 5, 6, 7, 8, 10, 9, 11, 12, 13, 14, 15})
        slot(i);
    for (int i = 16; i <= 31; ++i)
        slot(i);
    slot(48);
    frame(0, "TEAM");
    for (int i = 32; i <= 43; ++i)
        slot(i);
    slot(49);
    slot(50);
    frame(1, "ITEM");

    model.LayoutTitleBar();
    model.windowTitle = std::string(kEditorTitle) + " - " +
                        (usable("SKIN", "Name") ? ReadIniString(file, "SKIN", "Name", "") : model.SlotText(44));
    model.isLoadingProject = false;
}

namespace {

std::string FileName(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string SaveFailedText(const std::string& cause) {
    return std::string(kSaveFailed) + "\n" + cause;
}

CommandResult WriteProject(EditorModel& model, ProjectUi& ui, const std::string& target, bool replace) {
    SaveResult r = SaveProject(model, target, replace);
    if (!r) {
        ui.ShowError(SaveFailedText(r.cause));
        return CommandResult::Failed;
    }
    return CommandResult::Done;
}

// Saving over the file the project was opened from while it had problems
// replaces what could not be read with the editor's defaults: asked
// explicitly, naming the problems, No being the default.
bool ConfirmOverwriteDamaged(const EditorModel& model, ProjectUi& ui) {
    return ui.ConfirmRisk(std::string(kConfirmSave) + "\n\n打开这个文件时发现了问题:\n" + model.openProblems +
                              "\n\n保存会覆盖原文件，未能读出的内容将被编辑器中的值(默认值)取代。",
                          std::string(kConfirmSaveCaption));
}

std::string MissingPicturesText(const EditorModel& model) {
    std::string out =
        "以下图片找不到或无法读取。它们的路径已保留，保存时照原样写回；生成皮肤前请重新选择这些图片或把文件放回原处:";
    for (int slot : model.MissingPictures())
        out.append("\n").append(SlotDisplayName(slot)).append(": ").append(model.SlotText(slot));
    return out;
}

}  // namespace

CommandResult SaveCommand(EditorModel& model, ProjectUi& ui, bool confirmed) {
    std::string target;
    const bool overCurrent = !model.currentProjectPath.empty();
    if (overCurrent) {
        if (!model.openProblems.empty()) {
            if (!ConfirmOverwriteDamaged(model, ui)) return CommandResult::Cancelled;
        } else if (!confirmed && !ui.AskYesNo(std::string(kConfirmSave), std::string(kConfirmSaveCaption))) {
            return CommandResult::Cancelled;
        }
        target = model.currentProjectPath;
    } else {
        target = ui.AskSavePath();
    }
    if (target.empty()) return CommandResult::Cancelled;
    target = ProjectFileName(target);
    // A save that silently loses the user's work is worse than a message.
    const CommandResult r = WriteProject(model, ui, target, false);
    if (r != CommandResult::Done) return r;
    if (overCurrent && target == model.currentProjectPath) model.openProblems.clear();
    MarkSaved(model);
    return r;
}

CommandResult SaveAsCommand(EditorModel& model, ProjectUi& ui) {
    const std::string chosen = ui.AskSaveAsPath();
    if (chosen.empty()) return CommandResult::Cancelled;
    const std::string target = ProjectFileName(chosen);
    std::error_code ec;
    const bool same = target == model.currentProjectPath;
    if (same && !model.openProblems.empty()) {
        if (!ConfirmOverwriteDamaged(model, ui)) return CommandResult::Cancelled;
    } else if (!same && std::filesystem::exists(PathFromUtf8(target), ec)) {
        if (!ui.ConfirmRisk(target + " 已存在。\n要替换它吗?", std::string(kSaveAsCaption)))
            return CommandResult::Cancelled;
    }
    // Another project of that name is replaced whole, not merged into.
    const CommandResult r = WriteProject(model, ui, target, !same);
    if (r != CommandResult::Done) return r;
    model.currentProjectPath = target;
    model.windowTitle = std::string(kEditorTitle) + " - " + model.SlotText(44);
    model.openProblems.clear();
    MarkSaved(model);
    return r;
}

bool ConfirmDiscard(EditorModel& model, ProjectUi& ui) {
    if (!IsModified(model)) return true;
    switch (ui.AskYesNoCancel(std::string(kAskSaveChanges), std::string(kAskSaveBeforeOpenCaption))) {
        case Answer::Yes:
            return SaveCommand(model, ui, true) == CommandResult::Done;
        case Answer::No:
            return true;
        case Answer::Cancel:
            break;
    }
    return false;
}

CommandResult OpenCommand(EditorModel& model, ProjectUi& ui) {
    if (!ConfirmDiscard(model, ui)) return CommandResult::Cancelled;
    std::string path = ui.AskOpenPath();
    if (path.empty()) return CommandResult::Cancelled;

    const ProjectCheck check = CheckProject(path);
    if (!check.readable || !check.recognised) {
        ui.ShowError("无法打开 " + FileName(path) + ": 它不是可编辑皮肤文件。\n" + DescribeProblems(check, 6));
        return CommandResult::Failed;
    }
    if (!check.Ok() &&
        !ui.ConfirmRisk(FileName(path) + " 有问题:\n" + DescribeProblems(check, 10) +
                            "\n\n是否打开其中能读出的内容? 以下未能读出的值将使用默认值:\n" + DescribeUnread(check),
                        std::string(kOpenProblemCaption)))
        return CommandResult::Cancelled;

    // From the start state, so that whatever the file lacks is the editor's
    // default and nothing of the previous project lingers.
    const std::array<bool, 4> locks = {model.Lock(0), model.Lock(1), model.Lock(2), model.Lock(3)};
    model.Reset();
    for (int k = 0; k < 4; ++k)
        model.SetLock(k, locks[static_cast<size_t>(k)]);
    LoadProject(model, path, &check);
    if (!check.Ok()) model.openProblems = DescribeProblems(check, 4);
    MarkSaved(model);
    if (!model.MissingPictures().empty()) ui.ShowWarning(MissingPicturesText(model));
    return CommandResult::Done;
}

}  // namespace vt
