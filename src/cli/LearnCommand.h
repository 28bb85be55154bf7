#pragma once

#include <span>
#include <string>

#include "cli/Cli.h"

namespace orv::cli {

// orvental-cli learn ENGLISH GERMAN [--into FOLDER]: pairs the records of an English
// plugin or master file and the same file in German (both only read) and adds what the
// German one translates to the external database and the translation memory in FOLDER,
// the program folder's dataextra unless named. Prints the summary (learn/LearnReport.h).
// Refused, with nothing written: a missing or damaged file, two files that are not the
// same file in two languages, a damaged external database or memory.
int run_learn(const Context& context, std::span<const std::string> arguments);

} // namespace orv::cli
