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
using Lines = std::vector<std::string>;

// Each finding as one line, so that a whole list compares at once.
Lines lines_of(const std::vector<Finding>& findings) {
    Lines lines;
    for (const auto& f : findings) {
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
    const auto renamed = [](std::string record, int line, std::string quoted) {
        return "script|" + record + "|Zeile " + std::to_string(line) + ": „" + quoted +
               "“ heißt nach dem Speichern „Fooheim“";
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
                                 encode_pair_file({{"Ash Land", cp1252(u8"Öde")}})};
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
