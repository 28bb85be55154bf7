#pragma once

#include <span>
#include <string>

#include "cli/Cli.h"

namespace orv::cli {

// orvental-cli db check FILE.dat [--triples]: counts the entries of a database file and lists
// repeated originals, entries whose translation equals their original, translations too long
// for the lists using the file and empty translations of originals that are not empty; then
// tells whether the file ends inside an entry, which exits with 2.
int run_db_check(const Context& context, std::span<const std::string> arguments);

} // namespace orv::cli
