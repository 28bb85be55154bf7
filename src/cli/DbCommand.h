#pragma once

#include <span>
#include <string>

#include "cli/Cli.h"

namespace orv::cli {

// orvental-cli db export|import|check: a translation database file as text, one line per
// entry holding its texts in order, separated by TABs (two texts for a pair file, three
// with --triples), in the text conventions of TextConventions.h.
//   db export FILE.dat [--triples]            prints the entries on stdout
//   db import TEXT -o FILE.dat [--triples]    writes the entries of TEXT to FILE.dat
//   db check FILE.dat [--triples]             counts entries, repeated originals, entries
//                                             whose translation equals their original, and
//                                             tells whether the file ends inside an entry
// An export imported again gives back the file byte for byte. Each sub-command has its own
// file; this one only picks it.
int run_db(const Context& context, std::span<const std::string> arguments);

} // namespace orv::cli
