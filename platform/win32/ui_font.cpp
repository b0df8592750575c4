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

int ScreenDpi() {
    WindowDc dc(nullptr);
    int dpi = dc.get() ? ::GetDeviceCaps(dc.get(), LOGPIXELSX) : 96;
    return dpi > 0 ? dpi : 96;
}

}  // namespace vt
