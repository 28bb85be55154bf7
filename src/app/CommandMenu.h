#pragma once

#include "app/CommandIds.h"
#include "platform/Window.h"

namespace orv {

// Disables or enables the command menu items together (see kCommandMenuItems).
inline void set_command_menu_enabled(Window& window, bool enabled) {
    for (const int command : kCommandMenuItems) {
        window.set_menu_item_enabled(command, enabled);
    }
}

// Enables what a workspace with or without a loaded plugin can use and greys the rest: at
// start-up, and after an Open that loaded nothing new.
inline void enable_command_menu_for(Window& window, bool plugin_loaded) {
    for (const int command : kCommandMenuItems) {
        window.set_menu_item_enabled(command, plugin_loaded || !needs_plugin(command));
    }
}

} // namespace orv
