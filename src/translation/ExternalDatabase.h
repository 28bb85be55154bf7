#pragma once

#include <filesystem>

#include "platform/Files.h"

namespace orv {

// The sentinel pair ("FFFF", "FFFF") that keeps the external database from ever being
// empty: 04 00 00 00 46 46 46 46 04 00 00 00 46 46 46 46 hex.
Bytes sentinel_pair();

// Resets the external database to the sentinel pair alone. The file is replaced in one
// step, and a missing dataextra folder is created, so the user's translations are never
// half lost; a failure is returned with its German message.
Result<void> reset_external_database(Files& files, const std::filesystem::path& path);

} // namespace orv
