// The passes that translate references and settings in a save, and the check that tells
// beforehand which references and names the save will leave wrong. Besides doors, responses
// and conditions, a record names a cell in travel of creatures, escort and follow packages,
// moved references and the cell functions of scripts.
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
    outcome.after.assign(store.block(1).begin(), store.block(1).end());
    return outcome;
}

const Text kCellProgress = cp1252(u8"Übersetze zellenverweise : ");

// "Foo Town" is renamed; a later entry differing only in letter case must never win. The
// progress shows a step for each place of a record; a compiled script shows none.
const NameIndex& references() {
    static const NameIndex table =
        build_reference_table({encode_pair_file({{"Foo Town", "Fooheim"},
                                                 {"Old Mill", cp1252(u8"Alte Mühle")},
                                                 {"Nebelhain Keep", "Burg"},
                                                 {"Keller", "Alter Keller"}}),
                               encode_pair_file({{"foo town", "Falsch"}})});
    return table;
}

Outcome placed(const Bytes& record) {
    return run(translate_cell_references, references(), kCellProgress, record);
}

TEST(CellReferencePlaces, RewritesEveryPlaceThatNamesACellButNotLookAlikes) {
    // A cell's own NAME is no reference; every DNAM is, also behind one that changed size.
    const auto cell = [](std::string_view first, std::string_view second) {
        return record("CELL", {{"NAME", "Foo Town"}, {"DNAM", first}, {"DNAM", second}});
    };
    const auto npc = [](std::string_view to) { return record("NPC_", {{"DNAM", to}}); };
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
    const Bytes region = record("REGN", {{"DNAM", "Foo Town"}, {"SCVR", "1BLX0Foo Town"}});
    // The walk stops at a subrecord claiming one byte more than the block holds.
    const auto damaged = [&](std::string_view first) {
        Bytes cell = record("CELL", {{"DNAM", first}, {"DNAM", "Foo Town"}});
        cell[cell.size() - 13] = std::byte{10};
        return cell;
    };
    // Only the CNDT directly behind the package counts; a character's CNAM is its class.
    const auto guide = [](std::string_view tag, std::string_view package, std::string_view cell) {
        return RecordBuilder(tag)
            .text("NAME", "guide")
            .text("CNAM", "Foo Town")
            .raw(package, "\x01\x02\x03\x04")
            .text("CNDT", cell)
            .text("CNDT", "Foo Town")
            .bytes();
    };
    const auto moved = [](std::string_view after, std::string_view cell) {
        return RecordBuilder("CELL")
            .text("NAME", "Fuhaven, Hafen")
            .text("CNAM", "Foo Town")
            .u32("MVRF", 7)
            .text(after, cell)
            .bytes();
    };
    const Bytes weight = RecordBuilder("CONT").raw("CNDT", "Foo Town\0"s).bytes();
    struct Case {
        const char* what;
        Bytes before;
        Outcome expected;
    };
    const std::vector<Case> cases = {
        {"destinations", cell("Foo Town", "Nebelhain\0 Keep"s), {cell("Fooheim", "Burg"), 2, 2}},
        {"a destination", npc("Foo Town"), {npc("Fooheim"), 1, 1}},
        // Whole names are matched byte for byte.
        {"other letter case", npc("FOO TOWN"), {npc("FOO TOWN"), 0, 1}},
        {"response", info("Foo Town", "1BLX0Foo Town"), {info("Fooheim", "1BLX0Fooheim"), 2, 3}},
        {"region", region, {region, 0, 0}},
        {"damaged", damaged("Foo Town"), {damaged("Fooheim"), 1, 1}},
        {"escort", guide("NPC_", "AI_E", "Foo Town"), {guide("NPC_", "AI_E", "Fooheim"), 1, 1}},
        {"follow",
         guide("CREA", "AI_F", "Old Mill"),
         {guide("CREA", "AI_F", cp1252(u8"Alte Mühle")), 1, 1}},
        {"wander", guide("NPC_", "AI_W", "Foo Town"), {guide("NPC_", "AI_W", "Foo Town"), 0, 0}},
        {"moved into a cell", moved("CNAM", "Foo Town"), {moved("CNAM", "Fooheim"), 1, 1}},
        {"moved to grid numbers", moved("CNDT", "Foo Town"), {moved("CNDT", "Foo Town"), 0, 0}},
        {"container weight", weight, {weight, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(placed(c.before), c.expected);
    }
}

// Intended: the sources are read as one file, as if appended to one another, so an entry
// cut short in one source takes its missing text from the next source and every entry
// after it pairs the wrong texts. Only originals are keys.
TEST(ReferenceTable, JoinsItsSourcesByteForByte) {
    const auto renames_without_cut = [] { return encode_pair_file({{"Foo Town", "Fooburg"}}); };
    Bytes renames = renames_without_cut();
    append_counted_text(renames, "Old Mill");
    const Bytes cells = encode_pair_file({{"Misty Vale", "Nebeltal"}, {"Stone Field", "Feld"}});
    const auto table = build_reference_table({renames, cells});
    EXPECT_EQ(table.file().entries, (std::vector<PairEntry>{{"Foo Town", "Fooburg"},
                                                            {"Old Mill", "Misty Vale"},
                                                            {"Nebeltal", "Stone Field"}}));
    EXPECT_TRUE(table.file().damaged);
    EXPECT_FALSE(table.first_original_match("Misty Vale"));
    // Whole sources give their entries in order; a broken last entry is placed counting from
    // the first source's start.
    Bytes cut = cells;
    append_counted_text(cut, "Old Mill");
    const auto whole = build_reference_table({renames_without_cut(), cut});
    EXPECT_EQ(whole.file().entries,
              (std::vector<PairEntry>{
                  {"Foo Town", "Fooburg"}, {"Misty Vale", "Nebeltal"}, {"Stone Field", "Feld"}}));
    EXPECT_TRUE(whole.file().damaged);
    EXPECT_EQ(whole.file().damaged_at, renames_without_cut().size() + cells.size());
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
    // Only a GMST is a setting; it shows no progress either.
    const Bytes cell = RecordBuilder("CELL").raw("STRV", "Cancel").bytes();
    EXPECT_EQ(pass(cell), (Outcome{cell, 0, 0}));
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

// A plugin of the cell "Foo Town", named `new_name` by the save, and the records `others`.
struct CellPlugin {
    explicit CellPlugin(std::vector<Bytes> others, const Text& new_name = "Fooheim") {
        lists.append(kCellType, {mark::kEdited, "Foo Town", "Foo Town", new_name, 1});
        others.insert(others.begin(), record("CELL", {{"NAME", "Foo Town"}}));
        store = fixtures::store_of(others);
    }
    ObjectLists lists;
    BlockStore store;
};

// The findings for such a plugin.
Lines check(const std::vector<Bytes>& others, const DatabaseInputs& inputs = {},
            const Text& new_name = "Fooheim") {
    const CellPlugin plugin(others, new_name);
    return lines_of(check_plugin(plugin.store, plugin.lists, inputs));
}

const std::string kNoCell =
    ": weder eine Zelle dieses Plugins noch eine Übersetzung der Zellen- oder Regionsdatenbank";

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
    EXPECT_EQ(check({script("begin\r\nset x to 1\r\nPlayer->AIFollowCell \"foo TOWN\" 0\r\nend")}),
              Lines{renamed("SCPT|Follow", 3, "foo TOWN")});
    EXPECT_EQ(check({script("\"Foo Town\" \"Bar\" \"Foo Town\"")}),
              Lines(2, renamed("SCPT|Follow", 1, "Foo Town")));
    // A quote left open ends at its line, whichever line end it has; the next line is read
    // on. One left open at the script's end ends there.
    for (const char* text :
         {"say \"open\r\nAIFollowCell \"Foo Town\"", "say \"open\nAIFollowCell \"Foo Town\"",
          "say\nAIFollowCell \"Foo Town\" \"open"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(check({script(text)}), Lines{renamed("SCPT|Follow", 2, "Foo Town")});
    }
    for (const char* text : {"AIFollowCell \"Fooheim\"", "AIFollowCell Foo Town",
                             "\"Foo Town Hall\"", "say \"Foo\nTown\" \"x"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(check({script(text)}), Lines{});
    }
    // The result text of a response is a script too; a cell that keeps its name is no rename.
    const Bytes info = RecordBuilder("INFO")
                           .text("INAM", "4711")
                           .raw("BNAM", "Bye\n\"Foo Town\"->Disable")
                           .bytes();
    EXPECT_EQ(check({info}), Lines{renamed("INFO|4711", 2, "Foo Town")});
    EXPECT_EQ(check({info}, {}, "Foo Town"), Lines{});
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

TEST(CellReferencePlaces, RewritesCellArgumentsOfResultScriptsOnly) {
    const auto info = [](std::string_view script) {
        return RecordBuilder("INFO").text("INAM", "1").raw("BNAM", script).bytes();
    };
    struct Case {
        std::string script;
        std::string expected;
        int changed;
    };
    const std::vector<Case> cases = {
        {"AiFollowCell, Player, \"Foo Town\", 0, 0, 0, 0\r\nAiFollowCell, Player, \"foo TOWN\"\r\n"
         "AiFollowCell, Player, \"FOO TOWN\"",
         "AiFollowCell, Player, \"Fooheim\", 0, 0, 0, 0\r\nAiFollowCell, Player, \"Fooheim\"\r\n"
         "AiFollowCell, Player, \"Fooheim\"",
         3},
        {"player->PositionCell 1 2 3 0 \"old mill\"\n",
         "player->PositionCell 1 2 3 0 \"" + cp1252(u8"Alte Mühle") + "\"\n", 1},
        // A bare name that becomes two words gets quotes.
        {"showmap \"Foo Town\"\nGetPCCell keller\x00"s,
         "showmap \"Fooheim\"\nGetPCCell \"Alter Keller\"\x00"s, 2},
        // A cell the table does not know stays; which arguments name a cell at all is the
        // script reader's rule (ResultScript).
        {"coc \"Elsewhere\"\0"s, "coc \"Elsewhere\"\0"s, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_EQ(placed(info(c.script)), (Outcome{info(c.expected), c.changed, 1}));
    }
}

// A compiled script "PositionCell 0 0 0 0 "<cell>"" whose source and code agree.
Bytes position_cell_script(std::string_view cell) {
    const std::string code =
        "\x05\x10"s + std::string(16, '\0') + static_cast<char>(cell.size()) + std::string(cell);
    std::string header(52, '\0');
    header.replace(0, 4, "move");
    header[44] = static_cast<char>(code.size());
    return RecordBuilder("SCPT")
        .raw("SCHD", header)
        .raw("SCDT", code)
        .raw("SCTX", "PositionCell 0 0 0 0 \"" + std::string(cell) + "\"")
        .bytes();
}

// Which names a compiled script keeps is the rewrite's rule (CompiledScriptNames); here that
// the pass hands it the script lookup, which ignores letter case.
TEST(CellReferencePlaces, RewritesCellArgumentsOfCompiledScriptsInSourceAndCode) {
    EXPECT_EQ(placed(position_cell_script("foo TOWN")),
              (Outcome{position_cell_script("Fooheim"), 1, 0}));
}

TEST(ReferenceCheck, FindsReferencesThatNameNoCellAfterTheSave) {
    const DatabaseInputs shipped{.cell_names = encode_pair_file({{"Old Keep", "Alte Burg"}}),
                                 .region_names = encode_pair_file({{"Ash Land", cp1252(u8"Öde")}})};
    struct Case {
        const char* what;
        Bytes record;
        Lines expected;
    };
    const std::vector<Case> cases = {
        // Cells after the save: the plugin's cell under its new name, a cell or region that
        // only the databases translate, a German name; an old name in a later ANAM is none.
        {"renamed cell", record("NPC_", {{"NAME", "guard"}, {"DNAM", "Foo Town"}}), {}},
        {"database cell", record("CELL", {{"NAME", "Foo Town"}, {"DNAM", "Old Keep"}}), {}},
        {"later ANAM",
         record("INFO", {{"INAM", "2"}, {"ANAM", "Foo Town"}, {"ANAM", "Nowhere"}}),
         {}},
        {"German names", record("INFO", {{"ANAM", "Alte Burg"}, {"SCVR", "1BLX0Ash Land"}}), {}},
        // The save translates references byte for byte, so this one keeps the old name.
        {"other letter case",
         record("NPC_", {{"NAME", "guard"}, {"DNAM", "foo town"}}),
         {"reference|NPC_|guard|DNAM „foo town“" + kNoCell}},
        {"conditions",
         record("INFO", {{"INAM", "3"}, {"SCVR", "1BLX0Nowhere"}, {"SCVR", "2sX00Nowhere"}}),
         {"reference|INFO|3|SCVR „Nowhere“" + kNoCell}},
        {"package",
         record("CREA", {{"NAME", "rat"}, {"AI_F", "x"}, {"CNDT", "Nowhere"}}),
         {"reference|CREA|rat|CNDT „Nowhere“" + kNoCell}},
        {"moved reference",
         record("CELL", {{"NAME", "Hall"}, {"MVRF", "1"}, {"CNAM", "Nowhere"}}),
         {"reference|CELL|Hall|CNAM „Nowhere“" + kNoCell}},
        {"look-alikes",
         record("CELL", {{"MVRF", "1"}, {"CNDT", "Nowhere"}, {"CNAM", "Nowhere"}}),
         {}},
        // A saved plugin: its scripts already name the new cell, or still the old one; a
        // renamed cell is rewritten by the save and so is no finding before it. One finding
        // per call.
        {"saved script",
         RecordBuilder("INFO")
             .text("INAM", "5")
             .raw("BNAM", "AiFollowCell Player \"Fooheim\"\nAiFollowCell Player \"Nowhere\"\n"
                          "ShowMap \"Foo Town\"\nMessageBox \"Nowhere\"\nShowMap \"Nowhere\"")
             .bytes(),
         {"reference|INFO|5|BNAM Zeile 2 „Nowhere“" + kNoCell,
          "reference|INFO|5|BNAM Zeile 5 „Nowhere“" + kNoCell}},
        // The save rewrites the cell of a compiled script it can change.
        {"changeable compiled script", position_cell_script("Foo Town"), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(check({c.record}, shipped), c.expected);
    }
}

// A new name the script cannot hold (a double quote cannot stand in its source) leaves the
// script to the user.
TEST(CellReferencePlaces, CheckReportsCompiledScriptCellsTheSaveCannotWrite) {
    EXPECT_EQ(
        check({position_cell_script("Foo Town")}, {}, "Foo \"Town\""),
        Lines{"script|SCPT|move|Zeile 1: „Foo Town“ heißt nach dem Speichern „Foo \"Town\"“; den "
              "Namen im Skripttext ändern und das Skript im Editor neu kompilieren"});
}

// Enough blocks that the pass and the check split them between two threads: each record
// comes out of the pass as it does alone, with a step for each place, and the findings come
// in block order, also when written out share by share as they are made.
TEST(CellReferencePlaces, ALargePluginIsTranslatedAndCheckedInBlockOrder) {
    std::vector<Bytes> records;
    std::string expected;
    for (int i = 0; i < 4400; ++i) {
        // A renamed cell in any letter case is rewritten, and so is no finding; an unknown one
        // is.
        const std::string n = std::to_string(i);
        const std::string cell = i % 2 == 0 ? "foo town" : "Lost " + n;
        records.push_back(RecordBuilder("INFO")
                              .text("INAM", n)
                              .raw("BNAM", "AiFollowCell Player \"" + cell + "\"")
                              .bytes());
        if (i % 2 == 1) {
            expected += "reference|INFO|" + n + "|BNAM Zeile 1 „" + cell + "“" + kNoCell + "\n";
        }
    }
    BlockStore store = fixtures::store_of(records);
    std::vector<Text> steps;
    EXPECT_EQ(translate_cell_references(store, references(),
                                        [&steps](const Text& text) { steps.push_back(text); }),
              2200);
    ASSERT_EQ(steps.size(), records.size());
    for (std::size_t number = 1; number < store.block_count(); ++number) {
        ASSERT_EQ(store.block(number), placed(records[number - 1]).after) << number;
        EXPECT_EQ(steps[number - 1], kCellProgress + std::to_string(number) + " / 4400");
    }

    const CellPlugin plugin(records);
    std::string found;
    for (const auto& line : lines_of(check_plugin(plugin.store, plugin.lists, {}))) {
        found += line + "\n";
    }
    EXPECT_EQ(found, expected);
    const SaveTables tables(DatabaseInputs{}, plugin.store, plugin.lists);
    const auto shares = write_script_and_reference_findings(
        plugin.store, plugin.lists, tables, check_names(plugin.lists, tables.inputs()),
        [](std::string& lines, const Finding& finding) {
            lines += lines_of({finding}).front() + "\n";
        });
    EXPECT_GT(shares.size(), 1U);
    std::string written;
    for (const auto& lines : shares) {
        written += lines;
    }
    EXPECT_EQ(written, expected);
}

} // namespace
} // namespace orv
