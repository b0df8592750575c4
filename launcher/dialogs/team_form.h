// The team editor ("添加类别" / "编辑类别") without its window.
#pragma once

#include <string>

#include "launcher/dialogs/form_common.h"
#include "launcher/settings/settings.h"
#include "platform/prompts.h"

namespace vt {

inline constexpr const char* kCaptionTeamDesign = "添加/编辑类别";
inline constexpr const char* kCaptionAddTeam = "添加类别";
inline constexpr const char* kCaptionEditTeam = "编辑类别";

inline constexpr const char* kLabelTeamName = "类别名称:";
inline constexpr const char* kLabelTeamNote = "注释:";
inline constexpr const char* kLabelTeamPassword = "密码:";
inline constexpr const char* kCheckTeamShowPassword = "明文显示密码";

inline constexpr const char* kMsgTeamNameEmpty = "类别名称不能为空";
inline constexpr const char* kMsgTeamSucceeded = "成功";
// Editing a protected team whose password was mistyped at the prompt: the
// decoded folder name leads nowhere, and writing it back would cut the team
// off from its items.
inline constexpr const char* kMsgTeamFolderMissing = "类别文件夹不存在,可能是密码输入错误,类别未作修改";
inline constexpr const char* kMsgTeamWriteFailed = "类别数据写入失败,类别未能完整保存";

// The fields OK checks, for the view to put the caret in the one refused.
enum class TeamField { None, Name, Note, Password };
// Field names in the input-check messages.
inline constexpr const char* kFieldTeamName = "类别名称";
inline constexpr const char* kFieldTeamNote = "注释";
inline constexpr const char* kFieldTeamPassword = "密码";
// Name and note are profile values.
inline constexpr size_t kTeamNameMaxBytes = kProfileTextMaxBytes;
inline constexpr size_t kTeamNoteMaxBytes = kProfileTextMaxBytes;

class TeamForm {
public:
    // Empty editor for a new team.
    void OpenForAdd();
    // Editor for team index: folder name decoded with the password the user
    // typed at the edit prompt (empty for an unprotected team), which also
    // fills the password field.
    void OpenForEdit(const std::string& appDir, int index, const std::string& password);

    bool PasswordMasked() const { return !chkPassword; }
    bool IsEdit() const { return caption == kCaptionEditTeam; }

    // Validates, writes the team record (creating the folder of a new team)
    // and reports. The outcome asks for ShowTeams after a write.
    FormOutcome OnOk(const Settings& settings, Prompts& prompts);

    std::string caption = kCaptionTeamDesign;
    std::string txtName, txtNote, txtPassword;
    bool chkPassword = false;
    std::string teamFolderName;                // folder of the team edited; set by OK for a new team
    int teamIndex = -1;                        // the team the editor was opened for
    TeamField refusedField = TeamField::None;  // after an OK that was refused
};

}  // namespace vt
