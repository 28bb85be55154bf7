#include "save/GameSettingPass.h"

#include "plugin/Subrecord.h"
#include "translation/DatabaseFile.h"

namespace orv {

int translate_game_settings(BlockStore& store, const NameIndex& game_settings,
                            const ProgressFunction& progress) {
    BlockProgress progress_text(cp1252(u8"Übersetze Game Settings : "), store.record_count());
    int translated = 0;
    // Block 0 is the file header record, never a setting, whatever its tag: a text replaced
    // in it would move the record count or shrink the header below what opens again.
    for (std::size_t number = 1; number < store.block_count(); ++number) {
        Block& block = store.block(number);
        // The tag's four bytes compared in place: this runs for every block of every save.
        if (!tag_at(block, 0, "GMST")) {
            continue;
        }
        // Only the first STRV counts, and only among the first 100 subrecords: a setting
        // without a text value shows no progress at all.
        const auto value = find_subrecord(block, "STRV");
        if (!value) {
            continue;
        }
        // The key is the setting's text, not its ID, so two settings with the same English
        // text get the same German one.
        const Text text = subrecord_text(block, *value, TextKind::Whole);
        if (const auto match = game_settings.first_original_match(text)) {
            // An empty translation leaves a STRV of size 0.
            const Text& german = game_settings.entry(*match)[1];
            translated += german != text ? 1 : 0;
            replace_subrecord_text(block, *value, TextKind::Whole, german);
        }
        progress_text.show(number, progress);
    }
    return translated;
}

NameIndex game_settings_of(const BlockStore& store, ByteSpan file) {
    TextKeySet texts;
    for (std::size_t number = 1; number < store.block_count(); ++number) {
        const Block& block = store.block(number);
        if (!tag_at(block, 0, "GMST")) {
            continue;
        }
        if (const auto value = find_subrecord(block, "STRV")) {
            texts.insert(subrecord_text(block, *value, TextKind::Whole));
        }
    }
    return NameIndex(parse_pair_file(file, texts), NameIndex::Keys::OriginalsOnly);
}

} // namespace orv
