// The skin editor's state without any window: the property slots, the border
// and lock boxes, and the mock-up of the launcher window whose elements carry
// the geometry that projects and skin packages store. The Win32 view paints
// this model and forwards mouse and edit events to it.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "launcher/scene/pixel_map.h"
#include "platform/pictures.h"
#include "platform/text_measure.h"
#include "skineditor/editor_slots.h"

namespace vt {

// Every element of the mock-up. Positions of top-level elements are relative
// to PicEditIn; those of the team captions, item icons and item captions to
// their panel (PicTeam, PicItem).
enum class El {
    PicEditIn,
    ShpTitle,
    ImgTitle,
    LabTitle,
    LabMove0,
    LabMove1,
    LabMove2,
    LabMove3,
    ImgClose,
    ImgMin,
    ImgLock,
    ShpMenu,
    LabMenu0,
    LabMenu1,
    LabMenu2,
    LabMenu3,
    PicTeam,
    LabTeam0,
    LabTeam1,
    LabTeam2,
    ImgLeft,
    ImgRight,
    PicItem,
    PicIcon0,
    PicIcon1,
    LabItem0,
    LabItem1,
    ImgUp,
    ImgDown,
    Count
};
constexpr int kElementCount = static_cast<int>(El::Count);

struct MockRect {
    double left = 0, top = 0, width = 0, height = 0;
    double Right() const { return left + width; }
    double Bottom() const { return top + height; }
};

// What a picture-carrying element shows: the editor's own stand-in, nothing,
// or the file the user chose.
enum class PictureSource { BuiltIn, None, File };

struct MockElement {
    MockRect rect;
    PictureSource picture = PictureSource::None;
    std::string picturePath;
    int textColor = 0;
    int backColor = 0xFFFFFF;  // label background, panel background, shape fill
    int lineColor = 0;         // shape border
    int fontSize = 9;
    bool opaque = true;  // labels: background drawn
    bool border = false;
};

// Which element a press on `hit` drags (captions and icons move their panel,
// the title text moves the title area); nullopt when the element is not a grip.
std::optional<El> DragTargetOf(El hit);
// Lock box (0..3) guarding an element, or -1.
int LockIndexOf(El e);
// Parent panel of the elements that live inside the team bar or item panel.
std::optional<El> ParentOf(El e);
// The picture slot an element previews (0 for the mock-up window's
// backdrop, 2 for the close button...), nullopt for elements without one.
std::optional<int> PictureSlotOf(El e);
enum class DragCursor { Arrow, SizeAll, SizeWE, SizeNS };
DragCursor CursorOf(El e);

// Text as the launcher's picture of its own menu captions.
extern const std::array<std::string_view, 4> kMenuCaptions;

// The top-level elements back to front, in the launcher's order (the title
// text under the menu, the team bar under the item panel, the buttons over
// both, the close button lowest of them), so that overlapping elements look
// as they will in the launcher; the editor's own title outline and handles
// come last, over everything.
const std::vector<El>& MockPaintOrder();

class EditorModel {
public:
    // `dpi`: the screen the mock-up is shown on. Pictures keep their 96 dpi
    // size in twips whatever it is; only the mapping to the screen changes.
    EditorModel(Pictures& pictures, TextMeasure& measure, int dpi = 96);

    // Back to the state of a freshly opened editor.
    void Reset();

    // ---- property slots --------------------------------------------------
    const std::string& SlotText(int slot) const;
    // Changes the text of a value box. While a project is being opened a
    // change is applied to the mock-up at once.
    void SetSlotText(int slot, std::string text);
    // Shows the slot's value on the mock-up; an unusable value empties the
    // box and leaves the mock-up as it was. False on such an error. A picture
    // that cannot be loaded while a project is opened keeps its path and is
    // marked missing instead: the designer's project must not lose it.
    bool ApplyProperty(int slot);
    // A picture slot whose file could not be loaded when the project was
    // opened; cleared when the designer changes the slot.
    bool IsMissing(int slot) const { return IsSlot(slot) && missing_[static_cast<size_t>(slot)]; }
    std::vector<int> MissingPictures() const;

