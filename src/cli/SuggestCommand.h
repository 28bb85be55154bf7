#pragma once

#include <span>
#include <string>

#include "cli/Cli.h"

namespace orv::cli {

// orvental-cli suggest "EV NAME" [--list LIST]: prints the name-edit dialog's suggestions
// for the EV Name (LIST as `list` prints it: only sources serving that list), best first,
// one per line:
//   DV NAME<TAB>SOURCE<TAB>KIND
// KIND is "exakt" or "ähnlich"; no line when nothing is known. A damaged or unreadable
// memory or database file is told on stderr; the other files still give suggestions.
int run_suggest(const Context& context, std::span<const std::string> arguments);

} // namespace orv::cli
