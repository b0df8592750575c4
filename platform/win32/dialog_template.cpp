#include "platform/win32/dialog_template.h"

#include <commctrl.h>

namespace vt {

void EnsureCommonControls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        return ::InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)done;
}

DialogTemplate::DialogTemplate(const std::wstring& title, int width, int height, DWORD style, DWORD exStyle,
                               const std::wstring& font, WORD pointSize) {
    EnsureCommonControls();
    Dword(style | DS_SETFONT);
    Dword(exStyle);
    countAt_ = words_.size();
    Word(0);  // number of controls, filled in by Add
    Word(0);  // x
    Word(0);  // y
    Word(static_cast<WORD>(width));
    Word(static_cast<WORD>(height));
    Word(0);  // no menu
    Word(0);  // default class
    Text(title);
    Word(pointSize);
    Text(font);
}

void DialogTemplate::Align() {
    if (words_.size() % 2) Word(0);  // items start on DWORD boundaries
}

void DialogTemplate::Text(const std::wstring& s) {
    for (wchar_t c : s)
        Word(static_cast<WORD>(c));
    Word(0);
}

void DialogTemplate::Add(WORD cls, WORD id, const std::wstring& text, int x, int y, int w, int h, DWORD style,
                         DWORD exStyle) {
    Align();
    Dword(style | WS_CHILD | WS_VISIBLE);
    Dword(exStyle);
    Word(static_cast<WORD>(x));
    Word(static_cast<WORD>(y));
    Word(static_cast<WORD>(w));
    Word(static_cast<WORD>(h));
    Word(id);
    Word(0xFFFF);
    Word(cls);
    Text(text);
    Word(0);  // no creation data
    ++words_[countAt_];
}

}  // namespace vt
