// MsgForm: a borderless, layered, never-activated tool window. Its movement
// is decided by MsgSlide; this file only turns that into timers and pixels.
#include "launcher/skin/msg_form_win32.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "common/colour.h"
#include "common/twips.h"
#include "launcher/skin/msg_form.h"
#include "platform/win32/guarded_proc.h"
#include "platform/win32/ui_font.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win_text.h"

namespace vt {

namespace {

constexpr wchar_t kClassName[] = L"VantrelMsgForm";
constexpr UINT_PTR kTmrShow = 1;
constexpr UINT_PTR kTmrWait = 2;
constexpr UINT_PTR kTmrHide = 3;

class MsgForm {
public:
    // At the primary monitor's dpi: the popup rises from its work area.
    MsgForm(HINSTANCE instance, const MsgLook& look, std::string text)
        : instance_(instance), look_(look), text_(Widen(text)), dpi_(MonitorDpi(nullptr)), slide_(0) {}
    ~MsgForm() { Close(); }
    MsgForm(const MsgForm&) = delete;
    MsgForm& operator=(const MsgForm&) = delete;

    bool Create();
    void Close() {
        if (hwnd_) {
            HWND h = hwnd_;
            hwnd_ = nullptr;
            ::DestroyWindow(h);
        }
    }
    HWND Hwnd() const { return hwnd_; }

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

    void OnPaint();
    void OnTimer(UINT_PTR id);
    void OnClick();
    // Starts and stops the window timers to match the slide, moves the window,
    // and closes it when the slide is over.
    void Follow();

    double Tpp() const { return TwipsPerPixel(dpi_); }
    int Px(double twips) const { return static_cast<int>(std::lround(twips / Tpp())); }
    int HeightTwips() const;

    HINSTANCE instance_;
    MsgLook look_;
    std::wstring text_;
    int dpi_;
    MsgSlide slide_;
    double left_ = 0;
    HWND hwnd_ = nullptr;
    UniqueHfont font_;
    bool show_ = false, wait_ = false, hide_ = false;  // timers currently set
};

std::unique_ptr<MsgForm> g_current;

bool RegisterClassOnce(HINSTANCE instance, WNDPROC proc) {
    static bool done = false;
    if (done) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_HAND);
    wc.lpszClassName = kClassName;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        LogWin32Failure("RegisterClassExW");
        return false;
    }
    done = true;
    return true;
}

bool MsgForm::Create() {
    if (!RegisterClassOnce(instance_, WndProc)) return false;
    RECT work{};
    if (!::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0)) {
        work = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }
    TwipPoint start = MsgStartPosition({work.left, work.top, work.right, work.bottom}, Tpp(), Tpp());
    left_ = start.left;
    slide_ = MsgSlide(start.top);
    font_ = CreateUiFont(look_.fontSize, dpi_);

    // Topmost so it is seen over a topmost main window; no taskbar button;
    // never takes the focus from what the user is doing.
    hwnd_ = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kClassName, L"Vantrel", WS_POPUP,
                              Px(left_), Px(slide_.Top()), Px(kMsgWidth), Px(kMsgHeight), nullptr, nullptr, instance_,
                              this);
    if (!hwnd_) {
        LogWin32Failure("CreateWindowExW");
        return false;
    }
    LONG_PTR ex = ::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    ::SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    if (!::SetLayeredWindowAttributes(hwnd_, RGB(250, 250, 250), look_.opacity, LWA_ALPHA))
        LogWin32Failure("SetLayeredWindowAttributes");
    ::ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
    Follow();  // TmrShow runs from the start
    return true;
}

int MsgForm::HeightTwips() const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    return static_cast<int>(std::lround((r.bottom - r.top) * Tpp()));
}

