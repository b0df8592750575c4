// Geometry of the team bar. Captions stand side by side, 1000 wide at a pitch
// of 1020, the first 20 in from the left. Positions are kept in 32-bit
// integers, so every team the store allows (500) gets its caption on one
// strip and stays reachable by scrolling; the strip is 510 020 twips wide at
// most, well inside what the shell's 32-bit drawing handles.
#pragma once

namespace vt {

// Left of caption index inside the strip.
int TeamCaptionLeft(int index);
// Strip width for count captions, never narrower than the viewport.
int TeamStripWidth(int count, int viewportWidth);

}  // namespace vt
