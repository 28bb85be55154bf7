#pragma once

#include <span>
#include <string>

#include "cli/Cli.h"

namespace orv::cli {

// orvental-cli todo PLUGIN: loads the plugin as opening it in the window does (the file is
// never changed) and prints the rows still to do (no mark, DV Name equal to EV Name), the object
// lists in tab order, rows in file order, as an edits file:
//   LABEL<TAB>ID<TAB>EV NAME
// then one line per player text still to do (translation/PlayerTexts.h), the kinds in table
// order, texts in file order:
//   KIND<TAB>KEY<TAB>TEXT
// The third field is to be overwritten with the German name or text; the file then goes to
// `translate --edits`, where a line left as it was records nothing.
int run_todo(const Context& context, std::span<const std::string> arguments);

} // namespace orv::cli
