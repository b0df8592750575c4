#include "skineditor/editor_model.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

#include "common/twips.h"

namespace vt {

const std::array<std::string_view, 4> kMenuCaptions = {"操作", "管理", "工具", "信息"};

namespace {

constexpr double kMenuGap = 180;
constexpr double kHandleSize = 100;  // handles are placed as if this wide
constexpr double kReachRoom = 120;   // beyond an element off the mock-up window

const El kPaintOrder[] = {
    El::ImgTitle, El::LabTitle, El::ShpMenu,  El::LabMenu0, El::LabMenu1, El::LabMenu2, El::LabMenu3,
    El::PicTeam,  El::PicItem,  El::ImgClose, El::ImgMin,   El::ImgLock,  El::ImgLeft,  El::ImgRight,
    El::ImgUp,    El::ImgDown,  El::ShpTitle, El::LabMove0, El::LabMove1, El::LabMove2, El::LabMove3,
};

// Topmost first: the reverse of the paint order, each panel's captions and
// icons just before the panel. The title grip is picked last, so whatever
// lies over it stays pickable.
const std::vector<El>& HitOrder() {
    static const std::vector<El> order = [] {
        std::vector<El> out;
        for (auto it = std::rbegin(kPaintOrder); it != std::rend(kPaintOrder); ++it) {
            if (*it == El::ShpTitle || *it == El::ShpMenu || *it == El::ImgTitle) continue;  // outlines take no press
            if (*it == El::PicTeam)
                for (El k : {El::LabTeam2, El::LabTeam1, El::LabTeam0})
                    out.push_back(k);
            if (*it == El::PicItem)
                for (El k : {El::LabItem1, El::LabItem0, El::PicIcon1, El::PicIcon0})
                    out.push_back(k);
            out.push_back(*it);
        }
        out.push_back(El::ImgTitle);
        return out;
    }();
    return order;
}

bool Contains(const MockRect& r, double x, double y) {
    return x >= r.left && y >= r.top && x < r.Right() && y < r.Bottom();
}

El MenuEl(int k) {
    return static_cast<El>(static_cast<int>(El::LabMenu0) + k);
}
El MoveEl(int k) {
    return static_cast<El>(static_cast<int>(El::LabMove0) + k);
}
int MoveIndex(El e) {
    return static_cast<int>(e) - static_cast<int>(El::LabMove0);
}
bool IsMenu(El e) {
    return e >= El::LabMenu0 && e <= El::LabMenu3;
}
bool IsMove(El e) {
    return e >= El::LabMove0 && e <= El::LabMove3;
}

// Half to even, like the conversions of the original value boxes.
double RoundEven(double v) {
    double r = std::round(v);
    if (std::fabs(v - std::trunc(v)) == 0.5) r = 2.0 * std::round(v / 2.0);
    return r;
}

std::optional<int> ParseColour(std::string_view text) {
    auto v = ParseInteger(text);
    if (!v || *v < 0 || *v > kMaxColourValue) return std::nullopt;
    return v;
}

}  // namespace

const std::vector<El>& MockPaintOrder() {
    static const std::vector<El> order(std::begin(kPaintOrder), std::end(kPaintOrder));
    return order;
}

std::optional<int> ParseInteger(std::string_view text) {
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
            ++i;
    };
    skipBlanks();
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.push_back(text[i++]);
    size_t digits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
        number.push_back(text[i++]), ++digits;
    if (i < text.size() && text[i] == '.') {
        number.push_back(text[i++]);
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            number.push_back(text[i++]), ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        number.push_back(text[i++]);
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) number.push_back(text[i++]);
        size_t expDigits = 0;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            number.push_back(text[i++]), ++expDigits;
        if (expDigits == 0) return std::nullopt;
    }
    skipBlanks();
    if (i != text.size()) return std::nullopt;
    double v = std::strtod(number.c_str(), nullptr);
    if (!std::isfinite(v)) return std::nullopt;
    double r = RoundEven(v);
    if (r < static_cast<double>(std::numeric_limits<int>::min()) ||
        r > static_cast<double>(std::numeric_limits<int>::max()))
        return std::nullopt;
    return static_cast<int>(r);
}

