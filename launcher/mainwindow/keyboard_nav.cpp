#include "launcher/mainwindow/keyboard_nav.h"

#include <algorithm>

namespace vt {

int NextItem(NavKey key, int current, const NavGrid& grid) {
    const int count = grid.count;
    if (count <= 0) return -1;
    const int last = count - 1;
    const int columns = std::max(1, grid.columns);
    if (current < 0 || current > last) return key == NavKey::End ? last : 0;
    switch (key) {
        case NavKey::Left:
            return columns == 1 ? current : std::max(0, current - 1);
        case NavKey::Right:
            return columns == 1 ? current : std::min(last, current + 1);
        case NavKey::Up:
            return current >= columns ? current - columns : current;
        case NavKey::Down:
            if (current + columns <= last) return current + columns;
            // Below is past the end: only a row above the last row moves, to the last item.
            return current / columns < last / columns ? last : current;
        case NavKey::Home:
            return 0;
        case NavKey::End:
            return last;
        case NavKey::PageUp:
        case NavKey::PageDown: {
            // A page of rows, row by row as the arrows go.
            const NavKey step = key == NavKey::PageUp ? NavKey::Up : NavKey::Down;
            int at = current;
            for (int i = 0; i < std::max(1, grid.rowsPerPage); ++i)
                at = NextItem(step, at, grid);
            return at;
        }
    }
    return current;
}

int ScrollToShow(int sheetTop, int bandTop, int bandBottom, int viewHeight, int sheetHeight) {
    const int lowest = std::min(0, viewHeight - sheetHeight);
    int top = sheetTop;
    if (bandBottom + top > viewHeight) top = viewHeight - bandBottom;
    if (bandTop + top < 0) top = -bandTop;
    return std::clamp(top, lowest, 0);
}

int ScrollPage(int sheetTop, bool down, int viewHeight, int sheetHeight) {
    const int lowest = std::min(0, viewHeight - sheetHeight);
    const int step = std::max(1, viewHeight);
    return std::clamp(down ? sheetTop - step : sheetTop + step, lowest, 0);
}

int RowsPerPage(int viewHeight, int pitch) {
    return pitch > 0 ? std::max(1, viewHeight / pitch) : 1;
}

int NextTeam(int current, int count, bool forward) {
    if (count <= 0) return -1;
    if (current < 0 || current >= count) return forward ? 0 : count - 1;
    return forward ? (current + 1) % count : (current + count - 1) % count;
}

}  // namespace vt
