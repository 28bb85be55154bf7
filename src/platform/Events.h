#pragma once

#include <variant>

#include "platform/Window.h"

namespace orv {

// What a list view reports with a control event. EditKey is Enter or F2 on its selected row;
// PickKey is Alt+1 to Alt+9 in the window of a list view made with pick keys.
// A text box reports Ctrl+Enter as StoreKey (Enter alone starts a new line in it), every
// other change as Other.
enum class ListEventType {
    Other = 0,
    RightClick = 1,
    DoubleClick = 2,
    EditKey = 3,
    StoreKey = 4,
    PickKey = 5,
};

// A menu bar or popup menu item was chosen.
struct MenuCommandEvent {
    int command = 0;
};

// Something happened to a control: a button was pressed, a list view was clicked.
struct ControlEvent {
    int control = 0;
    ListEventType type = ListEventType::Other;
    // PickKey only: the row the key chooses, 0 for Alt+1.
    int row = -1;
};

// The close box (or the system menu) of a window.
struct CloseRequestEvent {
    WindowId window = WindowId::Main;
};

// The platform's request for the main window's context menu, at a screen position.
struct ContextMenuEvent {
    int x = 0;
    int y = 0;
};

// A column header of a list view was clicked.
struct ColumnClickEvent {
    int control = 0;
    int column = 0;
};

// The main window's inner size changed; W is the inner width, H the inner height plus the
// menu bar's height.
struct ResizeEvent {
    int width = 0;
    int height = 0;
    bool minimized = false;
};

using Event = std::variant<MenuCommandEvent, ControlEvent, CloseRequestEvent, ContextMenuEvent,
                           ColumnClickEvent, ResizeEvent>;

// Receives the events of the windows, one at a time, on the thread that owns the windows.
class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void handle(const Event& event) = 0;
};

} // namespace orv
