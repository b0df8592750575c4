#include "skineditor/editor_win32.h"  // <windows.h> first

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <vector>

#include "common/twips.h"
#include "platform/win32/guarded_proc.h"
#include "platform/win32/win_text.h"
#include "skineditor/editor_project.h"
#include "skineditor/skin_builder.h"
#include "skineditor/stand_in.h"

namespace vt {

namespace {

constexpr wchar_t kMainClass[] = L"VTSkinEditorMain";
constexpr wchar_t kPageClass[] = L"VTSkinEditorPage";

// Control ids.
constexpr int kIdOptMenu = 100;   // + page
constexpr int kIdTxtCon = 200;    // + slot
constexpr int kIdChoose = 300;    // + slot
constexpr int kIdChkFrame = 400;  // + 0..1
constexpr int kIdChkLock = 410;   // + 0..3
constexpr int kIdCmdNew = 500, kIdCmdOpen = 501, kIdCmdSave = 502, kIdCmdMake = 503, kIdCmdAbout = 504,
              kIdCmdHelp = 505, kIdCmdExit = 506, kIdCmdSaveAs = 507;
constexpr int kIdCanvas = 600;

// What an empty picture box says: the mock-up and a build use a stand-in.
constexpr std::string_view kStandInBoxText = "(替代图片)";

// Twips.
constexpr int kClientWidth = 10575, kClientHeight = 7335;
constexpr int kPageLeft = 480, kPageTop = 120, kPageWidth = 2655, kPageHeight = 6615;
// The page buttons stand 720 twips apart, left of the pages at 480: a little
// smaller than that, so they touch neither each other nor a page at any scale.
constexpr int kPageButtonWidth = 345, kPageButtonHeight = 705;
// Between the lines of the states of one group.
constexpr int kStackGap = 30;
constexpr int kRowLeft = 120, kRowWidth = 2415, kLabelHeight = 240, kBoxHeight = 270, kChooserSize = 255;

struct BottomButton {
    int id;
    const char* caption;
    int left;
};
// The project commands moved one place left to make room for Save As
// beside Save; the others stay where they always were.
constexpr BottomButton kBottomButtons[] = {
    {kIdCmdNew, "新建(&N)", 1560},  {kIdCmdOpen, "打开(&O)", 2640}, {kIdCmdSave, "保存(&S)", 3720},
    {kIdCmdSaveAs, "另存为", 4800}, {kIdCmdMake, "生成(&M)", 5880}, {kIdCmdAbout, "关于(&A)", 7320},
    {kIdCmdHelp, "帮助(&H)", 8400}, {kIdCmdExit, "退出(&E)", 9480},
};

// A page's groups: consecutive slots sharing a caption.
struct Group {
    std::string_view label;
    std::vector<const SlotInfo*> slots;
};

std::vector<Group> GroupsOf(int page) {
    std::vector<Group> out;
    for (const auto& s : kSlots) {
        if (s.page != page) continue;
        if (out.empty() || out.back().label != s.label || out.back().slots.front()->page != page)
            out.push_back({s.label, {}});
        out.back().slots.push_back(&s);
    }
    return out;
}

// Short single values, and a lone colour, share a row on the crowded team and
// item pages.
bool SharesRow(const Group& g) {
    const SlotKind k = g.slots.front()->kind;
    return g.slots.size() == 1 &&
           (k == SlotKind::Points || k == SlotKind::Twips || k == SlotKind::Count || k == SlotKind::Colour);
}

// Colours and pictures of several states are too long to stand side by side
// in a page's width (a picture box must show a file name): each gets a line
// of its own, headed by its state.
bool Stacked(const Group& g) {
    const SlotKind k = g.slots.front()->kind;
    return g.slots.size() > 1 && (k == SlotKind::Colour || k == SlotKind::Picture);
}

bool IsPictureSlot(int slot) {
    const SlotInfo* s = FindSlot(slot);
    return s && s->kind == SlotKind::Picture;
}

// The file name of a path, which is what tells pictures apart.
std::string FileNameOf(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

class YesNoUi : public ProjectUi {
public:
    explicit YesNoUi(HWND owner) : owner_(owner) {}
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        return Box(text, caption, MB_YESNO | MB_ICONQUESTION) == IDYES;
    }
    bool ConfirmRisk(const std::string& text, const std::string& caption) override {
        return Box(text, caption, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
    }
    Answer AskYesNoCancel(const std::string& text, const std::string& caption) override {
        switch (Box(text, caption, MB_YESNOCANCEL | MB_ICONQUESTION)) {
            case IDYES:
                return Answer::Yes;
            case IDNO:
                return Answer::No;
            default:
                return Answer::Cancel;
        }
    }
    std::string AskOpenPath() override {
        return ShowOpenFileDialog(owner_, std::string(kOpenDialogTitle), "*.vse", "*.vse");
    }
    std::string AskSavePath() override {
        return ShowSaveFileDialog(owner_, std::string(kSaveDialogTitle), "*.vse", "*.vse");
    }
    std::string AskSaveAsPath() override {
        return ShowSaveFileDialog(owner_, std::string(kSaveAsDialogTitle), "*.vse", "*.vse");
    }
    void ShowError(const std::string& text) override { Box(text, "VTSkinEditor", MB_OK); }
    void ShowWarning(const std::string& text) override { Box(text, "VTSkinEditor", MB_OK | MB_ICONWARNING); }

private:
    int Box(const std::string& text, const std::string& caption, UINT type) {
        return ::MessageBoxW(owner_, Widen(text).c_str(), Widen(caption).c_str(), type);
    }
    HWND owner_;
};

}  // namespace

MainForm::MainForm(HINSTANCE instance, std::function<void(bool)> onClosed, std::function<void()> onNew)
    : instance_(instance),
      onClosed_(std::move(onClosed)),
      onNew_(std::move(onNew)),
      dpi_(ScreenDpi()),
      model_(pictures_, measure_, ScreenDpi()),
      canvas_(model_, pictures_, measure_) {}

MainForm::~MainForm() {
    if (hwnd_) {
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd_);
    }
}

int MainForm::SlotOfControl(int id) {
    const int slot = id - kIdTxtCon;
    return IsSlot(slot) ? slot : -1;
}

bool MainForm::Create() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExW(instance_, kMainClass, &wc)) {
        wc.lpfnWndProc = Proc;
        wc.hInstance = instance_;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(1));
        wc.hIconSm = wc.hIcon;
        wc.lpszClassName = kMainClass;
        if (!::RegisterClassExW(&wc)) return false;
        WNDCLASSEXW pc{};
        pc.cbSize = sizeof pc;
        pc.lpfnWndProc = PageProc;
        pc.hInstance = instance_;
        pc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        pc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        pc.lpszClassName = kPageClass;
        if (!::RegisterClassExW(&pc)) return false;
    }
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    hwnd_ = ::CreateWindowExW(WS_EX_CONTROLPARENT, kMainClass, Widen(model_.windowTitle).c_str(), style, 0, 0,
                              Px(kClientWidth), Px(kClientHeight), nullptr, nullptr, instance_, this);
    if (!hwnd_) return false;
    // The pages decide the height (their rows are laid out in the dialog
    // font, see CreatePages); the window is sized and centred after them.
    RECT rc{0, 0, Px(kClientWidth), Px(clientHeight_)};
    ::AdjustWindowRectEx(&rc, style, FALSE, WS_EX_CONTROLPARENT);
    const int w = rc.right - rc.left, h = rc.bottom - rc.top;
    RECT work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const int x = work.left + std::max(0L, (work.right - work.left - w) / 2);
    const int y = work.top + std::max(0L, (work.bottom - work.top - h) / 2);
    ::SetWindowPos(hwnd_, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(hwnd_, SW_SHOW);
    ::UpdateWindow(hwnd_);
    return true;
}

