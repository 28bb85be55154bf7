#pragma once

#include <filesystem>

#include "platform/Dialogs.h"
#include "platform/Files.h"

namespace orv {

// "Externe Datenbank" -> "Löschen": asks first, and only after Yes resets the external
// database at `external_path` to the sentinel pair. The user learns the outcome either
// way: the confirmation after a reset, the German error message when it failed (the old
// file then stays as it was).
void reset_external_database_with_question(Dialogs& dialogs, Files& files,
                                           const std::filesystem::path& external_path);

} // namespace orv
