#include "cli/DbCommand.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <ostream>
#include <vector>

#include "platform/AtomicWrite.h"
#include "plugin/RecordTypes.h"
#include "translation/DatabaseFile.h"
#include "translation/ExternalDatabase.h"
#include "translation/TextConventions.h"
#include "translation/TranslationDatabase.h"

namespace orv::cli {
namespace {

enum class Action { Export, Import, Check };

struct DbArguments {
    Action action = Action::Export;
    std::filesystem::path input;
    std::optional<std::filesystem::path> output;
    // --triples as given; the file's name decides when it is a known database file.
    bool triples_flag = false;
    bool triples = false;
    // Longest translation the lists that use the file can take (CP1252 bytes); 0 when no
    // list takes its texts as names.
    std::size_t name_limit = 0;
};

Text usage() {
    return cp1252(u8"Aufruf: orvental-cli db export DATEI.dat [--triples]\r"
                  u8"       orvental-cli db import TEXTDATEI -o DATEI.dat [--triples]\r"
                  u8"       orvental-cli db check DATEI.dat [--triples]");
}

std::optional<DbArguments> parse_arguments(std::span<const std::string> arguments) {
    if (arguments.empty()) {
        return std::nullopt;
    }
    DbArguments parsed;
    if (arguments[0] == "export") {
        parsed.action = Action::Export;
    } else if (arguments[0] == "import") {
        parsed.action = Action::Import;
    } else if (arguments[0] == "check") {
        parsed.action = Action::Check;
    } else {
        return std::nullopt;
    }
    bool have_input = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const auto& argument = arguments[i];
        if (argument == "--triples" && !parsed.triples_flag) {
            parsed.triples_flag = true;
        } else if (argument == "-o" && parsed.action == Action::Import && !parsed.output &&
                   i + 1 < arguments.size()) {
            parsed.output = path_from_utf8(arguments[++i]);
        } else if (!have_input && !argument.empty() && argument[0] != '-') {
            parsed.input = path_from_utf8(argument);
            have_input = true;
        } else {
            return std::nullopt;
        }
    }
    if (!have_input || (parsed.action == Action::Import && !parsed.output)) {
        return std::nullopt;
    }
    return parsed;
}

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

// Pairs or triples from the file's name where the program uses that file; --triples
// decides for other names, and contradicting the name is refused.
std::optional<Text> settle_format(DbArguments& arguments) {
    const std::filesystem::path& file =
        arguments.action == Action::Import ? *arguments.output : arguments.input;
    const std::string name = utf8_of(file.filename());
    const auto known = known_database_file(name);
    if (!known) {
        arguments.triples = arguments.triples_flag;
        return std::nullopt;
    }
    if (arguments.triples_flag && !known->triples) {
        return cp1252(u8"„") + display_path(file.filename()) +
               cp1252(u8"“ hält zwei Texte je Eintrag (Original und Übersetzung); --triples "
                      u8"passt nicht zu dieser Datei.");
    }
    arguments.triples = known->triples;
    arguments.name_limit = known->name_limit;
    return std::nullopt;
}

// The program's German texts for stdout, which is UTF-8 as the source literals are.
std::string utf8(std::u8string_view literal) {
    return std::string(literal.begin(), literal.end());
}

template <std::size_t N>
DatabaseFile<N> parse_database(ByteSpan bytes) {
    if constexpr (N == 2) {
        return parse_pair_file(bytes);
    } else {
        return parse_triple_file(bytes);
    }
}

template <std::size_t N>
std::string entry_line(const DatabaseEntry<N>& entry) {
    std::string line;
    for (std::size_t i = 0; i < N; ++i) {
        if (i > 0) {
            line += '\t';
        }
        line += escape_field(entry[i]);
    }
    line += '\n';
    return line;
}

Text damaged_message(const std::filesystem::path& path, std::size_t damaged_at,
                     std::size_t whole_entries) {
    return cp1252(u8"„") + display_path(path) +
           cp1252(u8"“ endet mitten in einem Eintrag: der Eintrag ab Byte ") +
           std::to_string(damaged_at) + cp1252(u8" ist unvollständig. Ausgegeben wurden die ") +
           std::to_string(whole_entries) + cp1252(u8" ganzen Einträge davor.");
}

template <std::size_t N>
int export_entries(const Context& context, const std::filesystem::path& path, ByteSpan bytes) {
    const auto file = parse_database<N>(bytes);
    std::string out;
    for (const auto& entry : file.entries) {
        out += entry_line<N>(entry);
    }
    context.out << out;
    context.out.flush();
    if (file.damaged) {
        return refuse(context, damaged_message(path, file.damaged_at, file.entries.size()));
    }
    return kExitOk;
}

// The bytes of the database file that the lines of `contents` describe, or the refusal of
// the first bad line.
template <std::size_t N>
Result<Bytes> encode_lines(const std::filesystem::path& path, std::string_view contents) {
    Bytes out;
    const auto lines = split_lines(contents);
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::size_t line_number = index + 1;
        const auto refused = [&](const Text& where, const Text& message) {
            const auto line_start = static_cast<std::size_t>(lines[index].data() - contents.data());
            return Error{ErrorKind::BadText, line_start,
                         cp1252(u8"„") + display_path(path) + cp1252(u8"“, Zeile ") +
                             std::to_string(line_number) + where + ": " + message};
        };
        const auto fields = split_fields(lines[index]);
        if (fields.size() != N) {
            const Text expected =
                N == 2 ? cp1252(u8"erwartet werden genau zwei Felder (Original und "
                                u8"Übersetzung), getrennt durch einen Tabulator.")
                       : cp1252(u8"erwartet werden genau drei Felder, getrennt durch "
                                u8"Tabulatoren.");
            Text found = cp1252(u8"Die Zeile hat ") + std::to_string(fields.size()) + " Felder";
            if (lines[index].empty()) {
                found = cp1252(u8"Die Zeile ist leer");
            } else if (fields.size() == 1) {
                found = cp1252(u8"Die Zeile hat nur ein Feld");
            }
            return refused("", found + "; " + expected);
        }
        DatabaseEntry<N> entry;
        for (std::size_t field = 0; field < N; ++field) {
            auto text = unescape_field(fields[field]);
            const Text where = cp1252(u8", Feld ") + std::to_string(field + 1);
            if (!text) {
                return refused(where, field_problem(fields[field]));
            }
            if (text->size() > std::numeric_limits<std::uint32_t>::max()) {
                // A counted text holds at most 4 GiB - 1 bytes.
                return refused(where, cp1252(u8"Der Text ist zu lang."));
            }
            entry[field] = std::move(*text);
        }
        append_entry(out, entry);
    }
    return out;
}

