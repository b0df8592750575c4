// How the mock-up shows its elements beyond their rectangles and colours: the
// sample texts of the captions and where they sit, what fills a panel, and the
// panels' border. These follow the launcher's window so that the mock-up looks
// as the skin will; the canvas only turns them into GDI calls.
#pragma once

#include <string_view>
#include <vector>

#include "skineditor/editor_model.h"

namespace vt {

// The text a caption shows: the launcher's title and menu, and a sample team
// or item caption naming the state its colours are for; empty for elements
// that show no text.
std::string_view MockTextOf(El e);

// Where a caption's text sits in its box.
enum class MockTextPlace { LeftTop, CentreTop, CentreMiddle };
MockTextPlace MockTextPlaceOf(El e);

// The elements a panel (PicTeam, PicItem) paints inside itself, clipped to
// it, back to front (the item icons under the item captions); none for any
// other element.
std::vector<El> MockPanelChildren(El panel);

// The colour a panel is filled with: the team bar its own, the item panel the
// background of an unselected item caption, as the launcher fills it.
int MockPanelFill(const EditorModel& model, El panel);

// The launcher's panel border in pixels: a pixel per 96 dpi, never less than one.
int MockBorderPixels(int dpi);

}  // namespace vt
