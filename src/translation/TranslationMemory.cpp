#include "translation/TranslationMemory.h"

#include <cstdio>
#include <ctime>
#include <iterator>
#include <map>
#include <string>
#include <utility>

#include "platform/AtomicWrite.h"
#include "plugin/RecordTypes.h"
#include "translation/TextConventions.h"
#include "translation/TranslationDatabase.h"

namespace orv {
namespace {

bool is_date(TextView text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return false;
    }
    for (const std::size_t digit : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (text[digit] < '0' || text[digit] > '9') {
            return false;
        }
    }
    return true;
}

Error damaged_line(std::size_t line_number, const Text& problem) {
    return Error{ErrorKind::BadText, line_number,
                 "Zeile " + std::to_string(line_number) + ": " + problem};
}

Text quoted(const std::filesystem::path& path) {
    return cp1252(u8"„") + display_path(path) + cp1252(u8"“");
}

} // namespace

std::filesystem::path memory_path(const std::filesystem::path& program_dir) {
    return program_dir / kExtraFolder / kMemoryName;
}

std::optional<int> memory_kind_labelled(TextView label) {
    if (label == kDialogMemoryLabel) {
        return kDialogMemory;
    }
    if (label == kJournalMemoryLabel) {
        return kJournalMemory;
    }
    for (std::size_t i = 0; i < kTextMemoryLabels.size(); ++i) {
        if (label == kTextMemoryLabels[i]) {
            return kFirstTextMemory + static_cast<int>(i);
        }
    }
    return object_type_labelled(label);
}

std::string_view memory_kind_label(int kind) {
    if (kind == kDialogMemory) {
        return kDialogMemoryLabel;
    }
    if (kind == kJournalMemory) {
        return kJournalMemoryLabel;
    }
    if (kind >= kFirstTextMemory) {
        return kTextMemoryLabels.at(static_cast<std::size_t>(kind - kFirstTextMemory));
    }
    return kRecordTypes.at(static_cast<std::size_t>(kind)).label;
}

Result<std::vector<MemoryEntry>> parse_memory(ByteSpan bytes) {
    const std::string_view contents(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::vector<MemoryEntry> entries;
    const auto lines = split_lines(contents);
    entries.reserve(lines.size());
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const auto fields = split_fields(lines[index]);
        if (fields.size() != 4 && fields.size() != 5) {
            return damaged_line(index + 1,
                                cp1252(u8"Erwartet werden vier Felder: LISTE, EV Name, DV Name "
                                       u8"und Datum, dahinter höchstens die Quelle."));
        }
        std::array<Text, 5> texts;
        for (std::size_t field = 0; field < fields.size(); ++field) {
            auto text = unescape_field(fields[field]);
            if (!text) {
                return damaged_line(index + 1, field_problem(fields[field]));
            }
            texts[field] = std::move(*text);
        }
        const auto list_index = memory_kind_labelled(texts[0]);
        if (!list_index) {
            return damaged_line(index + 1,
                                cp1252(u8"Unbekannte Liste „") + texts[0] + cp1252(u8"“."));
        }
        if (!is_date(texts[3])) {
            return damaged_line(index + 1, cp1252(u8"Das Datum „") + texts[3] +
                                               cp1252(u8"“ ist nicht als JJJJ-MM-TT geschrieben."));
        }
        entries.push_back({*list_index, std::move(texts[1]), std::move(texts[2]),
                           std::move(texts[3]), std::move(texts[4])});
    }
    return entries;
}

Bytes encode_memory(const std::vector<MemoryEntry>& entries) {
    std::string text;
    for (const auto& entry : entries) {
        // Lines without a source keep the four fields that older files have.
        if (entry.source.empty()) {
            append_escaped_line(text, {memory_kind_label(entry.list_index), entry.ev_name,
                                       entry.dv_name, entry.date});
        } else {
            append_escaped_line(text, {memory_kind_label(entry.list_index), entry.ev_name,
                                       entry.dv_name, entry.date, entry.source});
        }
    }
    const auto* data = reinterpret_cast<const std::byte*>(text.data());
    return Bytes(data, data + text.size());
}

