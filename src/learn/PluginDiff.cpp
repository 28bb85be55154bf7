#include "learn/PluginDiff.h"

#include <algorithm>
#include <string>

#include "learn/RecordPairing.h"
#include "learn/RecordTexts.h"
#include "plugin/PluginReader.h"
#include "translation/TranslationMemory.h"

namespace orv {
namespace {

Result<PluginFile> read_version(ByteSpan bytes, TextView name) {
    auto plugin = read_plugin(bytes);
    if (!plugin) {
        Error error = plugin.error();
        error.message = cp1252(u8"Die Datei „") + Text(name) +
                        cp1252(u8"“ ist beschädigt oder abgeschnitten: ") + error.message;
        return error;
    }
    return plugin;
}

Text key_of(const RecordTexts& record, const RecordText& text) {
    return text.slot == 0 ? record.id : record.id + "#" + std::to_string(text.slot);
}

const RecordText* same_text(const RecordTexts& record, const RecordText& text) {
    const auto found =
        std::find_if(record.texts.begin(), record.texts.end(), [&text](const RecordText& t) {
            return t.kind == text.kind && t.slot == text.slot;
        });
    return found == record.texts.end() ? nullptr : &*found;
}

ChangedText change_of(const RecordTexts& record, const RecordText& text, TextChange change) {
    return {memory_kind_label(text.kind), key_of(record, text), change,
            change == TextChange::New ? Text{} : text.text,
            change == TextChange::New ? text.text : Text{}};
}

} // namespace

std::string_view text_change_word(TextChange change) {
    switch (change) {
    case TextChange::New:
        return "new";
    case TextChange::Removed:
        return "removed";
    case TextChange::Changed:
        break;
    }
    return "text changed";
}

Result<std::vector<ChangedText>> diff_plugins(ByteSpan older, ByteSpan newer, TextView older_name,
                                              TextView newer_name) {
    auto old_plugin = read_version(older, older_name);
    if (!old_plugin) {
        return old_plugin.error();
    }
    auto new_plugin = read_version(newer, newer_name);
    if (!new_plugin) {
        return new_plugin.error();
    }
    const auto pairs = pair_records(new_plugin->blocks, old_plugin->blocks, PairingMode::Versions);
    const auto new_texts = texts_of_records(new_plugin->blocks);
    const auto old_texts = texts_of_records(old_plugin->blocks);

    std::vector<ChangedText> changes;
    // The new file's records in order, each either paired or new.
    std::vector<std::size_t> partner(new_plugin->blocks.size(), 0);
    for (const auto& [new_number, old_number] : pairs.pairs) {
        partner[new_number] = old_number;
    }
    for (std::size_t number = 1; number < new_plugin->blocks.size(); ++number) {
        const RecordTexts& now = new_texts[number];
        if (partner[number] == 0) {
            for (const auto& text : now.texts) {
                changes.push_back(change_of(now, text, TextChange::New));
            }
            continue;
        }
        const RecordTexts& before = old_texts[partner[number]];
        for (const auto& text : now.texts) {
            const RecordText* old_text = same_text(before, text);
            if (old_text == nullptr) {
                changes.push_back(change_of(now, text, TextChange::New));
            } else if (old_text->text != text.text) {
                changes.push_back({memory_kind_label(text.kind), key_of(now, text),
                                   TextChange::Changed, old_text->text, text.text});
            }
        }
        for (const auto& text : before.texts) {
            if (same_text(now, text) == nullptr) {
                changes.push_back(change_of(before, text, TextChange::Removed));
            }
        }
    }
    for (const std::size_t number : pairs.only_second) {
        for (const auto& text : old_texts[number].texts) {
            changes.push_back(change_of(old_texts[number], text, TextChange::Removed));
        }
    }
    return changes;
}

} // namespace orv
