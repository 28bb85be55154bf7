#include "cli/DbCheckCommand.h"

#include <map>
#include <ostream>
#include <vector>

#include "cli/DbFiles.h"
#include "translation/ExternalDatabase.h"

namespace orv::cli {
namespace {

std::string too_long_heading(std::size_t name_limit) {
    return utf8(u8"Übersetzungen länger als ") + std::to_string(name_limit) +
           utf8(u8" Bytes (die Grenze der Listen, die diese Datei benutzen): ");
}

std::string emptied_heading() {
    return utf8(u8"Leere Übersetzungen nicht leerer Originale (sie löschen den Namen): ");
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
            repeated += i == 0 ? " " : ", ";
            repeated += std::to_string(numbers[i]);
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

int run_db_check(const Context& context, std::span<const std::string> arguments) {
    const auto input = read_db_input(context, arguments);
    if (!input) {
        return refuse(context, input.error().message);
    }
    return input->arguments.triples
               ? check_entries<3>(context, input->bytes, input->arguments.name_limit)
               : check_entries<2>(context, input->bytes, input->arguments.name_limit);
}

} // namespace orv::cli
