#include "platform/win32/ui_font.h"

#include <array>

namespace vt {

namespace {

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one match is enough
}

bool FaceInstalled(HDC dc, const wchar_t* face) {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    ::EnumFontFamiliesExW(dc, &lf, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

std::wstring PickFace() {
    static constexpr std::array kFaces = {L"Microsoft YaHei",     L"微软雅黑", L"SimSun", L"宋体",
                                          L"WenQuanYi Micro Hei", L"NSimSun"};
    WindowDc dc(nullptr);
    for (const wchar_t* face : kFaces)
        if (FaceInstalled(dc.get(), face)) return face;
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof(ncm);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0)) return ncm.lfMessageFont.lfFaceName;
    return L"MS Shell Dlg";
}

}  // namespace

const std::wstring& UiFontFace() {
    static const std::wstring face = PickFace();
    return face;
}

UniqueHfont CreateUiFont(int points, int dpi, bool bold) {
    LOGFONTW lf{};
    lf.lfHeight = -::MulDiv(points, dpi, 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lf.lfOutPrecision = OUT_TT_PRECIS;
    wcsncpy(lf.lfFaceName, UiFontFace().c_str(), LF_FACESIZE - 1);
    UniqueHfont font(::CreateFontIndirectW(&lf));
    if (!font) LogWin32Failure("CreateFontIndirectW");
    return font;
}

namespace {

// Looked up by name: older systems have neither function, and the program
// must still start there.
template <class Fn>
Fn SystemFunction(const wchar_t* module, const char* name) {
    HMODULE m = ::GetModuleHandleW(module);
    if (!m) m = ::LoadLibraryW(module);
    return m ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(m, name))) : nullptr;
}

}  // namespace

int MonitorDpi(HMONITOR monitor) {
    // MDT_EFFECTIVE_DPI = 0
    using Fn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    static const Fn forMonitor = SystemFunction<Fn>(L"shcore.dll", "GetDpiForMonitor");
    if (!monitor) monitor = ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    UINT x = 0, y = 0;
    if (forMonitor && monitor && SUCCEEDED(forMonitor(monitor, 0, &x, &y)) && x > 0) return static_cast<int>(x);
    return ScreenDpi();
}

int MetricForDpi(int index, int dpi) {
    using Fn = int(WINAPI*)(int, UINT);
    static const Fn forDpi = SystemFunction<Fn>(L"user32.dll", "GetSystemMetricsForDpi");
    if (forDpi && dpi > 0) {
        const int v = forDpi(index, static_cast<UINT>(dpi));
        if (v > 0) return v;
    }
    // The system's own value is for the screen's dpi.
    return ::MulDiv(::GetSystemMetrics(index), dpi > 0 ? dpi : 96, ScreenDpi());
}

int ScreenDpi() {
    WindowDc dc(nullptr);
    int dpi = dc.get() ? ::GetDeviceCaps(dc.get(), LOGPIXELSX) : 96;
    return dpi > 0 ? dpi : 96;
}

}  // namespace vt
