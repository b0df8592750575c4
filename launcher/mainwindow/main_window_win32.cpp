#include "launcher/mainwindow/main_window_win32.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>

#include "common/codepage.h"
#include "launcher/dialogs/dialogs_win32.h"
#include "launcher/mainwindow/hotkey.h"
#include "launcher/mainwindow/launch.h"
#include "launcher/mainwindow/migration_progress_win32.h"
#include "launcher/mainwindow/monitors_win32.h"
#include "launcher/skin/msg_form_win32.h"
#include "launcher/skin/skin_package.h"
#include "launcher/store/migration.h"
#include "launcher/store/unfinished_saves.h"
#include "platform/win32/dialog_template.h"
#include "platform/win32/guarded_proc.h"
#include "platform/win32/icon_extract_win32.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/win_text.h"
#include "platform/win32/window_dpi.h"

namespace vt {

namespace {

// Window timers. TmrRollText (one per kind), TmrRollTeam, TmrRollItem, TmrHide,
// and the find line's reading of the store (a timer's message waits for the
// keys and the paints, so the reading never holds them up).
enum TimerId : UINT_PTR {
    kTmrRollTextTeam = 1,
    kTmrRollTextItem,
    kTmrRollTeam,
    kTmrRollItem,
    kTmrDock,
    kTmrFindLoad,
    kTimerCount
};
constexpr UINT kFindLoadTimerMs = USER_TIMER_MINIMUM;

std::string ProgramDir() {
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) {
            buf.resize(n);
            break;
        }
        buf.resize(buf.size() * 2);
    }
    size_t slash = buf.find_last_of(L"\\/");
    return Narrow(buf.substr(0, slash == std::wstring::npos ? 0 : slash + 1));
}

}  // namespace

MainWindow::MainWindow(HINSTANCE instance, Registry& registry)
    : hinstance_(instance),
      registry_(registry),
      dpi_(ScreenDpi()),
      map_(dpi_),
      prompts_(instance, [this](const std::string& text) { ShowMessagePopup(hinstance_, registry_, text); }),
      model_(MainModelServices{registry_, prompts_, measure_, pictures_, shell_}, settings_) {}

MainWindow::~MainWindow() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

bool MainWindow::Create() {
    iconLarge_ = LoadIconAtSize(hinstance_, 1, MetricForDpi(SM_CXICON, dpi_));
    iconSmall_ = LoadIconAtSize(hinstance_, 1, MetricForDpi(SM_CXSMICON, dpi_));

    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hinstance_;
    wc.hIcon = iconLarge_.get();
    wc.hIconSm = iconSmall_.get();
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kMainWindowClass;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        LogWin32Failure("RegisterClassExW");
        return false;
    }
    // The skin's pictures are read and decoded while the system creates the
    // window, and resized for the screen while the window loads its items.
    // Where a skin's double-size pictures may be drawn instead, they are
    // made when first drawn.
    PicturesWin32::DrawnSize drawnSize;
    if (dpi_ != 96 && dpi_ < kSkinDoubleFromDpi)
        drawnSize = [map = map_](int w, int h) {
            const PixelBox box = map.PictureBox(0, 0, w, h);
            return std::make_pair(box.Width(), box.Height());
        };
    pictures_.Prefetch(SkinPictureFiles(SkinFolder(ProgramDir())), std::move(drawnSize));
    // A tool window: the launcher lives in the notification area, not the taskbar.
    hwnd_ = ::CreateWindowExW(WS_EX_TOOLWINDOW, kMainWindowClass, kMainWindowTitle, WS_POPUP | WS_SYSMENU, 0, 0, 0, 0,
                              nullptr, nullptr, hinstance_, this);
    if (!hwnd_) {
        LogWin32Failure("CreateWindowExW");
        return false;
    }
    // The window now knows its monitor, whose DPI may differ from the screen's.
    SetDpi(WindowDpi(hwnd_));
    prompts_.SetOwner(hwnd_);
    shell_.SetOwner(hwnd_);
    ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(iconLarge_.get()));
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(iconSmall_.get()));

    taskbarCreated_ = ::RegisterWindowMessageW(L"TaskbarCreated");
    WireModelActions();
    Load();
    ::ShowWindow(hwnd_, SW_SHOW);
    ::SetForegroundWindow(hwnd_);
    OnActivate(true);  // the activation step, also when the system did not activate us
    ::UpdateWindow(hwnd_);
    return true;
}

