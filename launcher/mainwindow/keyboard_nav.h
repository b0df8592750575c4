// Which item a key moves to in the item panel, and how far the sheet scrolls
// to keep it in sight: the keyboard's half of the panel, kept apart from the
// window so every layout and edge can be tried without one.
#pragma once

namespace vt {

enum class NavKey { Left, Right, Up, Down, Home, End, PageUp, PageDown };

// The panel as the keys see it.
struct NavGrid {
    int count = 0;        // items shown
    int columns = 1;      // 1 in the text list
    int rowsPerPage = 1;  // whole rows the viewport shows, at least 1
};

// The item a key makes current; -1 when there is none. With nothing current
// yet, every key starts at the first item except End, which goes to the last.
// Left/Right step in reading order (off the end of a row onto the next one),
// the page keys move a page of rows as that many Up/Down presses would,
// Up/Down keep the column and stop at the first/last row, except that Down
// from a row over a short last row lands on the last item rather than nowhere.
// In the text list (one column) Left/Right do nothing.
int NextItem(NavKey key, int current, const NavGrid& grid);

// The sheet's top (0 or negative) that shows the band [top, bottom) of the
// sheet inside a viewport `viewHeight` high; unchanged when it already shows.
// A band taller than the viewport shows its top.
int ScrollToShow(int sheetTop, int bandTop, int bandBottom, int viewHeight, int sheetHeight);

// The sheet's top one page up or down, clamped to the sheet.
int ScrollPage(int sheetTop, bool down, int viewHeight, int sheetHeight);

// Whole rows of `pitch` that fit in `viewHeight`, at least 1.
int RowsPerPage(int viewHeight, int pitch);

// The team a team-switching key opens: the next or previous, round the end;
// from no team the first or the last. -1 without teams.
int NextTeam(int current, int count, bool forward);

}  // namespace vt
