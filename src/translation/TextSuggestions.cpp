#include "translation/TextSuggestions.h"

#include <algorithm>
#include <iterator>

#include "translation/Words.h"

namespace orv {

void TextSuggestionIndex::add_source(Text name, const std::vector<std::pair<Text, Text>>& pairs) {
    m_sources.push_back(std::move(name));
    const auto source = static_cast<std::uint16_t>(m_sources.size() - 1);
    for (const auto& [original, translation] : pairs) {
        if (original == translation || original.empty()) {
            continue;
        }
        const auto id = static_cast<std::uint32_t>(m_entries.size());
        Entry& entry = m_entries.emplace_back(Entry{original, translation, source, {}});
        m_exact[entry.original].push_back(id);
        for (auto& word : distinct_words(entry.original)) {
            const auto [found, added] = m_word_ids.try_emplace(
                std::move(word), static_cast<std::uint32_t>(m_postings.size()));
            if (added) {
                m_postings.emplace_back();
            }
            m_postings[found->second].push_back(id);
            entry.words.push_back(found->second);
        }
        std::sort(entry.words.begin(), entry.words.end());
    }
}

std::vector<Suggestion> TextSuggestionIndex::suggest(TextView original) const {
    std::vector<Suggestion> suggestions;
    std::vector<TextView> given;
    const auto offer = [&](const Entry& entry, SuggestionKind kind, int similarity) {
        if (suggestions.size() < kMaxSuggestions &&
            std::find(given.begin(), given.end(), TextView(entry.translation)) == given.end()) {
            given.push_back(entry.translation);
            suggestions.push_back({entry.translation, m_sources[entry.source], kind, similarity});
        }
    };
    if (const auto exact = m_exact.find(original); exact != m_exact.end()) {
        for (const auto id : exact->second) {
            offer(m_entries[id], SuggestionKind::Exact, 100);
        }
    }
    if (suggestions.size() >= kMaxSuggestions) {
        return suggestions;
    }

    // The query's words that the index knows; words it does not know count in the total.
    const auto words = distinct_words(original);
    std::vector<std::uint32_t> known;
    for (const auto& word : words) {
        if (const auto found = m_word_ids.find(word); found != m_word_ids.end()) {
            known.push_back(found->second);
        }
    }
    std::sort(known.begin(), known.end());

    // Candidates: the entries holding the query's rarer words, by how many they hold.
    std::unordered_map<std::uint32_t, std::size_t> rare_shared;
    for (const auto word : known) {
        const auto& posting = m_postings[word];
        if (posting.size() <= kCommonWordEntries) {
            for (const auto id : posting) {
                ++rare_shared[id];
            }
        }
    }
    struct Candidate {
        std::size_t rare_shared;
        std::uint32_t id;
    };
    std::vector<Candidate> candidates;
    candidates.reserve(rare_shared.size());
    for (const auto& [id, shared] : rare_shared) {
        candidates.push_back({shared, id});
    }
    const auto by_shared = [](const Candidate& a, const Candidate& b) {
        return a.rare_shared != b.rare_shared ? a.rare_shared > b.rare_shared : a.id < b.id;
    };
    if (candidates.size() > kMeasuredCandidates) {
        std::partial_sort(candidates.begin(),
                          candidates.begin() + static_cast<std::ptrdiff_t>(kMeasuredCandidates),
                          candidates.end(), by_shared);
        candidates.resize(kMeasuredCandidates);
    }

    struct Measured {
        int similarity;
        std::uint32_t id;
    };
    std::vector<Measured> measured;
    for (const auto& candidate : candidates) {
        const Entry& entry = m_entries[candidate.id];
        if (entry.original == original) {
            continue;
        }
        std::vector<std::uint32_t> shared;
        std::set_intersection(known.begin(), known.end(), entry.words.begin(), entry.words.end(),
                              std::back_inserter(shared));
        const std::size_t total = words.size() + entry.words.size();
        const auto similarity = static_cast<int>(200 * shared.size() / total);
        if (similarity >= kMinSimilarity) {
            measured.push_back({similarity, candidate.id});
        }
    }
    // Entry numbers follow the order of precedence.
    std::sort(measured.begin(), measured.end(), [](const Measured& a, const Measured& b) {
        return a.similarity != b.similarity ? a.similarity > b.similarity : a.id < b.id;
    });
    for (const auto& match : measured) {
        offer(m_entries[match.id], SuggestionKind::Close, match.similarity);
    }
    return suggestions;
}

std::vector<std::pair<Text, Text>> text_pairs(const TripleFile& database) {
    std::vector<std::pair<Text, Text>> pairs;
    pairs.reserve(database.entries.size());
    for (const auto& entry : database.entries) {
        pairs.emplace_back(entry[1], entry[2]);
    }
    return pairs;
}

std::vector<std::pair<Text, Text>> memory_pairs(const std::vector<MemoryEntry>& memory, int kind) {
    std::vector<std::pair<Text, Text>> pairs;
    for (const auto& entry : memory) {
        if (entry.list_index == kind) {
            pairs.emplace_back(entry.ev_name, entry.dv_name);
        }
    }
    return pairs;
}

} // namespace orv
