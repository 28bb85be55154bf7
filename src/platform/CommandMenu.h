#pragma once

#include <array>

#include "platform/Window.h"

namespace orv {

// The command menu items: "Öffnen", "Speichern", "Speichern als...", "Löschen", "Prüfen",
// the five "Text bearbeiten" entries and "Bearbeiten". They are always disabled and enabled
// together, in this order, so that no second command or editor starts while one works.
// "Beenden", "Hilfe" and "Über" are never disabled.
inline constexpr std::array<int, 11> kCommandMenuItems = {1, 2, 3, 5, 7, 9, 10, 11, 12, 13, 25};

inline void set_command_menu_enabled(Window& window, bool enabled) {
    for (const int command : kCommandMenuItems) {
        window.set_menu_item_enabled(command, enabled);
    }
}

} // namespace orv
