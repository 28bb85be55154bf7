#include "save/CellReferencePass.h"
#include "save/GameSettingPass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/PluginBuilder.h"

namespace orv {
namespace {

using fixtures::RecordBuilder;
using fixtures::store_of;

std::string text_of(const Bytes& bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

NameIndex index_of(std::vector<PairEntry> entries) {
    PairFile file;
    file.entries = std::move(entries);
    return NameIndex(std::move(file));
}

NameIndex table_of(const std::vector<Bytes>& sources) {
    return build_reference_table(std::vector<ByteSpan>(sources.begin(), sources.end()));
}

struct Outcome {
    int changed = 0;
    std::vector<Text> shown;
};

Outcome run_pass(BlockStore& store, const NameIndex& table) {
    Outcome outcome;
    outcome.changed = translate_cell_references(
        store, table, [&](const Text& text) { outcome.shown.push_back(text); });
    return outcome;
}

Text progress(int block, int count) {
    return cp1252(u8"Übersetze zellenverweise : ") + std::to_string(block) + " / " +
           std::to_string(count);
}

const NameIndex& cell_names() {
    static const NameIndex table = table_of({encode_pair_file({
        {"Foo Town", "Fooheim"},
        {"Nebelhain Keep", "Nebelhainburg"},
    })});
    return table;
}

TEST(CellReferencePass, TranslatesEveryDestinationOfCellsAndCharacters) {
    auto cell = [](std::string_view first, std::string_view second) {
        // The cell's own NAME is not a reference and keeps its text.
        return RecordBuilder("CELL")
            .text("NAME", "Foo Town")
            .text("DNAM", first)
            .u32("DATA", 9)
            .text("DNAM", second)
            .bytes();
    };
    auto character = [](std::string_view destination) {
        return RecordBuilder("NPC_").text("NAME", "guard").text("DNAM", destination).bytes();
    };
    auto store =
        store_of({cell("Foo Town", std::string("Nebelhain\0 Keep", 15)), character("foo town")});
    const auto outcome = run_pass(store, cell_names());

    EXPECT_EQ(outcome.changed, 2);
    EXPECT_EQ(text_of(store.block(1)), text_of(cell("Fooheim", "Nebelhainburg")));
    EXPECT_EQ(text_of(store.block(2)), text_of(character("foo town")));
    EXPECT_EQ(outcome.shown, (std::vector<Text>{progress(1, 2), progress(1, 2), progress(2, 2)}));
}

TEST(CellReferencePass, TranslatesFirstResponseCellAndCellConditions) {
    auto info = [](std::string_view first_cell, std::string_view condition) {
        return RecordBuilder("INFO")
            .text("INAM", "1234")
            .raw("SCVR", condition)
            .text("ANAM", first_cell)
            .raw("SCVR", "0sX00Foo Town")
            .text("ANAM", "Foo Town")
            .text("DNAM", "Foo Town")
            .bytes();
    };
    struct Case {
        const char* name;
        std::string condition;
        std::string expected;
        int changed;
    };
    const std::vector<Case> cases = {
        {"signature and known cell", "1BLX0Foo Town", "1BLX0Fooheim", 2},
        {"any character before the signature", "zBLX0Nebelhain Keep", "zBLX0Nebelhainburg", 2},
        {"rest is a prefix of a name", "1BLX0Foo", "1BLX0Foo", 1},
        {"rest is longer than a name", "1BLX0Foo Towns", "1BLX0Foo Towns", 1},
        {"signature one character early", "BLX0Foo Town", "BLX0Foo Town", 1},
        {"shorter than the head", "1BLX", "1BLX", 1},
        {"inner zero byte is read past and replaced with the name",
         std::string("1BLX0Foo\0 Town", 14), "1BLX0Fooheim", 2},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        auto store = store_of({info("Foo Town", test.condition)});
        const auto outcome = run_pass(store, cell_names());

        EXPECT_EQ(outcome.changed, test.changed);
        // Only the first ANAM is a response cell; the other head "0sX00" stays, and a DNAM
        // means nothing in an INFO record.
        EXPECT_EQ(text_of(store.block(1)), text_of(info("Fooheim", test.expected)));
        // One text for the ANAM lookup and one for each of the two SCVR subrecords.
        EXPECT_EQ(outcome.shown, std::vector<Text>(3, progress(1, 1)));
    }
}

TEST(CellReferencePass, ShowsProgressForEveryLookupOnlyInReferencingRecords) {
    const std::vector<Bytes> records = {
        RecordBuilder("REGN").text("DNAM", "Foo Town").raw("SCVR", "1BLX0Foo Town").bytes(),
        RecordBuilder("INFO").raw("SCVR", "1BLX0Foo Town").bytes(),
        RecordBuilder("CELL").text("NAME", "Foo Town").text("ANAM", "Foo Town").bytes(),
        RecordBuilder("INFO").text("ANAM", "Unknown").text("SCVR", "5sX00").bytes(),
        RecordBuilder("DIAL").text("NAME", "Foo Town").bytes(),
    };
    auto store = store_of(records);
    const auto outcome = run_pass(store, cell_names());

    EXPECT_EQ(outcome.changed, 1);
    EXPECT_EQ(outcome.shown, (std::vector<Text>{progress(2, 5), progress(4, 5), progress(4, 5)}));
    EXPECT_EQ(text_of(store.block(2)),
              text_of(RecordBuilder("INFO").raw("SCVR", "1BLX0Fooheim").bytes()));
    for (std::size_t number : {1, 3, 4, 5}) {
        SCOPED_TRACE(number);
        EXPECT_EQ(text_of(store.block(number)), text_of(records[number - 1]));
    }
    EXPECT_EQ(text_of(store.block(0)), text_of(fixtures::header_record(0, 5)));
}

TEST(CellReferencePass, StopsWalkAtSubrecordRunningPastBlockEnd) {
    Bytes record = RecordBuilder("CELL").text("DNAM", "Foo Town").text("DNAM", "Foo Town").bytes();
    // The second DNAM claims one byte more than the block holds.
    const std::size_t second_size_field = 16 + 8 + 9 + 4;
    record[second_size_field] = std::byte{10};
    auto store = store_of({record});
    const auto outcome = run_pass(store, cell_names());

    Bytes expected = RecordBuilder("CELL").text("DNAM", "Fooheim").text("DNAM", "Foo Town").bytes();
    expected[second_size_field - 1] = std::byte{10};
    EXPECT_EQ(outcome.changed, 1);
    EXPECT_EQ(text_of(store.block(1)), text_of(expected));
    EXPECT_EQ(outcome.shown, std::vector<Text>{progress(1, 1)});
}

TEST(ReferenceTable, FollowsSourceOrderRenamesCellsRegionsExternal) {
    const Bytes renames = encode_pair_file({{"Foo Town", "Fooburg"}});
    const Bytes cells =
        encode_pair_file({{"Foo Town", "Fooheim"}, {"Old Mill", cp1252(u8"Alte Mühle")}});
    const Bytes regions =
        encode_pair_file({{"Old Mill", cp1252(u8"Mühlental")}, {"Misty Vale", "Nebeltal"}});
    const Bytes external = encode_pair_file({{"Misty Vale", "Dunsttal"}, {"Stone Field", "Feld"}});
    struct Case {
        const char* name;
        std::vector<Bytes> sources;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"with cell renames",
         {renames, cells, regions, external},
         {"Fooburg", cp1252(u8"Alte Mühle"), "Nebeltal", "Feld"}},
        {"without cell renames",
         {Bytes{}, cells, regions, external},
         {"Fooheim", cp1252(u8"Alte Mühle"), "Nebeltal", "Feld"}},
    };
    auto record = [](const std::vector<std::string>& names) {
        RecordBuilder cell("CELL");
        for (const auto& name : names) {
            cell.text("DNAM", name);
        }
        return cell.bytes();
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        auto store = store_of({record({"Foo Town", "Old Mill", "Misty Vale", "Stone Field"})});
        const auto outcome = run_pass(store, table_of(test.sources));
        EXPECT_EQ(outcome.changed, 4);
        EXPECT_EQ(text_of(store.block(1)), text_of(record(test.expected)));
    }
}

// Intended: the sources are read as one file, as if appended to one another, so an entry
// cut short in one source takes its missing text from the next source and every entry
// after it pairs the wrong texts. The table does not try to resynchronise.
TEST(ReferenceTable, DamagedSourceMisalignsTheSourcesAfterIt) {
    Bytes renames = encode_pair_file({{"Foo Town", "Fooburg"}});
    append_counted_text(renames, "Old Mill");
    const Bytes cells = encode_pair_file({{"Misty Vale", "Nebeltal"}, {"Stone Field", "Feld"}});
    const auto table = table_of({renames, cells});

    EXPECT_EQ(table.file().entries, (std::vector<PairEntry>{{"Foo Town", "Fooburg"},
                                                            {"Old Mill", "Misty Vale"},
                                                            {"Nebeltal", "Stone Field"}}));
    EXPECT_TRUE(table.file().damaged);
    EXPECT_FALSE(table.first_original_match("Misty Vale"));
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
