#pragma once

#include "app/FileCommands.h"

namespace orv {

// "Externe Datenbank" -> "Aus Übersetzung lernen...", the whole body of a worker thread:
// asks for an English file and its German version, learns what the German one translates
// into the external database and the translation memory of the program folder (progress in
// the status bar, the command menu items disabled meanwhile), and ends with a box that sums
// up what was and was not learned, or with the German message of what failed (the old
// files then stay as they were). What was learned counts from the next Open on.
void learn_command(FileCommandContext& context);

} // namespace orv
