#include "launcher/mainwindow/mouse_router.h"

namespace vt {

std::vector<MouseEvent> MouseRouter::Move(ElementId hit, int x, int y, MouseButtons held) {
    MouseEvent e{MouseEventKind::Move, captured_.value_or(hit), button_, x, y, held};
    return {e};
}

std::vector<MouseEvent> MouseRouter::Down(ElementId hit, MouseButton button, int x, int y, bool doubleClick) {
    // One press at a time: a second button while one is held goes nowhere,
    // so the first element gets its release.
    if (captured_) return {};
    captured_ = hit;
    button_ = button;
    secondOfDouble_ = doubleClick && button == MouseButton::Left;
    if (secondOfDouble_) return {{MouseEventKind::DoubleClick, hit, button, x, y, {}}};
    return {{MouseEventKind::Down, hit, button, x, y, {}}};
}

std::vector<MouseEvent> MouseRouter::Up(ElementId hit, MouseButton button, int x, int y) {
    if (!captured_ || button != button_) return {};
    ElementId target = *captured_;
    captured_.reset();
    std::vector<MouseEvent> out{{MouseEventKind::Up, target, button, x, y, {}}};
    if (button == MouseButton::Left && !secondOfDouble_ && hit == target)
        out.push_back({MouseEventKind::Click, target, button, x, y, {}});
    secondOfDouble_ = false;
    return out;
}

std::vector<MouseEvent> MouseRouter::Leave() {
    if (captured_) return {};  // a drag goes on outside the window
    return {{MouseEventKind::Leave, {}, MouseButton::Left, 0, 0, {}}};
}

void MouseRouter::CaptureLost() {
    captured_.reset();
    secondOfDouble_ = false;
}

void Dispatch(MainModel& model, const std::vector<MouseEvent>& events) {
    for (const MouseEvent& e : events) {
        switch (e.kind) {
            case MouseEventKind::Move:
                model.OnMouseMove(e.id, e.x, e.y, e.held);
                break;
            case MouseEventKind::Down:
                model.OnMouseDown(e.id, e.button, e.x, e.y);
                break;
            case MouseEventKind::Up:
                model.OnMouseUp(e.id, e.button, e.x, e.y);
                break;
            case MouseEventKind::Click:
                model.OnClick(e.id);
                break;
            case MouseEventKind::DoubleClick:
                model.OnDoubleClick(e.id);
                break;
            case MouseEventKind::Leave:
                model.OnMouseLeave();
                break;
        }
    }
}

}  // namespace vt
