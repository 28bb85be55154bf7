#include "learn/Learning.h"

#include <algorithm>
#include <optional>
#include <string>
#include <thread>
#include <unordered_map>
#include <utility>

#include "learn/RecordPairing.h"
#include "learn/RecordTexts.h"
#include "plugin/BlockHalves.h"
#include "plugin/PluginReader.h"

namespace orv {
namespace {

Text in_quotes(TextView name) {
    return cp1252(u8"„") + Text(name) + cp1252(u8"“");
}

Result<PluginFile> read_language(ByteSpan bytes, TextView name, const Text& which,
                                 const LearnProgress& progress) {
    auto plugin = read_plugin(bytes, [&progress](const Text& text) {
        if (progress) {
            progress(text);
        }
    });
    if (!plugin) {
        Error error = plugin.error();
        error.message = which + " " + in_quotes(name) +
                        cp1252(u8" ist beschädigt oder abgeschnitten: ") + error.message +
                        cp1252(u8"\rEs wurde nichts gelernt.");
        return error;
    }
    return plugin;
}

// One German text found for an English text: how often, and (for names) from which
// English records, by block number.
struct Variant {
    Text german;
    std::size_t count = 0;
    std::vector<std::size_t> records;
};

// The German texts found for one English text, in the order they were met.
struct Variants {
    std::vector<Variant> variants;

    Variant& add(const Text& german, std::size_t count = 1) {
        auto found = std::find_if(variants.begin(), variants.end(),
                                  [&german](const Variant& v) { return v.german == german; });
        if (found == variants.end()) {
            variants.push_back({german, 0, {}});
            found = variants.end() - 1;
        }
        found->count += count;
        return *found;
    }
    // The more frequent first; a stable sort keeps the first met first among equals.
    void order() {
        std::stable_sort(variants.begin(), variants.end(),
                         [](const Variant& a, const Variant& b) { return a.count > b.count; });
    }
};

// Variants by a key, in the order the keys were first met.
struct Grouped {
    std::vector<std::pair<Text, Variants>> groups;
    std::unordered_map<Text, std::size_t> index;

