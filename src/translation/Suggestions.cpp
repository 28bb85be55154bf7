#include "translation/Suggestions.h"

#include <algorithm>
#include <array>
#include <set>

#include "plugin/RecordTypes.h"
#include "translation/RowFilter.h"
#include "translation/TranslationDatabase.h"
#include "translation/Words.h"

namespace orv {
namespace {

constexpr std::uint32_t kAllLists = (1u << kObjectListCount) - 1;
constexpr std::uint32_t kNoEntry = UINT32_MAX;

bool has_digit(TextView word) {
    return std::any_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// How far a word may be from a query word and still count as the same word: short words
// and numbers must be equal, where one typo already makes another word.
std::size_t allowed_distance(TextView word) {
    if (has_digit(word)) {
        return 0;
    }
    return word.size() <= 3 ? 0 : word.size() <= 6 ? 1 : 2;
}

bool close_words(TextView query_word, TextView word) {
    const std::size_t allowed = allowed_distance(query_word);
    const std::size_t longer = std::max(query_word.size(), word.size());
    const std::size_t shorter = std::min(query_word.size(), word.size());
    if (longer - shorter > allowed) {
        return false;
    }
    return allowed == 0 ? query_word == word : edit_distance(query_word, word) <= allowed;
}

} // namespace

Text memory_source_name() {
    return cp1252(u8"Gedächtnis");
}

Text suggestion_kind_text(SuggestionKind kind) {
    return kind == SuggestionKind::Exact ? Text("exakt") : cp1252(u8"ähnlich");
}

Text suggestion_match_text(const Suggestion& suggestion) {
    if (suggestion.kind == SuggestionKind::Exact) {
        return suggestion_kind_text(suggestion.kind);
    }
    return suggestion_kind_text(suggestion.kind) + " " + std::to_string(suggestion.similarity) +
           " %";
}

int name_similarity(TextView a, TextView b) {
    const std::size_t longer = std::max(a.size(), b.size());
    if (longer == 0) {
        return 100;
    }
    const std::size_t distance = std::min(longer, edit_distance(fold_case(a), fold_case(b)));
    return static_cast<int>((longer - distance) * 100 / longer);
}

std::size_t edit_distance(TextView a, TextView b) {
    // Three rows of the table suffice for a swap of neighbours; names are short, so they
    // live on the stack unless a text is longer than any name.
    constexpr std::size_t kShort = 72;
    std::array<std::size_t, 3 * kShort> stack_rows;
    std::vector<std::size_t> heap_rows;
    std::size_t* rows = stack_rows.data();
    if (b.size() + 1 > kShort) {
        heap_rows.resize(3 * (b.size() + 1));
        rows = heap_rows.data();
    }
    const std::size_t width = b.size() + 1;
    std::size_t* before = rows;
    std::size_t* previous = rows + width;
    std::size_t* current = rows + 2 * width;
    for (std::size_t j = 0; j <= b.size(); ++j) {
        previous[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        current[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                current[j] = std::min(current[j], before[j - 2] + 1);
            }
        }
        std::swap(before, previous);
        std::swap(previous, current);
    }
    return previous[b.size()];
}

SuggestionIndex::SuggestionIndex(const std::vector<MemoryEntry>& memory,
                                 const std::vector<NamedPairFile>& files) {
    m_sources.push_back({memory_source_name(), kAllLists});
    std::size_t total = memory.size();
    for (const auto& file : files) {
        total += file.file.entries.size();
    }
    m_entries.reserve(total);
    for (const auto& entry : memory) {
        // Names only: a remembered response is no name to suggest.
        if (entry.list_index < kObjectListCount) {
            add_entry(
                {entry.ev_name, entry.dv_name, 0, static_cast<std::int8_t>(entry.list_index)});
        }
    }
    for (const auto& file : files) {
        std::uint32_t lists = file.file_name == kExternalDatabaseName ? kAllLists : 0;
        for (const auto& type : kRecordTypes) {
            if (type.name_database == file.file_name ||
                type.second_name_database == file.file_name) {
                lists |= 1u << type.index;
            }
        }
        m_sources.push_back({Text(file.file_name), lists});
        const auto source = static_cast<std::uint16_t>(m_sources.size() - 1);
        for (const auto& [original, translation] : file.file.entries) {
            add_entry({original, translation, source, -1});
        }
    }
    // The texts stay where they are from here on: the maps hold views of them.
    m_next_exact.assign(m_entries.size(), kNoEntry);
    std::unordered_map<std::string_view, std::uint32_t> last_exact;
    for (std::uint32_t id = 0; id < m_entries.size(); ++id) {
        const std::string_view original = m_entries[id].original;
        if (const auto last = last_exact.find(original); last != last_exact.end()) {
            m_next_exact[last->second] = id;
            last->second = id;
        } else {
            m_first_exact.emplace(original, id);
            last_exact.emplace(original, id);
        }
        for (auto& word : distinct_words(original)) {
            const auto [found, added] =
                m_word_ids.try_emplace(word, static_cast<std::uint32_t>(m_words.size()));
            if (added) {
                if (!has_digit(word)) {
                    if (m_words_by_length.size() <= word.size()) {
                        m_words_by_length.resize(word.size() + 1);
                    }
                    m_words_by_length[word.size()].push_back(found->second);
                }
                m_words.push_back(std::move(word));
                m_postings.emplace_back();
            }
            m_postings[found->second].push_back(id);
        }
    }
}

void SuggestionIndex::add_entry(Entry entry) {
    // An entry that keeps the name as it is suggests nothing (the sentinel pair among them).
    if (entry.original != entry.translation) {
        m_entries.push_back(std::move(entry));
    }
}

bool SuggestionIndex::serves(const Entry& entry, std::optional<int> list_index) const {
    if (!list_index) {
        return true;
    }
    return (m_sources[entry.source].lists >> *list_index & 1u) != 0 &&
           (entry.list < 0 || entry.list == *list_index);
}

std::vector<Suggestion> SuggestionIndex::suggest(TextView ev_name,
                                                 std::optional<int> list_index) const {
    std::vector<Suggestion> suggestions;
    std::set<TextView> given;
    const auto offer = [&](const Entry& entry, SuggestionKind kind, int similarity) {
        if (suggestions.size() < kMaxSuggestions && serves(entry, list_index) &&
            given.insert(entry.translation).second) {
            suggestions.push_back(
                {entry.translation, m_sources[entry.source].name, kind, similarity});
        }
    };
    if (const auto first = m_first_exact.find(ev_name); first != m_first_exact.end()) {
        for (std::uint32_t id = first->second; id != kNoEntry; id = m_next_exact[id]) {
            offer(m_entries[id], SuggestionKind::Exact, 100);
        }
    }
    if (suggestions.size() >= kMaxSuggestions) {
        return suggestions;
    }

    // The words of the index close to each query word.
    const auto query_words = distinct_words(ev_name);
    std::vector<std::uint32_t> rare;
    std::uint32_t rarest = kNoEntry;
    const auto close_word_ids = [this](const std::string& query_word) {
        std::vector<std::uint32_t> ids;
        const std::size_t allowed = allowed_distance(query_word);
        if (allowed == 0) {
            if (const auto found = m_word_ids.find(query_word); found != m_word_ids.end()) {
                ids.push_back(found->second);
            }
            return ids;
        }
        const std::size_t shortest = query_word.size() - std::min(query_word.size(), allowed);
        for (std::size_t length = shortest;
             length <= query_word.size() + allowed && length < m_words_by_length.size(); ++length) {
            for (const auto word : m_words_by_length[length]) {
                if (close_words(query_word, m_words[word])) {
                    ids.push_back(word);
                }
            }
        }
        return ids;
    };
    for (const auto& query_word : query_words) {
        for (const std::uint32_t word : close_word_ids(query_word)) {
            const std::size_t count = m_postings[word].size();
            if (count <= kCommonWordEntries) {
                rare.push_back(word);
            } else if (rarest == kNoEntry || count < m_postings[rarest].size()) {
                rarest = word;
            }
        }
    }
    std::vector<std::uint32_t> candidates;
    for (const auto word : rare) {
        candidates.insert(candidates.end(), m_postings[word].begin(), m_postings[word].end());
    }
    if (candidates.empty() && rarest != kNoEntry) {
        const auto& posting = m_postings[rarest];
        candidates.assign(posting.begin(),
                          posting.begin() + static_cast<std::ptrdiff_t>(kCommonWordEntries));
    }
    std::sort(candidates.begin(), candidates.end());
    candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());

