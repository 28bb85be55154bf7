#include "save/ReferenceCheck.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fixtures/PluginBuilder.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

using fixtures::RecordBuilder;
using fixtures::store_of;

// A finding as one line, so that a whole list compares at once.
std::string line_of(const Finding& finding) {
    std::string line = std::string(finding_kind_word(finding.kind)) + "|" + finding.record + "|" +
                       finding.id + "|" + to_utf8(finding.detail);
    if (finding.row) {
        line +=
            "|" + std::to_string(finding.row->list_index) + ":" + std::to_string(finding.row->row);
    }
    return line;
}

std::vector<std::string> lines_of(const std::vector<Finding>& findings) {
    std::vector<std::string> lines;
    for (const auto& finding : findings) {
        lines.push_back(line_of(finding));
    }
    return lines;
}

Bytes script(std::string_view id, std::string_view text) {
    // The ID is the name part of the script header, padded with zero bytes.
    std::string header(id);
    header.resize(32, '\0');
    header += std::string(20, '\x01');
    return RecordBuilder("SCPT").raw("SCHD", header).raw("SCTX", text).bytes();
}

DatabaseInputs shipped_cells_and_regions() {
    return DatabaseInputs{{},
                          encode_pair_file({{"Old Keep", "Alte Burg"}}),
                          encode_pair_file({{"Ash Land", cp1252(u8"Öde")}})};
}

TEST(ReferenceCheck, FindsQuotedRenamedCellsInScriptsWithTheirLine) {
    // Cell "Foo Town" is renamed by this save; "Bar" is a cell whose name stays.
    const std::vector<Bytes> records = {
        RecordBuilder("CELL").text("NAME", "Foo Town").bytes(),
        RecordBuilder("CELL").text("NAME", "Bar").bytes(),
    };
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"other letter case, third line",
         "begin\r\nset x to 1\r\nPlayer->AIFollowCell \"foo TOWN\" 0\r\nend",
         {"script|SCPT|Follow|Zeile 3: „foo TOWN“ heißt nach dem Speichern „Fooheim“"}},
        {"two on one line",
         "\"Foo Town\" \"Bar\" \"Foo Town\"",
         {"script|SCPT|Follow|Zeile 1: „Foo Town“ heißt nach dem Speichern „Fooheim“",
          "script|SCPT|Follow|Zeile 1: „Foo Town“ heißt nach dem Speichern „Fooheim“"}},
        {"already German", "AIFollowCell \"Fooheim\"", {}},
        {"unquoted", "AIFollowCell Foo Town", {}},
        {"part of a longer quoted text", "\"Foo Town Hall\"", {}},
        {"quote left open at the line end", "say \"Foo\nTown\" \"x", {}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        std::vector<Bytes> plugin = records;
        plugin.push_back(script("Follow", test.text));
        const auto store = store_of(plugin);
        ObjectLists lists;
        lists.append(kCellType, {mark::kEdited, "Foo Town", "Foo Town", "Fooheim", 1});
        lists.append(kCellType, {mark::kNone, "Bar", "Bar", "Bar", 2});

        EXPECT_EQ(lines_of(check_plugin(store, lists, DatabaseInputs{})), test.expected);
    }
}

TEST(ReferenceCheck, FindsResultTextOfResponsesButNotForUnrenamedCells) {
    const auto info = RecordBuilder("INFO")
                          .text("INAM", "4711")
                          .raw("BNAM", "Goodbye\n\"Foo Town\"->Disable")
                          .bytes();
    const auto store = store_of({RecordBuilder("CELL").text("NAME", "Foo Town").bytes(), info});
    ObjectLists renamed;
    renamed.append(kCellType, {mark::kShipped, "Foo Town", "Foo Town", "Fooheim", 1});
    ObjectLists unchanged;
    unchanged.append(kCellType, {mark::kNone, "Foo Town", "Foo Town", "Foo Town", 1});

    EXPECT_EQ(lines_of(check_plugin(store, renamed, DatabaseInputs{})),
              (std::vector<std::string>{
                  "script|INFO|4711|Zeile 2: „Foo Town“ heißt nach dem Speichern „Fooheim“"}));
    EXPECT_TRUE(check_plugin(store, unchanged, DatabaseInputs{}).empty());
}

