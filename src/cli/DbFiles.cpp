#include "cli/DbFiles.h"

#include <algorithm>
#include <cctype>

#include "plugin/RecordTypes.h"
#include "translation/ExternalDatabase.h"
#include "translation/TextConventions.h"
#include "translation/TranslationDatabase.h"

namespace orv::cli {
namespace {

bool same_name_ignoring_case(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

// What the program itself reads from a database file of this name, or nothing for a name
// it does not use.
struct KnownFile {
    bool triples = false;
    std::size_t name_limit = 0;
};

std::optional<KnownFile> known_database_file(std::string_view file_name) {
    const auto named = [file_name](std::string_view known) {
        return same_name_ignoring_case(file_name, known);
    };
    if (named(kSkillTableName)) {
        return KnownFile{true, 0};
    }
    for (const auto& target : kTextTargets) {
        if (named(target.text_database)) {
            return KnownFile{true, 0};
        }
    }
    if (named(kGameSettingsName)) {
        return KnownFile{false, 0};
    }
    // Every list looks names up in the external database; a translation longer than the
    // largest limit fits none of them.
    const bool external = named(kExternalDatabaseName);
    std::optional<KnownFile> known;
    for (const auto& type : kRecordTypes) {
        if (external || named(type.name_database) || named(type.second_name_database)) {
            known = KnownFile{false, std::max(known ? known->name_limit : 0,
                                              static_cast<std::size_t>(type.name_limit))};
        }
    }
    return known;
}

// The arguments as given, `triples` saying whether --triples was, or nothing when they do
// not fit.
std::optional<DbArguments> given_arguments(std::span<const std::string> arguments,
                                           bool takes_output) {
    DbArguments given;
    bool have_input = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const auto& argument = arguments[i];
        if (argument == "--triples" && !given.triples) {
            given.triples = true;
        } else if (argument == "-o" && takes_output && !given.output && i + 1 < arguments.size()) {
            given.output = path_from_utf8(arguments[++i]);
        } else if (!have_input && !argument.empty() && argument[0] != '-') {
            given.input = path_from_utf8(argument);
            have_input = true;
        } else {
            return std::nullopt;
        }
    }
    if (!have_input || (takes_output && !given.output)) {
        return std::nullopt;
    }
    return given;
}

} // namespace

Text db_usage() {
    return cp1252(u8"Aufruf: orvental-cli db export DATEI.dat [--triples]\r"
                  u8"       orvental-cli db import TEXTDATEI -o DATEI.dat [--triples]\r"
                  u8"       orvental-cli db check DATEI.dat [--triples]");
}

Result<DbArguments> db_arguments(std::span<const std::string> arguments, bool takes_output) {
    auto parsed = given_arguments(arguments, takes_output);
    if (!parsed) {
        return Error{ErrorKind::Refused, 0, db_usage()};
    }
    // Pairs or triples from the file's name where the program uses that file; --triples
    // decides for other names, and contradicting the name is refused.
    const std::filesystem::path& file = parsed->output ? *parsed->output : parsed->input;
    if (const auto known = known_database_file(utf8_of(file.filename()))) {
        if (parsed->triples && !known->triples) {
            return Error{ErrorKind::Refused, 0,
                         cp1252(u8"„") + display_path(file.filename()) +
                             cp1252(u8"“ hält zwei Texte je Eintrag (Original und Übersetzung); "
                                    u8"--triples passt nicht zu dieser Datei.")};
        }
        parsed->triples = known->triples;
        parsed->name_limit = known->name_limit;
    }
    return std::move(*parsed);
}

std::string utf8(std::u8string_view literal) {
    return std::string(literal.begin(), literal.end());
}

std::string quoted(const Text& text) {
    return utf8(u8"„") + escape_field(text) + utf8(u8"“");
}

template <std::size_t N>
SuspectEntries suspect_entries(const std::vector<DatabaseEntry<N>>& entries,
                               std::size_t name_limit) {
    SuspectEntries suspects;
    for (std::size_t index = 0; index < entries.size(); ++index) {
        const Text& original = entries[index][N - 2];
        const Text& translation = entries[index][N - 1];
        if (name_limit > 0 && translation.size() > name_limit) {
            suspects.too_long.push_back(index + 1);
        }
        if (translation.empty() && !original.empty()) {
            suspects.emptied.push_back(index + 1);
        }
    }
    return suspects;
}

template SuspectEntries suspect_entries<2>(const std::vector<DatabaseEntry<2>>&, std::size_t);
template SuspectEntries suspect_entries<3>(const std::vector<DatabaseEntry<3>>&, std::size_t);

Result<DbInput> read_db_input(const Context& context, std::span<const std::string> arguments) {
    auto parsed = db_arguments(arguments, false);
    if (!parsed) {
        return parsed.error();
    }
    auto read = context.files.read_all(parsed->input);
    if (!read) {
        return read.error();
    }
    return DbInput{std::move(*parsed), std::move(*read)};
}

} // namespace orv::cli
