#include "launcher/menus/menu_form_win32.h"

#include <array>
#include <memory>
#include <type_traits>
#include <vector>

#include "launcher/dialogs/dialogs_win32.h"
#include "launcher/mainwindow/main_model.h"
#include "launcher/menus/commands.h"
#include "launcher/menus/menu_host_win32.h"
#include "platform/win32/guarded_proc.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

namespace vt {
namespace {

constexpr size_t kPopupCount = 9;

}  // namespace

class MenuForm : public CommandHost {
public:
    explicit MenuForm(MenuHost& main) : main_(main) {}

    void PopupByName(const std::string& name, POINT at) {
        PopupMenu menu;
        if (PopupFromName(name, menu)) Popup(menu, at);
    }
    void PopupTrayMenu(bool showEnabled, bool hideEnabled, POINT at) {
        enabling_.showMain = showEnabled;
        enabling_.hideMain = hideEnabled;
        Popup(PopupMenu::NMIcon, at);
    }
    void SetCommandsEnabled(bool team, bool item) {
        enabling_.teamCommands = team;
        enabling_.itemCommands = item;
    }

    bool TranslateAccelerator(MSG& msg) {
        HWND hwnd = main_.Hwnd();
        if (!hwnd || msg.hwnd != hwnd) return false;
        if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
        if (!accelerators_) BuildAccelerators();
        return accelerators_ && ::TranslateAcceleratorW(hwnd, accelerators_.get(), &msg) != 0;
    }

    // ---- CommandHost ----
    void ShowMain() override { main_.ShowMain(); }
    void HideMain() override { main_.HideMain(); }
    void Exit() override { main_.Exit(); }
    void Repaint() override { main_.Refresh(); }
    void ShowItemEditorForAdd() override { vt::ShowItemEditorForAdd(main_); }
    void ShowItemEditorForEdit(const std::string& password) override { vt::ShowItemEditorForEdit(main_, password); }
    void ShowTeamEditorForAdd() override { vt::ShowTeamEditorForAdd(main_); }
    void ShowTeamEditorForEdit(const std::string& password) override { vt::ShowTeamEditorForEdit(main_, password); }
    void ShowSettingsDialog() override { vt::ShowSettingsDialog(main_); }
    void ShowSkinChooser() override { vt::ShowSkinChooser(main_); }
    void ShowAboutBox() override { vt::ShowAboutBox(main_); }
    void HideAfterLaunch() override {
        main_.HideMain();
        main_.Model().Chrome().Button(ChromeButton::Min).Reset();
        main_.Refresh();
    }

private:
    HMENU Menu(PopupMenu which) {
        UniqueHmenu& slot = menus_[static_cast<size_t>(which)];
        if (slot) return slot.get();
        slot.reset(::CreatePopupMenu());
        if (!slot) {
            LogWin32Failure("CreatePopupMenu");
            return nullptr;
        }
        for (const MenuEntry& e : MenuEntries(which)) {
            if (e.id == 0) {
                ::AppendMenuW(slot.get(), MF_SEPARATOR, 0, nullptr);
                continue;
            }
            // A tab puts the shortcut text in the menu's right-aligned column.
            std::string text = e.caption;
            if (*e.shortcut) text += std::string("\t") + e.shortcut;
            ::AppendMenuW(slot.get(), MF_STRING, e.id, Widen(text).c_str());
        }
        return slot.get();
    }

    void Popup(PopupMenu which, POINT at) {
        HMENU menu = Menu(which);
        HWND hwnd = main_.Hwnd();
        if (!menu || !hwnd) return;
        for (const MenuEntry& e : MenuEntries(which)) {
            if (e.id != 0)
                ::EnableMenuItem(menu, e.id, MF_BYCOMMAND | (enabling_.IsEnabled(e.id) ? MF_ENABLED : MF_GRAYED));
        }
        // Without the foreground the menu would not close on a click elsewhere
        // (the tray menu opens while another program is active).
        ::SetForegroundWindow(hwnd);
        UINT id = static_cast<UINT>(::TrackPopupMenu(
            menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, hwnd, nullptr));
        // The menu caption that opened the menu lost the pointer to the menu
        // without a mouse move telling the window so.
        main_.Model().ResetHover();
        main_.Refresh();
        // The command runs from the message loop once the mouse handler that
        // opened the menu has finished, never inside it.
        if (id != 0) ::PostMessageW(hwnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    }

public:
    bool OnCommand(unsigned id, bool fromAccelerator) {
        if (id < kFirstMenuId || id > kLastMenuId) return false;
        // A shortcut acts only while its menu entry could be chosen.
        if (fromAccelerator && !enabling_.IsEnabled(id)) return true;
        RunCommandSafely(id);
        return true;
    }

private:
    void RunCommandSafely(unsigned id) {
        CommandContext ctx{main_.Model(),      main_.GetSettings(), main_.GetRegistry(),
                           main_.GetPrompts(), main_.GetShell(),    *this};
        try {
            RunCommand(id, ctx);
        } catch (...) {
            LogCaughtException(("menu command " + std::to_string(id)).c_str());
        }
        main_.Refresh();
    }

    void BuildAccelerators() {
        std::vector<ACCEL> table;
        for (const MenuShortcut& k : MenuShortcuts()) {
            ACCEL a{};
            a.fVirt = static_cast<BYTE>(FVIRTKEY | (k.ctrl ? FCONTROL : 0));
            a.key = static_cast<WORD>(k.virtualKey);
            a.cmd = static_cast<WORD>(k.id);
            table.push_back(a);
        }
        accelerators_.reset(::CreateAcceleratorTableW(table.data(), static_cast<int>(table.size())));
        if (!accelerators_) LogWin32Failure("CreateAcceleratorTableW");
    }

    MenuHost& main_;
    MenuEnabling enabling_;
    std::array<UniqueHmenu, kPopupCount> menus_;
    std::unique_ptr<std::remove_pointer_t<HACCEL>, decltype(&::DestroyAcceleratorTable)> accelerators_{
        nullptr, &::DestroyAcceleratorTable};
};

MenuHolder::MenuHolder(MenuHost& host) : form_(std::make_unique<MenuForm>(host)) {}

MenuHolder::~MenuHolder() = default;

void MenuHolder::PopupByName(const std::string& name, POINT screen) {
    form_->PopupByName(name, screen);
}

void MenuHolder::PopupTrayMenu(bool showEnabled, bool hideEnabled, POINT screen) {
    form_->PopupTrayMenu(showEnabled, hideEnabled, screen);
}

void MenuHolder::SetCommandsEnabled(bool teamCommands, bool itemCommands) {
    form_->SetCommandsEnabled(teamCommands, itemCommands);
}

bool MenuHolder::OnCommand(unsigned id, bool fromAccelerator) {
    return form_->OnCommand(id, fromAccelerator);
}

bool MenuHolder::TranslateAccelerator(MSG& msg) {
    return form_->TranslateAccelerator(msg);
}

}  // namespace vt
