#pragma once

#include <span>
#include <string>

#include "cli/Cli.h"

namespace orv::cli {

// orvental-cli translate PLUGIN -o OUT [--edits EDITS] [--update-external]: loads the
// plugin as opening it does, applies the name edits of EDITS as the name-edit dialog's OK
// would, and saves it translated to OUT. The rebuilt external database serves the cell
// references either way but replaces the user's file only with --update-external.
// Refusals (usage, a refused plugin, a master file, a bad edit line) exit with 2 and write
// nothing; a failed write exits with 1 and leaves the old files as they were.
int run_translate(const Context& context, std::span<const std::string> arguments);

} // namespace orv::cli
