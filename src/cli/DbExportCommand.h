#pragma once

#include <span>
#include <string>

#include "cli/Cli.h"

namespace orv::cli {

// orvental-cli db export FILE.dat [--triples]: prints the entries of a database file on
// stdout, one line per entry. A file that ends inside an entry exits with 2 after showing
// its whole entries.
int run_db_export(const Context& context, std::span<const std::string> arguments);

} // namespace orv::cli
