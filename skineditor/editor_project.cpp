#include "skineditor/editor_project.h"

#include <charconv>
#include <cmath>
#include <initializer_list>

#include "common/ini.h"

namespace vt {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

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
    if (!projectFolder.empty() && path.size() > projectFolder.size() && path.substr(0, projectFolder.size()) == projectFolder)
        return "\\" + std::string(path.substr(projectFolder.size()));
    return std::string(path);
}

std::string ResolveRelativePath(std::string_view projectFolder, std::string_view stored) {
    if (stored.empty() || stored.front() != '\\') return std::string(stored);
    std::string out(projectFolder);
    for (char c : stored) out.push_back(c == '\\' ? NativeSeparator() : c);
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

bool SaveProject(const EditorModel& model, const std::string& file) {
    const std::string folder = GetFolderPart(file) + NativeSeparator();
    // One replacement of the file at the end. The first write reads the
    // project on disk; when it is there but cannot be read (another program
    // holds it), that write fails and nothing further is tried: each try
    // would wait for the holder again, and a project rewritten from nothing
    // would lose what the editor does not know about.
    IniWriteBatch batch(file);
    bool ok = true;
    auto text = [&](int slot) {
        const SlotInfo* s = FindSlot(slot);
        ok = ok && WriteIniString(file, s->section, s->key, model.SlotText(slot));
    };
    auto picture = [&](int slot) {
        const SlotInfo* s = FindSlot(slot);
        ok = ok && WriteIniString(file, s->section, s->key, MakeRelativePath(folder, model.SlotText(slot)));
    };
    auto number = [&](std::string_view section, std::string_view key, double v) {
        ok = ok && WriteIniString(file, section, key, FormatTwips(v));
    };
    auto each = [](std::initializer_list<int> slots, auto fn) {
        for (int s : slots) fn(s);
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
    ok = ok && WriteIniString(file, "TEAM", "Frame", model.Frame(0) ? "1" : "0");
    each({32, 33, 34, 35, 36, 37}, picture);
    each({38, 39, 40, 41, 42, 43, 49}, text);
    ok = ok && WriteIniString(file, "ITEM", "Frame", model.Frame(1) ? "1" : "0");

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
        {El::LabMenu0, "MENU", "Left", "Top"},       {El::PicTeam, "TEAM", "Left", "Top"},
        {El::ImgLeft, "TEAM", "LeftLeft", "LeftTop"}, {El::ImgRight, "TEAM", "RightLeft", "RightTop"},
        {El::PicItem, "ITEM", "Left", "Top"},         {El::ImgUp, "ITEM", "UpLeft", "UpTop"},
        {El::ImgDown, "ITEM", "DownLeft", "DownTop"},
    };
    for (const auto& g : rest) {
        number(g.section, g.leftKey, model.Get(g.element).rect.left);
        number(g.section, g.topKey, model.Get(g.element).rect.top);
    }
    return ok && batch.Commit();
}

void LoadProject(EditorModel& model, const std::string& file) {
    model.currentProjectPath = file;
    const std::string folder = GetFolderPart(file);
    model.isLoadingProject = true;

    auto readInt = [&](std::string_view section, std::string_view key) {
        return static_cast<double>(ReadIniInt(file, section, key, 0));
    };
    auto place = [&](El e, std::string_view section, std::string_view leftKey, std::string_view topKey) {
        model.MoveTo(e, readInt(section, leftKey), readInt(section, topKey));
    };

    // Geometry first, so that sizes applied from the slots below start from
    // the stored positions.
    {
        MockRect& t = model.Mutable(El::ShpTitle).rect;
        t.left = readInt("TITLE", "Left");
        t.top = readInt("TITLE", "Top");
        // A negative size cannot be shown; that step is skipped.
        if (double w = readInt("TITLE", "Width"); w >= 0) t.width = w;
        if (double h = readInt("TITLE", "Height"); h >= 0) t.height = h;
    }
    for (const auto& g : kButtonKeys) place(g.element, g.section, g.leftKey, g.topKey);
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
        std::string v = ReadIniString(file, s->section, s->key, "");
        if (s->kind == SlotKind::Picture) v = ResolveRelativePath(folder, v);
        model.SetSlotText(i, std::move(v));
    };
    auto frame = [&](int k, std::string_view section) {
        int v = ReadIniInt(file, section, "Frame", 0);
        if (v == 0 || v == 1) model.SetFrame(k, v == 1);
    };
    for (int i : {44, 45, 46, 47, 51, 52, 0, 53, 54, 55, 56, 2, 3, 4, 5, 6, 7, 8, 10, 9, 11, 12, 13, 14, 15}) slot(i);
    for (int i = 16; i <= 31; ++i) slot(i);
    slot(48);
    frame(0, "TEAM");
    for (int i = 32; i <= 43; ++i) slot(i);
    slot(49);
    slot(50);
    frame(1, "ITEM");

    model.LayoutTitleBar();
    model.windowTitle = std::string(kEditorTitle) + " - " + ReadIniString(file, "SKIN", "Name", "");
    model.isLoadingProject = false;
}

CommandResult SaveCommand(EditorModel& model, ProjectUi& ui) {
    std::string target;
    if (!model.currentProjectPath.empty()) {
        if (!ui.AskYesNo(std::string(kConfirmSave), std::string(kConfirmSaveCaption))) return CommandResult::Cancelled;
        target = model.currentProjectPath;
    } else {
        target = ui.AskSavePath();
    }
    if (target.empty()) return CommandResult::Cancelled;
    target = ProjectFileName(target);
    // A save that silently loses the user's work is worse than a message.
    if (!SaveProject(model, target)) {
        ui.ShowError(std::string(kSaveFailed));
        return CommandResult::Failed;
    }
    return CommandResult::Done;
}

CommandResult OpenCommand(EditorModel& model, ProjectUi& ui) {
    if (!model.currentProjectPath.empty() &&
        ui.AskYesNo(std::string(kAskSaveBeforeOpen), std::string(kAskSaveBeforeOpenCaption)))
        SaveCommand(model, ui);
    std::string path = ui.AskOpenPath();
    if (path.empty()) return CommandResult::Cancelled;
    LoadProject(model, path);
    return CommandResult::Done;
}

}  // namespace vt
