// The item editor's picture buttons (file, folder, extended item, icon file,
// stock icons, previous and next icon): owner-drawn glyphs at the dialog's
// dpi, flat until the mouse is over them, each with its tip. Which image a
// button shows is PictureButtons' decision (item_form.h); this turns the
// mouse messages into its calls and draws what it says.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "launcher/dialogs/item_form.h"

namespace vt {

class ItemPictureButtons {
public:
    ItemPictureButtons() = default;
    ItemPictureButtons(const ItemPictureButtons&) = delete;
    ItemPictureButtons& operator=(const ItemPictureButtons&) = delete;

    // Takes over an owner-drawn button the dialog created for `b`, and gives
    // it its tip in the dialog's `tooltip`. The buttons must be destroyed
    // before this object.
    void Attach(PictureButton b, HWND button, HWND dialog, HWND tooltip);
    // WM_DRAWITEM of one of the buttons; false when it is not one of them.
    bool Draw(const DRAWITEMSTRUCT& d, int dpi) const;
    // The mouse left them all (over the dialog's background, or a popup of
    // theirs closed): every button flat again.
    void OnBackground();

private:
    static LRESULT CALLBACK Proc(HWND w, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR ref) noexcept;
    LRESULT Message(HWND w, UINT msg, WPARAM wp, LPARAM lp);
    // Index of a button's window, or -1.
    int IndexOf(HWND w) const;
    // Repaints the buttons whose image changed since they were last drawn.
    void Repaint();

    PictureButtons state_;
    std::array<HWND, kPictureButtonCount> windows_{};
    std::array<int, kPictureButtonCount> drawn_{};
    std::array<std::wstring, kPictureButtonCount> tips_;  // the tooltip keeps pointers to them
};

}  // namespace vt
