#pragma once

#include <span>
#include <string>

#include "cli/Cli.h"

namespace orv::cli {

// orvental-cli db import TEXT -o FILE.dat [--triples]: writes the entries of TEXT, one line
// per entry as db export prints them, to FILE.dat. The first bad line is refused by its
// number, with exit status 2, and nothing is written; a failed write exits with 1 and leaves
// the old file as it was. Entries whose translation would break a name are written all the
// same, with a warning each on stderr.
int run_db_import(const Context& context, std::span<const std::string> arguments);

} // namespace orv::cli
