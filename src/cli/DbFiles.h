#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Cli.h"
#include "platform/Result.h"
#include "translation/DatabaseFile.h"

namespace orv::cli {

// What the db commands share: their arguments, the format of a database file, and the
// entries whose translation would break a name.

// The usage of the db commands, shown when their arguments do not fit.
Text db_usage();

struct DbArguments {
    std::filesystem::path input;
    // The file db import writes; nothing for the commands that only read.
    std::optional<std::filesystem::path> output;
    // Three texts per entry instead of two.
    bool triples = false;
    // Longest translation the lists that use the file can take (CP1252 bytes); 0 when no
    // list takes its texts as names.
    std::size_t name_limit = 0;
};

// The arguments after the name of a db command: one input file, --triples at most once and,
// where `takes_output`, "-o FILE" exactly once. The format is settled by the database file's
// name where the program uses a file of that name (--triples decides for other names); the
// database file is the output where there is one. Refused with the usage when the arguments
// do not fit, and with its own message when --triples contradicts a known file's name.
Result<DbArguments> db_arguments(std::span<const std::string> arguments, bool takes_output);

// A database file named on the command line of `db export` or `db check`, with its bytes.
struct DbInput {
    DbArguments arguments;
    Bytes bytes;
};
// Parses the arguments of a command that only reads and reads the file they name.
Result<DbInput> read_db_input(const Context& context, std::span<const std::string> arguments);

template <std::size_t N>
DatabaseFile<N> parse_database(ByteSpan bytes) {
    if constexpr (N == 2) {
        return parse_pair_file(bytes);
    } else {
        return parse_triple_file(bytes);
    }
}

// The program's German texts for stdout, which is UTF-8 as the source literals are.
std::string utf8(std::u8string_view literal);

// A text of an entry as the db commands show it: on one line, in quotes.
std::string quoted(const Text& text);

// Entries whose translation would break a name: longer than the lists using the file can
// take (`name_limit` bytes; 0 checks no length), or empty where the original is not, which
// would blank the name. Entry numbers count from 1, as the lines of an export.
struct SuspectEntries {
    std::vector<std::size_t> too_long;
    std::vector<std::size_t> emptied;
};

template <std::size_t N>
SuspectEntries suspect_entries(const std::vector<DatabaseEntry<N>>& entries,
                               std::size_t name_limit);

} // namespace orv::cli
