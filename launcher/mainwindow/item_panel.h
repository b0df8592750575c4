// Geometry of the item panel's three layouts. Positions are 32-bit, so all
// 500 items the store allows are laid out and reachable by scrolling, far past
// the 32 or 45 rows a 16-bit layout would hold.
#pragma once

#include <string>

namespace vt {

// Item cells: 900 wide at a column pitch of 1025, the first column at 100.
inline constexpr int kItemCellWidth = 900;
inline constexpr int kItemFirstLeft = 100;
// Icons with captions: caption rows from 650, 1000 apart, icon 580 above the caption.
inline constexpr int kCaptionRowFirst = 650;
inline constexpr int kCaptionRowPitch = 1000;
inline constexpr int kCaptionIconRise = 580;
// Icons only: row bases from 660, 720 apart, icon 520 above the base.
inline constexpr int kIconRowFirst = 660;
inline constexpr int kIconRowPitch = 720;
inline constexpr int kIconRise = 520;
// Text list: lines from (120, 120), 60 apart, 200 narrower than the sheet.
inline constexpr int kListLeft = 120;
inline constexpr int kListFirstTop = 120;
inline constexpr int kListGap = 60;

// The stock icons, as indices of ImgInside.
enum StockIcon { kStockLink = 0, kStockFile = 1, kStockDirectory = 2, kStockExItem = 3 };
// The stock icon an "Icon" value names: "[LINK]", "[FILE]" or empty, "[DIRECTORY]",
// "[EXITEM]"; -1 for a picture file name.
int StockIconFor(const std::string& icon);

// Column left of item i in a grid of `columns` (at least 1).
int ItemColumnLeft(int index, int columns);
// Row of item i.
int ItemRow(int index, int columns);

}  // namespace vt
