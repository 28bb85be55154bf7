#include "learn/LearnReport.h"

#include <string>

namespace orv {
namespace {

Text in_quotes(TextView text) {
    return cp1252(u8"„") + Text(text) + cp1252(u8"“");
}

void add_list(Text& out, const Text& title, const std::vector<Text>& lines,
              std::size_t list_limit) {
    out += title + ": " + std::to_string(lines.size()) + "\r";
    for (std::size_t i = 0; i < lines.size() && i < list_limit; ++i) {
        out += "  " + lines[i] + "\r";
    }
    if (lines.size() > list_limit) {
        out += cp1252(u8"  … und ") + std::to_string(lines.size() - list_limit) + " weitere\r";
    }
}

Text describe_conflict(const NameConflict& conflict) {
    Text line = in_quotes(conflict.english) + ":";
    for (std::size_t i = 0; i < conflict.variants.size(); ++i) {
        const auto& variant = conflict.variants[i];
        line += i == 0 ? " " : "; ";
        line += in_quotes(variant.german);
        line += " (";
        for (std::size_t k = 0; k < variant.records.size(); ++k) {
            line += k == 0 ? "" : ", ";
            line += variant.records[k];
        }
        line += ")";
    }
    return line;
}

} // namespace

Text describe_learned(const LearnSummary& summary, TextView german_name, std::size_t list_limit) {
    Text out = "Gelernt aus " + in_quotes(german_name) + ": " + std::to_string(summary.paired) +
               " von " + std::to_string(summary.english_records) +
               cp1252(u8" englischen Datensätzen haben ein Gegenstück.\r");
    out += cp1252(u8"Übersetzungen je Art:\r");
    bool any = false;
    for (std::size_t kind = 0; kind < summary.learned.size(); ++kind) {
        if (summary.learned[kind] > 0) {
            out += "  " + Text(memory_kind_label(static_cast<int>(kind))) + ": " +
                   std::to_string(summary.learned[kind]) + "\r";
            any = true;
        }
    }
    if (!any) {
        out += "  keine\r";
    }
    out += "Neu in der externen Datenbank: " + std::to_string(summary.new_names) +
           cp1252(u8"; neu im Übersetzungsgedächtnis: ") + std::to_string(summary.new_texts) + "\r";
    add_list(out, cp1252(u8"Ohne Gegenstück in der deutschen Datei"), summary.english_only,
             list_limit);
    add_list(out, cp1252(u8"Ohne Gegenstück in der englischen Datei"), summary.german_only,
             list_limit);
    std::vector<Text> conflicts;
    conflicts.reserve(summary.conflicts.size());
    for (const auto& conflict : summary.conflicts) {
        conflicts.push_back(describe_conflict(conflict));
    }
    add_list(out, cp1252(u8"Konflikte (beide behalten, der häufigere zuerst)"), conflicts,
             list_limit);
    return out;
}

} // namespace orv