    Variants& at(Text key) {
        const auto [position, inserted] = index.try_emplace(std::move(key), groups.size());
        if (inserted) {
            groups.push_back({position->first, {}});
        }
        return groups[position->second].second;
    }
};

// A text of a paired record that the German file has otherwise.
struct Difference {
    int kind = 0;
    // The English record's block number.
    std::size_t record = 0;
    Text english;
    Text german;
};

// The differences of pairs [first, end), in order.
void find_differences(const std::vector<std::pair<std::size_t, std::size_t>>& pairs,
                      std::size_t first, std::size_t end, const RecordTextReader& english_texts,
                      const RecordTextReader& german_texts, std::vector<Difference>& differences) {
    for (std::size_t index = first; index < end; ++index) {
        const auto [english_number, german_number] = pairs[index];
        RecordTexts from = english_texts.texts(english_number);
        if (from.texts.empty()) {
            continue;
        }
        RecordTexts to = german_texts.texts(german_number);
        for (RecordText& text : from.texts) {
            const int kind = text.kind;
            const int slot = text.slot;
            const auto partner =
                std::find_if(to.texts.begin(), to.texts.end(), [kind, slot](const RecordText& t) {
                    return t.kind == kind && t.slot == slot;
                });
            if (partner != to.texts.end() && partner->text != text.text) {
                differences.push_back(
                    {kind, english_number, std::move(text.text), std::move(partner->text)});
            }
        }
    }
}

// The English text of a memory line with its kind in front, as one key.
Text kind_key(int kind, const Text& english) {
    Text key(1, static_cast<char>(kind));
    key += english;
    return key;
}

} // namespace

Result<Learned> learn_from_plugins(const LearnInput& input, const LearnProgress& progress) {
    // The German file is split on a second thread meanwhile; only this thread reports
    // progress, so the caller's progress function needs no lock.
    std::optional<Result<PluginFile>> german;
    std::thread german_reader([&input, &german] {
        german.emplace(
            read_language(input.german, input.german_name, cp1252(u8"Die deutsche Datei"), {}));
    });
    auto english =
        read_language(input.english, input.english_name, cp1252(u8"Die englische Datei"), progress);
    german_reader.join();
    if (!english) {
        return english.error();
    }
    if (!*german) {
        return german->error();
    }
    if (progress) {
        progress(cp1252(u8"Ordne Datensätze zu"));
    }
    const auto& english_blocks = english->blocks;
    const auto& german_blocks = (*german)->blocks;
    const auto pairs = pair_records(english_blocks, german_blocks, PairingMode::Translation);

    Learned learned;
    LearnSummary& summary = learned.summary;
    summary.english_records = english_blocks.size() - 1;
    summary.german_records = german_blocks.size() - 1;
    summary.paired = pairs.pairs.size();
    const std::size_t larger = std::max(summary.english_records, summary.german_records);
    if (summary.paired == 0 || summary.paired * 2 < larger) {
        return Error{ErrorKind::Refused, 0,
                     in_quotes(input.english_name) + " und " + in_quotes(input.german_name) +
                         cp1252(u8" sind offenbar nicht dieselbe Datei in zwei Sprachen: nur ") +
                         std::to_string(summary.paired) + " von " + std::to_string(larger) +
                         cp1252(u8" Datensätzen haben ein Gegenstück.\rEs wurde nichts gelernt.")};
    }

    const RecordTextReader english_texts(english_blocks);
    const RecordTextReader german_texts(german_blocks);
    for (const std::size_t number : pairs.only_first) {
        summary.english_only.push_back(record_tag(english_blocks[number]) + " " +
                                       english_texts.id(number));
    }
    for (const std::size_t number : pairs.only_second) {
        summary.german_only.push_back(record_tag(german_blocks[number]) + " " +
                                      german_texts.id(number));
    }

    // The texts are read and compared on two threads, each half of the pairs in order.
    std::vector<Difference> differences;
    std::vector<Difference> later_differences;
    in_two_halves(
        0, pairs.pairs.size(),
        [&](std::size_t first, std::size_t end) {
            find_differences(pairs.pairs, first, end, english_texts, german_texts, differences);
        },
        [&](std::size_t first, std::size_t end) {
            find_differences(pairs.pairs, first, end, english_texts, german_texts,
                             later_differences);
        });

    // The memory keeps one German text per kind and English text.
    Grouped memory;
    for (auto* part : {&differences, &later_differences}) {
        for (Difference& difference : *part) {
            ++summary.learned[static_cast<std::size_t>(difference.kind)];
            Variant& variant =
                memory.at(kind_key(difference.kind, difference.english)).add(difference.german);
            if (difference.kind < kObjectListCount) {
                variant.records.push_back(difference.record);
            }
        }
        std::vector<Difference>().swap(*part);
    }
    // Names go to the external database, which has no kinds: the names of all lists are
    // grouped by their English text alone.
    Grouped names;
    for (auto& [key, variants] : memory.groups) {
        const auto kind = static_cast<unsigned char>(key[0]);
        if (kind < kObjectListCount) {
            Variants& same_name = names.at(key.substr(1));
            for (const Variant& variant : variants.variants) {
                Variant& merged = same_name.add(variant.german, variant.count);
                merged.records.insert(merged.records.end(), variant.records.begin(),
                                      variant.records.end());
            }
        }
        variants.order();
        learned.memory.push_back({kind, key.substr(1), variants.variants.front().german,
                                  Text(input.date), Text(input.german_name)});
    }
    for (auto& [english_name, variants] : names.groups) {
        // Of equally frequent names, the one met first in the file comes first.
        for (auto& variant : variants.variants) {
            std::sort(variant.records.begin(), variant.records.end());
        }
        std::stable_sort(variants.variants.begin(), variants.variants.end(),
                         [](const Variant& a, const Variant& b) {
                             return a.count != b.count ? a.count > b.count
                                                       : a.records.front() < b.records.front();
                         });
        for (const auto& variant : variants.variants) {
            learned.names.push_back({english_name, variant.german});
        }
        if (variants.variants.size() > 1) {
            NameConflict conflict{english_name, {}};
            for (const auto& variant : variants.variants) {
                NameVariant& shown =
                    conflict.variants.emplace_back(NameVariant{variant.german, {}});
                for (const std::size_t number : variant.records) {
                    shown.records.push_back(record_tag(english_blocks[number]) + " " +
                                            english_texts.id(number));
                }
            }
            summary.conflicts.push_back(std::move(conflict));
        }
    }
    return learned;
}

} // namespace orv
