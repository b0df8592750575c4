// MainForm: the launcher's borderless, layered main window. It paints the
// scene that MainModel keeps, forwards the mouse to it with the element under
// the pointer, runs the timers the core asks for, and owns the tray icon and
// the hotkey. Its menus and dialogs reach it as their host.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "launcher/mainwindow/docking.h"
#include "launcher/mainwindow/hotkey.h"
#include "launcher/mainwindow/main_model.h"
#include "launcher/mainwindow/monitors.h"
#include "launcher/mainwindow/mouse_router.h"
#include "launcher/menus/menu_host_win32.h"
#include "launcher/scene/pixel_map.h"
#include "launcher/settings/settings.h"
#include "platform/registry.h"
#include "platform/win32/pictures_win32.h"
#include "platform/win32/prompts_win32.h"
#include "platform/win32/shell_win32.h"
#include "platform/win32/text_measure_win32.h"
#include "platform/win32/unique_handle.h"

namespace vt {

inline constexpr wchar_t kMainWindowClass[] = L"VantrelMainForm";
inline constexpr wchar_t kMainWindowTitle[] = L"Vantrel";
// The window's see-through colour: where the skin's backdrop has it, or does
// not reach, the desktop shows.
inline constexpr COLORREF kMainColourKey = RGB(250, 250, 250);
// Named mutex that marks a running launcher (for "OnlyLaunchOne").
inline constexpr wchar_t kInstanceMutex[] = L"Local\\Oskarn.Vantrel.VT";

class MainWindow final : public MenuHost {
public:
    MainWindow(HINSTANCE instance, Registry& registry);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and runs its load step; false when the window could
    // not be created at all.
    bool Create();
    // The rest of the start-up, after the first frame: tooltips and the tray icon.
    void FinishStart();

    // ---- What menus and dialogs ask of the main window ----
    HWND Hwnd() const override { return hwnd_; }
    MainModel& Model() override { return model_; }
    Settings& GetSettings() override { return settings_; }
    Registry& GetRegistry() override { return registry_; }
    Prompts& GetPrompts() override { return prompts_; }
    Shell& GetShell() override { return shell_; }
    PicturesWin32& GetPictures() override { return pictures_; }
    // ApplySettings(first = false) and its effects (after the settings dialog saved).
    void ReapplySettings() override;
    void ChangeSkin(const std::string& skinFolder) override;
    void SetOpacity(int alpha) override;
    void ShowMain() override;
    void HideMain() override;
    void Exit() override;
    void Refresh() override;

    // ---- Hooks for the menus (set by whoever wires the two together) ----
    // A popup menu by name ("Menu0".."Menu3", "QuickTeam", "QuickItem",
    // "QuickTeam2", "QuickItem2") at a screen point in pixels.
    std::function<void(const std::string& menu, POINT screen)> onPopupMenu;
    // The tray menu "NMIcon" at the pointer with its two entries enabled as given.
    std::function<void(bool showEnabled, bool hideEnabled, POINT screen)> onTrayMenu;
    // The main menu's team and item commands became (un)available.
    std::function<void(bool teamCommands, bool itemCommands)> onCommandsEnabled;
    // WM_COMMAND of a menu entry or a shortcut key (fromAccelerator); true when handled.
    std::function<bool(unsigned id, bool fromAccelerator)> onCommand;

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    // Life cycle.
    // The folder of the skin the settings name, default when none.
    std::string SkinFolder(const std::string& appDir);
    void Load();
    void OnActivate(bool active);
    void Unload();

    // Painting.
    void OnPaint();
    void PaintScene(HDC dc, int width, int height);
    void PaintElement(HDC dc, ElementId id);
    HFONT Font(int points, bool bold);

    // Mouse.
    void OnMouseMove(int x, int y, WPARAM keys);
    void OnButtonDown(MouseButton button, int x, int y, bool doubleClick);
    void OnButtonUp(MouseButton button, int x, int y);
    void OnMouseLeave();
    void OnDropFiles(HDROP drop);
    ElementId HitAt(int xTwips, int yTwips) const;
    void UpdateTooltip(ElementId id);