std::optional<int> ParseByte(std::string_view text) {
    auto v = ParseInteger(text);
    if (!v || *v < 0 || *v > 255) return std::nullopt;
    return v;
}

std::optional<El> DragTargetOf(El hit) {
    switch (hit) {
        case El::ImgTitle:
        case El::LabTitle:
            return El::ImgTitle;
        case El::LabTeam0:
        case El::LabTeam1:
        case El::LabTeam2:
        case El::PicTeam:
            return El::PicTeam;
        case El::PicIcon0:
        case El::PicIcon1:
        case El::LabItem0:
        case El::LabItem1:
        case El::PicItem:
            return El::PicItem;
        case El::LabMove0:
        case El::LabMove1:
        case El::LabMove2:
        case El::LabMove3:
        case El::ImgClose:
        case El::ImgMin:
        case El::ImgLock:
        case El::LabMenu0:
        case El::LabMenu1:
        case El::LabMenu2:
        case El::LabMenu3:
        case El::ImgLeft:
        case El::ImgRight:
        case El::ImgUp:
        case El::ImgDown:
            return hit;
        default:
            return std::nullopt;
    }
}

int LockIndexOf(El e) {
    switch (e) {
        case El::ImgTitle:
        case El::LabTitle:
        case El::LabMove0:
        case El::LabMove1:
        case El::LabMove2:
        case El::LabMove3:
        case El::ImgClose:
        case El::ImgMin:
        case El::ImgLock:
            return 0;
        case El::LabMenu0:
        case El::LabMenu1:
        case El::LabMenu2:
        case El::LabMenu3:
            return 1;
        case El::PicTeam:
        case El::LabTeam0:
        case El::LabTeam1:
        case El::LabTeam2:
        case El::ImgLeft:
        case El::ImgRight:
            return 2;
        case El::PicItem:
        case El::PicIcon0:
        case El::PicIcon1:
        case El::LabItem0:
        case El::LabItem1:
        case El::ImgUp:
        case El::ImgDown:
            return 3;
        default:
            return -1;
    }
}

std::optional<El> ParentOf(El e) {
    if (e >= El::LabTeam0 && e <= El::LabTeam2) return El::PicTeam;
    if (e >= El::PicIcon0 && e <= El::LabItem1) return El::PicItem;
    return std::nullopt;
}

std::optional<int> PictureSlotOf(El e) {
    static constexpr std::pair<El, int> kPreviews[] = {
        {El::PicEditIn, 0}, {El::ImgClose, 2}, {El::ImgMin, 5},   {El::ImgLock, 8},  {El::ImgLeft, 16},
        {El::ImgRight, 19}, {El::ImgUp, 32},   {El::ImgDown, 35}, {El::PicTeam, 30},
    };
    for (const auto& [el, slot] : kPreviews)
        if (el == e) return slot;
    return std::nullopt;
}

DragCursor CursorOf(El e) {
    if (e == El::LabMove0 || e == El::LabMove2) return DragCursor::SizeWE;
    if (e == El::LabMove1 || e == El::LabMove3) return DragCursor::SizeNS;
    if (ParentOf(e)) return DragCursor::Arrow;
    return DragTargetOf(e) ? DragCursor::SizeAll : DragCursor::Arrow;
}

EditorModel::EditorModel(Pictures& pictures, TextMeasure& measure, int dpi)
    : pictures_(pictures), measure_(measure), map_(dpi) {
    Reset();
}