    struct Ranked {
        std::size_t shared;
        std::size_t distance;
        std::uint32_t id;
    };
    std::vector<Ranked> ranked;
    const Text folded_name = fold_case(ev_name);
    for (const auto id : candidates) {
        const Entry& entry = m_entries[id];
        if (entry.original == ev_name || !serves(entry, list_index)) {
            continue;
        }
        const auto words = distinct_words(entry.original);
        std::size_t shared = 0;
        for (const auto& query_word : query_words) {
            shared +=
                std::any_of(words.begin(), words.end(),
                            [&](const std::string& word) { return close_words(query_word, word); })
                    ? 1
                    : 0;
        }
        ranked.push_back({shared, edit_distance(folded_name, fold_case(entry.original)), id});
    }
    std::sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        if (a.shared != b.shared) {
            return a.shared > b.shared;
        }
        return a.distance != b.distance ? a.distance < b.distance : a.id < b.id;
    });
    for (const auto& candidate : ranked) {
        const Entry& entry = m_entries[candidate.id];
        offer(entry, SuggestionKind::Close, name_similarity(ev_name, entry.original));
    }
    return suggestions;
}

LoadedSuggestions load_suggestions(Files& files, const std::filesystem::path& program_dir) {
    LoadedSuggestions loaded;
    const auto note = [&loaded](const Error& error) {
        if (!loaded.problem) {
            loaded.problem = error;
        }
    };
    std::vector<MemoryEntry> memory;
    if (auto read = read_memory(files, memory_path(program_dir))) {
        memory = std::move(*read);
    } else {
        note(read.error());
    }
    std::vector<NamedPairFile> databases;
    const auto add = [&](const std::filesystem::path& path, std::string_view name) {
        for (const auto& known : databases) {
            if (known.file_name == name) {
                return;
            }
        }
        auto bytes = read_if_present(files, path);
        if (!bytes) {
            note(bytes.error());
            return;
        }
        databases.push_back({std::string(name), parse_pair_file(*bytes)});
    };
    add(external_database_path(program_dir), kExternalDatabaseName);
    for (const auto& type : kRecordTypes) {
        for (const auto name : {type.name_database, type.second_name_database}) {
            if (!name.empty()) {
                add(data_file_path(program_dir, name), name);
            }
        }
    }
    loaded.index = SuggestionIndex(memory, databases);
    return loaded;
}

} // namespace orv
