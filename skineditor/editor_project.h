// Editable skin projects (*.vse): saving and reopening everything the editor
// holds, and the New/Open/Save command flows with their questions.
#pragma once

#include <string>
#include <string_view>

#include "skineditor/editor_model.h"

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

// Writes every key of the project in one replacement of the file; false,
// and the file left as it was, when any write failed or the file is there
// but cannot be read.
bool SaveProject(const EditorModel& model, const std::string& file);
// Reads a project into the model the way Open does; unreadable values are
// skipped. Sets CurrentProjectPath and the window title.
void LoadProject(EditorModel& model, const std::string& file);

// What the commands ask of the user.
class ProjectUi {
public:
    virtual ~ProjectUi() = default;
    // Yes/No box with the question icon; true for Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& caption) = 0;
    virtual std::string AskOpenPath() = 0;  // empty when cancelled
    virtual std::string AskSavePath() = 0;  // empty when cancelled
    virtual void ShowError(const std::string& text) = 0;
};

constexpr std::string_view kAskSaveBeforeOpen = "已打开一个皮肤文件，是否保存?";
constexpr std::string_view kAskSaveBeforeOpenCaption = "保存提示";
constexpr std::string_view kConfirmSave = "确定要保存修改吗?";
constexpr std::string_view kConfirmSaveCaption = "保存确认";
constexpr std::string_view kSaveFailed = "发生错误，无法保存!";

enum class CommandResult { Done, Cancelled, Failed };
CommandResult SaveCommand(EditorModel& model, ProjectUi& ui);
CommandResult OpenCommand(EditorModel& model, ProjectUi& ui);

}  // namespace vt
