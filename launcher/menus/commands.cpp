#include "launcher/menus/commands.h"

#include <array>

#include "launcher/mainwindow/launch.h"
#include "launcher/store/password.h"
#include "launcher/store/store.h"

namespace vt {

// ---- Menus -----------------------------------------------------------------

namespace {

const std::array<std::vector<MenuEntry>, 9>& AllMenus() {
    static const std::array<std::vector<MenuEntry>, 9> menus = {{
        // Operation
        {{kMenuLaunch, "启动项目", "Ctrl+L"},
         {kMenuLaunchNoPara, "不带参数启动", "Ctrl+N"},
         {kMenuItemDir, "打开项目目录", "Ctrl+O"},
         {kMenuCopyPath, "复制项目路径", "Ctrl+C"},
         {kMenuRefurbish, "刷新显示", "Ctrl+R"},
         {},
         {kMenuExit, "退出", "Ctrl+E"}},
        // Manage
        {{kMenuAddTeam, "添加类别", "Ctrl+F1"},
         {kMenuEditTeam, "编辑类别", "Ctrl+F2"},
         {kMenuDeleteTeam, "删除类别", "Ctrl+F3"},
         {},
         {kMenuAddItem, "添加项目", "Ctrl+F4"},
         {kMenuEditItem, "编辑项目", "Ctrl+F5"},
         {kMenuDeleteItem, "删除项目", "Ctrl+F6"},
         {},
         {kMenuChangePos, "位置调整", "Ctrl+F7"}},
        // Tools
        {{kMenuSet, "软件设置", "Ctrl+S"},
         {kMenuChangeSkin, "皮肤设置", "Ctrl+K"},
         {},
         {kMenuSkinEditor, "皮肤编辑器", ""}},
        // Info
        {{kMenuHelp, "使用帮助", "F1"},
         {},
         {kMenuConnect, "联系作者", ""},
         {kMenuWeb, "官方网站", ""},
         {},
         {kMenuAbout, "关于...", "F2"}},
        // QuickTeam
        {{kQuickAddTeam, "添加类别(&A)", ""},
         {kQuickEditTeam, "编辑类别(&E)", ""},
         {kQuickDeleteTeam, "删除类别(&D)", ""},
         {},
         {kQuickReTeam, "刷新类别(&B)", ""}},
        // QuickTeam2
        {{kQuickAddTeam2, "添加类别(&A)", ""}, {kQuickReTeam2, "刷新类别(&B)", ""}},
        // QuickItem
        {{kQuickLaunch, "启动项目(&L)", ""},
         {kQuickNotPara, "不带参数启动(&N)", ""},
         {kQuickItemDir, "打开项目目录(&O)", ""},
         {kQuickCopyPath, "复制项目路径(&C)", ""},
         {},
         {kQuickAddItem, "添加项目(&A)", ""},
         {kQuickEditItem, "编辑项目(&E)", ""},
         {kQuickDeleteItem, "删除项目(&D)", ""},
         {},
         {kQuickReItem, "刷新项目(&B)", ""}},
        // QuickItem2
        {{kQuickAddItem2, "添加项目(&A)", ""}, {kQuickReItem2, "刷新项目(&B)", ""}},
        // NMIcon
        {{kNMShowMain, "显示主窗口(&S)", ""},
         {kNMHideMain, "隐藏主窗口(&H)", ""},
         {},
         {kNMSet, "软件设置(&S)", ""},
         {kNMAbout, "关于...(&A)", ""},
         {},
         {kNMExit, "退出(&E)", ""}},
    }};
    return menus;
}

}  // namespace

const std::vector<MenuEntry>& MenuEntries(PopupMenu menu) {
    return AllMenus()[static_cast<size_t>(menu)];
}

bool PopupFromName(const std::string& name, PopupMenu& menu) {
    static const std::pair<const char*, PopupMenu> names[] = {
        {"Menu0", PopupMenu::Operation},     {"Menu1", PopupMenu::Manage},
        {"Menu2", PopupMenu::Tools},         {"Menu3", PopupMenu::Info},
        {"QuickTeam", PopupMenu::QuickTeam}, {"QuickTeam2", PopupMenu::QuickTeam2},
        {"QuickItem", PopupMenu::QuickItem}, {"QuickItem2", PopupMenu::QuickItem2},
        {"NMIcon", PopupMenu::NMIcon},
    };
    for (const auto& [n, m] : names) {
        if (name == n) {
            menu = m;
            return true;
        }
    }
    return false;
}

const char* MenuBarCaption(int index) {
    static const char* const captions[] = {"操作", "管理", "工具", "信息"};
    return index >= 0 && index < 4 ? captions[index] : "";
}

bool MenuEnabling::IsEnabled(unsigned id) const {
    switch (id) {
        case kMenuEditTeam:
        case kMenuDeleteTeam:
        case kMenuAddItem:
            return teamCommands;
        case kMenuEditItem:
        case kMenuDeleteItem:
        case kMenuCopyPath:
        case kMenuLaunch:
        case kMenuLaunchNoPara:
        case kMenuItemDir:
            return itemCommands;
        case kNMShowMain:
            return showMain;
        case kNMHideMain:
            return hideMain;
        default:
            return true;
    }
}

std::vector<MenuShortcut> MenuShortcuts() {
    std::vector<MenuShortcut> keys;
    for (const auto& menu : AllMenus()) {
        for (const MenuEntry& e : menu) {
            std::string text = e.shortcut;
            if (text.empty()) continue;
            MenuShortcut k{e.id, false, 0};
            if (text.rfind("Ctrl+", 0) == 0) {
                k.ctrl = true;
                text = text.substr(5);
            }
            if (text.size() == 1 && text[0] >= 'A' && text[0] <= 'Z') {
                k.virtualKey = static_cast<unsigned char>(text[0]);  // VK_A..VK_Z are the letters
            } else if (text.size() >= 2 && text[0] == 'F') {
                int n = std::stoi(text.substr(1));
                k.virtualKey = 0x70 + static_cast<unsigned>(n - 1);  // VK_F1 = 0x70
            } else {
                continue;
            }
            keys.push_back(k);
        }
    }
    return keys;
}

// ---- Commands ----------------------------------------------------------------

namespace {

bool HasCurrentItem(const CommandContext& ctx) {
    return ctx.model.CurrentTeam >= 0 && ctx.model.CurrentItem >= 0;
}

// The item's password when it has one, asked with prompt; empty otherwise.
std::string ItemPassword(CommandContext& ctx, const ItemRecord& item, const char* prompt) {
    return item.Password ? ctx.prompts.AskPassword(prompt) : std::string();
}

}  // namespace

std::string FolderOfPath(const std::string& path) {
    size_t cut = path.find_last_of('\\');
    return cut == std::string::npos ? path : path.substr(0, cut + 1);
}

void LaunchCurrentItem(CommandContext& ctx, LaunchParameters parameters) {
    const Settings& s = ctx.settings;
    LaunchOptions o;
    o.warnOnError = s.WarnOnError;
    o.warnAfterDone = s.WarnAfterDone;
    o.warnBeforeLaunch = s.WarnBeforeLaunch;
    o.minAfterLaunch = s.MinAfterLaunch;
    o.reorderInProgress = ctx.model.ReorderState != 0;
    LaunchResult r = LaunchItem(ctx.model.TeamFolder, ctx.model.CurrentItem, o,
                                LaunchServices{ctx.shell, ctx.registry, ctx.prompts}, parameters);
    if (r.hideWindow) ctx.host.HideAfterLaunch();
}

void OpenItemFolder(CommandContext& ctx) {
    const Settings& s = ctx.settings;
    if (s.WarnBeforeLaunch && !ctx.prompts.Confirm(kConfirmItemDir, kConfirmItemDirCaption)) return;
    if (ctx.model.TeamFolder.empty() || ctx.model.CurrentItem < 0) {
        if (s.WarnOnError) ctx.prompts.ShowMessage(kMsgItemDirDamaged);
        return;
    }
    ItemRecord item = ReadItemRecord(ctx.model.TeamFolder, ctx.model.CurrentItem);
    std::string password = ItemPassword(ctx, item, kPromptItemDir);
    std::string folder = FolderOfPath(ReadItemTexts(ctx.model.TeamFolder, item, password).Path);
    // An item without a path has no folder to open: say so rather than do nothing.
    bool opened = !folder.empty() && ctx.shell.Execute("open", folder, "", "", ShowCmd::Normal);
    if (opened) {
        if (s.WarnAfterDone) ctx.prompts.ShowMessage(kMsgItemDirOpened);
    } else if (s.WarnOnError) {
        ctx.prompts.ShowMessage(kMsgItemDirFailed);
    }
}

void CopyItemPath(CommandContext& ctx) {
    const Settings& s = ctx.settings;
    if (ctx.model.TeamFolder.empty() || ctx.model.CurrentItem < 0) {
        if (s.WarnOnError) ctx.prompts.ShowMessage(kMsgCopyPathDamaged);
        return;
    }
    ItemRecord item = ReadItemRecord(ctx.model.TeamFolder, ctx.model.CurrentItem);
    std::string password = ItemPassword(ctx, item, kPromptCopyPath);
    std::string path = ReadItemTexts(ctx.model.TeamFolder, item, password).Path;
    if (ctx.shell.SetClipboardText(path)) {
        if (s.WarnAfterDone) ctx.prompts.ShowMessage(kMsgPathCopied);
    } else if (s.WarnOnError) {
        ctx.prompts.ShowMessage(kMsgCopyPathFailed);
    }
}

void RefreshTeams(CommandContext& ctx) {
    ctx.model.ShowTeams();
    ctx.host.Repaint();
}

void RefreshItems(CommandContext& ctx) {
    ctx.model.ShowItems(ctx.model.CurrentTeam);
    ctx.host.Repaint();
}

void RefreshAll(CommandContext& ctx) {
    ctx.model.ShowTeams();
    ctx.model.ShowItems(ctx.model.CurrentTeam);
    ctx.host.Repaint();
}

void EditCurrentTeam(CommandContext& ctx) {
    if (ctx.model.CurrentTeam < 0) return;
    TeamRecord team = ReadTeamRecord(ctx.settings.AppDir, ctx.model.CurrentTeam);
    std::string password = team.Password ? ctx.prompts.AskPassword(kPromptEditTeam) : std::string();
    ctx.host.ShowTeamEditorForEdit(password);
}

void EditCurrentItem(CommandContext& ctx) {
    if (!HasCurrentItem(ctx) || ctx.model.TeamFolder.empty()) return;
    ItemRecord item = ReadItemRecord(ctx.model.TeamFolder, ctx.model.CurrentItem);
    ctx.host.ShowItemEditorForEdit(ItemPassword(ctx, item, kPromptEditItem));
}

void DeleteCurrentItem(CommandContext& ctx) {
    MainModel& m = ctx.model;
    if (!HasCurrentItem(ctx) || m.TeamFolder.empty()) return;
    if (!ctx.prompts.Confirm(kConfirmDeleteItem, kConfirmDeleteCaption)) return;
    // The password is asked as for every protected item, but deleting a
    // record needs nothing decoded: the answer is not used.
    ItemRecord item = ReadItemRecord(m.TeamFolder, m.CurrentItem);
    if (item.Password) (void)ctx.prompts.AskPassword(kPromptDeleteItem);
    m.Roller().StopNameRoll(RollKind::Item, m.CurrentItem);
    StoreResult r = DeleteItem(m.TeamFolder, m.CurrentItem);
    m.CurrentItem = -1;
    m.ShowItems(m.CurrentTeam);
    ctx.host.Repaint();
    if (r.ok()) {
        if (ctx.settings.WarnAfterDone) ctx.prompts.ShowMessage(kMsgItemDeleted);
    } else if (ctx.settings.WarnOnError) {
        ctx.prompts.ShowMessage(kMsgItemDeleteFailed);
    }
}

void DeleteCurrentTeam(CommandContext& ctx) {
    MainModel& m = ctx.model;
    if (m.CurrentTeam < 0) return;
    if (!ctx.prompts.Confirm(kConfirmDeleteTeam, kConfirmDeleteCaption)) return;
    TeamRecord team = ReadTeamRecord(ctx.settings.AppDir, m.CurrentTeam);
    std::string password = team.Password ? ctx.prompts.AskPassword(kPromptDeleteTeam) : std::string();
    m.Roller().StopNameRoll(RollKind::Team, m.CurrentTeam);
    if (m.CurrentItem >= 0) m.Roller().StopNameRoll(RollKind::Item, m.CurrentItem);
    StoreResult r = DeleteTeam(ctx.settings.AppDir, m.CurrentTeam, password);
    // The deleted team's index now names the next team (or nothing): keeping
    // it current would let the next refresh or edit act on a stranger.
    m.CurrentItem = -1;
    m.CurrentTeam = -1;
    m.TeamFolder.clear();
    m.ShowTeams();
    m.ShowItems(-1);
    ctx.host.Repaint();
    if (r.ok() && r.foreignFolder) {
        // The record is gone, but its folder was somebody else's (the shared
        // pictures, another team's): hand-made damage, and the files stay.
        if (ctx.settings.WarnOnError) ctx.prompts.ShowMessage(kMsgTeamsDamaged);
    } else if (r.ok()) {
        if (ctx.settings.WarnAfterDone) ctx.prompts.ShowMessage(kMsgTeamDeleted);
    } else if (ctx.settings.WarnOnError) {
        ctx.prompts.ShowMessage(kMsgTeamDeleteFailed);
    }
}

void StartOrderSwap(CommandContext& ctx) {
    ctx.model.ReorderState = 1;
    ctx.prompts.ShowMessage(kMsgChooseReorder);
}

void OpenHelp(CommandContext& ctx) {
    (void)ctx.shell.Execute("open", ctx.settings.AppDir + kHelpFile, "", "", ShowCmd::Normal);
}

void OpenSkinEditor(CommandContext& ctx) {
    (void)ctx.shell.Execute("open", ctx.settings.AppDir + kSkinEditorFile, "", "", ShowCmd::Normal);
}

void MailMaker(CommandContext& ctx) {
    (void)ctx.shell.Execute("open", std::string("mailto:") + kMakerEmail, "", "", ShowCmd::Normal);
}

void OpenMakerWeb(CommandContext& ctx) {
    (void)ctx.shell.Execute("open", kMakerWeb, "", "", ShowCmd::Normal);
}

bool RunCommand(unsigned id, CommandContext& ctx) {
    switch (id) {
        case kMenuLaunch:
        case kQuickLaunch:
            LaunchCurrentItem(ctx, LaunchParameters::Stored);
            break;
        case kMenuLaunchNoPara:
        case kQuickNotPara:
            LaunchCurrentItem(ctx, LaunchParameters::Skip);
            break;
        case kMenuItemDir:
        case kQuickItemDir:
            OpenItemFolder(ctx);
            break;
        case kMenuCopyPath:
        case kQuickCopyPath:
            CopyItemPath(ctx);
            break;
        case kMenuRefurbish:
            RefreshAll(ctx);
            break;
        case kQuickReTeam:
        case kQuickReTeam2:
            RefreshTeams(ctx);
            break;
        case kQuickReItem:
        case kQuickReItem2:
            RefreshItems(ctx);
            break;
        case kMenuExit:
        case kNMExit:
            ctx.host.Exit();
            break;
        case kMenuAddTeam:
        case kQuickAddTeam:
        case kQuickAddTeam2:
            ctx.host.ShowTeamEditorForAdd();
            break;
        case kMenuEditTeam:
        case kQuickEditTeam:
            EditCurrentTeam(ctx);
            break;
        case kMenuDeleteTeam:
        case kQuickDeleteTeam:
            DeleteCurrentTeam(ctx);
            break;
        case kMenuAddItem:
        case kQuickAddItem:
        case kQuickAddItem2:
            ctx.host.ShowItemEditorForAdd();
            break;
        case kMenuEditItem:
        case kQuickEditItem:
            EditCurrentItem(ctx);
            break;
        case kMenuDeleteItem:
        case kQuickDeleteItem:
            DeleteCurrentItem(ctx);
            break;
        case kMenuChangePos:
            StartOrderSwap(ctx);
            break;
        case kMenuSet:
        case kNMSet:
            ctx.host.ShowSettingsDialog();
            break;
        case kMenuChangeSkin:
            ctx.host.ShowSkinChooser();
            break;
        case kMenuSkinEditor:
            OpenSkinEditor(ctx);
            break;
        case kMenuHelp:
            OpenHelp(ctx);
            break;
        case kMenuConnect:
            MailMaker(ctx);
            break;
        case kMenuWeb:
            OpenMakerWeb(ctx);
            break;
        case kMenuAbout:
        case kNMAbout:
            ctx.host.ShowAboutBox();
            break;
        case kNMShowMain:
            ctx.host.ShowMain();
            break;
        case kNMHideMain:
            ctx.host.HideMain();
            break;
        default:
            return false;
    }
    return true;
}

}  // namespace vt
