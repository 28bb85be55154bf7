#pragma once

#include <cstddef>

#include "platform/Dialogs.h"
#include "translation/ObjectLists.h"
#include "translation/StoredTexts.h"

namespace orv {

// Rows marked "*": names typed by the user that only the next save puts into the plugin and
// the external database. Their mark is the only record of them.
std::size_t unsaved_name_count(const ObjectLists& lists);

// Everything the user did that only the next save puts into the plugin: names typed into
// rows (marked "*"), and texts stored with the text editor: long texts, each text of a script,
// and responses and journal entries (marked "*" too).
struct UnsavedWork {
    std::size_t names = 0;
    std::size_t texts = 0;

    bool any() const { return names + texts > 0; }
};
UnsavedWork unsaved_work(const ObjectLists& lists, const StoredTexts& texts);

// What would discard the unsaved work.
enum class DiscardingCommand { Quit, Open };

// Asks before unsaved names and texts are lost by quitting or by opening another plugin:
// true when there are none, or when the user answered Yes to the question that counts
// them. Enter answers No, so a hasty key never discards.
bool may_discard_unsaved_work(Dialogs& dialogs, const UnsavedWork& work, DiscardingCommand command);

} // namespace orv