void EditorModel::Reset() {
    for (auto& s : slots_)
        s.clear();
    missing_ = {};
    savedState.clear();
    openProblems.clear();
    for (const auto& info : kSlots)
        slots_[static_cast<size_t>(info.slot)] = std::string(info.def);
    frame_ = {true, true};
    lock_ = {};
    currentProjectPath.clear();
    isLoadingProject = false;
    windowTitle = std::string(kEditorTitle);
    anchorX_ = anchorY_ = 0;

    auto set = [&](El e, double l, double t, double w, double h) -> MockElement& {
        MockElement& el = Mutable(e);
        el = MockElement{};
        el.rect = {l, t, w, h};
        return el;
    };
    set(El::PicEditIn, 0, 0, 4500, 5250).picture = PictureSource::BuiltIn;
    MockElement& title = set(El::ShpTitle, 0, 0, 4500, 495);
    title.lineColor = 255;
    set(El::ImgTitle, 0, 0, 4500, 495);
    MockElement& labTitle = set(El::LabTitle, 240, 120, 1200, 240);
    labTitle.fontSize = 12;
    labTitle.opaque = false;
    for (int k = 0; k < 4; ++k) {
        MockElement& h = set(MoveEl(k), 0, 0, 105, 105);
        h.backColor = 0;
    }
    set(El::ImgClose, 3960, 120, 300, 300).picture = PictureSource::BuiltIn;
    set(El::ImgMin, 3600, 120, 300, 300).picture = PictureSource::BuiltIn;
    set(El::ImgLock, 3240, 120, 300, 300).picture = PictureSource::BuiltIn;
    const double menuLefts[4] = {240, 840, 1320, 1800};
    for (int k = 0; k < 4; ++k)
        set(MenuEl(k), menuLefts[k], 600, 360, 180).opaque = false;
    MockElement& shp = set(El::ShpMenu, 120, 550, 615, 255);
    shp.backColor = 0xFFFFFF;
    shp.lineColor = 0;
    MockElement& team = set(El::PicTeam, 600, 960, 3255, 300);
    team.border = true;
    set(El::LabTeam0, 0, 0, 960, 180);
    set(El::LabTeam1, 1080, 0, 960, 180);
    set(El::LabTeam2, 2280, 0, 960, 180);
    set(El::ImgLeft, 240, 960, 300, 300).picture = PictureSource::BuiltIn;
    set(El::ImgRight, 3960, 960, 300, 300).picture = PictureSource::BuiltIn;
    MockElement& item = set(El::PicItem, 90, 1680, 4300, 3015);
    item.border = true;
    set(El::PicIcon0, 360, 120, 495, 495).backColor = 14737632;
    set(El::PicIcon1, 1560, 120, 495, 495).backColor = 14737632;
    set(El::LabItem0, 120, 720, 1020, 180);
    set(El::LabItem1, 1320, 720, 1020, 180);
    set(El::ImgUp, 360, 1320, 3750, 300).picture = PictureSource::BuiltIn;
    set(El::ImgDown, 360, 4800, 3750, 300).picture = PictureSource::BuiltIn;

    // The title area spans the whole mock-up window at start.
    Mutable(El::ShpTitle).rect.width = Get(El::PicEditIn).rect.width;
    LayoutTitleBar();
}

const std::string& EditorModel::SlotText(int slot) const {
    static const std::string empty;
    if (!IsSlot(slot)) return empty;
    return slots_[static_cast<size_t>(slot)];
}

void EditorModel::SetSlotText(int slot, std::string text) {
    if (!IsSlot(slot)) return;
    std::string& box = slots_[static_cast<size_t>(slot)];
    if (box == text) return;
    box = std::move(text);
    if (isLoadingProject)
        ApplyProperty(slot);
    else
        missing_[static_cast<size_t>(slot)] = false;
}

void EditorModel::SetFrame(int k, bool on) {
    frame_[static_cast<size_t>(k)] = on;
    Mutable(k == 0 ? El::PicTeam : El::PicItem).border = on;
}

void EditorModel::MoveTo(El e, double left, double top) {
    MockElement& el = Mutable(e);
    el.rect.left = left;
    el.rect.top = top;
}

MockRect EditorModel::AbsoluteRect(El e) const {
    MockRect r = Get(e).rect;
    if (auto parent = ParentOf(e)) {
        const MockRect p = Get(*parent).rect;
        r.left += p.left;
        r.top += p.top;
    }
    return r;
}

