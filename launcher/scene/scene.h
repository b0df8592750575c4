// The main window as data. The window owns no child controls for its skinned
// parts: the core lays out this scene and reacts to input on it, and the
// Win32 shell only paints it (double-buffered) and forwards mouse events to
// the element under the pointer (see HitTest).
//
// Coordinates are twips. Each element's rectangle is relative to its parent's
// top-left corner (the window for top-level elements), and every element is
// clipped to its parent. The two scrolling strips are ordinary children of
// their viewports: the team strip scrolls by changing PicTeamIn.left (0 or
// negative), the item sheet by changing PicItemIn.top, and their children
// move with them.
//
// Colours are R + 256*G + 65536*B.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vt {

// Every kind of element of the main window. Single elements use index 0;
// control arrays (LabMenu, LabTeam, PicIcon, LabItem, Img* button stacks,
// ImgLock, ImgInside) use index 0.. .
enum class Part : int {
    ImgForm,    // whole window, transparent; takes mouse movement over empty parts
    ImgTitle,   // title area (drag handle), transparent
    LabTitle,   // title text; not a mouse target so drags reach ImgTitle
    ShpMenu,    // highlight box behind the menu caption under the mouse
    LabMenu,    // 0..3: "操作" "管理" "工具" "信息"
    PicTeam,    // team bar viewport
    PicTeamIn,  // team strip, child of PicTeam
    LabTeam,    // team captions, children of PicTeamIn; index = team index
    PicItem,    // item panel viewport
    PicItemIn,  // item sheet, child of PicItem
    PicIcon,    // item icons, children of PicItemIn; index = item index. Stock icons carry the
                // path of the skin's own picture (link.img, file.img, ...), so every icon is a file.
    LabItem,    // item captions, children of PicItemIn; index = item index
    ImgClose,   // 0..2 normal / under the mouse / pressed
    ImgMin,     // 0..2
    ImgLock,    // 0 off, 1 on
    ImgLeft,    // 0..2
    ImgRight,   // 0..2
    ImgUp,      // 0..2
    ImgDown,    // 0..2
    LabClose,   // transparent clickable areas of the seven buttons
    LabMin,
    LabLock,
    LabLeft,
    LabRight,
    LabUp,
    LabDown,
    ImgInside,  // 0..3 hidden holders of the stock icons: link, file, folder, extended item
    LabFind,    // the find line over the top of the item panel, child of PicItem; hidden until typing starts
    LabHit,     // team names of the found items, children of PicItemIn; index = row
    Count
};

const char* PartName(Part part);

struct ElementId {
    Part part = Part::ImgForm;
    int index = 0;
    friend bool operator==(const ElementId&, const ElementId&) = default;
};

enum class ElementKind { Panel, Label, Picture, Shape };
enum class Align { Left, Center, Right };

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool Contains(int x, int y) const { return x >= left && y >= top && x < left + width && y < top + height; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct Element {
    ElementId id;
    ElementKind kind = ElementKind::Label;
    // Panel the element lives in (PicTeamIn, PicItemIn, PicTeam, PicItem); none for top-level elements.
    std::optional<ElementId> parent;

    int left = 0;  // twips, relative to the parent
    int top = 0;
    int width = 0;
    int height = 0;
    bool visible = true;

    // Labels: text drawn with the program's font at fontSize points.
    std::string text;
    Align align = Align::Left;
    int fontSize = 9;
    bool bold = false;
    uint32_t foreColor = 0;

    // Background fill (panels, opaque labels, shape fill). transparent = no fill.
    uint32_t backColor = 0xFFFFFF;
    bool transparent = false;

    // Single-line border (panels, icons); shapes always draw theirs in borderColor.
    bool border = false;
    uint32_t borderColor = 0;

    // Pictures: file drawn at its natural size from the element's top-left corner.
    // Panels: background picture drawn from the panel's top-left corner.
    // UTF-8 path; empty for none. The shell loads and caches it by path.
    std::string picture;
    // Pictures without a file that must still be seen (a button whose skin
    // picture is missing): a plain button filling the element's rectangle in
    // backColor, framed in borderColor, with text (its symbol) centred in
    // foreColor at fontSize.
    bool standIn = false;
    // Item icons: the program, library or icon file the picture was drawn
    // from at 32 pixels and the icon's index there (empty: none known). On
    // a screen of more than 96 dpi the shell draws that icon at the size
    // the picture covers, from the file's own larger images.
    std::string iconFile;
    int iconIndex = 0;

    std::string tooltip;
    // False for elements the mouse passes through (title text, highlight box, hidden holders).
    bool mouseTarget = true;
};

class Scene {
public:
    // All single elements, and element 0 of every control array, in their design-time state.
    Scene();

    // Window size in twips and its background picture (drawn from the top-left corner;
    // pixels of RGB(250,250,250) are see-through).
    int width = 0;
    int height = 0;
    std::string backdrop;

    Element& At(ElementId id);
    const Element& At(ElementId id) const;
    Element& At(Part part, int index = 0) { return At(ElementId{part, index}); }
    const Element& At(Part part, int index = 0) const { return At(ElementId{part, index}); }
    bool Has(ElementId id) const;
    // Number of elements of a control array (1 for single elements).
    int Count(Part part) const;
    // Grows or shrinks a control array to count elements (at least 1: element 0 always
    // exists). New elements copy element 0's look and start hidden.
    void Resize(Part part, int count);

    // Rectangle in window coordinates.
    Rect WindowRect(ElementId id) const;
    // The part of the element that can be seen: its window rectangle cut by every
    // ancestor's rectangle. Empty width/height when nothing shows.
    Rect VisibleRect(ElementId id) const;
    // Visible itself and every ancestor visible.
    bool Shown(ElementId id) const;

    // Every element, bottom to top: paint in this order (each panel before its children).
    std::vector<ElementId> PaintOrder() const;

    // Scroll offsets of the two strips (PicTeamIn.left, PicItemIn.top), 0 or negative.
    int TeamScroll() const { return At(Part::PicTeamIn).left; }
    int ItemScroll() const { return At(Part::PicItemIn).top; }

private:
    std::vector<std::vector<Element>> parts_;  // indexed by Part
};

// The topmost shown mouse target under the point (window twips), respecting clipping.
// nullopt outside the window.
std::optional<ElementId> HitTest(const Scene& scene, int xTwips, int yTwips);

}  // namespace vt
