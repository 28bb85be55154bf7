#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/Files.h"
#include "translation/DatabaseFile.h"
#include "translation/TranslationMemory.h"

namespace orv {

// Suggestions for a row's DV Name, as the name-edit dialog shows them and
// `orvental-cli suggest` prints them.
enum class SuggestionKind {
    // An entry whose original equals the EV Name byte for byte.
    Exact,
    // An entry whose original shares at least one word with the EV Name (see below).
    Close,
};

struct Suggestion {
    Text dv_name;
    // Where it comes from: "Gedächtnis" for the translation memory, otherwise the database
    // file's name ("Extradata.dat", "Miscdata.dat").
    Text source;
    SuggestionKind kind = SuggestionKind::Exact;
    // How much of the original the match shares, in percent: 100 for an exact match.
    int similarity = 100;

    bool operator==(const Suggestion&) const = default;
};

inline constexpr std::size_t kMaxSuggestions = 5;

// The source name of the translation memory, Windows-1252.
Text memory_source_name();
// "exakt" or "ähnlich", Windows-1252, as the batch tool prints the kind.
Text suggestion_kind_text(SuggestionKind kind);
// What the window shows of a match: "exakt", or "ähnlich 78 %" with its similarity.
Text suggestion_match_text(const Suggestion& suggestion);
// The similarity of two names in percent: the share of the longer one that an edit
// distance of their case-folded texts leaves unchanged (100 for equal texts).
int name_similarity(TextView a, TextView b);

// A name database file as the suggestions use it: its file name and its entries.
struct NamedPairFile {
    std::string file_name;
    PairFile file;
};

// Everything the suggestions are drawn from, indexed once; each query then costs only the
// entries that share a word with the EV Name. Build it when the dialog is first needed after
// an Open or a Save (the memory changes with every save) and keep it until the next one.
//
// Built once: a table of all entries in order of precedence (memory first, then the
// database files in the order given), a map from each exact original to its entries, and a
// word index (words folded as the row filter folds case, split at every byte that is no
// letter or digit) from each word to the entries whose original holds it.
// Per query: the exact map, a scan of the word list for words within a small edit distance
// of the query's words, and a ranking of the entries those words lead to.
class SuggestionIndex {
public:
    SuggestionIndex() = default;
    // `memory` entries serve only their own list; a database file serves the lists whose
    // name lookup reads it (the external database, Extradata.dat, serves every list).
    SuggestionIndex(const std::vector<MemoryEntry>& memory,
                    const std::vector<NamedPairFile>& files);
    SuggestionIndex(SuggestionIndex&&) = default;
    SuggestionIndex& operator=(SuggestionIndex&&) = default;
    // The index holds views of its own texts: a copy would point into the original.
    SuggestionIndex(const SuggestionIndex&) = delete;
    SuggestionIndex& operator=(const SuggestionIndex&) = delete;

    // Up to kMaxSuggestions DV Names for `ev_name`, each DV Name once (its best place
    // counts), with `list_index` only from sources serving that list:
    // 1. exact matches, memory before the database files, each file in its entry order;
    // 2. close matches: entries whose original shares the most words with `ev_name` (a word
    //    counts as shared when it is within edit distance 0 for up to 3 bytes or any digit,
    //    1 for up to 6, 2 for longer words, a swap of two neighbours counting 1), then those
    //    whose whole
    //    original is the fewest edits away, then memory before files and entry order.
    // Entries whose translation equals their original suggest nothing and are left out.
    // Words held by more than kCommonWordEntries entries lead to no candidates of their own
    // (they still count as shared); when every word is that common, the first
    // kCommonWordEntries entries of the rarest one are the candidates.
    std::vector<Suggestion> suggest(TextView ev_name,
                                    std::optional<int> list_index = std::nullopt) const;

    std::size_t size() const { return m_entries.size(); }

    static constexpr std::size_t kCommonWordEntries = 2000;

private:
    struct Entry {
        Text original;
        Text translation;
        std::uint16_t source = 0;
        // The one list a memory entry serves, or -1.
        std::int8_t list = -1;
    };
    struct Source {
        Text name;
        // Bit k: serves object list k.
        std::uint32_t lists = 0;
    };

    void add_entry(Entry entry);
    bool serves(const Entry& entry, std::optional<int> list_index) const;

    std::vector<Source> m_sources;
    std::vector<Entry> m_entries;
    // First entry per exact original, then the next entry of the same original.
    std::unordered_map<std::string_view, std::uint32_t> m_first_exact;
    std::vector<std::uint32_t> m_next_exact;
    std::unordered_map<std::string, std::uint32_t> m_word_ids;
    std::vector<std::string> m_words;
    // The words without digits by their length in bytes: a typo is looked for only there.
    std::vector<std::vector<std::uint32_t>> m_words_by_length;
    // Per word, the entries whose original holds it, ascending.
    std::vector<std::vector<std::uint32_t>> m_postings;
};

// The index over dataextra/Memory.tsv, dataextra/Extradata.dat and every name database
// file under data/ (the files the name lookup reads, each once). Missing files add nothing.
// A memory or database file that cannot be read, or a damaged memory, adds nothing and is
// reported in `problem` (the first such, German); the other files still count.
struct LoadedSuggestions {
    SuggestionIndex index;
    std::optional<Error> problem;
};
LoadedSuggestions load_suggestions(Files& files, const std::filesystem::path& program_dir);

// The edit distance of two texts: insertions, deletions, substitutions and swaps of two
// neighbouring bytes each count 1 (optimal string alignment).
std::size_t edit_distance(TextView a, TextView b);

} // namespace orv
