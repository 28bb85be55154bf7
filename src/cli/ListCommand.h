#pragma once

#include <span>
#include <string>

#include "cli/Cli.h"

namespace orv::cli {

// orvental-cli list PLUGIN: loads the plugin as opening it in the window does (the plugin
// file itself is never changed) and prints one line per row, the object lists in tab order,
// then one line per skill:
//   LABEL<TAB>MARK<TAB>ID<TAB>EV NAME<TAB>DV NAME
//   Skill<TAB>INDEX<TAB>ID<TAB>EV<TAB>DV
int run_list(const Context& context, std::span<const std::string> arguments);

} // namespace orv::cli