std::optional<El> EditorModel::HitTest(double x, double y) const {
    for (El e : HitOrder()) {
        if (auto parent = ParentOf(e))
            if (!Contains(Get(*parent).rect, x, y)) continue;  // clipped by the panel
        if (Contains(AbsoluteRect(e), x, y)) return e;
    }
    return std::nullopt;
}

MockRect EditorModel::ReachableArea() const {
    const MockRect window = Get(El::PicEditIn).rect;
    double left = 0, top = 0, right = window.width, bottom = window.height;
    for (int i = 0; i < kElementCount; ++i) {
        const El e = static_cast<El>(i);
        if (e == El::PicEditIn || ParentOf(e)) continue;  // children never leave their panel
        const MockRect r = Get(e).rect;
        // Less than a pixel out shows nothing off the window (the title
        // handles stick out a few twips by design).
        const double onePixel = TwipsPerPixel(map_.Dpi());
        if (r.left <= -onePixel) left = std::min(left, r.left - kReachRoom);
        if (r.top <= -onePixel) top = std::min(top, r.top - kReachRoom);
        if (r.Right() >= window.width + onePixel) right = std::max(right, r.Right() + kReachRoom);
        if (r.Bottom() >= window.height + onePixel) bottom = std::max(bottom, r.Bottom() + kReachRoom);
    }
    return {left, top, right - left, bottom - top};
}

bool EditorModel::ApplyPicture(El e, const std::string& text, bool takeSize) {
    MockElement& el = Mutable(e);
    if (text.empty()) {
        // An unset picture shows its stand-in, which is what a build writes
        // for it; only the team bar may go without a picture.
        el.picture = e == El::PicTeam ? PictureSource::None : PictureSource::BuiltIn;
        el.picturePath.clear();
        return true;
    }
    auto size = pictures_.Probe(text);
    if (!size || size->width <= 0 || size->height <= 0) return false;
    el.picture = PictureSource::File;
    el.picturePath = text;
    if (takeSize) {
        // Pictures are made for 96 dpi: their size in twips is the same on any screen.
        el.rect.width = size->width * kTwipsPerPicturePixel;
        el.rect.height = size->height * kTwipsPerPicturePixel;
    }
    return true;
}

std::vector<int> EditorModel::MissingPictures() const {
    std::vector<int> out;
    for (const auto& s : kSlots)
        if (missing_[static_cast<size_t>(s.slot)]) out.push_back(s.slot);
    return out;
}

