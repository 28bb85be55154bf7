#include "save/GameSettingPass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/PluginBuilder.h"

namespace orv {
namespace {

using fixtures::RecordBuilder;

// Block 0 is a header record, the given records follow as blocks 1 to N.
BlockStore store_of(const std::vector<Bytes>& records) {
    std::vector<Block> blocks{
        fixtures::header_record(0, static_cast<std::int32_t>(records.size()))};
    blocks.insert(blocks.end(), records.begin(), records.end());
    BlockStore store;
    store.assign(std::move(blocks), 0);
    return store;
}

NameIndex index_of(std::vector<PairEntry> entries) {
    PairFile file;
    file.entries = std::move(entries);
    return NameIndex(std::move(file));
}

std::string text_of(const Bytes& bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST(GameSettingPass, ReplacesWholeValueByFirstMatchingEntry) {
    const auto settings = index_of(
        {{"Ok", ""}, {"Cancel", "Abbrechen"}, {"Cancel", "Nein"}, {"Abbrechen", "Falsch"}});
    struct Case {
        const char* name;
        std::string value;
        std::string expected;
        int translated;
    };
    const std::vector<Case> cases = {
        {"first entry wins, later subrecords move", "Cancel", "Abbrechen", 1},
        {"letter case differs", "cancel", "cancel", 0},
        {"trailing blank", "Cancel ", "Cancel ", 0},
        {"only originals are keys", "Abbrechen", "Falsch", 1},
        {"empty translation leaves size 0", "Ok", "", 1},
        {"inner zero byte is read past and replaced with the text", std::string("Can\0cel", 7),
         "Abbrechen", 1},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        auto record = [](std::string_view value) {
            return RecordBuilder("GMST").text("NAME", "sButton").raw("STRV", value).u32("INTV", 7);
        };
        auto store = store_of({record(test.value).bytes()});
        std::vector<Text> shown;
        const int translated = translate_game_settings(
            store, settings, [&](const Text& text) { shown.push_back(text); });
        EXPECT_EQ(translated, test.translated);
        // The expectation is built with correct size fields, so this checks the STRV size,
        // the record size at offset 4, the block length and the moved INTV at once.
        EXPECT_EQ(text_of(store.block(1)), text_of(record(test.expected).bytes()));
        EXPECT_EQ(shown, std::vector<Text>{cp1252(u8"Übersetze Game Settings : 1 / 1")});
    }
}

TEST(GameSettingPass, ShowsProgressOnlyForSettingsWithValueAmongFirstHundredSubrecords) {
    const auto settings = index_of({{"Cancel", "Abbrechen"}});
    auto setting_with_value_at = [](int position) {
        RecordBuilder record("GMST");
        for (int filler = 1; filler < position; ++filler) {
            record.u32("INTV", 1);
        }
        return record.raw("STRV", "Cancel").bytes();
    };
    const std::vector<Bytes> records = {
        setting_with_value_at(100),
        RecordBuilder("GMST").text("NAME", "iLevel").u32("INTV", 3).bytes(),
        setting_with_value_at(101),
        RecordBuilder("CELL").raw("STRV", "Cancel").bytes(),
        RecordBuilder("gmst").raw("STRV", "Cancel").bytes(),
        RecordBuilder("GMST").raw("STRV", "Unknown").bytes(),
    };
    auto store = store_of(records);
    std::vector<Text> shown;
    const int translated =
        translate_game_settings(store, settings, [&](const Text& text) { shown.push_back(text); });

    EXPECT_EQ(translated, 1);
    EXPECT_EQ(shown, (std::vector<Text>{cp1252(u8"Übersetze Game Settings : 1 / 6"),
                                        cp1252(u8"Übersetze Game Settings : 6 / 6")}));
    EXPECT_EQ(store.block_size(1), records[0].size() + 3);
    for (std::size_t number = 2; number <= records.size(); ++number) {
        SCOPED_TRACE(number);
        EXPECT_EQ(text_of(store.block(number)), text_of(records[number - 1]));
    }
    EXPECT_EQ(text_of(store.block(0)), text_of(fixtures::header_record(0, 6)));
}

} // namespace
} // namespace orv