bool merge_into_memory(std::vector<MemoryEntry>& memory, const std::vector<MemoryEntry>& added) {
    // Of several added entries for one list and EV Name, the last wins.
    std::map<std::pair<int, TextView>, std::size_t> newest;
    for (std::size_t i = 0; i < added.size(); ++i) {
        newest[{added[i].list_index, added[i].ev_name}] = i;
    }
    std::map<std::pair<int, TextView>, std::size_t> existing;
    for (std::size_t i = 0; i < memory.size(); ++i) {
        existing[{memory[i].list_index, memory[i].ev_name}] = i;
    }
    std::vector<bool> replaced(memory.size(), false);
    std::vector<MemoryEntry> appended;
    for (std::size_t i = 0; i < added.size(); ++i) {
        const auto key = std::pair<int, TextView>{added[i].list_index, added[i].ev_name};
        if (newest.at(key) != i) {
            continue;
        }
        if (const auto found = existing.find(key); found != existing.end()) {
            if (memory[found->second].dv_name == added[i].dv_name) {
                continue;
            }
            replaced[found->second] = true;
        }
        appended.push_back(added[i]);
    }
    if (appended.empty()) {
        return false;
    }
    // The maps hold views of the texts; they are not used once the entries move.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < memory.size(); ++i) {
        if (!replaced[i]) {
            if (kept != i) {
                memory[kept] = std::move(memory[i]);
            }
            ++kept;
        }
    }
    memory.resize(kept);
    memory.insert(memory.end(), std::make_move_iterator(appended.begin()),
                  std::make_move_iterator(appended.end()));
    return true;
}

Error damaged_memory_error(const std::filesystem::path& path, const Error& damage) {
    return Error{damage.kind, damage.offset,
                 cp1252(u8"Das Übersetzungsgedächtnis ") + quoted(path) +
                     cp1252(u8" ist beschädigt (") + damage.message + ")."};
}

Result<std::vector<MemoryEntry>> read_memory(Files& files, const std::filesystem::path& path) {
    auto bytes = read_if_present(files, path);
    if (!bytes) {
        return Error{bytes.error().kind, 0,
                     cp1252(u8"Das Übersetzungsgedächtnis ") + quoted(path) +
                         cp1252(u8" konnte nicht gelesen werden.")};
    }
    auto entries = parse_memory(*bytes);
    if (!entries) {
        return damaged_memory_error(path, entries.error());
    }
    return entries;
}

Result<void> add_to_memory(Files& files, const std::filesystem::path& path,
                           const std::vector<MemoryEntry>& added) {
    auto memory = read_memory(files, path);
    if (!memory) {
        Error error = memory.error();
        error.message += cp1252(u8"\rEs bleibt unverändert; die Namen dieses Speicherns wurden "
                                u8"nicht aufgenommen.");
        return error;
    }
    if (!merge_into_memory(*memory, added)) {
        return {};
    }
    const Bytes bytes = encode_memory(*memory);
    if (auto written = write_file_atomically(files, path, bytes); !written) {
        Error error = written.error();
        error.message += cp1252(u8"\rDie Namen dieses Speicherns wurden nicht ins "
                                u8"Übersetzungsgedächtnis aufgenommen; es bleibt, wie es war.");
        return error;
    }
    return {};
}

Text today_date() {
    const std::time_t now = std::time(nullptr);
    // localtime's result is copied at once; only the saving worker asks for the date.
    const std::tm* local = std::localtime(&now);
    if (local == nullptr) {
        return "1970-01-01";
    }
    char date[48];
    std::snprintf(date, sizeof date, "%04d-%02d-%02d", local->tm_year + 1900, local->tm_mon + 1,
                  local->tm_mday);
    return date;
}

} // namespace orv
