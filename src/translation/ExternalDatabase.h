#pragma once

#include <filesystem>
#include <string_view>

#include "platform/Files.h"
#include "platform/Text.h"

namespace orv {

// The texts of the "Löschen" command, Windows-1252: the question is asked in a Yes/No box
// titled kResetQuestionTitle, the confirmation shown in an OK box titled kResetDoneTitle.
inline constexpr std::string_view kResetQuestionTitle = "ACHTUNG!";
inline constexpr std::string_view kResetDoneTitle = "INFORMATION";
// D6 hex is the capital O with diaeresis.
inline constexpr std::string_view kResetDoneMessage = "EXTERNE DATENBANK GEL\xD6SCHT.";

// The question asked before a reset, naming the external database by its file name alone,
// in capitals; "\r" breaks the lines.
Text reset_question(const std::filesystem::path& external_path);

// The sentinel pair ("FFFF", "FFFF") that keeps the external database from ever being
// empty: 04 00 00 00 46 46 46 46 04 00 00 00 46 46 46 46 hex. It is the file's first entry.
inline constexpr std::string_view kSentinelText = "FFFF";
Bytes sentinel_pair();

// Resets the external database to the sentinel pair alone. The file is replaced in one
// step, and a missing dataextra folder is created, so the user's translations are never
// half lost; a failure is returned with its German message.
Result<void> reset_external_database(Files& files, const std::filesystem::path& path);

} // namespace orv
