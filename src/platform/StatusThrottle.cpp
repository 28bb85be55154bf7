#include "platform/StatusThrottle.h"

namespace orv {

bool StatusThrottle::set(int field, const Text& text) {
    if (field < 0 || field >= static_cast<int>(m_pending.size())) {
        return false;
    }
    std::lock_guard lock(m_mutex);
    m_pending[static_cast<std::size_t>(field)] = text;
    const bool request = !m_requested;
    m_requested = true;
    return request;
}

std::chrono::milliseconds StatusThrottle::delay(Clock::time_point now) const {
    std::lock_guard lock(m_mutex);
    if (!m_last_redraw) {
        return std::chrono::milliseconds(0);
    }
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(now - *m_last_redraw);
    return waited >= kInterval ? std::chrono::milliseconds(0) : kInterval - waited;
}

std::array<std::optional<Text>, 2> StatusThrottle::take(Clock::time_point now) {
    std::array<std::optional<Text>, 2> texts;
    std::lock_guard lock(m_mutex);
    texts.swap(m_pending);
    m_requested = false;
    m_last_redraw = now;
    ++m_redraws;
    return texts;
}

} // namespace orv
