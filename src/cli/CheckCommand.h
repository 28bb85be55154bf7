#pragma once

#include <span>
#include <string>

#include "cli/Cli.h"

namespace orv::cli {

// The exit status of a check that found something.
inline constexpr int kExitFindings = 3;

// orvental-cli check PLUGIN [--edits EDITS]: loads the plugin as opening it does, applies
// the name edits of EDITS as translate does, and prints what the next save would leave
// broken, one finding per line: KIND<TAB>RECORD<TAB>ID<TAB>DETAIL. Nothing is written.
// Exits with 0 without findings, 3 with findings, 2 on a refusal.
int run_check(const Context& context, std::span<const std::string> arguments);

} // namespace orv::cli
