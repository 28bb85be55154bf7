#include "learn/Learning.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <utility>

#include "learn/RecordPairing.h"
#include "learn/RecordTexts.h"
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

Text record_name(const Block& block, const RecordTexts& texts) {
    return record_tag(block) + " " + texts.id;
}

// The German texts found for one English text, with how often and from which records.
struct Variants {
    std::vector<NameVariant> variants;

    void add(const Text& german, Text record) {
        auto found = std::find_if(variants.begin(), variants.end(),
                                  [&german](const NameVariant& v) { return v.german == german; });
        if (found == variants.end()) {
            variants.push_back({german, {}});
            found = variants.end() - 1;
        }
        found->records.push_back(std::move(record));
    }
    // The more frequent first; a stable sort keeps the first met first among equals.
    void order() {
        std::stable_sort(variants.begin(), variants.end(),
                         [](const NameVariant& a, const NameVariant& b) {
                             return a.records.size() > b.records.size();
                         });
    }
};

// Variants by a key, in the order the keys were first met.
template <typename Key>
struct Grouped {
    std::vector<std::pair<Key, Variants>> groups;
    std::unordered_map<Key, std::size_t> index;

    Variants& at(const Key& key) {
        const auto [position, inserted] = index.try_emplace(key, groups.size());
        if (inserted) {
            groups.push_back({key, {}});
        }
        return groups[position->second].second;
    }
};

// The English text of a memory line with its kind in front, as one key.
Text kind_key(int kind, const Text& english) {
    Text key(1, static_cast<char>(kind));
    key += english;
    return key;
}

} // namespace

Result<Learned> learn_from_plugins(const LearnInput& input, const LearnProgress& progress) {
    auto english =
        read_language(input.english, input.english_name, cp1252(u8"Die englische Datei"), progress);
    if (!english) {
        return english.error();
    }
    auto german =
        read_language(input.german, input.german_name, cp1252(u8"Die deutsche Datei"), progress);
    if (!german) {
        return german.error();
    }
    if (progress) {
        progress(cp1252(u8"Ordne Datensätze zu"));
    }
    const auto& english_blocks = english->blocks;
    const auto& german_blocks = german->blocks;
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

    const auto english_texts = texts_of_records(english_blocks);
    const auto german_texts = texts_of_records(german_blocks);
    for (const std::size_t number : pairs.only_first) {
        summary.english_only.push_back(record_name(english_blocks[number], english_texts[number]));
    }
    for (const std::size_t number : pairs.only_second) {
        summary.german_only.push_back(record_name(german_blocks[number], german_texts[number]));
    }

    // Names go to the external database, which has no kinds: they are grouped by their
    // English text alone. The memory keeps one German text per kind and English text.
    Grouped<Text> names;
    Grouped<Text> memory;
    for (const auto& [english_number, german_number] : pairs.pairs) {
        const RecordTexts& from = english_texts[english_number];
        const RecordTexts& to = german_texts[german_number];
        for (const RecordText& text : from.texts) {
            const auto partner =
                std::find_if(to.texts.begin(), to.texts.end(), [&text](const RecordText& t) {
                    return t.kind == text.kind && t.slot == text.slot;
                });
            if (partner == to.texts.end() || partner->text == text.text) {
                continue;
            }
            ++summary.learned[static_cast<std::size_t>(text.kind)];
            const Text record = record_name(english_blocks[english_number], from);
            if (text.kind < kObjectListCount) {
                names.at(text.text).add(partner->text, record);
            }
            memory.at(kind_key(text.kind, text.text)).add(partner->text, record);
        }
    }

    for (auto& [english_name, variants] : names.groups) {
        variants.order();
        for (const auto& variant : variants.variants) {
            learned.names.push_back({english_name, variant.german});
        }
        if (variants.variants.size() > 1) {
            summary.conflicts.push_back({english_name, variants.variants});
        }
    }
    for (auto& [key, variants] : memory.groups) {
        variants.order();
        learned.memory.push_back({static_cast<unsigned char>(key[0]), key.substr(1),
                                  variants.variants.front().german, Text(input.date),
                                  Text(input.german_name)});
    }
    return learned;
}

} // namespace orv