    bool Frame(int k) const { return frame_[static_cast<size_t>(k)]; }
    void SetFrame(int k, bool on);
    bool Lock(int k) const { return lock_[static_cast<size_t>(k)]; }
    void SetLock(int k, bool on) { lock_[static_cast<size_t>(k)] = on; }

    // ---- mock-up ---------------------------------------------------------
    const MockElement& Get(El e) const { return elements_[static_cast<size_t>(e)]; }
    MockElement& Mutable(El e) { return elements_[static_cast<size_t>(e)]; }
    void MoveTo(El e, double left, double top);
    // An element's rectangle relative to PicEditIn (children include their panel).
    MockRect AbsoluteRect(El e) const;

    // The element a press at (x, y), relative to PicEditIn, lands on: topmost
    // first, children only inside their panel. Elements off the mock-up
    // window count too, so whatever was dragged off it can be fetched back.
    std::optional<El> HitTest(double x, double y) const;
    // What the canvas must let the user scroll over: the mock-up window,
    // grown to take in every element that reaches a pixel or more out of it,
    // with a little room beyond such an element to take hold of it.
    MockRect ReachableArea() const;

    // The same, for a pixel of the mock-up as drawn at the model's dpi
    // (pixel 0, 0 is the mock-up window's top-left corner).
    std::optional<El> HitTestPixel(int x, int y) const;
    // A press at a pixel: the element pressed when it is a grip (its drag
    // anchor then set), nullopt otherwise.
    std::optional<El> PressAtPixel(int x, int y);
    // The mouse, with a button held since the press on `pressed`, at a pixel.
    // Positions go through the pixel's twip (PixelMap::TwipAt), so a drag of
    // one pixel moves an element 10 twips at 144 dpi, 15 at 96.
    bool DragToPixel(El pressed, int x, int y);

    // Press on a grip: x, y in the pressed element's own coordinates.
    void MouseDown(El target, double x, double y);
    // Move with a button held; returns true when something moved.
    bool MouseMove(El target, double x, double y);
    double DragAnchorX() const { return anchorX_; }
    double DragAnchorY() const { return anchorY_; }

    // Handles, title grip and title text follow the title rectangle.
    void LayoutTitleBar();
    // First caption where it is, the others to its right, 180 twips apart.
    void PlaceMenuRowFromFirst();
    // ShpMenu around the first caption.
    void FitMenuHighlight();

    // ---- project state ---------------------------------------------------
    std::string currentProjectPath;
    bool isLoadingProject = false;
    std::string windowTitle;
    // What a save to currentProjectPath would write when the project was
    // last opened or saved (see IsModified), and the problems the file had
    // when it was opened, named again before it is saved over.
    std::string savedState;
    std::string openProblems;

    const PixelMap& Map() const { return map_; }
    // The mock-up is shown on a screen of another DPI from now on.
    void SetDpi(int dpi) { map_ = PixelMap(dpi); }

private:
    void MenuDragged(int k);
    bool ApplyPicture(El e, const std::string& text, bool takeSize);

    Pictures& pictures_;
    TextMeasure& measure_;
    PixelMap map_;
    std::array<std::string, kSlotLimit> slots_;
    std::array<bool, kSlotLimit> missing_{};
    std::array<bool, 2> frame_{};
    std::array<bool, 4> lock_{};
    std::array<MockElement, kElementCount> elements_{};
    double anchorX_ = 0, anchorY_ = 0;
};

// Colours are R + 256 G + 65536 B; the mock-up takes nothing larger.
constexpr int kMaxColourValue = 0xFFFFFF;

constexpr std::string_view kEditorTitle = "VT Skin Editor";
constexpr std::string_view kTitleText = "Vantrel";

// Value conversions used when a slot is applied. Integers accept an optional
// sign, decimals and an exponent, and round halves to even.
std::optional<int> ParseInteger(std::string_view text);
std::optional<int> ParseByte(std::string_view text);

}  // namespace vt