bool EditorModel::ApplyProperty(int slot) {
    if (!IsSlot(slot)) return false;
    const std::string text = SlotText(slot);
    if (FindSlot(slot)->kind == SlotKind::Picture) {
        // A path kept as missing stays until the designer changes it, also
        // when its box merely loses the focus.
        bool& missing = missing_[static_cast<size_t>(slot)];
        if ((isLoadingProject || missing) && !text.empty()) {
            auto size = pictures_.Probe(text);
            missing = !size || size->width <= 0 || size->height <= 0;
            if (missing) return false;  // the element keeps its stand-in
        }
        missing = false;
    }
    bool ok = true;
    auto colour = [&](auto setter) {
        auto v = ParseColour(text);
        if (!v) return false;
        setter(*v);
        return true;
    };
    auto textColour = [&](El e) { return colour([&](int c) { Mutable(e).textColor = c; }); };
    auto backColour = [&](El e) { return colour([&](int c) { Mutable(e).backColor = c; }); };

    switch (slot) {
        case 0:
            ok = ApplyPicture(El::PicEditIn, text, true);
            break;
        case 2:
            ok = ApplyPicture(El::ImgClose, text, true);
            break;
        case 5:
            ok = ApplyPicture(El::ImgMin, text, true);
            break;
        case 8:
            ok = ApplyPicture(El::ImgLock, text, true);
            break;
        case 16:
            ok = ApplyPicture(El::ImgLeft, text, true);
            break;
        case 19:
            ok = ApplyPicture(El::ImgRight, text, true);
            break;
        case 32:
            ok = ApplyPicture(El::ImgUp, text, true);
            break;
        case 35:
            ok = ApplyPicture(El::ImgDown, text, true);
            break;
        case 9:
            ok = colour([&](int c) { Mutable(El::ShpMenu).lineColor = c; });
            break;
        case 50:
            ok = backColour(El::ShpMenu);
            break;
        case 11:
            ok = textColour(El::LabTitle);
            break;
        case 12:
            ok = colour([&](int c) { Mutable(El::LabMenu2).textColor = Mutable(El::LabMenu3).textColor = c; });
            break;
        case 13:
            ok = textColour(El::LabMenu0);
            break;
        case 14:
            ok = textColour(El::LabMenu1);
            break;
        case 15: {
            auto v = ParseInteger(text);
            if (!v || *v < 1 || *v > 255) {
                ok = false;
                break;
            }
            for (int k = 0; k < 4; ++k) {
                MockElement& m = Mutable(MenuEl(k));
                m.fontSize = *v;
                m.rect.width = measure_.TextWidthTwips(std::string(kMenuCaptions[static_cast<size_t>(k)]), *v);
                m.rect.height = *v * 20.0;
            }
            PlaceMenuRowFromFirst();
            break;
        }
        case 22:
        case 38: {
            auto v = ParseByte(text);
            if (!v) {
                ok = false;
                break;
            }
            if (slot == 22)
                for (El e : {El::LabTeam0, El::LabTeam1, El::LabTeam2})
                    Mutable(e).fontSize = *v;
            else
                for (El e : {El::LabItem0, El::LabItem1})
                    Mutable(e).fontSize = *v;
            break;
        }
        case 23:
            ok = textColour(El::LabTeam0);
            break;
        case 24:
            ok = textColour(El::LabTeam1);
            break;
        case 25:
            ok = textColour(El::LabTeam2);
            break;
        case 26:
            ok = backColour(El::LabTeam0);
            break;
        case 27:
            ok = backColour(El::LabTeam1);
            break;
        case 28:
            ok = backColour(El::LabTeam2);
            break;
        case 29:
            ok = backColour(El::PicTeam);
            break;
        case 30:
            ok = ApplyPicture(El::PicTeam, text, false);
            if (ok)
                for (El e : {El::LabTeam0, El::LabTeam1, El::LabTeam2})
                    Mutable(e).opaque = text.empty();
            break;
        case 31:
        case 48:
        case 49: {
            auto v = ParseInteger(text);
            if (!v || *v < 0) {
                ok = false;
                break;
            }
            if (slot == 31) Mutable(El::PicTeam).rect.width = *v;
            if (slot == 48) Mutable(El::PicTeam).rect.height = *v;
            if (slot == 49) Mutable(El::PicItem).rect.height = *v;
            break;
        }
        case 39:
            ok = textColour(El::LabItem1);
            break;
        case 40:
            ok = textColour(El::LabItem0);
            break;
        case 41:
            ok = backColour(El::LabItem1);
            break;
        case 42:
            ok = backColour(El::LabItem0);
            break;
        case 43: {
            auto v = ParseByte(text);
            // The launcher keeps the panel width in a 16-bit signed value.
            if (!v || *v * 1025 + 200 > 32767) {
                ok = false;
                break;
            }
            Mutable(El::PicItem).rect.width = *v * 1025 + 200;
            break;
        }
        default:
            break;  // kept for the package only, no preview
    }
    if (!ok) SetSlotText(slot, "");
    return ok;
}

void EditorModel::LayoutTitleBar() {
    const MockRect t = Get(El::ShpTitle).rect;
    MoveTo(El::LabMove0, t.left, t.top + (t.height - kHandleSize) / 2);
    MoveTo(El::LabMove1, t.left + (t.width - kHandleSize) / 2, t.top);
    MoveTo(El::LabMove2, t.left + t.width - kHandleSize, Get(El::LabMove0).rect.top);
    MoveTo(El::LabMove3, Get(El::LabMove1).rect.left, t.top + t.height - kHandleSize);
    Mutable(El::ImgTitle).rect = t;
    const double labHeight = Get(El::LabTitle).rect.height;
    MoveTo(El::LabTitle, t.left + 200, t.top + (t.height - labHeight) / 2);
}

