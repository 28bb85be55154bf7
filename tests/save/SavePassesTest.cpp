#include "save/CellReferencePass.h"
#include "save/GameSettingPass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/PluginBuilder.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

using fixtures::record;
using fixtures::RecordBuilder;
using std::string_literals::operator""s;

// What a pass did to a record: its bytes after, the count returned, the progress texts shown.
struct Outcome {
    Bytes after;
    int changed = 0;
    int shown = 0;
    bool operator==(const Outcome&) const = default;
};

// Runs `pass` over a store whose header record (block 0) is a copy of the record: a header is
// never a record to translate, whatever its tag, so it must keep its bytes.
Outcome run(int (*pass)(BlockStore&, const NameIndex&, const ProgressFunction&),
            const NameIndex& index, const Text& label, const Bytes& bytes) {
    BlockStore store;
    store.assign({bytes, bytes}, 0);
    Outcome outcome;
    outcome.changed = pass(store, index, [&](const Text& text) {
        EXPECT_EQ(text, label + "1 / 1");
        ++outcome.shown;
    });
    EXPECT_EQ(store.block(0), bytes);
    outcome.after = store.block(1);
    return outcome;
}

TEST(CellReferencePass, TranslatesDestinationsResponseCellsAndCellConditions) {
    const NameIndex cells = build_reference_table(
        {encode_pair_file({{"Foo Town", "Fooheim"}, {"Nebelhain Keep", "Burg"}})});
    const auto pass = [&](const Bytes& bytes) {
        return run(translate_cell_references, cells, cp1252(u8"Übersetze zellenverweise : "),
                   bytes);
    };
    // A cell's own NAME is no reference; every DNAM is, also behind one that changed size.
    const auto cell = [](std::string_view first, std::string_view second) {
        return record("CELL", {{"NAME", "Foo Town"}, {"DNAM", first}, {"DNAM", second}});
    };
    EXPECT_EQ(pass(cell("Foo Town", "Nebelhain\0 Keep"s)),
              (Outcome{cell("Fooheim", "Burg"), 2, 2}));
    const auto npc = [](std::string_view to) { return record("NPC_", {{"DNAM", to}}); };
    EXPECT_EQ(pass(npc("Foo Town")), (Outcome{npc("Fooheim"), 1, 1}));
    EXPECT_EQ(pass(npc("foo town")), (Outcome{npc("foo town"), 0, 1}));
    // Only the first ANAM binds a response to a cell, and only a condition reading "BLX0" from
    // its second character names one, behind its five-character head.
    const auto info = [](std::string_view first_cell, std::string_view condition) {
        return RecordBuilder("INFO")
            .raw("SCVR", condition)
            .text("ANAM", first_cell)
            .raw("SCVR", "0sX00Foo Town")
            .text("ANAM", "Foo Town")
            .bytes();
    };
    EXPECT_EQ(pass(info("Foo Town", "1BLX0Foo Town")),
              (Outcome{info("Fooheim", "1BLX0Fooheim"), 2, 3}));
    const Bytes region = record("REGN", {{"DNAM", "Foo Town"}, {"SCVR", "1BLX0Foo Town"}});
    EXPECT_EQ(pass(region), (Outcome{region, 0, 0}));
    // The walk stops at a subrecord claiming one byte more than the block holds.
    const auto damaged = [&](std::string_view first) {
        Bytes cell = record("CELL", {{"DNAM", first}, {"DNAM", "Foo Town"}});
        cell[cell.size() - 13] = std::byte{10};
        return cell;
    };
    EXPECT_EQ(pass(damaged("Foo Town")), (Outcome{damaged("Fooheim"), 1, 1}));
}

// Intended: the sources are read as one file, as if appended to one another, so an entry
// cut short in one source takes its missing text from the next source and every entry
// after it pairs the wrong texts. Only originals are keys.
TEST(ReferenceTable, JoinsItsSourcesByteForByte) {
    Bytes renames = encode_pair_file({{"Foo Town", "Fooburg"}});
    append_counted_text(renames, "Old Mill");
    const Bytes cells = encode_pair_file({{"Misty Vale", "Nebeltal"}, {"Stone Field", "Feld"}});
    const auto table = build_reference_table({renames, cells});
    EXPECT_EQ(table.file().entries, (std::vector<PairEntry>{{"Foo Town", "Fooburg"},
                                                            {"Old Mill", "Misty Vale"},
                                                            {"Nebeltal", "Stone Field"}}));
    EXPECT_TRUE(table.file().damaged);
    EXPECT_FALSE(table.first_original_match("Misty Vale"));
}

TEST(GameSettingPass, ReplacesTheWholeFirstValueOfSettings) {
    const NameIndex settings =
        build_reference_table({encode_pair_file({{"Cancel", "Abbrechen"}, {"Cancel", "Nein"}})});
    const auto pass = [&](const Bytes& bytes) {
        return run(translate_game_settings, settings, cp1252(u8"Übersetze Game Settings : "),
                   bytes);
    };
    // The expectation has its own size fields: the STRV size, the record size and the moved
    // INTV are checked at once.
    const auto setting = [](std::string_view value) {
        return RecordBuilder("GMST").raw("STRV", value).u32("INTV", 7).bytes();
    };
    EXPECT_EQ(pass(setting("Cancel")), (Outcome{setting("Abbrechen"), 1, 1}));
    EXPECT_EQ(pass(setting("Can\0cel"s)), (Outcome{setting("Abbrechen"), 1, 1}));
    EXPECT_EQ(pass(setting("cancel")), (Outcome{setting("cancel"), 0, 1}));
    // No progress for a record without a value among its first hundred subrecords.
    RecordBuilder late("GMST");
    for (int i = 0; i < kSubrecordSearchLimit; ++i) {
        late.u32("INTV", 1);
    }
    for (const Bytes& untouched : {late.raw("STRV", "Cancel").bytes(),
                                   RecordBuilder("CELL").raw("STRV", "Cancel").bytes()}) {
        EXPECT_EQ(pass(untouched), (Outcome{untouched, 0, 0}));
    }
}

} // namespace
} // namespace orv
