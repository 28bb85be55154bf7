#pragma once

#include <array>
#include <chrono>
#include <mutex>
#include <optional>

#include "platform/Text.h"

namespace orv {

// The status fields' update rule. Status texts may come 100,000 times during a load; the
// fields show the latest text of each at most every 50 ms, and always the last one. Texts
// arrive on any thread (set); the window's thread asks when to redraw (delay) and takes the
// texts to show (take).
class StatusThrottle {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kInterval{50};

    // Keeps `text` for `field` (0 or 1; others are ignored). True when the window's thread
    // must be asked to redraw: once per batch of texts, however many arrive meanwhile.
    bool set(int field, const Text& text);
    // How long the window's thread should wait before it redraws, from `now`.
    std::chrono::milliseconds delay(Clock::time_point now) const;
    // The texts to show now (nothing for a field without a new text); counts a redraw.
    std::array<std::optional<Text>, 2> take(Clock::time_point now);
    int redraws() const { return m_redraws; }

private:
    mutable std::mutex m_mutex;
    std::array<std::optional<Text>, 2> m_pending;
    bool m_requested = false;
    std::optional<Clock::time_point> m_last_redraw;
    int m_redraws = 0;
};

} // namespace orv
