// The places beyond doors, responses and conditions where a record names a cell: travel of
// creatures, escort and follow packages, moved references and the cell functions of result
// scripts; the save rewrites them and the check reports those that lead to no cell.
#include "save/CellReferencePass.h"
#include "save/ReferenceCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/PluginBuilder.h"
#include "plugin/RecordTypes.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

using fixtures::RecordBuilder;
using std::string_literals::operator""s;

// The record after the pass, with the number of references it changed.
struct Passed {
    Bytes after;
    int changed = 0;
    bool operator==(const Passed&) const = default;
};

// "Foo Town" is renamed; a later entry differing only in letter case must never win.
Passed pass(const Bytes& record) {
    const NameIndex references =
        build_reference_table({encode_pair_file({{"Foo Town", "Fooheim"},
                                                 {"Old Mill", cp1252(u8"Alte Mühle")},
                                                 {"Keller", "Alter Keller"}}),
                               encode_pair_file({{"foo town", "Falsch"}})});
    BlockStore store;
    store.assign({record, record}, 0);
    const int changed = translate_cell_references(store, references, [](const Text&) {});
    return {store.block(1), changed};
}

TEST(CellReferencePlaces, RewritesPackageTravelAndMovedReferenceCellsButNotLookAlikes) {
    const auto npc = [](std::string_view tag, std::string_view package, std::string_view cell) {
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
    struct Case {
        const char* what;
        Bytes before;
        Passed expected;
    };
    const std::vector<Case> cases = {
        {"creature travel",
         RecordBuilder("CREA").text("DNAM", "Foo Town").bytes(),
         {RecordBuilder("CREA").text("DNAM", "Fooheim").bytes(), 1}},
        // Only the CNDT directly behind the package counts; a character's CNAM is its class.
        {"escort", npc("NPC_", "AI_E", "Foo Town"), {npc("NPC_", "AI_E", "Fooheim"), 1}},
        {"follow",
         npc("CREA", "AI_F", "Old Mill"),
         {npc("CREA", "AI_F", cp1252(u8"Alte Mühle")), 1}},
        {"wander package", npc("NPC_", "AI_W", "Foo Town"), {npc("NPC_", "AI_W", "Foo Town"), 0}},
        {"moved into a cell", moved("CNAM", "Foo Town"), {moved("CNAM", "Fooheim"), 1}},
        {"moved to grid numbers", moved("CNDT", "Foo Town"), {moved("CNDT", "Foo Town"), 0}},
        {"container weight",
         RecordBuilder("CONT").raw("CNDT", "Foo Town\0"s).bytes(),
         {RecordBuilder("CONT").raw("CNDT", "Foo Town\0"s).bytes(), 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(pass(c.before), c.expected);
    }
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
        {"coc \"Elsewhere\"\nMessageBox \"Foo Town\"\nAIFollow \"Foo Town\" 0 0 0 0\n; ShowMap "
         "\"Foo Town\"\0"s,
         "coc \"Elsewhere\"\nMessageBox \"Foo Town\"\nAIFollow \"Foo Town\" 0 0 0 0\n; ShowMap "
         "\"Foo Town\"\0"s,
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_EQ(pass(info(c.script)), (Passed{info(c.expected), c.changed}));
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

TEST(CellReferencePlaces, RewritesCellArgumentsOfCompiledScriptsInSourceAndCode) {
    EXPECT_EQ(pass(position_cell_script("foo TOWN")), (Passed{position_cell_script("Fooheim"), 1}));
    EXPECT_EQ(pass(position_cell_script("Old Mill")),
              (Passed{position_cell_script(cp1252(u8"Alte Mühle")), 1}));
    EXPECT_EQ(pass(position_cell_script("Elsewhere")),
              (Passed{position_cell_script("Elsewhere"), 0}));
}

// The findings, as lines "kind|record|detail", for a plugin of the cell "Foo Town", named
// `new_name` by the save, and the records `others`.
std::vector<std::string> check(const std::vector<Bytes>& others, const Text& new_name = "Fooheim") {
    ObjectLists lists;
    lists.append(kCellType, {mark::kEdited, "Foo Town", "Foo Town", new_name, 1});
    std::vector<Bytes> records = {RecordBuilder("CELL").text("NAME", "Foo Town").bytes()};
    records.insert(records.end(), others.begin(), others.end());
    std::vector<std::string> lines;
    for (const auto& finding : check_plugin(fixtures::store_of(records), lists, DatabaseInputs{})) {
        lines.push_back(std::string(finding_kind_word(finding.kind)) + "|" + finding.record + "|" +
                        to_utf8(finding.detail));
    }
    return lines;
}

const std::string kNoCell =
    ": weder eine Zelle dieses Plugins noch eine Übersetzung der Zellen- oder Regionsdatenbank";

TEST(CellReferencePlaces, CheckReportsEveryPlaceThatNamesNoCell) {
    struct Case {
        const char* what;
        Bytes record;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"package",
         RecordBuilder("CREA").raw("AI_F", "x").text("CNDT", "Nowhere").bytes(),
         {"reference|CREA|CNDT „Nowhere“" + kNoCell}},
        {"moved reference",
         RecordBuilder("CELL").u32("MVRF", 1).text("CNAM", "Nowhere").bytes(),
         {"reference|CELL|CNAM „Nowhere“" + kNoCell}},
        {"look-alikes",
         RecordBuilder("CELL")
             .u32("MVRF", 1)
             .text("CNDT", "Nowhere")
             .text("CNAM", "Nowhere")
             .bytes(),
         {}},
        // A saved plugin: its scripts already name the new cell, or still the old one; a
        // renamed cell is rewritten by the save and so is no finding before it. One finding
        // per call.
        {"saved script",
         RecordBuilder("INFO")
             .raw("BNAM", "AiFollowCell Player \"Fooheim\"\nAiFollowCell Player \"Nowhere\"\n"
                          "ShowMap \"Foo Town\"\nMessageBox \"Nowhere\"\nShowMap \"Nowhere\"")
             .bytes(),
         {"reference|INFO|BNAM Zeile 2 „Nowhere“" + kNoCell,
          "reference|INFO|BNAM Zeile 5 „Nowhere“" + kNoCell}},
        // The save rewrites the cell of a compiled script it can change.
        {"changeable compiled script", position_cell_script("Foo Town"), {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(check({c.record}), c.expected);
    }
}

// A new name the script cannot hold (a double quote cannot stand in its source) leaves the
// script to the user.
TEST(CellReferencePlaces, CheckReportsCompiledScriptCellsTheSaveCannotWrite) {
    EXPECT_EQ(check({position_cell_script("Foo Town")}, "Foo \"Town\""),
              std::vector<std::string>{
                  "script|SCPT|Zeile 1: „Foo Town“ heißt nach dem Speichern „Foo \"Town\"“; den "
                  "Namen im Skripttext ändern und das Skript im Editor neu kompilieren"});
}

TEST(CellReferencePlaces, ALargePluginHasEveryPlaceTranslatedWithProgressInBlockOrder) {
    // Enough blocks that the pass splits them between two threads; each record must come
    // out as it does alone, and each place shows its step, in block order.
    const std::vector<Bytes> kinds = {
        RecordBuilder("CREA").raw("AI_F", "x").text("CNDT", "Foo Town").bytes(),
        RecordBuilder("INFO").raw("BNAM", "AiFollowCell Player \"old mill\"").bytes(),
        RecordBuilder("CELL").text("DNAM", "Elsewhere").bytes()};
    std::vector<Bytes> records;
    for (int i = 0; i < 4500; ++i) {
        records.push_back(kinds[static_cast<std::size_t>(i) % kinds.size()]);
    }
    const NameIndex references = build_reference_table(
        {encode_pair_file({{"Foo Town", "Fooheim"}, {"Old Mill", cp1252(u8"Alte Mühle")}})});
    BlockStore store = fixtures::store_of(records);
    std::vector<Text> steps;
    const int changed = translate_cell_references(
        store, references, [&steps](const Text& text) { steps.push_back(text); });
    EXPECT_EQ(changed, 3000);
    std::vector<Text> expected_steps;
    for (std::size_t number = 1; number < store.block_count(); ++number) {
        ASSERT_EQ(store.block(number), pass(records[number - 1]).after) << number;
        expected_steps.push_back(cp1252(u8"Übersetze zellenverweise : ") + std::to_string(number) +
                                 " / " + std::to_string(records.size()));
    }
    EXPECT_EQ(steps, expected_steps);
}

TEST(CellReferencePlaces, CheckOfALargePluginReportsInBlockOrder) {
    // Enough blocks that the check splits them between two threads.
    constexpr int kPairs = 2200;
    std::vector<Bytes> records;
    std::vector<std::string> expected;
    for (int i = 0; i < kPairs; ++i) {
        const std::string n = std::to_string(i);
        records.push_back(
            RecordBuilder("CREA").raw("AI_F", "x").text("CNDT", "Nowhere " + n).bytes());
        records.push_back(
            RecordBuilder("INFO").raw("BNAM", "AiFollowCell Player \"Lost " + n + "\"").bytes());
        expected.push_back("reference|CREA|CNDT „Nowhere " + n + "“" + kNoCell);
        expected.push_back("reference|INFO|BNAM Zeile 1 „Lost " + n + "“" + kNoCell);
    }
    EXPECT_EQ(check(records), expected);
}

} // namespace
} // namespace orv
