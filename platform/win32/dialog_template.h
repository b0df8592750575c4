// Builds a dialog template in memory, so small dialogs need no .rc entry.
// Coordinates are dialog units.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vt {

// Registers the common controls (themed buttons, lists, tooltips) once. The
// launcher calls it only after its first frame, since loading them costs a
// noticeable part of its start-up; every dialog calls it too, so a dialog
// shown before that (the password box) still gets them.
void EnsureCommonControls();

class DialogTemplate {
public:
    DialogTemplate(const std::wstring& title, int width, int height, DWORD style, DWORD exStyle = 0,
                   const std::wstring& font = L"MS Shell Dlg", WORD pointSize = 9);
    // cls: a predefined class atom (0x0080 button, 0x0081 edit, 0x0082 static, ...).
    void Add(WORD cls, WORD id, const std::wstring& text, int x, int y, int w, int h, DWORD style, DWORD exStyle = 0);
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

    static constexpr WORD kButton = 0x0080;
    static constexpr WORD kEdit = 0x0081;
    static constexpr WORD kStatic = 0x0082;

private:
    void Align();
    void Word(WORD w) { words_.push_back(w); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const std::wstring& s);

    std::vector<WORD> words_;
    size_t countAt_;
};

}  // namespace vt