// A text of an entry as check shows it: on one line, in quotes.
std::string quoted(const Text& text) {
    return utf8(u8"„") + escape_field(text) + utf8(u8"“");
}

// Entries whose translation would break a name: longer than the lists using the file can
// take (`name_limit` bytes; 0 checks no length), or empty where the original is not, which
// would blank the name. Entry numbers count from 1, as the lines of an export.
struct SuspectEntries {
    std::vector<std::size_t> too_long;
    std::vector<std::size_t> emptied;
};

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

std::string too_long_heading(std::size_t name_limit) {
    return utf8(u8"Übersetzungen länger als ") + std::to_string(name_limit) +
           utf8(u8" Bytes (die Grenze der Listen, die diese Datei benutzen): ");
}

std::string emptied_heading() {
    return utf8(u8"Leere Übersetzungen nicht leerer Originale (sie löschen den Namen): ");
}

// Written all the same: the file may be meant for other uses, but the user hears of each
// entry that would break a name.
template <std::size_t N>
void warn_about_suspects(const Context& context, const std::vector<DatabaseEntry<N>>& entries,
                         std::size_t name_limit) {
    const auto suspects = suspect_entries<N>(entries, name_limit);
    std::string warnings;
    for (const std::size_t number : suspects.too_long) {
        warnings += utf8(u8"Warnung: Eintrag ") + std::to_string(number) + " (" +
                    quoted(entries[number - 1][0]) + utf8(u8"): die Übersetzung hat ") +
                    std::to_string(entries[number - 1][N - 1].size()) +
                    utf8(u8" Bytes, mehr als ") + std::to_string(name_limit) + ".\n";
    }
    for (const std::size_t number : suspects.emptied) {
        warnings += utf8(u8"Warnung: Eintrag ") + std::to_string(number) + " (" +
                    quoted(entries[number - 1][0]) +
                    utf8(u8"): die Übersetzung ist leer, das Original nicht.\n");
    }
    context.err << warnings;
    context.err.flush();
}

int import_entries(const Context& context, const DbArguments& arguments) {
    const auto read = context.files.read_all(arguments.input);
    if (!read) {
        return refuse(context, read.error().message);
    }
    const std::string_view contents(reinterpret_cast<const char*>(read->data()), read->size());
    const auto bytes = arguments.triples ? encode_lines<3>(arguments.input, contents)
                                         : encode_lines<2>(arguments.input, contents);
    if (!bytes) {
        return refuse(context, bytes.error().message);
    }
    if (auto written = write_file_atomically(context.files, *arguments.output, *bytes); !written) {
        refuse(context, written.error().message);
        return kExitWriteFailed;
    }
    if (arguments.triples) {
        warn_about_suspects(context, parse_database<3>(*bytes).entries, arguments.name_limit);
    } else {
        warn_about_suspects(context, parse_database<2>(*bytes).entries, arguments.name_limit);
    }
    return kExitOk;
}

