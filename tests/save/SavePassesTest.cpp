// The passes that translate references, topics and settings in a save, and the check that
// tells beforehand which references and names the save will leave wrong. Besides doors,
// responses and conditions, a record names a cell in travel of creatures, escort and follow
// packages, moved references and the cell functions of scripts.
#include "save/CellReferencePass.h"
#include "save/CompiledScriptNames.h"
#include "save/GameSettingPass.h"
#include "save/ReferenceCheck.h"
#include "save/TopicReferencePass.h"
#include "save/TranslatingWrite.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DialogueRecords.h"
#include "MemoryFiles.h"
#include "ScriptRecords.h"
#include "fixtures/PluginBuilder.h"
#include "plugin/RecordTypes.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

using fixtures::record;
using fixtures::RecordBuilder;
using fixtures::store_of;
using test::message_box_script;
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

// The cell pass over every block but the header, each step shown as the save shows it.
int translate_all_cells(BlockStore& store, const NameIndex& index,
                        const ProgressFunction& progress) {
    BlockProgress text(kCellProgress, store.record_count());
    return translate_cell_references(store, index, ScriptNameLookup(index), 1, store.block_count(),
                                     [&](std::size_t number) { text.show(number, progress); });
}

Outcome placed(const Bytes& record) {
    return run(translate_all_cells, references(), kCellProgress, record);
}

