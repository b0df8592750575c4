// What the team editor, the settings dialog and the skin chooser share: a
// modeless dialog built from an in-memory template, control helpers, and the
// per-dialog hooks the family's PreTranslate/Close entry points call.
#pragma once

#include <windows.h>

#include <string>

#include "platform/win32/dialog_template.h"

namespace vt {

class MainWindow;

// A modeless dialog. The object outlives its window: closing destroys the
// window only, and the owner drops the object when it opens the next one, so
// a handler that closes its own dialog never runs on a deleted object.
class ModelessDialog {
public:
    virtual ~ModelessDialog();
    ModelessDialog(const ModelessDialog&) = delete;
    ModelessDialog& operator=(const ModelessDialog&) = delete;

    HWND Hwnd() const { return hwnd_; }
    bool IsOpen() const { return hwnd_ != nullptr; }
    // Destroys the window (nothing is written).
    void Close();
    // Keyboard navigation for this dialog; true when msg was consumed.
    bool PreTranslate(MSG& msg);

protected:
    explicit ModelessDialog(MainWindow& main) : main_(main) {}
    // Creates the window from the template, owned by the main window, runs
    // OnInit and shows it. False when the window could not be created.
    bool Create(const DialogTemplate& t);
    virtual void OnInit() = 0;
    // Return true when the message was handled.
    virtual bool OnCommand(WORD id, WORD code, HWND control) = 0;
    virtual bool OnOtherMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result);

    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
    std::string Text(int id) const;
    void SetText(int id, const std::string& text);
    bool Checked(int id) const;
    void SetChecked(int id, bool on);

    MainWindow& main_;
    HWND hwnd_ = nullptr;

private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
};

// Topmost or not, as "StandOnTop" says, each time a dialog is activated.
void PlaceDialogOnTop(HWND dialog, bool onTop);

// Window style of the family's dialogs.
inline constexpr DWORD kTeamDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;

// The small vertical arrow pair beside a number box: the step a scroll
// notification asks for (up raises the value), 0 for a drag or an end.
int ArrowStep(WORD scrollCode);
// Gives such an arrow pair a range with room on both sides, so neither arrow
// is ever greyed: the value lives in the box, not in the bar.
void PrepareArrows(HWND scrollBar);

bool PreTranslateSettingsDialog(MSG& msg);
void CloseSettingsDialog();
bool PreTranslateSkinChooser(MSG& msg);
void CloseSkinChooser();

}  // namespace vt