void EditorModel::PlaceMenuRowFromFirst() {
    const double top = Get(El::LabMenu0).rect.top;
    for (int k = 1; k < 4; ++k) {
        const MockRect prev = Get(MenuEl(k - 1)).rect;
        MoveTo(MenuEl(k), prev.left + prev.width + kMenuGap, top);
    }
}

void EditorModel::FitMenuHighlight() {
    const MockRect m = Get(El::LabMenu0).rect;
    Mutable(El::ShpMenu).rect = {m.left - 50, m.top - 50, m.width + 100, m.height + 100};
}

void EditorModel::MenuDragged(int k) {
    const double top = Get(MenuEl(k)).rect.top;
    for (int j = k + 1; j < 4; ++j) {
        const MockRect left = Get(MenuEl(j - 1)).rect;
        MoveTo(MenuEl(j), left.left + left.width + kMenuGap, top);
    }
    for (int j = k - 1; j >= 0; --j) {
        const MockRect right = Get(MenuEl(j + 1)).rect;
        MoveTo(MenuEl(j), right.left - kMenuGap - Get(MenuEl(j)).rect.width, top);
    }
    FitMenuHighlight();
}

std::optional<El> EditorModel::HitTestPixel(int x, int y) const {
    return HitTest(map_.TwipAt(x), map_.TwipAt(y));
}

std::optional<El> EditorModel::PressAtPixel(int x, int y) {
    auto hit = HitTestPixel(x, y);
    if (!hit || !DragTargetOf(*hit)) return std::nullopt;
    const MockRect r = AbsoluteRect(*hit);
    MouseDown(*DragTargetOf(*hit), map_.TwipAt(x) - r.left, map_.TwipAt(y) - r.top);
    return hit;
}

bool EditorModel::DragToPixel(El pressed, int x, int y) {
    auto target = DragTargetOf(pressed);
    if (!target) return false;
    // Taken in the pressed element's own coordinates, which move with it.
    const MockRect r = AbsoluteRect(pressed);
    return MouseMove(*target, map_.TwipAt(x) - r.left, map_.TwipAt(y) - r.top);
}

void EditorModel::MouseDown(El target, double x, double y) {
    anchorX_ = RoundEven(x);
    anchorY_ = RoundEven(y);
    (void)target;
}

bool EditorModel::MouseMove(El target, double x, double y) {
    auto grip = DragTargetOf(target);
    if (!grip || *grip != target) return false;
    int lock = LockIndexOf(target);
    if (lock >= 0 && Lock(lock)) return false;
    const double dx = x - anchorX_;
    const double dy = y - anchorY_;
    MockElement& el = Mutable(target);
    el.rect.left += dx;
    el.rect.top += dy;

    if (target == El::ImgTitle) {
        MockRect& t = Mutable(El::ShpTitle).rect;
        t.left = el.rect.left;
        t.top = el.rect.top;
        LayoutTitleBar();
    } else if (IsMove(target)) {
        MockRect& t = Mutable(El::ShpTitle).rect;
        const MockRect h = el.rect;
        // A step that would make the rectangle's size negative is skipped.
        switch (MoveIndex(target)) {
            case 0: {
                double w = t.left - h.left + t.width;
                if (w >= 0) t.width = w;
                t.left = h.left;
                break;
            }
            case 1: {
                double hh = t.top - h.top + t.height;
                if (hh >= 0) t.height = hh;
                t.top = h.top;
                break;
            }
            case 2:
                if (t.width + dx >= 0) t.width += dx;
                break;
            case 3:
                if (t.height + dy >= 0) t.height += dy;
                break;
        }
        LayoutTitleBar();
    } else if (IsMenu(target)) {
        MenuDragged(static_cast<int>(target) - static_cast<int>(El::LabMenu0));
    }
    return dx != 0 || dy != 0;
}

}  // namespace vt
