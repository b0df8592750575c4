// Turns the window's raw mouse messages into the events the main window
// model expects, the way windowless controls behave: the element a button
// went down on receives the moves and the release until the button comes up
// (as if it had captured the mouse), a click needs the release over that same
// element, and the second press of a double click is a double click, not a
// second press.
#pragma once

#include <optional>
#include <vector>

#include "launcher/mainwindow/main_model.h"
#include "launcher/scene/scene.h"

namespace vt {

enum class MouseEventKind { Move, Down, Up, Click, DoubleClick, Leave };

struct MouseEvent {
    MouseEventKind kind = MouseEventKind::Move;
    ElementId id;
    MouseButton button = MouseButton::Left;
    int x = 0;  // window twips
    int y = 0;
    MouseButtons held;  // Move only
};

class MouseRouter {
public:
    // `hit` is the element under the pointer.
    std::vector<MouseEvent> Move(ElementId hit, int x, int y, MouseButtons held);
    // doubleClick: the system reported this press as the second of a double click.
    std::vector<MouseEvent> Down(ElementId hit, MouseButton button, int x, int y, bool doubleClick);
    std::vector<MouseEvent> Up(ElementId hit, MouseButton button, int x, int y);
    // The pointer left the window.
    std::vector<MouseEvent> Leave();
    // Something else took the mouse (a popup menu, a dialog): the press is over.
    void CaptureLost();

    // The element holding the mouse while a button is down.
    std::optional<ElementId> Captured() const { return captured_; }

private:
    std::optional<ElementId> captured_;
    MouseButton button_ = MouseButton::Left;
    bool secondOfDouble_ = false;
};

// Applies the events to the model in order.
void Dispatch(MainModel& model, const std::vector<MouseEvent>& events);

}  // namespace vt
