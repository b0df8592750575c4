// The pictures the editor shows for a picture not chosen yet, and that a
// build writes in its place: one design, drawn here at any size, so the
// mock-up (at the screen's scale) and the built skin (at 96 dpi) agree.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/picture_decode.h"

namespace vt {

enum class StandInKind { Backdrop, Close, Min, Lock, Left, Right, Up, Down, FileIcon, DirIcon, LinkIcon, ExItemIcon };

struct StandIn {
    StandInKind kind = StandInKind::Backdrop;
    // Buttons: 0 normal, 1 under the mouse, 2 pressed; the lock: 0 off, 1 on.
    int state = 0;
};

// The stand-in of a picture slot; nullopt for slots that are not pictures
// and for the team bar's picture, which a skin may go without.
std::optional<StandIn> StandInOfSlot(int slot);

// Size in picture pixels (96 dpi) of the stock item icons a build writes.
inline constexpr int kStandInIconPixels = 32;

// The stand-in drawn `width` x `height` pixels; `scale` is the screen's
// pixels per picture pixel (1 for a skin, 1.5 on a 144 dpi canvas), which
// sizes the fixed details (outline, title band). Every pixel is opaque and
// none is the launcher's see-through colour.
DecodedPicture DrawStandIn(const StandIn& s, int width, int height, double scale = 1.0);

// A 24-bit Windows bitmap file of an opaque picture, which every picture
// loader reads.
std::string EncodeBmp24(const DecodedPicture& picture);

}  // namespace vt
