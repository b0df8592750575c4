// What every launcher dialog shares: the dialog procedure and its hooks,
// creation (modeless or modal), OK/Cancel routing, the control helpers, the
// layout of controls made at run time, and the one-open-at-a-time slot.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <span>
#include <string>
#include <utility>

#include "platform/win32/dialog_template.h"
#include "platform/win32/unique_handle.h"

namespace vt {

class DialogHost;

// A launcher dialog. The object outlives its window: closing destroys the
// window only, and the owner drops the object when it opens the next one, so
// a handler that closes its own dialog never runs on a deleted object.
class LauncherDialog {
public:
    virtual ~LauncherDialog();
    LauncherDialog(const LauncherDialog&) = delete;
    LauncherDialog& operator=(const LauncherDialog&) = delete;

    HWND Hwnd() const { return hwnd_; }
    bool IsOpen() const { return hwnd_ != nullptr; }
    // Destroys a modeless window, ends a modal one with IDCANCEL (nothing is
    // written either way).
    void Close();
    // Keyboard navigation for this dialog; true when msg was consumed.
    bool PreTranslate(MSG& msg);

protected:
    explicit LauncherDialog(DialogHost& main) : main_(main) {}
    // Modeless, owned by the main window: creates the window from the
    // template, runs OnInit, shows it in front. False when no window came.
    bool Create(const DialogTemplate& t);
    // Modeless, owned by owner, left hidden for the caller to fill and place.
    bool CreateHidden(const DialogTemplate& t, HWND owner);
    // Modal over owner: what EndModal was given (Close gives IDCANCEL).
    INT_PTR RunModal(const DialogTemplate& t, HWND owner);
    void EndModal(INT_PTR result) { ::EndDialog(hwnd_, result); }
    void ShowInFront();

    virtual void OnInit() = 0;
    // The OK and Cancel buttons (any notification); Enter and Esc come here too.
    virtual void OnOk() { Close(); }
    virtual void OnCancel() { Close(); }
    // Every other WM_COMMAND; return true when it was handled.
    virtual bool OnCommand(WORD id, WORD code, HWND control) = 0;
    virtual bool OnOtherMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result);
    // After the controls followed a change of DPI: what a dialog made for
    // the old one itself (icons, fonts of its own) is made again.
    virtual void OnDpiChanged() {}

    HWND Item(int id) const { return ::GetDlgItem(hwnd_, id); }
    std::string Text(int id) const;
    void SetText(int id, const std::string& text);
    // Leaves the control (and its caret) alone when it already shows text.
    void SetTextIfChanged(int id, const std::string& text);
    bool Checked(int id) const;
    void SetChecked(int id, bool on);
    // Fills a combo box (CB_ADDSTRING) or a list box (LB_ADDSTRING).
    static void AddCaptions(HWND box, UINT addMessage, std::span<const char* const> captions);

    // Dialogs that lay their controls out at run time, in 96-dpi pixels and
    // the UI font at 9 points. StartPixelLayout comes first.
    void StartPixelLayout();
    int S(int px) const { return ::MulDiv(px, dpi_, 96); }
    HWND AddControl(const wchar_t* cls, int id, const std::string& text, int x, int y, int w, int h, DWORD style,
                    DWORD exStyle = 0);
    // A label beside a field whose top is at y, a one-line text box, and a
    // drop-down list; all 22 pixels high on screen.
    HWND AddLabel(const std::string& text, int x, int y, int w);
    HWND AddEdit(int id, int x, int y, int w, DWORD style = 0);
    HWND AddDropList(int id, int x, int y, int w);
    // A tooltip window for this dialog's controls (after StartPixelLayout).
    HWND AddTooltip();
    // The window rectangle (at 0, 0) around a client area of this many device pixels.
    RECT FrameAround(int clientW, int clientH) const;

    DialogHost& main_;
    HWND hwnd_ = nullptr;
    int dpi_ = 96;

private:
    static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;

    // The dialog moved to a monitor of another DPI: fonts for it, every
    // control placed and sized in proportion, the window where the system
    // suggests.
    void FollowDpi(int dpi, const RECT& suggested);

    UniqueHfont font_;
    UniqueHfont dialogFont_;  // the template's font made again for another DPI
    HWND tooltip_ = nullptr;
    // Each control's rectangle in the client area, and the DPI it was for.
    std::map<HWND, std::pair<RECT, int>> firstPlaces_;
    bool modal_ = false;
};

// Topmost or not, as "StandOnTop" says, each time a dialog is activated.
void PlaceDialogOnTop(HWND dialog, bool onTop);

// The one dialog of a kind. Opening drops the previous object (its window
// goes with it) and keeps the new one only when its window could be made.
template <class D>
class DialogSlot {
public:
    template <class Open>
    D* OpenFresh(DialogHost& main, Open&& open) {
        dialog_.reset();
        auto dialog = std::make_unique<D>(main);
        if (!std::forward<Open>(open)(*dialog)) return nullptr;
        dialog_ = std::move(dialog);
        return dialog_.get();
    }
    // The dialog while its window is open, else null.
    D* Open() const { return dialog_ && dialog_->IsOpen() ? dialog_.get() : nullptr; }
    // The object, its window open or not (null before the first opening).
    D* Object() const { return dialog_.get(); }
    bool PreTranslate(MSG& msg) const { return dialog_ && dialog_->PreTranslate(msg); }
    void Reset() { dialog_.reset(); }
    // For an object still in use further down the stack: the slot forgets it
    // without deleting it.
    void Abandon() { (void)dialog_.release(); }

private:
    std::unique_ptr<D> dialog_;
};

}  // namespace vt
