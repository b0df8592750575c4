// VT.exe entry: the single-instance rule, then the main window, its menus
// and dialogs wired together, and the message loop. The launcher reads no
// command line.
#include <windows.h>

#include <objbase.h>

#include <string>

#include "launcher/dialogs/dialogs_win32.h"
#include "launcher/mainwindow/main_window_win32.h"
#include "launcher/menus/menu_form_win32.h"
#include "launcher/settings/settings.h"
#include "launcher/settings/settings_store.h"
#include "platform/win32/guarded_proc.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

// The folder of VT.exe, with a trailing backslash.
std::string ExeFolder() {
    std::wstring buf(MAX_PATH, L'\0');
    DWORD n = 0;
    while ((n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()))) >= buf.size())
        buf.resize(buf.size() * 2);
    buf.resize(n);
    return Narrow(buf.substr(0, buf.find_last_of(L"\\/") + 1));
}

// The window's requests go to the menus while both live: made after both,
// gone before either.
class MenuWiring {
public:
    MenuWiring(MainWindow& window, MenuHolder& menus) : window_(window) {
        window.onPopupMenu = [&menus](const std::string& name, POINT at) { menus.PopupByName(name, at); };
        window.onTrayMenu = [&menus](bool showEnabled, bool hideEnabled, POINT at) {
            menus.PopupTrayMenu(showEnabled, hideEnabled, at);
        };
        window.onCommandsEnabled = [&menus](bool team, bool item) { menus.SetCommandsEnabled(team, item); };
        window.onCommand = [&menus](unsigned id, bool fromAccelerator) { return menus.OnCommand(id, fromAccelerator); };
    }
    ~MenuWiring() {
        window_.onPopupMenu = nullptr;
        window_.onTrayMenu = nullptr;
        window_.onCommandsEnabled = nullptr;
        window_.onCommand = nullptr;
    }
    MenuWiring(const MenuWiring&) = delete;
    MenuWiring& operator=(const MenuWiring&) = delete;

private:
    MainWindow& window_;
};

}  // namespace

int Main(HINSTANCE instance) {
    Win32Registry machine;
    // Vantrel.ini beside the program makes the launcher portable; decided
    // here, before the first option is read.
    SettingsStore registry(machine, ExeFolder());
    // The mutex marks this process as a running launcher whatever the
    // setting, so that a later start with "OnlyLaunchOne" = 1 sees it.
    UniqueHandleObj running(::CreateMutexW(nullptr, FALSE, kInstanceMutex));
    bool another = running && ::GetLastError() == ERROR_ALREADY_EXISTS;
    if (ReadSettingDword(registry, "OnlyLaunchOne") == 1 && another) return 0;

    int code = 0;
    HRESULT com = E_FAIL;
    {
        MainWindow window(instance, registry);
        registry.SetWriteFailedHandler([&window] {
            if (window.GetSettings().WarnOnError) window.GetPrompts().ShowMessage(kMsgSettingsNotSaved);
        });
        MenuHolder menus(window);
        // Before Create: the load step's first rebuild reports which commands are available.
        MenuWiring wiring(window, menus);
        if (!window.Create()) {
            code = 1;
        } else {
            // What the first frame need not wait for.
            window.FinishStart();
            // Shell execution and file drops want an STA.
            com = ::OleInitialize(nullptr);
            MSG msg;
            while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
                // Modeless dialogs of the launcher get their keyboard handling.
                if (PreTranslateDialogMessage(msg)) continue;
                // The menu-bar shortcuts, while the main window has the keyboard.
                if (menus.TranslateAccelerator(msg)) continue;
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            code = static_cast<int>(msg.wParam);
        }
    }
    if (SUCCEEDED(com)) ::OleUninitialize();
    return code;
}

}  // namespace vt

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    try {
        return vt::Main(instance);
    } catch (...) {
        vt::LogCaughtException("VT.exe");
        return 1;
    }
}