template <std::size_t N>
int check_entries(const Context& context, ByteSpan bytes, std::size_t name_limit) {
    const auto file = parse_database<N>(bytes);
    // The lookups use only the first entry with a given first text (for triples an ID). The
    // translation is the last text and its original the one before it.
    const std::size_t original = N - 2;
    const std::size_t translation = N - 1;

    std::map<Text, std::vector<std::size_t>> numbers_of;
    std::vector<const Text*> first_texts_in_order;
    std::vector<std::size_t> untranslated;
    for (std::size_t index = 0; index < file.entries.size(); ++index) {
        const auto& entry = file.entries[index];
        auto& numbers = numbers_of[entry[0]];
        if (numbers.empty()) {
            first_texts_in_order.push_back(&entry[0]);
        }
        numbers.push_back(index + 1);
        // The external database's fixed start entry is no missing translation.
        const bool sentinel =
            N == 2 && index == 0 && entry[0] == kSentinelText && entry[1] == kSentinelText;
        if (entry[original] == entry[translation] && !sentinel) {
            untranslated.push_back(index + 1);
        }
    }

    std::string repeated;
    std::size_t repeated_count = 0;
    for (const Text* text : first_texts_in_order) {
        const auto& numbers = numbers_of[*text];
        if (numbers.size() < 2) {
            continue;
        }
        ++repeated_count;
        repeated +=
            "  " + quoted(*text) + ": " + std::to_string(numbers.size()) + utf8(u8"-mal, Einträge");
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            repeated += (i == 0 ? " " : ", ") + std::to_string(numbers[i]);
        }
        repeated += '\n';
    }

    std::string out = utf8(u8"Einträge: ") + std::to_string(file.entries.size()) + '\n';
    out += (N == 2 ? utf8(u8"Mehrfach vorkommende Originale: ")
                   : utf8(u8"Mehrfach vorkommende IDs (erster Text): ")) +
           std::to_string(repeated_count) + utf8(u8" (verwendet wird nur der erste Eintrag)\n");
    out += repeated;
    out += (N == 2 ? utf8(u8"Einträge mit Übersetzung gleich Original: ")
                   : utf8(u8"Einträge mit Übersetzung (dritter Text) gleich Original (zweiter "
                          u8"Text): ")) +
           std::to_string(untranslated.size()) + '\n';
    const auto list_entries = [&](const std::vector<std::size_t>& numbers) {
        for (const std::size_t number : numbers) {
            out += "  Eintrag " + std::to_string(number) + ": " +
                   quoted(file.entries[number - 1][0]) + '\n';
        }
    };
    list_entries(untranslated);
    const auto suspects = suspect_entries<N>(file.entries, name_limit);
    if (name_limit > 0) {
        out += too_long_heading(name_limit) + std::to_string(suspects.too_long.size()) + '\n';
        for (const std::size_t number : suspects.too_long) {
            out += "  Eintrag " + std::to_string(number) + ": " +
                   quoted(file.entries[number - 1][0]) + " (" +
                   std::to_string(file.entries[number - 1][N - 1].size()) + " Bytes)\n";
        }
    }
    out += emptied_heading() + std::to_string(suspects.emptied.size()) + '\n';
    list_entries(suspects.emptied);
    if (file.damaged) {
        out += utf8(u8"Die Datei (") + std::to_string(bytes.size()) +
               utf8(u8" Bytes) endet mitten in einem Eintrag: der Eintrag ab Byte ") +
               std::to_string(file.damaged_at) + utf8(u8" ist unvollständig.\n");
    } else {
        out += utf8(u8"Die Datei ist unbeschädigt: sie endet nicht mitten in einem Eintrag.\n");
    }
    context.out << out;
    context.out.flush();
    return file.damaged ? kExitRefused : kExitOk;
}

} // namespace

int run_db(const Context& context, std::span<const std::string> arguments) {
    auto parsed = parse_arguments(arguments);
    if (!parsed) {
        return refuse(context, usage());
    }
    if (const auto mismatch = settle_format(*parsed)) {
        return refuse(context, *mismatch);
    }
    if (parsed->action == Action::Import) {
        return import_entries(context, *parsed);
    }
    const auto read = context.files.read_all(parsed->input);
    if (!read) {
        return refuse(context, read.error().message);
    }
    if (parsed->action == Action::Export) {
        return parsed->triples ? export_entries<3>(context, parsed->input, *read)
                               : export_entries<2>(context, parsed->input, *read);
    }
    return parsed->triples ? check_entries<3>(context, *read, parsed->name_limit)
                           : check_entries<2>(context, *read, parsed->name_limit);
}

} // namespace orv::cli
