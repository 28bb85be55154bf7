#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "translation/DatabaseFile.h"
#include "translation/Suggestions.h"
#include "translation/TranslationMemory.h"

namespace orv {

// Suggestions for a whole text in the text editor: a response, a journal entry, a book's
// text. Drawn from the translations the user made before (the memory's lines of the same
// kind) and from the kind's text database, in that order of precedence.
//
// Exact: an entry whose original equals the text byte for byte. Close: an entry that shares
// words with the text; its similarity is the share of words the two have in common
// (twice the shared distinct words over the sum of both texts' distinct words, in percent,
// words as distinct_words finds them). Close matches below kMinSimilarity are left out: a
// response that shares "the" and "you" with another is no help.
class TextSuggestionIndex {
public:
    TextSuggestionIndex() = default;
    TextSuggestionIndex(TextSuggestionIndex&&) = default;
    TextSuggestionIndex& operator=(TextSuggestionIndex&&) = default;

    // Adds a source; its entries rank after those of the sources added before it.
    void add_source(Text name, const std::vector<std::pair<Text, Text>>& pairs);

    // Up to kMaxSuggestions translations of `original`, each translation once: the exact
    // matches in order of precedence, then the close ones by similarity (higher first), then
    // precedence. Entries whose translation equals their original suggest nothing.
    std::vector<Suggestion> suggest(TextView original) const;

    std::size_t size() const { return m_entries.size(); }

    static constexpr int kMinSimilarity = 50;
    // Words that more than this many entries hold lead to no candidates of their own.
    static constexpr std::size_t kCommonWordEntries = 400;
    // How many candidates, those sharing the most rare words, are measured.
    static constexpr std::size_t kMeasuredCandidates = 40;

private:
    struct Entry {
        Text original;
        Text translation;
        std::uint16_t source = 0;
        // The entry's distinct words, sorted: the similarity compares them.
        std::vector<std::uint32_t> words;
    };

    std::vector<Text> m_sources;
    // A deque: the exact map holds views of the entries' originals.
    std::deque<Entry> m_entries;
    std::unordered_map<std::string_view, std::vector<std::uint32_t>> m_exact;
    std::unordered_map<std::string, std::uint32_t> m_word_ids;
    // Per word, the entries that hold it, ascending.
    std::vector<std::vector<std::uint32_t>> m_postings;
};

// The pairs (original, German) of a text database's triples (ID, original, German), in file
// order.
std::vector<std::pair<Text, Text>> text_pairs(const TripleFile& database);

// The pairs of the memory's lines of one kind (kDialogMemory, kJournalMemory), in file
// order.
std::vector<std::pair<Text, Text>> memory_pairs(const std::vector<MemoryEntry>& memory, int kind);

} // namespace orv