void MainWindow::FinishStart() {
    // The window is up; what follows costs time a user would otherwise spend
    // looking at nothing (loading the common controls and the shell, a round
    // trip to the shell's notification area).
    EnsureCommonControls();
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, hinstance_,
                                 nullptr);
    if (tooltip_) {
        TTTOOLINFOW ti{};
        ti.cbSize = sizeof(ti);
        ti.hwnd = hwnd_;
        ti.uId = 1;
        tipBuffer_.assign(1, L'\0');
        ti.lpszText = tipBuffer_.data();
        ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
        SetDpi(dpi_);  // the tooltip's font and width
    }

    ::DragAcceptFiles(hwnd_, TRUE);
    AddTrayIcon();
}

// ---------------------------------------------------------------------------
// Life cycle

void MainWindow::Load() {
    // 1. Settings. The window has no size until the skin is applied, so a
    //    centred window is centred again once its size is known (below).
    ApplyEnvironment env;
    env.programDir = ProgramDir();
    const Desktop desktop = DesktopTwips();
    const DockScreen screen = DockAreaOf(desktop, 0);  // the primary monitor's work area
    env.screenWidth = screen.width;
    env.screenHeight = screen.height;
    // The first start on a machine leaves every value of both keys with its
    // default, not only those it happens to read. The data key tells: every
    // start reads from it, but the single-instance check before the window
    // already created the settings key.
    if (!registry_.KeyExists(kSettingsRoot, kDataKey)) CreateMissingSettings(registry_);
    ApplyResult r = ApplySettings(registry_, settings_, true, env);
    model_.CurrentTeam = settings_.CurrentTeam;
    model_.CurrentItem = settings_.CurrentItem;
    ApplySettingsResult(r, true);

    // A save a power cut interrupted may have left a store file only as its
    // temporary file; offer it back before anything reads the store.
    OfferUnfinishedSaves(settings_.AppDir, prompts_);

    // 2. Data of the previous version, once; converted off this thread.
    const std::string migrated =
        MigrationMessage(RunMigration(hinstance_, settings_.AppDir, registry_), settings_.WarnOnError);
    if (!migrated.empty()) prompts_.ShowMessage(migrated);

    // 4. The hotkey and the tray icon's messages act from here on.
    loaded_ = true;

    // 5. The tray icon comes with FinishStart, once the window is on the screen.

    // 6. Layered, with the colour key and "MainOpacity".
    SetOpacity(ReadSettingDword(registry_, "MainOpacity"));

    // 7. The skin, which rebuilds the team bar and the item panel.
    model_.ApplySkin(SkinFolder(settings_.AppDir));

    // 3. The lock picture that matches StandOnTop (its pictures exist once a
    //    skin is laid out), and the lock's tooltip, which the layout resets.
    Scene& scene = model_.GetScene();
    if (scene.Count(Part::ImgLock) >= 2) {
        scene.At(Part::ImgLock, 0).visible = !settings_.StandOnTop;
        scene.At(Part::ImgLock, 1).visible = settings_.StandOnTop;
    }
    scene.At(Part::LabLock).tooltip = settings_.StandOnTop ? kTipOnTopEnabled : kTipOnTopDisabled;

    SyncWindowSize();
    DockWindow w = WindowTwips();
    // A remembered place on a monitor that is gone comes back onto the
    // desktop; otherwise the window is centred on the primary's work area.
    DockPoint at = settings_.RememberMainPos ? OntoDesktop(desktop, w)
                                             : DockPoint{screen.left + (screen.width - w.width) / 2,
                                                         screen.top + (screen.height - w.height) / 2};
    if (at.x != w.left || at.y != w.top) MoveToTwips(at.x, at.y);
    SyncTimers();
}

