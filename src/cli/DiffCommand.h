#pragma once

#include <span>
#include <string>

#include "cli/Cli.h"

namespace orv::cli {

// orvental-cli diff OLD NEW: what changed between two versions of a plugin (both only
// read), one line per translatable text (learn/PluginDiff.h):
//   KIND<TAB>ID<TAB>WHAT<TAB>OLD TEXT<TAB>NEW TEXT
// WHAT is "new", "removed" or "text changed"; the fields follow the batch tool's text
// conventions, as list's and todo's do.
int run_diff(const Context& context, std::span<const std::string> arguments);

} // namespace orv::cli
