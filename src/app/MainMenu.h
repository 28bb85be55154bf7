#pragma once

#include <vector>

#include "app/CommandIds.h"
#include "platform/Window.h"

namespace orv {

// The menu bar, in the order of its menus and items; command 0 is a separator.
std::vector<Menu> main_menu_bar();
// The popup menu of the object lists.
std::vector<MenuItem> list_popup_menu();

} // namespace orv