void MainForm::Close(bool replaced) {
    replaced_ = replaced;
    if (hwnd_) ::DestroyWindow(hwnd_);
}

bool MainForm::PreTranslate(MSG& msg) {
    if (!hwnd_) return false;
    // The dialog manager treats a plain letter typed outside a value box as a
    // button's mnemonic, so a stray "m" would build a package. Mnemonics are
    // Alt+letter here (WM_SYSCHAR, still handled below); plain characters go
    // to the control that has the focus.
    if (msg.message == WM_CHAR && msg.wParam >= 0x20) return false;
    if (msg.message == WM_KEYDOWN && msg.wParam == 'S' && (::GetKeyState(VK_CONTROL) & 0x8000) &&
        (::GetKeyState(VK_SHIFT) & 0x8000) && (msg.hwnd == hwnd_ || ::IsChild(hwnd_, msg.hwnd))) {
        OnSaveAs();
        return true;
    }
    return ::IsDialogMessageW(hwnd_, &msg);
}

// A failing step is logged and skipped; the window stays.
LRESULT CALLBACK MainForm::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    if (msg == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
        static_cast<MainForm*>(cs->lpCreateParams)->hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<MainForm*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, msg, wp, lp);
    return GuardProc(
        ProcKind::Window, "editor window", hwnd, msg, wp, [&] { return self->HandleMessage(msg, wp, lp); },
        [&] { return ::DefWindowProcW(hwnd, msg, wp, lp); });
}

