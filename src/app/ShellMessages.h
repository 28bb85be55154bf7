#pragma once

#include "platform/Dialogs.h"

namespace orv {

// The quit confirmation ("BEEDEN"): true only when the user answered Yes. The question
// about unsaved work, asked instead when there is any, is may_discard_unsaved_work.
bool confirm_quit(Dialogs& dialogs);

// The about box: program name and version on two lines, no icon.
void show_about(Dialogs& dialogs);

// Shown instead of the name-edit dialog while a worker loads or saves a plugin.
void show_wait_message(Dialogs& dialogs);

} // namespace orv
