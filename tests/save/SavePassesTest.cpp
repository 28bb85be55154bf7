// The passes that translate references and settings in a save, and the check that tells
// beforehand which references and names the save will leave wrong.
#include "save/CellReferencePass.h"
#include "save/GameSettingPass.h"
#include "save/ReferenceCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/PluginBuilder.h"
#include "plugin/RecordTypes.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

using fixtures::record;
using fixtures::RecordBuilder;
using std::string_literals::operator""s;
using Lines = std::vector<std::string>;

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

// Each finding as one line, so that a whole list compares at once. The scripts here hold
// only a source, which the compiled-code check reports in every case; that check has tests
// of its own (ScriptCodeCheck).
Lines lines_of(const std::vector<Finding>& findings) {
    Lines lines;
    for (const auto& f : findings) {
        if (f.kind == FindingKind::ScriptCode) {
            continue;
        }
        lines.push_back(std::string(finding_kind_word(f.kind)) + "|" + f.record + "|" + f.id + "|" +
                        to_utf8(f.detail));
        if (f.row) {
            lines.back() +=
                "|" + std::to_string(f.row->list_index) + ":" + std::to_string(f.row->row);
        }
    }
    return lines;
}

// The findings for a plugin of the cell "Foo Town", named `new_name` by the save, and `other`.
Lines check(const Bytes& other, const DatabaseInputs& inputs = {},
            const Text& new_name = "Fooheim") {
    ObjectLists lists;
    lists.append(kCellType, {mark::kEdited, "Foo Town", "Foo Town", new_name, 1});
    const auto store = fixtures::store_of({record("CELL", {{"NAME", "Foo Town"}}), other});
    const auto findings = lines_of(check_plugin(store, lists, inputs));
    EXPECT_EQ(store.block(2), other) << "The check translates nothing itself.";
    return findings;
}

TEST(ReferenceCheck, FindsQuotedRenamedCellsInScriptsWithTheirLine) {
    // The ID is the name part of the script header, up to its first zero byte.
    const auto script = [](std::string_view text) {
        const std::string header = "Follow" + std::string(26, '\0') + std::string(20, '\x01');
        return RecordBuilder("SCPT").raw("SCHD", header).raw("SCTX", text).bytes();
    };
    // A compiled script needs the editor to compile it again; a response's is compiled when
    // it runs.
    const auto renamed = [](std::string record, int line, std::string quoted) {
        return "script|" + record + "|Zeile " + std::to_string(line) + ": „" + quoted +
               "“ heißt nach dem Speichern „Fooheim“; " +
               (record.starts_with("SCPT")
                    ? "den Namen im Skripttext ändern und das Skript im Editor neu kompilieren"
                    : "im Editor ändern, wo der alte Name gemeint ist");
    };
    EXPECT_EQ(check(script("begin\r\nset x to 1\r\nPlayer->AIFollowCell \"foo TOWN\" 0\r\nend")),
              Lines{renamed("SCPT|Follow", 3, "foo TOWN")});
    EXPECT_EQ(check(script("\"Foo Town\" \"Bar\" \"Foo Town\"")),
              Lines(2, renamed("SCPT|Follow", 1, "Foo Town")));
    // A quote left open ends at its line; the next line is read on.
    EXPECT_EQ(check(script("say \"open\r\nAIFollowCell \"Foo Town\"")),
              Lines{renamed("SCPT|Follow", 2, "Foo Town")});
    for (const char* text : {"AIFollowCell \"Fooheim\"", "AIFollowCell Foo Town",
                             "\"Foo Town Hall\"", "say \"Foo\nTown\" \"x"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(check(script(text)), Lines{});
    }
    // The result text of a response is a script too; a cell that keeps its name is no rename.
    const Bytes info = RecordBuilder("INFO")
                           .text("INAM", "4711")
                           .raw("BNAM", "Bye\n\"Foo Town\"->Disable")
                           .bytes();
    EXPECT_EQ(check(info), Lines{renamed("INFO|4711", 2, "Foo Town")});
    EXPECT_EQ(check(info, {}, "Foo Town"), Lines{});
}

TEST(ReferenceCheck, FindsReferencesThatNameNoCellAfterTheSave) {
    const DatabaseInputs shipped{{},
                                 encode_pair_file({{"Old Keep", "Alte Burg"}}),
                                 encode_pair_file({{"Ash Land", cp1252(u8"Öde")}}),
                                 {},
                                 {},
                                 {}};
    // Cells after the save: the plugin's cell under its new name, a cell or region that only
    // the databases translate, a German name; an old name in a later ANAM is no reference.
    for (const Bytes& reference :
         {record("NPC_", {{"NAME", "guard"}, {"DNAM", "Foo Town"}}),
          record("CELL", {{"NAME", "Foo Town"}, {"DNAM", "Old Keep"}}),
          record("INFO", {{"INAM", "2"}, {"ANAM", "Foo Town"}, {"ANAM", "Nowhere"}}),
          RecordBuilder("INFO").text("ANAM", "Alte Burg").raw("SCVR", "1BLX0Ash Land").bytes()}) {
        SCOPED_TRACE(record_id(reference));
        EXPECT_EQ(check(reference, shipped), Lines{});
    }
    const auto no_cell = [](std::string where) {
        return where + ": weder eine Zelle dieses Plugins noch eine Übersetzung der Zellen- oder "
                       "Regionsdatenbank";
    };
    // The save translates references byte for byte, so this one keeps the old name.
    EXPECT_EQ(check(record("NPC_", {{"NAME", "guard"}, {"DNAM", "foo town"}}), shipped),
              Lines{no_cell("reference|NPC_|guard|DNAM „foo town“")});
    const Bytes conditions = RecordBuilder("INFO")
                                 .text("INAM", "3")
                                 .raw("SCVR", "1BLX0Nowhere")
                                 .raw("SCVR", "2sX00Nowhere")
                                 .bytes();
    EXPECT_EQ(check(conditions, shipped), Lines{no_cell("reference|INFO|3|SCVR „Nowhere“")});
}

TEST(ReferenceCheck, FindsNamesOverTheirListsLimitAndNewlyEmptyNames) {
    ObjectLists lists;
    const int acti = *object_type_of("ACTI");
    lists.append(acti, {mark::kShipped, "acti32", "Lever", Text(32, 'a'), 0});
    lists.append(acti, {mark::kEdited, "acti31", "Lever", Text(31, 'a'), 0});
    lists.append(acti, {mark::kEdited, "emptied", "Lever", "", 0});
    lists.append(acti, {mark::kNoName, "noname", "Lever", "", 0});
    lists.append(acti, {mark::kNone, "never named", "", "", 0});
    EXPECT_EQ(lines_of(check_plugin(fixtures::store_of({}), lists, DatabaseInputs{})),
              (Lines{
                  "length|ACTI|acti32|„" + Text(32, 'a') + "“: 32 Zeichen, erlaubt sind 31|3:0",
                  "empty|ACTI|emptied|Der Name „Lever“ wird leer|3:2",
              }));
}

} // namespace
} // namespace orv