namespace {

// Pages only hold controls; their notifications belong to the main window.
LRESULT PageMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_COMMAND:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            return ::SendMessageW(::GetParent(hwnd), msg, wp, lp);
        case WM_PAINT: {
            // The page frame with its caption in the top border.
            PaintDc dc(hwnd);
            RECT rc;
            ::GetClientRect(hwnd, &rc);
            HFONT font = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
            SelectRestorer f(dc.get(), font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
            TEXTMETRICW tm{};
            ::GetTextMetricsW(dc.get(), &tm);
            RECT frame = rc;
            frame.top += tm.tmHeight / 2;
            ::DrawEdge(dc.get(), &frame, EDGE_ETCHED, BF_RECT);
            wchar_t caption[64] = {};
            ::GetWindowTextW(hwnd, caption, 64);
            ::SetBkColor(dc.get(), ::GetSysColor(COLOR_BTNFACE));
            ::SetTextColor(dc.get(), ::GetSysColor(COLOR_BTNTEXT));
            ::SetBkMode(dc.get(), OPAQUE);
            std::wstring text = std::wstring(L" ") + caption + L" ";
            ::TextOutW(dc.get(), 6, 0, text.c_str(), static_cast<int>(text.size()));
            return 0;
        }
        case WM_SETFONT:
            ::SetPropW(hwnd, L"VTFont", reinterpret_cast<HANDLE>(wp));
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(::GetPropW(hwnd, L"VTFont"));
        case WM_NCDESTROY:
            ::RemovePropW(hwnd, L"VTFont");
            break;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

LRESULT CALLBACK MainForm::PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    return GuardProc(
        ProcKind::Window, "editor page", hwnd, msg, wp, [&] { return PageMessage(hwnd, msg, wp, lp); },
        [&] { return ::DefWindowProcW(hwnd, msg, wp, lp); });
}

LRESULT CALLBACK MainForm::EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) noexcept {
    auto* self = reinterpret_cast<MainForm*>(ref);
    if (msg == WM_GETDLGCODE && lp) {
        auto* m = reinterpret_cast<MSG*>(lp);
        if (m->message == WM_KEYDOWN && m->wParam == VK_RETURN) return DLGC_WANTMESSAGE | DLGC_HASSETSEL;
    }
    if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, EditProc, 1);
    const int slot = SlotOfControl(::GetDlgCtrlID(hwnd));
    if (IsPictureSlot(slot)) {
        // The box shows the file's name (and the picture) unless it is being
        // typed into; then it is an ordinary text box with the full path.
        if (msg == WM_PAINT && ::GetFocus() != hwnd) {
            try {
                self->PaintPictureBox(hwnd, slot);
            } catch (...) {
            }
            return 0;
        }
        if (msg == WM_SETFOCUS || msg == WM_KILLFOCUS || msg == WM_SETTEXT) {
            LRESULT r = ::DefSubclassProc(hwnd, msg, wp, lp);
            ::InvalidateRect(hwnd, nullptr, TRUE);
            return r;
        }
    }
    if (msg == WM_CHAR && wp == '\r') {
        return GuardProc(
            ProcKind::Window, "editor value box", hwnd, msg, wp,
            [&] {
                self->ApplySlot(SlotOfControl(::GetDlgCtrlID(hwnd)));
                return LRESULT{0};  // no beep
            },
            [] { return LRESULT{0}; });
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

LRESULT MainForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wp), *reinterpret_cast<const RECT*>(lp));
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
            return 0;
        case WM_CTLCOLORSTATIC:
            return OnCtlColor(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
        case WM_CTLCOLOREDIT:
            if (LRESULT brush = OnCtlColorEdit(reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp))) return brush;
            break;
        case WM_NOTIFY: {
            auto* hdr = reinterpret_cast<NMHDR*>(lp);
            if (hdr->hwndFrom == tips_ && hdr->code == TTN_GETDISPINFOW)
                OnTipText(reinterpret_cast<NMTTDISPINFOW*>(lp));
            return 0;
        }
        case WM_CLOSE:
            if (MayDiscard()) Close(false);
            return 0;
        case WM_QUERYENDSESSION:  // Windows is shutting down: the same question
            return MayDiscard() ? TRUE : FALSE;
        case WM_DESTROY: {
            hwnd_ = nullptr;
            auto closed = onClosed_;
            bool replaced = replaced_;
            if (closed) closed(replaced);
            return 0;
        }
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT MainForm::OnCtlColor(HDC dc, HWND control) {
    (void)control;
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
}