TEST(ReferenceCheck, FindsReferencesThatNameNoCellAfterTheSave) {
    struct Case {
        const char* name;
        Bytes record;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"plugin cell under its new name",
         RecordBuilder("NPC_").text("NAME", "guard").text("DNAM", "Foo Town").bytes(),
         {}},
        // The save translates references byte for byte, so this one keeps the old name.
        {"old name in other letter case",
         RecordBuilder("NPC_").text("NAME", "guard").text("DNAM", "foo town").bytes(),
         {"reference|NPC_|guard|DNAM „foo town“: weder eine Zelle dieses Plugins noch eine "
          "Übersetzung der Zellen- oder Regionsdatenbank"}},
        {"cell only the database knows",
         RecordBuilder("CELL").text("NAME", "Foo Town").text("DNAM", "Old Keep").bytes(),
         {}},
        {"region translation",
         RecordBuilder("INFO").text("INAM", "1").text("ANAM", "Ash Land").bytes(),
         {}},
        {"old name the save leaves behind in a later ANAM is no reference",
         RecordBuilder("INFO")
             .text("INAM", "2")
             .text("ANAM", "Foo Town")
             .text("ANAM", "Nowhere")
             .bytes(),
         {}},
        {"unknown cell condition",
         RecordBuilder("INFO")
             .text("INAM", "3")
             .raw("SCVR", "1BLX0Nowhere")
             .raw("SCVR", "2sX00Nowhere")
             .bytes(),
         {"reference|INFO|3|SCVR „Nowhere“: weder eine Zelle dieses Plugins noch eine "
          "Übersetzung der Zellen- oder Regionsdatenbank"}},
        {"German cell name and an English region name",
         RecordBuilder("INFO")
             .text("INAM", "4")
             .text("ANAM", "Alte Burg")
             .raw("SCVR", "1BLX0Ash Land")
             .bytes(),
         {}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const auto store =
            store_of({RecordBuilder("CELL").text("NAME", "Foo Town").bytes(), test.record});
        ObjectLists lists;
        lists.append(kCellType, {mark::kEdited, "Foo Town", "Foo Town", "Fooheim", 1});
        const Bytes before(store.block(2));

        EXPECT_EQ(lines_of(check_plugin(store, lists, shipped_cells_and_regions())), test.expected);
        // The check translates nothing itself.
        EXPECT_EQ(store.block(2), before);
    }
}

TEST(ReferenceCheck, FindsNamesOverTheirListsLimitAndNewlyEmptyNames) {
    const auto store = store_of({});
    ObjectLists lists;
    const Text long_cell(64, 'c');
    lists.append(kCellType, {mark::kNone, long_cell, long_cell, long_cell, 0});
    lists.append(kCellType, {mark::kNone, "c63", "c63", Text(63, 'c'), 0});
    lists.append(3, {mark::kShipped, "acti32", "Lever", Text(32, 'a'), 0});
    lists.append(3, {mark::kEdited, "acti31", "Lever", Text(31, 'a'), 0});
    lists.append(3, {mark::kEdited, "emptied", "Lever", "", 0});
    lists.append(3, {mark::kNoName, "noname", "", "", 0});
    lists.append(3, {mark::kNone, "never named", "", "", 0});

    EXPECT_EQ(
        lines_of(check_plugin(store, lists, DatabaseInputs{})),
        (std::vector<std::string>{
            "length|CELL|" + long_cell + "|„" + long_cell + "“: 64 Zeichen, erlaubt sind 63|0:0",
            "length|ACTI|acti32|„" + Text(32, 'a') + "“: 32 Zeichen, erlaubt sind 31|3:0",
            "empty|ACTI|emptied|Der Name „Lever“ wird leer|3:2",
        }));
}

} // namespace
} // namespace orv
