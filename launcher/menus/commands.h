// The launcher's commands and its popup menus, without a window. MenuForm
// (Win32) builds the real menus from MenuEntries and hands every chosen id
// to RunCommand; the commands work on the main model, the store, the
// settings and the platform services, and ask the host for what needs a
// window (dialogs, showing or closing the main window).
#pragma once

#include <string>
#include <vector>

#include "launcher/mainwindow/launch.h"
#include "launcher/mainwindow/main_model.h"
#include "launcher/menus/menu_ids.h"
#include "launcher/settings/settings.h"
#include "platform/prompts.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace vt {

inline constexpr const char* kConfirmDeleteItem = "是否要删除选中的项目?一旦删除无法恢复!";
inline constexpr const char* kConfirmDeleteTeam = "是否要删除选中的类别,一旦删除无法恢复!";
inline constexpr const char* kConfirmDeleteCaption = "删除确认";
inline constexpr const char* kConfirmItemDir = "是否打开项目所在文件夹?";
inline constexpr const char* kConfirmItemDirCaption = "启动确认";

inline constexpr const char* kMsgItemDeleted = "选中的项目已被删除";
inline constexpr const char* kMsgTeamDeleted = "选中的类别已被删除";
inline constexpr const char* kMsgItemDeleteFailed = "项目删除失败,数据无法写入";
inline constexpr const char* kMsgTeamDeleteFailed = "类别删除失败,数据无法写入";
inline constexpr const char* kMsgItemDirDamaged = "数据被手工修改,无法打开项目所在路径";
inline constexpr const char* kMsgItemDirOpened = "项目所在路径打开成功";
inline constexpr const char* kMsgItemDirFailed = "项目所在路径打开失败";
inline constexpr const char* kMsgCopyPathDamaged = "数据被手工修改,项目路径无法复制!";
inline constexpr const char* kMsgPathCopied = "路径已经复制到剪贴板";
inline constexpr const char* kMsgCopyPathFailed = "路径无法复制到剪贴板";
inline constexpr const char* kMsgChooseReorder = "请选择想要调整位置的类别或项目";

inline constexpr const char* kHelpFile = "help.chm";
inline constexpr const char* kSkinEditorFile = "VTSkinEditor.exe";
inline constexpr const char* kMakerEmail = "support@vantrel.example";
inline constexpr const char* kMakerWeb = "https://vantrel.example/";

// ---- Menus -----------------------------------------------------------------

enum class PopupMenu { Operation, Manage, Tools, Info, QuickTeam, QuickTeam2, QuickItem, QuickItem2, NMIcon };

struct MenuEntry {
    unsigned id = 0;  // 0: separator
    const char* caption = "";
    const char* shortcut = "";  // shown right-aligned; empty: none
};

// The entries of one popup in display order.
const std::vector<MenuEntry>& MenuEntries(PopupMenu menu);
// The popup a main-window request names ("Menu0".."Menu3", "QuickTeam",
// "QuickTeam2", "QuickItem", "QuickItem2", "NMIcon"); false for anything else.
bool PopupFromName(const std::string& name, PopupMenu& menu);
// The captions of the menu bar labels, "操作", "管理", "工具", "信息".
const char* MenuBarCaption(int index);

// Which entries can be chosen. The main model reports team and item
// availability on every rebuild; the tray menu gets its two entries set
// before each pop-up. Everything not named by a rule is always enabled.
struct MenuEnabling {
    bool teamCommands = false;  // a team is shown
    bool itemCommands = false;  // an item of it is selected
    bool showMain = true;
    bool hideMain = true;
    bool IsEnabled(unsigned id) const;
};

// A keyboard shortcut of a main-menu entry: the virtual key and whether Ctrl is held.
struct MenuShortcut {
    unsigned id;
    bool ctrl;
    unsigned virtualKey;
};
// Every entry with a shortcut text, parsed from that text, so the keys and
// what the menus show cannot drift apart.
std::vector<MenuShortcut> MenuShortcuts();

// ---- Commands ----------------------------------------------------------------

// What the commands need a window for.
class CommandHost {
public:
    virtual ~CommandHost() = default;
    virtual void ShowMain() = 0;  // visible and undocked
    virtual void HideMain() = 0;
    virtual void Exit() = 0;     // close without asking
    virtual void Repaint() = 0;  // the model changed outside a mouse event
    virtual void ShowItemEditorForAdd() = 0;
    virtual void ShowItemEditorForEdit(const std::string& password) = 0;
    virtual void ShowTeamEditorForAdd() = 0;
    virtual void ShowTeamEditorForEdit(const std::string& password) = 0;
    virtual void ShowSettingsDialog() = 0;
    virtual void ShowSkinChooser() = 0;
    virtual void ShowAboutBox() = 0;
    // After a launch with MinAfterLaunch: hide and reset the minimise button.
    virtual void HideAfterLaunch() = 0;
};

struct CommandContext {
    MainModel& model;
    const Settings& settings;
    Registry& registry;
    Prompts& prompts;
    Shell& shell;
    CommandHost& host;
};

// Runs the command of a menu id; false for an id that is no command.
bool RunCommand(unsigned id, CommandContext& ctx);

void LaunchCurrentItem(CommandContext& ctx, LaunchParameters parameters);
void OpenItemFolder(CommandContext& ctx);
void CopyItemPath(CommandContext& ctx);
void RefreshAll(CommandContext& ctx);
void RefreshTeams(CommandContext& ctx);
void RefreshItems(CommandContext& ctx);
void EditCurrentTeam(CommandContext& ctx);
void EditCurrentItem(CommandContext& ctx);
void DeleteCurrentItem(CommandContext& ctx);
void DeleteCurrentTeam(CommandContext& ctx);
void StartOrderSwap(CommandContext& ctx);
void OpenHelp(CommandContext& ctx);
void OpenSkinEditor(CommandContext& ctx);
void MailMaker(CommandContext& ctx);
void OpenMakerWeb(CommandContext& ctx);

// The folder part of an item path: cut after its last backslash (the
// backslash stays); a path without one is returned whole.
std::string FolderOfPath(const std::string& path);

}  // namespace vt
