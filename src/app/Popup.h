#pragma once

#include "app/CommandIds.h"
#include "platform/Events.h"
#include "platform/Window.h"

namespace orv {

// A pop-up window of the program: the name dialog, the text editor, the findings. It owns a
// range of control numbers and handles its own controls; the application hands it the
// events of those controls and of its close box, and knows nothing of its buttons.
class Popup {
public:
    virtual ~Popup() = default;

    virtual WindowId window() const = 0;
    virtual IdRange controls() const = 0;
    // An event of one of its controls.
    virtual void on_control(const ControlEvent& event) = 0;
    // Its window's close box.
    virtual void on_close_box() = 0;
};

// Opens pop-up window `popup`, `width` by `height` pixels, centred on the main window (with
// integer halves), as every pop-up of the program opens.
inline void open_centred_popup(Window& window, WindowId popup, const Text& title, int width,
                               int height) {
    const Rect main = window.main_window_rect();
    window.open_popup(popup, title,
                      Rect{main.left + main.width / 2 - width / 2,
                           main.top + main.height / 2 - height / 2, width, height});
}

} // namespace orv
