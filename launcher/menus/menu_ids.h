// WM_COMMAND identifiers of every popup-menu entry of the launcher. The main
// window forwards these to the menu holder, so posting one of them to the main
// window runs the command exactly as choosing the entry does.
#pragma once

namespace vt {

enum MenuId : unsigned {
    // Menu(0) "操作"
    kMenuLaunch = 40001,
    kMenuLaunchNoPara = 40002,
    kMenuItemDir = 40003,
    kMenuCopyPath = 40004,
    kMenuRefurbish = 40005,
    kMenuExit = 40006,
    // Menu(1) "管理"
    kMenuAddTeam = 40011,
    kMenuEditTeam = 40012,
    kMenuDeleteTeam = 40013,
    kMenuAddItem = 40014,
    kMenuEditItem = 40015,
    kMenuDeleteItem = 40016,
    kMenuChangePos = 40017,
    // Menu(2) "工具"
    kMenuSet = 40021,
    kMenuChangeSkin = 40022,
    kMenuSkinEditor = 40023,
    // Menu(3) "信息"
    kMenuHelp = 40031,
    kMenuConnect = 40032,
    kMenuWeb = 40033,
    kMenuAbout = 40034,
    // QuickTeam (right click on a team)
    kQuickAddTeam = 40101,
    kQuickEditTeam = 40102,
    kQuickDeleteTeam = 40103,
    kQuickReTeam = 40104,
    // QuickTeam2 (right click on the empty team bar)
    kQuickAddTeam2 = 40111,
    kQuickReTeam2 = 40112,
    // QuickItem (right click on an item)
    kQuickLaunch = 40121,
    kQuickNotPara = 40122,
    kQuickItemDir = 40123,
    kQuickCopyPath = 40124,
    kQuickAddItem = 40125,
    kQuickEditItem = 40126,
    kQuickDeleteItem = 40127,
    kQuickReItem = 40128,
    // QuickItem2 (right click on the empty item panel)
    kQuickAddItem2 = 40131,
    kQuickReItem2 = 40132,
    // NMIcon (tray icon)
    kNMShowMain = 40201,
    kNMHideMain = 40202,
    kNMSet = 40203,
    kNMAbout = 40204,
    kNMExit = 40205,
};

// Every command id lies in this range; the main window hands such WM_COMMANDs on.
inline constexpr unsigned kFirstMenuId = 40001;
inline constexpr unsigned kLastMenuId = 40299;

}  // namespace vt