// A picture kept although its file is gone stands out in dark red on pink
// until it is chosen again.
LRESULT MainForm::OnCtlColorEdit(HDC dc, HWND control) {
    if (!model_.IsMissing(SlotOfControl(::GetDlgCtrlID(control)))) return 0;
    constexpr COLORREF kMissingBack = RGB(255, 226, 226);
    if (!missingBrush_) missingBrush_.reset(::CreateSolidBrush(kMissingBack));
    ::SetTextColor(dc, RGB(176, 0, 0));
    ::SetBkColor(dc, kMissingBack);
    return reinterpret_cast<LRESULT>(missingBrush_.get());
}

// Drags end on the canvas; the title then says whether there is unsaved work.
LRESULT CALLBACK MainForm::CanvasWatch(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) noexcept {
    if (msg == WM_NCDESTROY) ::RemoveWindowSubclass(hwnd, CanvasWatch, 2);
    const LRESULT r = ::DefSubclassProc(hwnd, msg, wp, lp);
    if (msg == WM_LBUTTONUP || msg == WM_CAPTURECHANGED) {
        try {
            reinterpret_cast<MainForm*>(ref)->UpdateTitle();
        } catch (...) {
        }
    }
    return r;
}

void MainForm::UpdateTitle() {
    if (!hwnd_) return;
    const std::wstring want = Widen(TitleText(model_));
    wchar_t now[512] = {};
    ::GetWindowTextW(hwnd_, now, 512);
    if (want != now) ::SetWindowTextW(hwnd_, want.c_str());
}

bool MainForm::MayDiscard() {
    YesNoUi ui(hwnd_);
    const bool ok = ConfirmDiscard(model_, ui);
    UpdateTitle();
    return ok;
}

