#pragma once

#include "window/WindowRemote.h"

namespace orv {

// The window driver on Win32: the window messages a user's actions produce (menu commands,
// tab changes, list-view notifications, typed characters, button clicks) sent in-process,
// and the controls' state read back from the controls themselves.
class Win32Remote final : public WindowRemote {
public:
    using WindowRemote::answer_next_message_box;
    using WindowRemote::WindowRemote;

    // Paints whatever waits to be painted, now.
    void paint();
    // The window's frame on the screen, in pixels.
    Rect frame_rect(WindowId window) const;
    int row_count(int control) const;
    std::string cell(int control, int row, int column) const;
    // The same as without `keep_open`, but the box is answered only once `keep_open` says
    // false; it is asked every few milliseconds with the box's frame on the screen.
    static void answer_next_message_box(MessageAnswer answer, Seen seen,
                                        std::function<bool(const Rect& frame)> keep_open);
};

} // namespace orv
