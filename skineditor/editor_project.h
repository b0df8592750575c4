// Editable skin projects (*.vse): saving and reopening everything the editor
// holds, and the New/Open/Save command flows with their questions.
#pragma once

#include <string>
#include <string_view>

#include "skineditor/editor_model.h"
#include "skineditor/project_check.h"

namespace vt {

// Text before the last path separator, or empty.
std::string GetFolderPart(std::string_view path);
// A picture inside the project folder (given with its trailing separator,
// compared case-sensitively) is kept as "\rest"; anything else unchanged.
std::string MakeRelativePath(std::string_view projectFolder, std::string_view path);
// A stored "\rest" gets the project folder (no trailing separator) in front.
std::string ResolveRelativePath(std::string_view projectFolder, std::string_view stored);
// The separator the running system puts between a folder and a name.
char NativeSeparator();
// folder + separator + name, for reaching files on disk.
std::string JoinPath(std::string_view folder, std::string_view name);
// Shortest decimal form of a coordinate: 3960, 12.5, -30.
std::string FormatTwips(double v);

// The project file name a save writes: ".vse" added unless the name already
// ends in exactly that.
std::string ProjectFileName(std::string_view chosen);

struct SaveResult {
    bool ok = false;
    std::string cause;  // what could not be written, and why; empty on success
    explicit operator bool() const { return ok; }
};

// Writes every key of the project in one replacement of the file; not ok,
// and the file left as it was, when any write failed or the file is there
// but cannot be read. With `replace`, keys of other names in an existing
// file are dropped instead of kept.
SaveResult SaveProject(const EditorModel& model, const std::string& file, bool replace = false);
// Reads a project into the model the way Open does; unreadable values are
// skipped. Sets CurrentProjectPath and the window title. Keys the check
// found unusable are not read: they keep what the model holds.
void LoadProject(EditorModel& model, const std::string& file, const ProjectCheck* check = nullptr);

// Unsaved work: whether a save would write anything other than what was
// last opened or saved. MarkSaved takes the current state as saved.
std::string ProjectState(const EditorModel& model);
void MarkSaved(EditorModel& model);
bool IsModified(const EditorModel& model);
// The window title, with a leading "*" while there is unsaved work.
std::string TitleText(const EditorModel& model);

// How a slot is named in messages: "标题栏 关闭按钮(一般)".
std::string SlotDisplayName(int slot);
// Why writing a file failed, as told to the designer: the folder that is
// missing or read-only, the file that is held or read-only.
std::string WriteFailureCause(const std::string& file);

enum class Answer { Yes, No, Cancel };

// What the commands ask of the user.
class ProjectUi {
public:
    virtual ~ProjectUi() = default;
    // Yes/No box with the question icon; true for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    // Yes/No box with the warning icon and No as the default; true for Yes.
    virtual bool ConfirmRisk(const std::string& text, const std::string& caption) = 0;
    virtual Answer AskYesNoCancel(const std::string& text, const std::string& caption) = 0;
    virtual std::string AskOpenPath() = 0;    // empty when cancelled
    virtual std::string AskSavePath() = 0;    // empty when cancelled
    virtual std::string AskSaveAsPath() = 0;  // empty when cancelled
    virtual void ShowError(const std::string& text) = 0;
    virtual void ShowWarning(const std::string& text) = 0;
};

constexpr std::string_view kAskSaveBeforeOpenCaption = "保存提示";
constexpr std::string_view kAskSaveChanges = "是否保存对皮肤文件的修改?";
constexpr std::string_view kConfirmSave = "确定要保存修改吗?";
constexpr std::string_view kConfirmSaveCaption = "保存确认";
constexpr std::string_view kSaveFailed = "发生错误，无法保存!";
constexpr std::string_view kOpenDialogTitle = "打开可编辑皮肤文件";
constexpr std::string_view kSaveDialogTitle = "保存可编辑皮肤文件";
constexpr std::string_view kSaveAsDialogTitle = "另存为可编辑皮肤文件";
constexpr std::string_view kSaveAsCaption = "另存为";
constexpr std::string_view kOpenProblemCaption = "打开提示";

enum class CommandResult { Done, Cancelled, Failed };
// `confirmed`: the designer has just said to save (the unsaved-work
// question), so the save is not confirmed once more.
CommandResult SaveCommand(EditorModel& model, ProjectUi& ui, bool confirmed = false);
// Saves under a new name; the editor then works on that file.
CommandResult SaveAsCommand(EditorModel& model, ProjectUi& ui);
CommandResult OpenCommand(EditorModel& model, ProjectUi& ui);
// Before work is thrown away (New, Open, Exit): true when it may go, after
// asking whether to save it when there is unsaved work.
bool ConfirmDiscard(EditorModel& model, ProjectUi& ui);

}  // namespace vt