HWND MainForm::Place(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int x, int y, int w, int h,
                     int id, DWORD ex) {
    // A later layout (another DPI) makes the same controls in the same
    // order: the n-th one asked for is the n-th one made the first time.
    if (layoutStep_ < laidOut_.size()) {
        HWND c = laidOut_[layoutStep_++];
        ::SetWindowPos(c, nullptr, Px(x), Px(y), Px(w), Px(h), SWP_NOZORDER | SWP_NOACTIVATE);
        ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
        return c;
    }
    HWND c = ::CreateWindowExW(ex, cls, Widen(text).c_str(), WS_CHILD | style, Px(x), Px(y), Px(w), Px(h), parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    if (parent != hwnd_ && id) pageOf_[id] = parent;
    laidOut_.push_back(c);
    ++layoutStep_;
    return c;
}

void MainForm::Layout() {
    layoutStep_ = 0;
    const int tops[6] = {240, 960, 1680, 2400, 3120, 3840};
    for (int n = 0; n < kPageCount; ++n)
        Place(hwnd_, L"BUTTON", std::string(kPageButtonCaptions[static_cast<size_t>(n)]),
              WS_VISIBLE | BS_AUTORADIOBUTTON | BS_PUSHLIKE | BS_MULTILINE | WS_TABSTOP | (n == 0 ? WS_GROUP : 0), 120,
              tops[n], kPageButtonWidth, kPageButtonHeight, kIdOptMenu + n);
    for (int n = 0; n < kPageCount; ++n) {
        if (!pages_[n])
            pages_[n] = ::CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass,
                                          Widen(kPageFrameCaptions[static_cast<size_t>(n)]).c_str(),
                                          WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, Px(kPageLeft), Px(kPageTop),
                                          Px(kPageWidth), Px(kPageHeight), hwnd_, nullptr, instance_, nullptr);
        ::SendMessageW(pages_[n], WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    // Rows are measured in the font of this DPI, so the page height is too.
    const int pageHeight = std::max(kPageHeight, CreatePages());
    for (HWND page : pages_) {
        ::SetWindowPos(page, nullptr, Px(kPageLeft), Px(kPageTop), Px(kPageWidth), Px(pageHeight),
                       SWP_NOZORDER | SWP_NOACTIVATE);
        ::InvalidateRect(page, nullptr, TRUE);
    }
    const int buttonTop = kPageTop + pageHeight + 105;
    clientHeight_ = buttonTop + 375 + 120;

    for (const auto& b : kBottomButtons)
        Place(hwnd_, L"BUTTON", b.caption, WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, b.left, buttonTop, 975, 375, b.id);
    if (!canvas_.Hwnd()) {
        canvas_.Create(instance_, hwnd_, Px(3240), Px(kPageTop), Px(7215), Px(pageHeight), kIdCanvas);
    } else {
        canvas_.SetDpi(dpi_);
        ::SetWindowPos(canvas_.Hwnd(), nullptr, Px(3240), Px(kPageTop), Px(7215), Px(pageHeight),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void MainForm::OnCreate() {
    font_ = CreateUiFont(9, dpi_);
    Layout();
    if (canvas_.Hwnd()) ::SetWindowSubclass(canvas_.Hwnd(), CanvasWatch, 2, reinterpret_cast<DWORD_PTR>(this));
    CreatePictureTips();
    MarkSaved(model_);

    SyncBoxesFromModel();
    SyncChecksFromModel();
    ::SendMessageW(Control(kIdOptMenu), BM_SETCHECK, BST_CHECKED, 0);
    ShowPage(0);
    canvas_.Refresh();
}

void MainForm::OnDpiChanged(int dpi, const RECT& suggested) {
    if (dpi == dpi_ || !hwnd_) return;
    dpi_ = dpi;
    measure_.SetDpi(dpi);
    model_.SetDpi(dpi);
    // The controls let go of the old font before it goes.
    UniqueHfont old = std::move(font_);
    font_ = CreateUiFont(9, dpi_);
    ::SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0);
    Layout();
    if (tips_) ::SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, Px(6000));
    ::SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    // Where the system puts the window (it keeps it under the pointer as it
    // crosses to the other monitor), at the size the system worked out for
    // this DPI.
    ::SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    canvas_.Refresh();
}

int MainForm::CreatePages() {
    int needed = 0;
    auto make = [&](HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int x, int y, int w, int h,
                    int id, DWORD ex = 0) {
        return Place(parent, cls, text, WS_VISIBLE | WS_CLIPSIBLINGS | style, x, y, w, h, id, ex);
    };
    auto box = [&](HWND page, const SlotInfo* s, int x, int y, int width) {
        const bool chooser = ChooserOf(s->kind) != Chooser::None;
        const int boxWidth = chooser ? width - kChooserSize - 15 : width;
        HWND edit = make(page, L"EDIT", std::string(s->def), ES_AUTOHSCROLL | WS_TABSTOP, x, y, boxWidth, kBoxHeight,
                         kIdTxtCon + s->slot, WS_EX_CLIENTEDGE);
        ::SetWindowSubclass(edit, EditProc, 1, reinterpret_cast<DWORD_PTR>(this));
        if (chooser)
            make(page, L"BUTTON", "...", BS_PUSHBUTTON, x + boxWidth + 15, y + (kBoxHeight - kChooserSize) / 2,
                 kChooserSize, kChooserSize, kIdChoose + s->slot);
    };

    const int colourCell = ColourBoxWidth() + 15 + kChooserSize;
    for (int n = 0; n < kPageCount; ++n) {
        HWND page = pages_[n];
        const bool crowded = n == 3 || n == 4;
        const int gap = (n == 5 || crowded ? 600 : 720) - kLabelHeight - kBoxHeight;  // label to label
        int top = 360;
        auto groups = GroupsOf(n);
        for (size_t g = 0; g < groups.size(); ++g) {
            const bool pair = crowded && SharesRow(groups[g]) && g + 1 < groups.size() && SharesRow(groups[g + 1]);
            const int count = pair ? 2 : 1;
            int widths[2] = {kRowWidth, 0};
            if (pair) {
                // Halves, unless a colour needs more to show whole.
                const int half = (kRowWidth - 120) / 2;
                const bool firstColour = groups[g].slots.front()->kind == SlotKind::Colour;
                const bool secondColour = groups[g + 1].slots.front()->kind == SlotKind::Colour;
                widths[0] = widths[1] = half;
                if (secondColour && colourCell > half) widths[1] = colourCell, widths[0] = kRowWidth - 120 - colourCell;
                if (firstColour && colourCell > half) widths[0] = colourCell, widths[1] = kRowWidth - 120 - colourCell;
            }
            int lines = 1;
            for (int c = 0, left = kRowLeft; c < count; left += widths[c] + 120, ++c) {
                const Group& grp = groups[g + static_cast<size_t>(c)];
                const int cellWidth = widths[c];
                make(page, L"STATIC", std::string(grp.label), SS_LEFT | SS_NOPREFIX, left, top, cellWidth, kLabelHeight,
                     0);
                const int k = static_cast<int>(grp.slots.size());
                if (Stacked(grp)) {
                    const auto states = StateCaptions(grp.label);
                    int captionWidth = 0;
                    for (auto st : states)
                        captionWidth = std::max(captionWidth, TextWidth(std::string(st)));
                    for (int i = 0; i < k; ++i) {
                        const int y = top + kLabelHeight + i * (kBoxHeight + kStackGap);
                        if (static_cast<size_t>(i) < states.size())
                            make(page, L"STATIC", std::string(states[static_cast<size_t>(i)]), SS_LEFT | SS_NOPREFIX,
                                 left, y + (kBoxHeight - kLabelHeight) / 2, captionWidth, kLabelHeight, 0);
                        box(page, grp.slots[static_cast<size_t>(i)], left + captionWidth + 60, y,
                            cellWidth - captionWidth - 60);
                    }
                    lines = std::max(lines, k);
                } else {
                    const int each = (cellWidth - (k - 1) * 60) / k;
                    for (int i = 0; i < k; ++i)
                        box(page, grp.slots[static_cast<size_t>(i)], left + i * (each + 60), top + kLabelHeight, each);
                }
            }
            g += static_cast<size_t>(count - 1);
            top += kLabelHeight + kBoxHeight + (lines - 1) * (kBoxHeight + kStackGap) + gap;
        }
        int checkTop = top;
        if (n == 3 || n == 4) {
            make(page, L"BUTTON", std::string(kFrameCaption), BS_AUTOCHECKBOX | WS_TABSTOP, kRowLeft, checkTop,
                 kRowWidth, 255, kIdChkFrame + (n - 3));
            checkTop += 360;
        }
        if (n >= 1 && n <= 4) {
            make(page, L"BUTTON", std::string(kLockCaption), BS_AUTOCHECKBOX | WS_TABSTOP, kRowLeft, checkTop,
                 kRowWidth, 255, kIdChkLock + (n - 1));
            checkTop += 255;
        }
        needed = std::max(needed, checkTop + 120);
    }
    return needed;
}

void MainForm::CreatePictureTips() {
    tips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_,
                              nullptr);
    if (!tips_) return;
    // A long path wraps instead of running off the screen.
    ::SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, Px(6000));
    for (const auto& s : kSlots) {
        if (s.kind != SlotKind::Picture) continue;
        TTTOOLINFOW ti{};
        ti.cbSize = sizeof ti;
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = hwnd_;
        ti.uId = reinterpret_cast<UINT_PTR>(Control(kIdTxtCon + s.slot));
        ti.lpszText = LPSTR_TEXTCALLBACKW;
        ::SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void MainForm::OnTipText(NMTTDISPINFOW* info) {
    const int slot = SlotOfControl(::GetDlgCtrlID(reinterpret_cast<HWND>(info->hdr.idFrom)));
    // The full path, which the box itself shortens to the file name.
    tipText_ = slot >= 0 ? Widen(model_.SlotText(slot)) : std::wstring();
    info->lpszText = tipText_.data();
}

void MainForm::PaintPictureBox(HWND edit, int slot) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(edit, &ps);
    RECT rc;
    ::GetClientRect(edit, &rc);
    const bool enabled = ::IsWindowEnabled(edit);
    ::FillRect(dc, &rc, ::GetSysColorBrush(enabled ? COLOR_WINDOW : COLOR_BTNFACE));
    const std::string& path = model_.SlotText(slot);
    const int h = rc.bottom - rc.top;
    RECT text = rc;
    text.left += 2;
    const PicturesWin32::Dib* dib = path.empty() ? nullptr : pictures_.GetDib(path);
    // A small picture in front of the name where the box has room for it.
    const int side = h - 2;
    if (dib && side >= 8 && rc.right - rc.left >= 6 * h) {
        const double fit = std::min(static_cast<double>(side) / dib->width, static_cast<double>(side) / dib->height);
        const int w = std::max(1, static_cast<int>(dib->width * fit)),
                  ph = std::max(1, static_cast<int>(dib->height * fit));
        if (const auto* small = pictures_.GetScaledDib(path, w, ph)) {
            UniqueMemDc src(::CreateCompatibleDC(dc));
            SelectRestorer sel(src.get(), small->bitmap);
            const int x = rc.left + 1 + (side - w) / 2, y = rc.top + 1 + (side - ph) / 2;
            if (small->alpha) {
                BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
                ::GdiAlphaBlend(dc, x, y, w, ph, src.get(), 0, 0, w, ph, bf);
            } else {
                ::BitBlt(dc, x, y, w, ph, src.get(), 0, 0, SRCCOPY);
            }
        }
        text.left = rc.left + side + 5;
    }
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(edit, WM_GETFONT, 0, 0));
    SelectRestorer f(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    std::wstring shown;
    if (path.empty()) {
        // Nothing chosen: the mock-up shows, and a build writes, a stand-in
        // (the team bar simply goes without a picture).
        if (StandInOfSlot(slot)) shown = Widen(kStandInBoxText);
        ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
    } else {
        shown = Widen(FileNameOf(path));
        // A file that cannot be read shows in red.
        ::SetTextColor(dc, dib ? ::GetSysColor(enabled ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT) : RGB(192, 0, 0));
    }
    ::DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &text,
                DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    ::EndPaint(edit, &ps);
}

int MainForm::TextWidth(const std::string& text) const {
    WindowDc dc(hwnd_);
    SelectRestorer f(dc.get(), font_.get());
    const std::wstring w = Widen(text);
    SIZE size{};
    ::GetTextExtentPoint32W(dc.get(), w.c_str(), static_cast<int>(w.size()), &size);
    return PixelsToTwips(size.cx + 1, dpi_) + 1;  // rounded up, so the twips give back every pixel
}

int MainForm::ColourBoxWidth() {
    // An edit control's borders and margins depend on the system and the
    // font; a hidden one of the value boxes' kind tells them.
    HWND probe = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, Px(2000),
                                   Px(kBoxHeight), hwnd_, nullptr, instance_, nullptr);
    if (!probe) return kRowWidth;
    ::SendMessageW(probe, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    RECT format{}, window{};
    ::SendMessageW(probe, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    ::GetWindowRect(probe, &window);
    ::DestroyWindow(probe);
    const int chrome = (window.right - window.left) - (format.right - format.left);
    // The widest colour, a pixel for the caret after its last digit and two
    // more so the digits do not touch the border.
    return TextWidth(std::to_string(kMaxColourValue)) + PixelsToTwips(chrome + 3, dpi_) + 1;
}

void MainForm::ShowPage(int n) {
    for (int k = 0; k < kPageCount; ++k)
        ::ShowWindow(pages_[k], k == n ? SW_SHOW : SW_HIDE);
}

void MainForm::SyncBoxesFromModel() {
    syncing_ = true;
    for (const auto& s : kSlots) {
        HWND edit = Control(kIdTxtCon + s.slot);
        std::wstring want = Widen(model_.SlotText(s.slot));
        wchar_t buf[1024];
        ::GetWindowTextW(edit, buf, 1024);
        if (want != buf) ::SetWindowTextW(edit, want.c_str());
    }
    syncing_ = false;
}

void MainForm::SyncChecksFromModel() {
    for (int k = 0; k < 2; ++k)
        ::SendMessageW(Control(kIdChkFrame + k), BM_SETCHECK, model_.Frame(k) ? BST_CHECKED : BST_UNCHECKED, 0);
    for (int k = 0; k < 4; ++k)
        ::SendMessageW(Control(kIdChkLock + k), BM_SETCHECK, model_.Lock(k) ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainForm::ApplySlot(int slot) {
    if (slot < 0) return;
    model_.ApplyProperty(slot);
    SyncBoxesFromModel();
    canvas_.Refresh();
    UpdateTitle();
}

void MainForm::Choose(int slot) {
    const SlotInfo* s = FindSlot(slot);
    if (!s) return;
    if (ChooserOf(s->kind) == Chooser::Picture)
        model_.SetSlotText(slot, ShowOpenFileDialog(hwnd_, "选择图片", "*.*", "*.*"));
    else
        model_.SetSlotText(slot, std::to_string(ShowColorDialog(hwnd_, 0)));
    SyncBoxesFromModel();
    ApplySlot(slot);
}

void MainForm::OnCommand(int id, int code, HWND control) {
    if (id >= kIdOptMenu && id < kIdOptMenu + kPageCount) {
        if (code == BN_CLICKED) ShowPage(id - kIdOptMenu);
        return;
    }
    if (int slot = SlotOfControl(id); slot >= 0) {
        if (code == EN_CHANGE && !syncing_) {
            wchar_t buf[1024];
            ::GetWindowTextW(control, buf, 1024);
            const bool wasMissing = model_.IsMissing(slot);
            model_.SetSlotText(slot, Narrow(buf));
            if (wasMissing != model_.IsMissing(slot)) ::InvalidateRect(control, nullptr, TRUE);
            UpdateTitle();
        } else if (code == EN_KILLFOCUS) {
            ApplySlot(slot);
        }
        return;
    }
    if (id >= kIdChoose && id < kIdChoose + kSlotLimit) {
        Choose(id - kIdChoose);
        return;
    }
    if (id >= kIdChkFrame && id < kIdChkFrame + 2) {
        model_.SetFrame(id - kIdChkFrame, ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
        canvas_.Refresh();
        UpdateTitle();
        return;
    }
    if (id >= kIdChkLock && id < kIdChkLock + 4) {
        model_.SetLock(id - kIdChkLock, ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED);
        return;
    }
    switch (id) {
        case kIdCmdNew:
            OnNew();
            break;
        case kIdCmdOpen:
            OnOpen();
            break;
        case kIdCmdSave:
            OnSave();
            break;
        case kIdCmdSaveAs:
            OnSaveAs();
            break;
        case kIdCmdMake:
            OnMake();
            break;
        case kIdCmdAbout:
            ShowAboutForm(instance_, hwnd_);
            break;
        case kIdCmdHelp:
            OnHelp();
            break;
        case kIdCmdExit:
            if (MayDiscard()) Close(false);
            break;
    }
}

void MainForm::OnNew() {
    if (MayDiscard() && onNew_) onNew_();
}

void MainForm::OnOpen() {
    YesNoUi ui(hwnd_);
    const CommandResult r = OpenCommand(model_, ui);
    if (r == CommandResult::Done) {
        SyncBoxesFromModel();
        SyncChecksFromModel();
        // Boxes whose text stayed the same still change their colour.
        for (HWND page : pages_)
            ::RedrawWindow(page, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        canvas_.Refresh();
    }
    UpdateTitle();
}

void MainForm::OnSave() {
    YesNoUi ui(hwnd_);
    SaveCommand(model_, ui);
    UpdateTitle();
}

void MainForm::OnSaveAs() {
    YesNoUi ui(hwnd_);
    SaveAsCommand(model_, ui);
    UpdateTitle();
}

void MainForm::OnMake() {
    const std::string folder = BrowseForFolder(hwnd_, std::string(kBuildFolderPrompt));
    if (folder.empty()) return;
    ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    BuildResult r = BuildSkinPackage(model_, folder);
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    if (!r.ok)
        ::MessageBoxW(hwnd_, Widen(std::string(kBuildFailed) + "\n" + r.detail).c_str(), L"VTSkinEditor", MB_OK);
    else if (!r.standIns.empty())
        ::MessageBoxW(hwnd_, Widen(StandInNotice(r.standIns)).c_str(), L"VTSkinEditor", MB_OK | MB_ICONINFORMATION);
}

void MainForm::OnHelp() {
    std::string path = ProgramFolder() + "help.chm";
    ::ShellExecuteW(hwnd_, L"open", Widen(path).c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace vt
