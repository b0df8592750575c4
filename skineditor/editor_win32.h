// The skin editor's windows: the main window with its property pages, the
// canvas that paints the mock-up, the standard dialogs and the About box.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "common/twips.h"
#include "platform/win32/pictures_win32.h"
#include "platform/win32/text_measure_win32.h"
#include "platform/win32/unique_handle.h"
#include "skineditor/canvas_scroll.h"
#include "skineditor/editor_model.h"

namespace vt {

// ---- standard dialogs (editor_dialogs_win32.cpp) --------------------------
// Empty text when cancelled. `filter` is one description/pattern pair.
std::string ShowOpenFileDialog(HWND owner, const std::string& title, const std::string& filterDescription,
                               const std::string& filterPattern);
std::string ShowSaveFileDialog(HWND owner, const std::string& title, const std::string& filterDescription,
                               const std::string& filterPattern);
std::string BrowseForFolder(HWND owner, const std::string& prompt);
// Opens with black selected and 16 black custom colours every time.
int ShowColorDialog(HWND owner, int cancelValue);
void ShowAboutForm(HINSTANCE instance, HWND owner);
// Folder of the running program, with a trailing backslash.
std::string ProgramFolder();

// ---- canvas (canvas_win32.cpp, painting in canvas_paint_win32.cpp) --------
class Canvas {
public:
    Canvas(EditorModel& model, PicturesWin32& pictures, TextMeasureWin32& measure);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    bool Create(HINSTANCE instance, HWND parent, int x, int y, int w, int h, int id);
    HWND Hwnd() const { return hwnd_; }
    // Repaints, and fits the scroll bars to the mock-up's current size.
    void Refresh();
    const ScrollLayout& Scroll() const { return scroll_; }
    // Draws for another DPI from now on (the model maps at it already).
    void SetDpi(int dpi);

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnPaint();
    void OnMouseDown(int x, int y);
    void OnMouseMove(int x, int y, WPARAM buttons);
    bool OnSetCursor();
    void UpdateScrollBars();
    void OnScroll(int bar, WPARAM wp);
    void OnWheel(int bar, int delta);
    void ScrollToPos(int x, int y);

    void EndDrag();

    // Element under a pixel of the view, topmost first.
    std::optional<El> HitTest(int x, int y) const;
    // Pixels of the view covering a rectangle of the mock-up.
    RECT View(const MockRect& r) const;
    int Px(double twips) const;

    void Paint(HDC dc, const RECT& client);
    // Dims whatever lies outside the mock-up window: the launcher will not show it.
    void VeilOutside(HDC dc, const RECT& client, const RECT& window);
    void PaintElement(HDC dc, El e, const MockRect& r);
    void PaintPicture(HDC dc, El e, const MockRect& r);
    void DrawStandIn(HDC dc, El e, const RECT& rc);
    void DrawPicture(HDC dc, const std::string& file, double leftTwips, double topTwips);
    void PaintLabel(HDC dc, El e, const MockRect& r);
    HFONT Font(int points);

    EditorModel& model_;
    PicturesWin32& pictures_;
    TextMeasureWin32& measure_;
    HWND hwnd_ = nullptr;
    std::optional<El> pressed_;  // element the press started on
    std::map<int, UniqueHfont> fonts_;
    // Stand-ins drawn at the size they are shown, by kind, state, width, height.
    std::map<std::tuple<int, int, int, int>, UniqueHbitmap> standIns_;
    int dpi_ = 96;
    ScrollLayout scroll_;
    PixelArea area_;             // mock-up pixels the view scrolls over
    bool updatingBars_ = false;  // showing a bar resizes the client and re-enters
};

// ---- main window (main_form_win32.cpp) ------------------------------------
class MainForm {
public:
    // `onClosed(replaced)` runs when the window is gone; replaced is true when
    // New is putting a fresh window in its place.
    MainForm(HINSTANCE instance, std::function<void(bool)> onClosed, std::function<void()> onNew);
    ~MainForm();
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    bool Create();
    HWND Hwnd() const { return hwnd_; }
    // Closes the window without asking; `replaced` is passed to onClosed.
    void Close(bool replaced);
    bool PreTranslate(MSG& msg);

    // The slot whose value box has the given control id, or -1.
    static int SlotOfControl(int id);
    EditorModel& Model() { return model_; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    static LRESULT CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref) noexcept;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    void OnCreate();
    // Makes the controls, or moves them and gives them the font when the
    // DPI changed.
    void Layout();
    HWND Place(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int x, int y, int w, int h,
               int id, DWORD ex = 0);
    // The window moved to a monitor of another DPI (or the scale changed).
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnCommand(int id, int code, HWND control);
    LRESULT OnCtlColor(HDC dc, HWND control);
    LRESULT OnCtlColorEdit(HDC dc, HWND control);  // 0: the default colours
    static LRESULT CALLBACK CanvasWatch(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR ref) noexcept;
    // Title with the unsaved-work mark; whether unsaved work may go (asked).
    void UpdateTitle();
    bool MayDiscard();
    // Returns the height in twips the tallest page needs.
    int CreatePages();
    // Tooltips with the full path of each picture box.
    void CreatePictureTips();
    void OnTipText(NMTTDISPINFOW* info);
    void PaintPictureBox(HWND edit, int slot);
    // Twips a text takes in the dialog font, and the width a value box needs
    // to show any colour number whole.
    int TextWidth(const std::string& text) const;
    int ColourBoxWidth();
    void ShowPage(int n);
    void ApplySlot(int slot);
    void Choose(int slot);
    void SyncBoxesFromModel();
    void SyncChecksFromModel();
    void OnNew();
    void OnOpen();
    void OnSave();
    void OnSaveAs();
    void OnMake();
    void OnHelp();

    HWND Control(int id) const { return ::GetDlgItem(pageOf_.count(id) ? pageOf_.at(id) : hwnd_, id); }
    int Px(int twips) const { return TwipsToPixels(twips, dpi_); }

    HINSTANCE instance_;
    std::function<void(bool)> onClosed_;
    std::function<void()> onNew_;
    PicturesWin32 pictures_;
    TextMeasureWin32 measure_;
    int dpi_;
    EditorModel model_;
    Canvas canvas_;
    HWND hwnd_ = nullptr;
    HWND pages_[6] = {};
    std::map<int, HWND> pageOf_;  // control id -> page window holding it
    std::vector<HWND> laidOut_;   // in the order Layout makes them
    size_t layoutStep_ = 0;
    UniqueHfont font_;
    UniqueHbrush pageBrush_;
    UniqueHbrush missingBrush_;
    bool replaced_ = false;
    bool syncing_ = false;     // boxes being filled from the model
    int clientHeight_ = 7335;  // twips, grown to the pages in OnCreate
    HWND tips_ = nullptr;
    std::wstring tipText_;  // the tooltip shown, kept while it is
};

}  // namespace vt