    // Timers and the window's own state.
    void OnTimer(UINT_PTR id);
    void AfterModelCall();  // repaint, resize, timers, tooltip
    void SyncTimers();
    void SyncWindowSize();
    void ApplySettingsResult(const ApplyResult& r, bool first);
    void MoveToTwips(int left, int top);
    DockWindow WindowTwips() const;
    // The monitors in twips of this window's mapping, and the docking area of
    // the one the window is on.
    Desktop DesktopTwips() const;
    DockScreen AreaTwips() const;
    DockPoint CursorTwips() const;
    // Draws for `dpi` from now on: the mapping, fonts, tooltip font and text
    // measurement follow; scaled pictures come with the new sizes.
    void SetDpi(int dpi);
    void OnDpiChanged(int dpi, const RECT& suggested);
    // Window and tray icons at the sizes of the current DPIs.
    void ReloadIcons();
    void WireModelActions();

    // Tray icon and hotkey (main_window_tray_win32.cpp).
    void AddTrayIcon();
    void RemoveTrayIcon();
    // The hotkey, the tray icon's callback and the taskbar's coming back;
    // true when the message was one of them and is done with.
    bool HandleTrayMessage(UINT msg, LPARAM lp);
    void ApplyWindowAction(const WindowAction& a);

    // Edges and lengths; a mouse position in the window goes through
    // map_.TwipAt so that it hits what is painted under it.
    int Px(int twips) const { return map_.Px(twips); }
    int Twips(int px) const { return map_.Twips(px); }
    // Draws a picture at its size scaled to the window's DPI, top-left corner at the given twips.
    void DrawPicture(HDC dc, const std::string& file, int leftTwips, int topTwips);
    // An item's icon drawn afresh from its file at the size its 32-pixel
    // picture covers on this screen; false (nothing drawn) at 96 dpi or
    // when the file gives no icon.
    bool DrawSharperIcon(HDC dc, const Element& e, int leftTwips, int topTwips);
    // A one-pixel line at 96 dpi, as thick as the screen makes it.
    int LinePx() const { return std::max(1, map_.Dpi() / 96); }

    // Keys and the find line (main_window_keys_win32.cpp): true when the
    // message was the keyboard's and is done with.
    bool HandleKeyMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // The find line's caret, drawn over the scene; its place for the input method.
    void PaintFindCaret(HDC dc);
    POINT FindCaretPx(int* heightPx = nullptr);
    void PlaceImeWindows();
    void AfterLaunch(const std::string& teamFolder, int index);
    wchar_t pendingSurrogate_ = 0;

    HINSTANCE hinstance_;
    Registry& registry_;
    int dpi_;
    PixelMap map_;
    Settings settings_;
    TextMeasureWin32 measure_;
    PicturesWin32 pictures_;
    ShellWin32 shell_;
    PromptsWin32 prompts_;
    MainModel model_;
    EdgeDocker docker_;

    HWND hwnd_ = nullptr;
    HWND tooltip_ = nullptr;
    UniqueHfont tipFont_;
    bool inDpiChange_ = false;
    UniqueHicon iconLarge_, iconSmall_, trayIcon_;
    NOTIFYICONDATAW tray_{};
    bool trayAdded_ = false;
    UINT taskbarCreated_ = 0;
    // The hotkey and the tray icon act once the load step has read the
    // settings and converted old data, until the unload step.
    bool loaded_ = false;
    bool unloaded_ = false;

    MouseRouter router_;
    bool tracking_ = false;
    std::optional<ElementId> tipElement_;
    std::string tipText_;
    std::wstring tipBuffer_;

    bool hideTimerEnabled_ = false;
    int rollTeamMs_ = 150;
    int rollItemMs_ = 150;
    bool timerOn_[6] = {};

    struct FontKey {
        int points;
        bool bold;
        bool operator<(const FontKey& o) const { return points != o.points ? points < o.points : bold < o.bold; }
    };
    std::map<FontKey, UniqueHfont> fonts_;
    std::map<std::tuple<std::string, int, int>, UniqueHicon> sharperIcons_;  // by file, index, size
    std::map<std::pair<std::string, int>, std::string> drawnFiles_;          // skin picture and dpi: the file drawn
};

}  // namespace vt