// A compiled script "PositionCell 0 0 0 0 "<cell>"" whose source and code agree.
Bytes position_cell_script(std::string_view cell, std::string_view after = "") {
    const std::string code =
        "\x05\x10"s + std::string(16, '\0') + static_cast<char>(cell.size()) + std::string(cell);
    std::string header(52, '\0');
    header.replace(0, 4, "move");
    header[44] = static_cast<char>(code.size());
    return RecordBuilder("SCPT")
        .raw("SCHD", header)
        .raw("SCDT", code)
        .raw("SCTX", "PositionCell 0 0 0 0 \"" + std::string(cell) + "\"" + std::string(after))
        .bytes();
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
        // Which names a compiled script keeps is the rewrite's rule (CompiledScriptNames);
        // here that the pass hands it the script lookup, which ignores letter case.
        {"compiled script",
         position_cell_script("foo TOWN"),
         {position_cell_script("Fooheim"), 1, 0}},
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
    // A broken last entry is placed counting from the first source's start. That whole
    // sources give all their entries is the pipeline's test of the cell sources.
    Bytes cut = cells;
    append_counted_text(cut, "Old Mill");
    const auto whole = build_reference_table({renames_without_cut(), cut});
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
    EXPECT_EQ(pass(setting("cancel")), (Outcome{setting("cancel"), 0, 1}));
    // Only a GMST with a text value is a setting to translate; the others show no progress.
    for (const Bytes& untouched : {RecordBuilder("GMST").u32("INTV", 7).bytes(),
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
Lines check(const std::vector<Bytes>& others, DatabaseInputs inputs = {},
            const Text& new_name = "Fooheim") {
    const CellPlugin plugin(others, new_name);
    return lines_of(check_plugin(plugin.store, plugin.lists, std::move(inputs)));
}

const std::string kNoCell =
    ": weder eine Zelle dieses Plugins noch eine Übersetzung der Zellen- oder Regionsdatenbank";

// The finding of a renamed name left in a script. A compiled script needs the editor to
// compile it again; a response's is compiled when it runs.
std::string renamed(const std::string& record, int line, const std::string& quoted,
                    const std::string& new_name = "Fooheim") {
    return "script|" + record + "|Zeile " + std::to_string(line) + ": „" + quoted +
           "“ heißt nach dem Speichern „" + new_name + "“; " +
           (record.starts_with("SCPT")
                ? "den Namen im Skripttext ändern und das Skript im Editor neu kompilieren"
                : "im Editor ändern, wo der alte Name gemeint ist");
}

TEST(ReferenceCheck, FindsQuotedRenamedCellsInScriptsWithTheirLine) {
    // The ID is the name part of the script header, up to its first zero byte.
    const auto script = [](std::string_view text) {
        const std::string header = "Follow" + std::string(26, '\0') + std::string(20, '\x01');
        return RecordBuilder("SCPT").raw("SCHD", header).raw("SCTX", text).bytes();
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

// A response with the result script `script`.
Bytes response(std::string_view script) {
    return test::info("1", "Hi", script);
}

TEST(CellReferencePlaces, RewritesCellArgumentsOfResultScriptsOnly) {
    struct Case {
        std::string script;
        std::string expected;
        int changed;
    };
    const std::vector<Case> cases = {
        {"AiFollowCell, Player, \"Foo Town\", 0, 0, 0, 0\r\nAiFollowCell, Player, \"foo TOWN\"",
         "AiFollowCell, Player, \"Fooheim\", 0, 0, 0, 0\r\nAiFollowCell, Player, \"Fooheim\"", 2},
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
        EXPECT_EQ(placed(response(c.script)), (Outcome{response(c.expected), c.changed, 1}));
    }
}

TEST(ReferenceCheck, FindsReferencesThatNameNoCellAfterTheSave) {
    const auto shipped = [] {
        DatabaseInputs inputs;
        inputs.cell_names = FileContents(encode_pair_file({{"Old Keep", "Alte Burg"}}));
        inputs.region_names = FileContents(encode_pair_file({{"Ash Land", cp1252(u8"Öde")}}));
        return inputs;
    };
    struct Case {
        const char* what;
        Bytes record;
        Lines expected;
    };
    const std::vector<Case> cases = {
        // Cells after the save: the plugin's cell under its new name, a cell or region that
        // only the databases translate, a German name. Which places name a cell at all is
        // the place walk's rule, owned by the pass's test above.
        {"renamed cell", record("NPC_", {{"NAME", "guard"}, {"DNAM", "Foo Town"}}), {}},
        {"database cell", record("CELL", {{"NAME", "Foo Town"}, {"DNAM", "Old Keep"}}), {}},
        {"German names", record("INFO", {{"ANAM", "Alte Burg"}, {"SCVR", "1BLX0Ash Land"}}), {}},
        // The save translates references byte for byte, so this one keeps the old name.
        {"other letter case",
         record("NPC_", {{"NAME", "guard"}, {"DNAM", "foo town"}}),
         {"reference|NPC_|guard|DNAM „foo town“" + kNoCell}},
        // A condition that names no cell is no reference.
        {"conditions",
         record("INFO", {{"INAM", "3"}, {"SCVR", "1BLX0Nowhere"}, {"SCVR", "2sX00Nowhere"}}),
         {"reference|INFO|3|SCVR „Nowhere“" + kNoCell}},
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
        EXPECT_EQ(check({c.record}, shipped()), c.expected);
    }
}

// A new name the script cannot hold (a double quote cannot stand in its source) leaves the
// script to the user.
TEST(CellReferencePlaces, CheckReportsCompiledScriptCellsTheSaveCannotWrite) {
    // Once, whether the script ends with the quoted name or goes on after it.
    for (const char* after : {"", "\r\n"}) {
        EXPECT_EQ(check({position_cell_script("Foo Town", after)}, {}, "Foo \"Town\""),
                  Lines{renamed("SCPT|move", 1, "Foo Town", "Foo \"Town\"")})
            << after;
    }
}

// An output file that passes everything on and counts the flushes asked for.
class FlushHints final : public OutputFile {
public:
    explicit FlushHints(OutputFile& file) : m_file(file) {}
    Result<void> write(ByteSpan bytes) override {
        hint_last = false;
        return m_file.write(bytes);
    }
    void start_flush() override {
        hints_between_writes += hint_last ? 0 : 1;
        hint_last = true;
    }
    Result<void> close() override { return m_file.close(); }

    int hints_between_writes = 0;
    bool hint_last = false;

private:
    OutputFile& m_file;
};

// Enough blocks that the passes and the check split them between two threads: every
// response in any share is translated and counted, and written in block order; each place
// shows its step in block order before its block is shown written; and the findings come in
// block order, also when written out share by share as they are made.
TEST(CellReferencePlaces, ALargePluginIsTranslatedAndCheckedInBlockOrder) {
    // Every other response names a renamed cell in another letter case, which the pass
    // rewrites and the check leaves, and a topic the topic pass renames; the others an
    // unknown cell, a finding, and a topic no table knows.
    const auto response = [](const std::string& n, const std::string& cell, const char* topic) {
        return RecordBuilder("INFO")
            .text("INAM", n)
            .raw("BNAM", "AiFollowCell Player \"" + cell + "\"\nAddTopic " + topic)
            .bytes();
    };
    std::vector<Bytes> records;
    std::vector<Bytes> translated;
    std::string expected;
    for (int i = 0; i < 4400; ++i) {
        const std::string n = std::to_string(i);
        const std::string lost = "Lost " + n;
        records.push_back(i % 2 == 0 ? response(n, "foo town", "Base") : response(n, lost, "Else"));
        translated.push_back(i % 2 == 0 ? response(n, "Fooheim", "Grund") : records.back());
        if (i % 2 == 1) {
            expected += "reference|INFO|" + n + "|BNAM Zeile 1 „" + lost + "“" + kNoCell + "\n";
        }
    }
    // Written as the save writes: each share translated, then written in block order.
    BlockStore store = fixtures::store_of(records);
    const ObjectLists no_lists;
    DatabaseInputs inputs;
    inputs.cell_names = FileContents(encode_pair_file({{"Foo Town", "Fooheim"}}));
    const SaveTables save_tables(std::move(inputs), store, no_lists);
    const TopicNameTable topics(store_of({}), no_lists, encode_pair_file({{"Base", "Grund"}}), {});
    test::MemoryFiles files;
    auto out = files.create("out.esp");
    ASSERT_TRUE(out.ok());
    FlushHints hinted(**out);
    std::vector<Text> shown;
    SaveReport report;
    ASSERT_TRUE(write_translating_references(
                    store, save_tables, topics,
                    [&shown](const Text& text) { shown.push_back(text); }, hinted, report)
                    .ok());
    ASSERT_TRUE(hinted.close().ok());
    // A flush is asked for between the runs, not behind the last, which the close flushes.
    EXPECT_EQ(hinted.hints_between_writes, 4);
    EXPECT_FALSE(hinted.hint_last);
    EXPECT_EQ(report.references_translated, 2200);
    EXPECT_EQ(report.topic_references_translated, 2200);
    Bytes file(store.block(0).begin(), store.block(0).end());
    for (std::size_t number = 1; number < store.block_count(); ++number) {
        ASSERT_EQ(store.block(number), translated[number - 1]) << number;
        file.insert(file.end(), translated[number - 1].begin(), translated[number - 1].end());
    }
    EXPECT_EQ(files.get("out.esp"), file);
    // Every block's cell step, then the block written; each kind in block order.
    std::vector<std::size_t> cell_steps;
    std::vector<std::size_t> blocks_written;
    for (const Text& text : shown) {
        const bool cell = text.starts_with(kCellProgress);
        const Text label = cell ? kCellProgress : cp1252(u8"Speichere Block : ");
        ASSERT_TRUE(text.starts_with(label)) << text;
        ASSERT_TRUE(text.ends_with(" / 4400")) << text;
        const std::size_t number = std::stoul(text.substr(label.size()));
        if (cell) {
            EXPECT_LE(blocks_written.size(), number) << "a cell step after its block was written";
            cell_steps.push_back(number);
        } else {
            blocks_written.push_back(number);
        }
    }
    std::vector<std::size_t> every(records.size() + 1);
    for (std::size_t k = 0; k < every.size(); ++k) {
        every[k] = k;
    }
    EXPECT_EQ(blocks_written, every);
    EXPECT_EQ(cell_steps, std::vector<std::size_t>(every.begin() + 1, every.end()));

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

// Result scripts name cells and topics as the game finds them: ASCII letters match without
// regard to case, every other byte must be equal. That the first entry of a name wins, in
// any letter case, shows in the cell pass above; probing past taken slots is the table's
// rule (FirstIndexTable). Here the hash of a name must agree with the comparison, word by
// word and in the tail of a name.
TEST(ScriptNameLookup, MatchesAsciiLettersOfAnyCase) {
    const std::vector<PairEntry> entries = {
        {"\xC4lteres Haus", "Altes Haus"},
        {"a", "eins"},
        {"Zuz Hall", "Zuz-Halle"},
        {"", "leer"},
        {"Long Name Over Eight Bytes, Mixed", "Langer Name"},
    };
    const NameIndex references(PairFile{entries}, NameIndex::Keys::OriginalsOnly);
    const ScriptNameLookup lookup(references);
    const struct {
        std::string name;
        std::optional<Text> found;
    } cases[] = {
        // Which bytes count as letters is the comparison's rule (ResultScript); the hash must
        // agree with it beyond ASCII too.
        {"\xC4LTERES HAUS", "Altes Haus"},
        {"A", "eins"},
        {"zUZ hALL", "Zuz-Halle"},
        {"", "leer"},
        {"long name over eight bytes, mixed", "Langer Name"},
        {"LONG NAME OVER EIGHT BYTES, MIXEX", std::nullopt},
        {"Zuz-Halle", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(lookup.translation(c.name), c.found);
    }
    EXPECT_EQ(ScriptNameLookup(NameIndex{}).translation("a"), std::nullopt);
}

// Topic and cell names in compiled scripts follow a save's renames in source and code
// together, and only where the script can be changed.

std::optional<Text> rename_fuhaven(TextView name) {
    if (equal_ignoring_ascii_case(name, "fuhaven")) {
        return Text("Fuhaven Hafen");
    }
    return std::nullopt;
}

TEST(CompiledScriptNames, RenamesTheArgumentsOfItsKindInScriptsThatCanBeChanged) {
    Block script = message_box_script("demo_script", "%g Pfeile", "Ja");
    EXPECT_EQ(translate_compiled_script_names(script, ScriptArgumentKind::Topic, rename_fuhaven),
              1);
    // The bare topic gets quotes in the source now that it holds a space.
    EXPECT_EQ(script, message_box_script("demo_script", "%g Pfeile", "Ja", "", "Fuhaven Hafen"));

    // Nothing of another kind, nothing the lookup does not rename, nothing in a script whose
    // source and code disagree, nothing the code cannot hold.
    struct Case {
        const char* name;
        Block script;
        ScriptArgumentKind kind;
        std::optional<Text> (*rename)(TextView) = rename_fuhaven;
    };
    const std::vector<Case> cases = {
        {"cells", message_box_script("demo_script", "Hallo", "Ja"), ScriptArgumentKind::Cell},
        {"an unknown name", message_box_script("demo_script", "Hallo", "Ja", "", "Keller"),
         ScriptArgumentKind::Topic},
        {"a script that cannot be changed",
         message_box_script("broken_script", "Hallo", "Ja", "MessageBox \"Nie\"\r\n"),
         ScriptArgumentKind::Topic},
        {"a name longer than a topic's 255 bytes", message_box_script("demo_script", "Hallo", "Ja"),
         ScriptArgumentKind::Topic, [](TextView) { return std::optional<Text>(Text(256, 'x')); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Block block = c.script;
        EXPECT_EQ(translate_compiled_script_names(block, c.kind, c.rename), 0);
        EXPECT_EQ(block, c.script);
    }
}

// AddTopic in result scripts follows the topic's German name: the plugin's own topics first,
// then the shipped topic names, then the external database; letter case does not matter.
// Which arguments are topics, and what a rewrite leaves, is the script reader's rule
// (ResultScript).

TEST(TopicReferences, AddTopicTakesTheNameTheSaveWritesAndEveryOtherByteStays) {
    // Block 1: a topic the loader already gave its database name; block 2: one renamed by hand.
    BlockStore store = store_of({test::topic("Fu-Ort"), test::topic("rumours")});
    ObjectLists lists;
    lists.append(kTopicType, {mark::kShipped, "Foo Place", "Foo Place", "Fu-Ort", 1});
    lists.append(kTopicType, {mark::kEdited, "rumours", "rumours", "Geruechte", 2});
    lists.append(kTopicType, {mark::kNone, "plain", "plain", "plain", 0});
    lists.append(kTopicType, {mark::kEdited, "emptied", "emptied", "", 0});
    const Bytes shipped = encode_pair_file({{"Base Topic", "Grundthema"}, {"plain", "Falsch"}});
    const Bytes external =
        encode_pair_file({{"Base Topic", "Zu spaet"}, {"user topic", "Nutzerthema"}});
    const TopicNameTable names(store, lists, shipped, external);

    const struct {
        std::string_view script;
        std::string_view expected;
        int changed;
    } cases[] = {
        {"AddTopic \"foo place\"\r\nAddTopic Rumours", "AddTopic \"Fu-Ort\"\r\nAddTopic Geruechte",
         2},
        {"addtopic \"base topic\" ; Base Topic", "addtopic \"Grundthema\" ; Base Topic", 1},
        {"AddTopic \"USER TOPIC\"", "AddTopic \"Nutzerthema\"", 1},
        // The plugin's untranslated topic is itself, whatever the database says of the name.
        {"AddTopic plain", "AddTopic plain", 0},
        // An emptied German name names no topic: the reference keeps the name it has.
        {"AddTopic emptied", "AddTopic emptied", 0},
    };
    for (const auto& c : cases) {
        BlockStore scripts = store_of({response(c.script)});
        EXPECT_EQ(translate_topic_references(scripts, names, 1, scripts.block_count()), c.changed)
            << c.script;
        EXPECT_EQ(scripts.block(1), response(c.expected)) << c.script;
    }
    // Only responses carry result scripts; a BNAM of another record is no script.
    const Bytes other = RecordBuilder("DIAL").raw("BNAM", "AddTopic rumours").bytes();
    BlockStore others = store_of({other});
    EXPECT_EQ(translate_topic_references(others, names, 1, others.block_count()), 0);
    EXPECT_EQ(others.block(1), other);
    // A compiled script's AddTopic follows the same table, in source and code.
    BlockStore compiled =
        store_of({message_box_script("demo_script", "Hallo", "Ja", "", "rumours")});
    EXPECT_EQ(translate_topic_references(compiled, names, 1, compiled.block_count()), 1);
    EXPECT_EQ(compiled.block(1), message_box_script("demo_script", "Hallo", "Ja", "", "Geruechte"));
    // The name the record holds now leads to the new name too.
    EXPECT_EQ(names.translation("FU-ORT"), "Fu-Ort");
}

} // namespace
} // namespace orv
