#include "learn/LearnInto.h"

#include <set>
#include <utility>

#include "platform/AtomicWrite.h"
#include "translation/ExternalDatabase.h"
#include "translation/MemoryIndex.h"
#include "translation/TranslationDatabase.h"

namespace orv {
namespace {

Text in_quotes(const std::filesystem::path& path) {
    return cp1252(u8"„") + display_path(path) + cp1252(u8"“");
}

const Text& nothing_changed() {
    static const Text text =
        cp1252(u8"\rDie externe Datenbank und das Übersetzungsgedächtnis bleiben, wie sie waren.");
    return text;
}

Result<Bytes> read_input(Files& files, const std::filesystem::path& path) {
    auto bytes = files.read_all(path);
    if (!bytes) {
        const Text reason = bytes.error().kind == ErrorKind::NotFound
                                ? cp1252(u8"Die Datei ") + in_quotes(path) + " gibt es nicht."
                                : cp1252(u8"Die Datei ") + in_quotes(path) +
                                      cp1252(u8" konnte nicht gelesen werden.");
        return Error{bytes.error().kind, 0, reason + cp1252(u8"\rEs wurde nichts gelernt.")};
    }
    return bytes;
}

// The external database with the learned names it lacks behind its entries; the number of
// names added comes back in `added`.
Result<std::optional<Bytes>> external_with(Files& files, const std::filesystem::path& path,
                                           const std::vector<PairEntry>& names,
                                           std::size_t& added) {
    auto bytes = read_if_present(files, path);
    if (!bytes) {
        return Error{bytes.error().kind, 0,
                     cp1252(u8"Die externe Datenbank ") + in_quotes(path) +
                         cp1252(u8" konnte nicht gelesen werden.") + nothing_changed()};
    }
    auto file = parse_pair_file(*bytes);
    if (file.damaged) {
        return Error{ErrorKind::UnusableFile, file.damaged_at,
                     cp1252(u8"Die externe Datenbank ") + in_quotes(path) +
                         cp1252(u8" ist ab Byte ") + std::to_string(file.damaged_at) +
                         cp1252(u8" beschädigt.") + nothing_changed()};
    }
    Bytes contents = bytes->empty() ? sentinel_pair() : std::move(*bytes);
    std::set<std::pair<TextView, TextView>> known;
    for (const auto& entry : file.entries) {
        known.emplace(entry[0], entry[1]);
    }
    for (const auto& name : names) {
        if (known.emplace(name[0], name[1]).second) {
            append_entry(contents, name);
            ++added;
        }
    }
    if (added == 0) {
        return std::optional<Bytes>{};
    }
    return std::optional<Bytes>(std::move(contents));
}

} // namespace

Result<LearnSummary> learn_into(Files& files, const LearnFiles& paths, TextView date,
                                const LearnProgress& progress) {
    auto english = read_input(files, paths.english);
    if (!english) {
        return english.error();
    }
    auto german = read_input(files, paths.german);
    if (!german) {
        return german.error();
    }
    const Text german_name = display_path(paths.german.filename());
    auto learned = learn_from_plugins(
        {*english, *german, display_path(paths.english.filename()), german_name, date}, progress);
    if (!learned) {
        return learned.error();
    }
    Bytes().swap(*english);
    Bytes().swap(*german);
    LearnSummary& summary = learned->summary;

    const auto external_path = paths.into / kExternalDatabaseName;
    const auto memory_file = paths.into / kMemoryName;
    auto external = external_with(files, external_path, learned->names, summary.new_names);
    if (!external) {
        return external.error();
    }
    auto memory = read_memory(files, memory_file);
    if (!memory) {
        Error error = memory.error();
        error.message += nothing_changed();
        return error;
    }
    // A text the memory already translates keeps its line: it may be the user's own
    // translation, saved after an earlier run.
    std::vector<MemoryEntry> unknown;
    {
        const MemoryIndex known(*memory);
        for (auto& entry : learned->memory) {
            if (known.translation(entry.list_index, entry.ev_name) == nullptr) {
                unknown.push_back(std::move(entry));
            }
        }
    }
    summary.new_texts = unknown.size();
    const bool memory_changed = merge_into_memory(*memory, unknown);
    if (!*external && !memory_changed) {
        return summary;
    }
    if (progress) {
        progress(cp1252(u8"Schreibe die externe Datenbank und das Übersetzungsgedächtnis"));
    }
    if (auto created = files.create_directories(paths.into); !created) {
        Error error = created.error();
        error.message += nothing_changed();
        return error;
    }
    const Bytes memory_bytes = memory_changed ? encode_memory(*memory) : Bytes{};
    std::vector<FileReplacement> replacements;
    if (*external) {
        replacements.push_back(
            {external_path, [&external](OutputFile& out) { return out.write(**external); }});
    }
    if (memory_changed) {
        replacements.push_back(
            {memory_file, [&memory_bytes](OutputFile& out) { return out.write(memory_bytes); }});
    }
    if (auto replaced = replace_files(files, replacements); !replaced) {
        Error error = replaced.error();
        error.message += nothing_changed();
        return error;
    }
    return summary;
}

} // namespace orv