std::string MainWindow::SkinFolder(const std::string& appDir) {
    std::string skin = ReadSettingString(registry_, "SkinPath");
    if (skin.empty()) skin = kDefaultSkinFolder;
    return appDir + "SKIN\\" + skin;
}

void MainWindow::ApplySettingsResult(const ApplyResult& r, bool first) {
    if (r.moveTo && first) MoveToTwips(r.moveTo->left, r.moveTo->top);
    if (r.rollTeamInterval) rollTeamMs_ = std::max(10, *r.rollTeamInterval);
    if (r.rollItemInterval) rollItemMs_ = std::max(10, *r.rollItemInterval);
    if (r.lockTooltip) model_.GetScene().At(Part::LabLock).tooltip = *r.lockTooltip;
    if (r.hideTimerEnabled) hideTimerEnabled_ = *r.hideTimerEnabled;
    if (r.unregisterHotKey && settings_.HotKeyRegistered) {
        ::UnregisterHotKey(hwnd_, kHotkeyId);
        settings_.HotKeyRegistered = false;
    }
    if (r.registerHotKey) {
        // A combination taken by another program simply does nothing.
        if (!::RegisterHotKey(hwnd_, kHotkeyId, r.registerHotKey->modifiers, r.registerHotKey->key))
            LogWin32Failure("RegisterHotKey");
        settings_.HotKeyRegistered = true;
    }
    // Intervals may have changed: restart running roll timers with the new rate.
    for (UINT_PTR id : {kTmrRollTeam, kTmrRollItem})
        if (timerOn_[id - 1]) {
            ::KillTimer(hwnd_, id);
            timerOn_[id - 1] = false;
        }
    if (!r.ok) prompts_.ShowMessage(r.message.empty() ? kMsgInitFailed : r.message);
}

void MainWindow::ReapplySettings() {
    ApplyEnvironment env;
    env.programDir = settings_.AppDir;
    ApplyResult r = ApplySettings(registry_, settings_, false, env);
    ApplySettingsResult(r, false);
    AfterModelCall();
}

