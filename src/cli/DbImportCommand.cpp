#include "cli/DbImportCommand.h"

#include <cstdint>
#include <limits>
#include <ostream>

#include "cli/DbFiles.h"
#include "platform/AtomicWrite.h"
#include "translation/TextConventions.h"

namespace orv::cli {
namespace {

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

} // namespace

int run_db_import(const Context& context, std::span<const std::string> arguments) {
    const auto parsed = db_arguments(arguments, true);
    if (!parsed) {
        return refuse(context, parsed.error().message);
    }
    const auto read = context.files.read_all(parsed->input);
    if (!read) {
        return refuse(context, read.error().message);
    }
    const std::string_view contents(reinterpret_cast<const char*>(read->data()), read->size());
    const auto bytes = parsed->triples ? encode_lines<3>(parsed->input, contents)
                                       : encode_lines<2>(parsed->input, contents);
    if (!bytes) {
        return refuse(context, bytes.error().message);
    }
    if (auto written = write_file_atomically(context.files, *parsed->output, *bytes); !written) {
        refuse(context, written.error().message);
        return kExitWriteFailed;
    }
    if (parsed->triples) {
        warn_about_suspects(context, parse_database<3>(*bytes).entries, parsed->name_limit);
    } else {
        warn_about_suspects(context, parse_database<2>(*bytes).entries, parsed->name_limit);
    }
    return kExitOk;
}

} // namespace orv::cli
