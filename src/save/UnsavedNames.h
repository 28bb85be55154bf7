#pragma once

#include <cstddef>

#include "platform/Dialogs.h"
#include "translation/ObjectLists.h"

namespace orv {

// Rows marked "*": names typed by the user that only the next save puts into the plugin and
// the external database. Their mark is the only record of them.
std::size_t unsaved_name_count(const ObjectLists& lists);

// What would discard the unsaved names.
enum class DiscardingCommand { Quit, Open };

// Asks before the names of rows marked "*" are lost by quitting or by opening another
// plugin: true when there are none, or when the user answered Yes to the question that
// names how many there are.
bool may_discard_unsaved_names(Dialogs& dialogs, const ObjectLists& lists,
                               DiscardingCommand command);

} // namespace orv