void MainWindow::OnActivate(bool active) {
    // Only the z-order: the system may activate the window while it is being
    // hidden, and showing it again then would undo "minimise" and the tray.
    if (!active || !::IsWindowVisible(hwnd_)) return;
    ::SetWindowPos(hwnd_, settings_.StandOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void MainWindow::Unload() {
    if (unloaded_) return;
    unloaded_ = true;
    // 1. Position, in twips. A window tucked behind an edge is saved where it
    //    comes back to, so the next start does not open it off the screen.
    if (ReadSettingDword(registry_, "RememberMainPos") == 1) {
        DockWindow w = WindowTwips();
        DockPoint p{w.left, w.top};
        if (docker_.DockSide() != DockEdge::None) p = docker_.Undock(w, AreaTwips());
        WriteSettingDword(registry_, "mLeft", p.x);
        WriteSettingDword(registry_, "mTop", p.y);
    }
    // 2. Last team.
    if (ReadSettingDword(registry_, "RememberLastTeam") == 1)
        WriteSettingDword(registry_, "LastTeam", model_.CurrentTeam);
    // 3. Tray icon; the hotkey and tray messages stop acting with unloaded_.
    RemoveTrayIcon();
    for (UINT_PTR id = 1; id < kTimerCount; ++id)
        ::KillTimer(hwnd_, id);
    // 5. Every other window of the launcher: the popup, dialogs, the menu holder.
    CloseMessagePopup();
    CloseAllDialogs();
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND w, LPARAM self) -> BOOL {
            auto* me = reinterpret_cast<MainWindow*>(self);
            if (w == me->hwnd_ || w == me->tooltip_) return TRUE;
            // Only our own windows: dialogs and the launcher's window classes,
            // not the helper windows the system keeps on this thread (IME, COM).
            wchar_t cls[64] = {};
            ::GetClassNameW(w, cls, 64);
            if (wcscmp(cls, L"#32770") == 0 || wcsncmp(cls, L"Vantrel", 7) == 0) ::DestroyWindow(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(this));
}

void MainWindow::Exit() {
    if (hwnd_) ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
}

// ---------------------------------------------------------------------------
// Window placement

Desktop MainWindow::DesktopTwips() const {
    return DesktopInTwips(map_, DesktopMonitors());
}

DockScreen MainWindow::AreaTwips() const {
    const Desktop desktop = DesktopTwips();
    return DockAreaOf(desktop, MonitorOf(desktop, WindowTwips()));
}

DockWindow MainWindow::WindowTwips() const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    return DockWindowFromPixels(map_, r.left, r.top, r.right, r.bottom);
}

DockPoint MainWindow::CursorTwips() const {
    POINT p{};
    ::GetCursorPos(&p);
    return {Twips(p.x), Twips(p.y)};
}

void MainWindow::MoveToTwips(int left, int top) {
    ::SetWindowPos(hwnd_, nullptr, Px(left), Px(top), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::SyncWindowSize() {
    const Scene& scene = model_.GetScene();
    int w = std::max(0, Px(scene.width)), h = std::max(0, Px(scene.height));
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    if (r.right - r.left != w || r.bottom - r.top != h) {
        ::SetWindowPos(hwnd_, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void MainWindow::SetOpacity(int alpha) {
    auto a = static_cast<BYTE>(std::clamp(alpha, 0, 255));
    LONG_PTR ex = ::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    if (!(ex & WS_EX_LAYERED)) ::SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    if (!::SetLayeredWindowAttributes(hwnd_, kMainColourKey, a, LWA_COLORKEY | LWA_ALPHA))
        LogWin32Failure("SetLayeredWindowAttributes");
}

void MainWindow::ShowMain() {
    ::ShowWindow(hwnd_, SW_SHOW);
    if (auto p = BringOut(CursorTwips(), WindowTwips(), DesktopTwips(), docker_)) MoveToTwips(p->x, p->y);
    ::SetForegroundWindow(hwnd_);
}

void MainWindow::SetDpi(int dpi) {
    dpi_ = dpi;
    map_ = PixelMap(dpi);
    fonts_.clear();
    measure_.SetDpi(dpi);
    if (tooltip_) {
        tipFont_ = CreateUiFont(9, dpi);
        ::SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(tipFont_.get()), TRUE);
        ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, ::MulDiv(400, dpi, 96));
        tipElement_.reset();  // its rectangle is in the old pixels
    }
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    // Moving the window below may take it across a monitor edge again; the
    // system then sends another change, which the next move settles.
    if (inDpiChange_ || dpi == dpi_) return;
    inDpiChange_ = true;
    SetDpi(dpi);
    const Scene& scene = model_.GetScene();
    // The system's rectangle keeps the window where the user put it; its size
    // comes from the skin at the new scale, to the pixel.
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, std::max(0, Px(scene.width)),
                   std::max(0, Px(scene.height)), SWP_NOZORDER | SWP_NOACTIVATE);
    // A tucked window stays behind its edge with the same strip showing.
    if (docker_.DockSide() != DockEdge::None) {
        const DockWindow w = WindowTwips();
        const DockPoint p = docker_.Retuck(w, AreaTwips());
        if (p.x != w.left || p.y != w.top) MoveToTwips(p.x, p.y);
    }
    ReloadIcons();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    inDpiChange_ = false;
}

void MainWindow::ReloadIcons() {
    // The system picks the title bar's and Alt+Tab's sizes of the window's
    // DPI; drawn from the resource's own image of that size, not stretched.
    UniqueHicon large = LoadIconAtSize(hinstance_, 1, MetricForDpi(SM_CXICON, dpi_));
    UniqueHicon small = LoadIconAtSize(hinstance_, 1, MetricForDpi(SM_CXSMICON, dpi_));
    if (large && small) {
        ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(large.get()));
        ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
        ::SetClassLongPtrW(hwnd_, GCLP_HICON, reinterpret_cast<LONG_PTR>(large.get()));
        ::SetClassLongPtrW(hwnd_, GCLP_HICONSM, reinterpret_cast<LONG_PTR>(small.get()));
        iconLarge_ = std::move(large);
        iconSmall_ = std::move(small);
    }
    // The notification area is on the primary monitor's taskbar, at its DPI
    // (which changes with the scale of that monitor, not with our window).
    if (!trayAdded_) return;
    UniqueHicon tray = LoadIconAtSize(hinstance_, 1, MetricForDpi(SM_CXSMICON, MonitorDpi(nullptr)));
    if (!tray) return;
    NOTIFYICONDATAW change = tray_;
    change.uFlags = NIF_ICON;
    change.hIcon = tray.get();
    if (::Shell_NotifyIconW(NIM_MODIFY, &change)) {
        tray_.hIcon = tray.get();
        trayIcon_ = std::move(tray);
    }
}

void MainWindow::HideMain() {
    ::ShowWindow(hwnd_, SW_HIDE);
}

void MainWindow::ChangeSkin(const std::string& skinFolder) {
    HideMain();
    drawnFiles_.clear();
    model_.ApplySkin(skinFolder);
    SyncWindowSize();
    ::ShowWindow(hwnd_, SW_SHOW);
    AfterModelCall();
}

void MainWindow::Refresh() {
    AfterModelCall();
}

// ---------------------------------------------------------------------------
// The model's requests

void MainWindow::WireModelActions() {
    MainWindowActions& a = model_.actions;
    a.launchItem = [this](const std::string& teamFolder, int index) {
        LaunchOptions o;
        o.warnOnError = settings_.WarnOnError;
        o.warnAfterDone = settings_.WarnAfterDone;
        o.warnBeforeLaunch = settings_.WarnBeforeLaunch;
        o.minAfterLaunch = settings_.MinAfterLaunch;
        o.reorderInProgress = model_.ReorderState != 0;
        LaunchResult r = LaunchItem(teamFolder, index, o, LaunchServices{shell_, registry_, prompts_});
        if (r.hideWindow) {
            HideMain();
            model_.Chrome().Button(ChromeButton::Min).Reset();
        }
        if (r.outcome == LaunchOutcome::Started) AfterLaunch(teamFolder, index);
    };
    a.popupMenu = [this](const std::string& menu, std::optional<std::pair<int, int>> atTwips) {
        POINT p{};
        if (atTwips) {
            p = {Px(atTwips->first), Px(atTwips->second)};
            ::ClientToScreen(hwnd_, &p);
        } else {
            ::GetCursorPos(&p);
        }
        if (onPopupMenu) onPopupMenu(menu, p);
    };
    a.repaintNow = [this] {
        // Paints only: running the message queue here would let a click or a
        // close reach the window in the middle of the handler that asked.
        AfterModelCall();
        if (hwnd_) ::UpdateWindow(hwnd_);
    };
    a.setCommandsEnabled = [this](bool team, bool item) {
        if (onCommandsEnabled) onCommandsEnabled(team, item);
    };
    a.hideWindow = [this] { HideMain(); };
    a.closeWindow = [this] { Exit(); };
    a.setTopmost = [this](bool topmost) {
        ::SetWindowPos(hwnd_, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                       SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE);
    };
    a.moveWindowBy = [this](int dx, int dy) {
        RECT r{};
        ::GetWindowRect(hwnd_, &r);
        ::SetWindowPos(hwnd_, nullptr, r.left + Px(dx), r.top + Px(dy), 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    };
}

// ---------------------------------------------------------------------------
// Timers

void MainWindow::SyncTimers() {
    if (!hwnd_ || unloaded_) return;
    const bool want[kTimerCount - 1] = {
        model_.Roller().Running(RollKind::Team),
        model_.Roller().Running(RollKind::Item),
        model_.Chrome().TeamRollRunning(),
        model_.Chrome().ItemRollRunning(),
        hideTimerEnabled_,
        model_.FindLoading(),
    };
    const UINT every[kTimerCount - 1] = {
        kNameRollTimerMs, kNameRollTimerMs, static_cast<UINT>(rollTeamMs_), static_cast<UINT>(rollItemMs_),
        kDockTimerMs,     kFindLoadTimerMs};
    for (UINT_PTR id = 1; id < kTimerCount; ++id) {
        bool& on = timerOn_[id - 1];
        if (want[id - 1] && !on) on = ::SetTimer(hwnd_, id, every[id - 1], nullptr) != 0;
        if (!want[id - 1] && on) {
            ::KillTimer(hwnd_, id);
            on = false;
        }
    }
}

void MainWindow::OnTimer(UINT_PTR id) {
    switch (id) {
        case kTmrRollTextTeam:
            model_.OnNameRollTick(RollKind::Team);
            break;
        case kTmrRollTextItem:
            model_.OnNameRollTick(RollKind::Item);
            break;
        case kTmrRollTeam:
            model_.OnTeamRollTick();
            break;
        case kTmrRollItem:
            model_.OnItemRollTick();
            break;
        case kTmrFindLoad:
            model_.OnFindLoadTick();
            break;
        case kTmrDock: {
            if (!::IsWindowVisible(hwnd_)) return;
            DockWindow w = WindowTwips();
            DockPoint p = docker_.Tick(CursorTwips(), w, AreaTwips());
            if (p.x != w.left || p.y != w.top) MoveToTwips(p.x, p.y);
            return;
        }
        default:
            return;
    }
    AfterModelCall();
}

void MainWindow::AfterModelCall() {
    if (!hwnd_ || unloaded_) return;
    SyncWindowSize();
    SyncTimers();
    ::InvalidateRect(hwnd_, nullptr, FALSE);
}

// ---------------------------------------------------------------------------
// Mouse

ElementId MainWindow::HitAt(int xTwips, int yTwips) const {
    return HitTest(model_.GetScene(), xTwips, yTwips).value_or(ElementId{Part::ImgForm, 0});
}

void MainWindow::UpdateTooltip(ElementId id) {
    if (!tooltip_) return;
    const Scene& scene = model_.GetScene();
    std::string text = scene.Has(id) ? scene.At(id).tooltip : std::string();
    if (tipElement_ && *tipElement_ == id && text == tipText_) return;
    tipElement_ = id;
    tipText_ = text;
    tipBuffer_ = Widen(text);
    TTTOOLINFOW ti{};
    ti.cbSize = sizeof(ti);
    ti.hwnd = hwnd_;
    ti.uId = 1;
    if (!text.empty()) {
        PixelBox v = map_.Box(scene.VisibleRect(id));
        ti.rect = {v.left, v.top, v.right, v.bottom};
    }
    ti.lpszText = tipBuffer_.data();
    ::SendMessageW(tooltip_, TTM_POP, 0, 0);
    ::SendMessageW(tooltip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&ti));
    ::SendMessageW(tooltip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&ti));
}

void MainWindow::OnMouseMove(int x, int y, WPARAM keys) {
    if (!tracking_) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, hwnd_, 0};
        tracking_ = ::TrackMouseEvent(&tme) != FALSE;
    }
    int tx = map_.TwipAt(x), ty = map_.TwipAt(y);
    MouseButtons b;
    b.left = (keys & MK_LBUTTON) != 0;
    b.right = (keys & MK_RBUTTON) != 0;
    b.middle = (keys & MK_MBUTTON) != 0;
    ElementId under = HitAt(tx, ty);
    bool pressed = router_.Captured().has_value();
    Dispatch(model_, router_.Move(under, tx, ty, b));
    if (!pressed) UpdateTooltip(under);
    AfterModelCall();
}

