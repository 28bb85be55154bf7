#pragma once

#include <array>
#include <vector>

#include "platform/Window.h"

namespace orv {

// The command numbers the menus carry and the dispatcher tells apart. The five "Text
// bearbeiten" entries use the numbers of kTextTargets (9 to 13).
namespace command {
inline constexpr int kOpen = 1;
inline constexpr int kSave = 2;
inline constexpr int kSaveAs = 3;
inline constexpr int kQuit = 4;
inline constexpr int kResetExternalDatabase = 5;
inline constexpr int kCheck = 7;
inline constexpr int kHelp = 20;
inline constexpr int kAbout = 21;
inline constexpr int kEditName = 25;
} // namespace command

// The menu bar, in the order of its menus and items; command 0 is a separator.
std::vector<Menu> main_menu_bar();
// The popup menu of the object lists.
std::vector<MenuItem> list_popup_menu();

// Greyed at start-up: everything that needs a loaded plugin. The first Open enables them
// with the other command menu items.
inline constexpr std::array<int, 9> kDisabledAtStart = {2, 3, 7, 9, 10, 11, 12, 13, 25};

} // namespace orv
