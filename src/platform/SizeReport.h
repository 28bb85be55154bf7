#pragma once

#include <optional>

#include "platform/Events.h"

namespace orv {

// A size is reported to the program only when it changed. Start-up lays the controls out for
// the configured size, so showing the window at that size is no change.
class SizeReport {
public:
    void set_initial(const ResizeEvent& size) { m_last = size; }
    // The event to deliver for the window's current size, or nothing when it is the last one.
    std::optional<ResizeEvent> changed(const ResizeEvent& size) {
        if (m_last && m_last->width == size.width && m_last->height == size.height &&
            m_last->minimized == size.minimized) {
            return std::nullopt;
        }
        m_last = size;
        return size;
    }

private:
    std::optional<ResizeEvent> m_last;
};

} // namespace orv