void MainWindow::OnButtonDown(MouseButton button, int x, int y, bool doubleClick) {
    int tx = map_.TwipAt(x), ty = map_.TwipAt(y);
    auto events = router_.Down(HitAt(tx, ty), button, tx, ty, doubleClick);
    if (events.empty()) return;
    ::SetCapture(hwnd_);
    Dispatch(model_, events);
    AfterModelCall();
}

void MainWindow::OnButtonUp(MouseButton button, int x, int y) {
    int tx = map_.TwipAt(x), ty = map_.TwipAt(y);
    auto events = router_.Up(HitAt(tx, ty), button, tx, ty);
    if (events.empty()) return;
    if (::GetCapture() == hwnd_) ::ReleaseCapture();
    Dispatch(model_, events);
    // Released outside the window: the leave was swallowed while the press
    // held the mouse, and no further move will come to clear the hover looks.
    RECT client{};
    POINT at{x, y};
    if (hwnd_ && !unloaded_ && ::GetClientRect(hwnd_, &client) && !::PtInRect(&client, at)) {
        tracking_ = false;
        Dispatch(model_, router_.Leave());
    }
    AfterModelCall();
}

void MainWindow::OnMouseLeave() {
    tracking_ = false;
    auto events = router_.Leave();
    if (events.empty()) return;
    Dispatch(model_, events);
    tipElement_.reset();
    AfterModelCall();
}