void MsgForm::Follow() {
    if (!hwnd_) return;
    if (slide_.Closed()) {
        Close();
        return;
    }
    auto sync = [&](bool want, bool& have, UINT_PTR id, UINT ms) {
        if (want && !have) ::SetTimer(hwnd_, id, ms, nullptr);
        if (!want && have) ::KillTimer(hwnd_, id);
        have = want;
    };
    sync(slide_.ShowRunning(), show_, kTmrShow, kMsgShowMs);
    sync(slide_.WaitRunning(), wait_, kTmrWait, kMsgWaitMs);
    sync(slide_.HideRunning(), hide_, kTmrHide, kMsgHideMs);
    // Back in front at every step: a topmost main window activated after the
    // popup appeared (a dialog closing gives it the focus) would cover it.
    ::SetWindowPos(hwnd_, HWND_TOPMOST, Px(left_), Px(slide_.Top()), 0, 0,
                   SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
}

void MsgForm::OnTimer(UINT_PTR id) {
    switch (id) {
        case kTmrShow:
            slide_.OnShowTick(HeightTwips());
            break;
        case kTmrWait:
            slide_.OnWaitTick();
            break;
        case kTmrHide:
            slide_.OnHideTick(HeightTwips());
            break;
        default:
            return;
    }
    Follow();
}

void MsgForm::OnClick() {
    slide_.OnClick();
    Follow();
}

void MsgForm::OnPaint() {
    PaintDc paint(hwnd_);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    int w = client.right, h = client.bottom;
    if (w <= 0 || h <= 0) return;
    UniqueMemDc mem(::CreateCompatibleDC(paint.get()));
    UniqueHbitmap bmp(::CreateCompatibleBitmap(paint.get(), w, h));
    {
        SelectRestorer selBmp(mem.get(), bmp.get());
        UniqueHbrush back(::CreateSolidBrush(ColorrefOf(look_.backColor)));
        ::FillRect(mem.get(), &client, back.get());

        // ShpFrame: an outline 2655 x 1815 twips from the corner.
        // A line of one 96-dpi pixel stays as heavy at any scale, inside the outline.
        const int line = std::max(1, ::MulDiv(1, dpi_, 96));
        UniqueHpen pen(::CreatePen(PS_INSIDEFRAME, line, ColorrefOf(look_.frameColor)));
        SelectRestorer selPen(mem.get(), pen.get());
        SelectRestorer selBrush(mem.get(), ::GetStockObject(NULL_BRUSH));
        ::Rectangle(mem.get(), 0, 0, Px(kMsgWidth), Px(kMsgFrameHeight));

        // LabMsg: left-aligned, wrapped at word breaks, clipped to its box.
        RECT text{Px(kMsgTextLeft), Px(kMsgTextTop), Px(kMsgTextLeft + kMsgTextWidth),
                  Px(kMsgTextTop + kMsgTextHeight)};
        SelectRestorer selFont(mem.get(), font_.get());
        ::SetBkMode(mem.get(), TRANSPARENT);
        ::SetTextColor(mem.get(), ColorrefOf(look_.fontColor));
        ::DrawTextW(mem.get(), text_.c_str(), static_cast<int>(text_.size()), &text,
                    DT_LEFT | DT_TOP | DT_WORDBREAK | DT_EDITCONTROL | DT_NOPREFIX | DT_END_ELLIPSIS);
        ::BitBlt(paint.get(), 0, 0, w, h, mem.get(), 0, 0, SRCCOPY);
    }
}

LRESULT MsgForm::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            OnPaint();
            return 0;
        case WM_TIMER:
            OnTimer(static_cast<UINT_PTR>(wp));
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            OnClick();
            return 0;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
    }
    return ::DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK MsgForm::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
    MsgForm* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<MsgForm*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<MsgForm*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        if (self) self->hwnd_ = nullptr;  // the object lives on until replaced
        return ::DefWindowProcW(hwnd, msg, wp, lp);
    }
    if (!self || !self->hwnd_) return ::DefWindowProcW(hwnd, msg, wp, lp);
    return GuardProc(
        ProcKind::Window, "message popup", hwnd, msg, wp, [&] { return self->HandleMessage(msg, wp, lp); },
        [&] { return ::DefWindowProcW(hwnd, msg, wp, lp); });
}

}  // namespace

void ShowMessagePopup(HINSTANCE instance, Registry& reg, const std::string& text) {
    g_current.reset();  // the old popup goes at once, wherever it is
    MsgLook look = ReadMsgLook(reg);
    auto form = std::make_unique<MsgForm>(instance, look, text);
    if (form->Create()) g_current = std::move(form);
}

void CloseMessagePopup() {
    g_current.reset();
}

HWND MessagePopupWindow() {
    return g_current ? g_current->Hwnd() : nullptr;
}

}  // namespace vt