void MainWindow::OnDropFiles(HDROP drop) {
    std::vector<std::string> files;
    UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        UINT len = ::DragQueryFileW(drop, i, nullptr, 0);
        std::wstring name(len + 1, L'\0');
        ::DragQueryFileW(drop, i, name.data(), len + 1);
        name.resize(len);
        files.push_back(Narrow(name));
    }
    POINT at{};
    ::DragQueryPoint(drop, &at);
    ::DragFinish(drop);
    if (!files.empty()) {
        AddDroppedFiles(*this, files, HitAt(map_.TwipAt(at.x), map_.TwipAt(at.y)));
        AfterModelCall();
    }
}

// ---------------------------------------------------------------------------
// Messages

LRESULT MainWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (HandleTrayMessage(msg, lp)) return 0;
    if (tooltip_ && (msg == WM_MOUSEMOVE || msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_RBUTTONDOWN ||
                     msg == WM_RBUTTONUP || msg == WM_MBUTTONDOWN || msg == WM_MBUTTONUP)) {
        MSG m{hwnd_, msg, wp, lp, 0, {}};
        ::SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&m));
    }
    if (LRESULT keyResult = 0; HandleKeyMessage(msg, wp, lp, keyResult)) return keyResult;
    int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wp) != WA_INACTIVE);
            return 0;
        case WM_MOUSEMOVE:
            OnMouseMove(x, y, wp);
            return 0;
        case WM_MOUSELEAVE:
            OnMouseLeave();
            return 0;
        case WM_LBUTTONDOWN:
            OnButtonDown(MouseButton::Left, x, y, false);
            return 0;
        case WM_LBUTTONDBLCLK:
            OnButtonDown(MouseButton::Left, x, y, true);
            return 0;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            OnButtonDown(MouseButton::Right, x, y, false);
            return 0;
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            OnButtonDown(MouseButton::Middle, x, y, false);
            return 0;
        case WM_LBUTTONUP:
            OnButtonUp(MouseButton::Left, x, y);
            return 0;
        case WM_RBUTTONUP:
            OnButtonUp(MouseButton::Right, x, y);
            return 0;
        case WM_MBUTTONUP:
            OnButtonUp(MouseButton::Middle, x, y);
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lp) != hwnd_) router_.CaptureLost();  // a menu or another window took it
            return 0;
        case WM_TIMER:
            OnTimer(static_cast<UINT_PTR>(wp));
            return 0;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wp));
            return 0;
        case WM_COMMAND:
            if (lp == 0 && onCommand && onCommand(LOWORD(wp), HIWORD(wp) == 1)) return 0;
            break;
        case WM_CLOSE:
            Unload();
            ::DestroyWindow(hwnd_);
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wp) Unload();
            return 0;
        case WM_DESTROY:
            Unload();
            ::PostQuitMessage(0);
            return 0;
        case WM_NCHITTEST:
            return HTCLIENT;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK MainWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    MainWindow* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->tooltip_ = nullptr;
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    return GuardProc(
        ProcKind::Window, "main window", hwnd, msg, wp, [&] { return self->HandleMessage(msg, wp, lp); },
        [&] { return ::DefWindowProcW(hwnd, msg, wp, lp); });
}

}  // namespace vt
