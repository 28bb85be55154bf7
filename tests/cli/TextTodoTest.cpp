#include <gtest/gtest.h>

#include <sstream>

#include "BatchToolTest.h"
#include "DialogueRecords.h"
#include "TextRecords.h"
#include "cli/Cli.h"
#include "translation/DatabaseFile.h"
#include "translation/TextConventions.h"

namespace orv::cli {
namespace {

using fixtures::RecordBuilder;
using test_support::utf8;

// The plugin with the given texts, in this order: a weapon name still to do, a book whose
// name and text are to do, a book its text database translates, a setting the game-setting
// file translates and one it does not, a faction rank, a magic effect, the plugin's
// description, a topic, a response and the button of its result script, and a journal entry.
Bytes plugin(const std::vector<std::string>& t) {
    const std::vector<Bytes> records = {
        RecordBuilder("WEAP").text("NAME", "w1").text("FNAM", t[0]).bytes(),
        RecordBuilder("BOOK").text("NAME", "b1").text("FNAM", t[1]).raw("TEXT", t[2]).bytes(),
        RecordBuilder("BOOK").text("NAME", "b2").raw("TEXT", t[3]).bytes(),
        RecordBuilder("GMST").text("NAME", "sYes").raw("STRV", t[4]).bytes(),
        RecordBuilder("GMST").text("NAME", "sNo").raw("STRV", t[5]).bytes(),
        RecordBuilder("FACT").text("NAME", "f1").raw("RNAM", test::rank_field(t[6])).bytes(),
        RecordBuilder("MGEF").u32("INDX", 3).raw("DESC", t[7]).bytes(),
        test::topic(t[9]),
        test::info("1001", t[10], "Choice \"" + t[11] + "\" 1"),
        test::topic("quest_a", '\4'),
        test::info("1002", t[12]),
    };
    Bytes file = test::described_header(t[8], static_cast<std::int32_t>(records.size()));
    for (const auto& record : records) {
        file.insert(file.end(), record.begin(), record.end());
    }
    return file;
}

class TextTodo : public test_support::BatchToolTest {
protected:
    void SetUp() override {
        files.put("prog/data/Txtbookdata.dat", encode_triple_file({{"b2", "Old", "Alt"}}));
        files.put("prog/data/Gmstdata.dat", encode_pair_file({{"Yes", "Ja"}}));
        files.put("mods/Test.esp", plugin({"Iron Sword", "Tale", "Once\r\nupon\ta time", "Old",
                                           "Yes", "No", "Novice", "Burns", "A small mod", "rumours",
                                           "Ask about rumours.", "Yes", "Met him."}));
    }
};

// The todo output, its third fields overwritten, goes back through translate --edits and
// gives the plugin built here with the same texts, each written as its kind writes it.
TEST_F(TextTodo, FilledInTodoLinesTranslateTheNamesAndTexts) {
    ASSERT_EQ(run_tool({"todo", "mods/Test.esp"}), kExitOk);
    EXPECT_EQ(out, "Book\tb1\tTale\n"
                   "Weapon\tw1\tIron Sword\n"
                   "Topic\trumours\trumours\n"
                   "Book text\tb1\tOnce\\r\\nupon\\ta time\n"
                   "Setting\tsNo\tNo\n"
                   "Rank\tf1#1\tNovice\n"
                   "Effect\t3\tBurns\n"
                   "Description\t-\tA small mod\n"
                   "Dialog\t1001\tAsk about rumours.\n"
                   "Journal\t1002\tMet him.\n"
                   "Response script\t1001#1\tYes\n");
    // The German texts, in the order of the lines above.
    std::istringstream german(utf8(u8"Märchen\nEisenschwert\nGerüchte\nEs war\\r\\neinmal\\tso\n"
                                   u8"Nein\nAnfänger\nBrennt\nEin kleines Mod\nFrag nach Neuem.\n"
                                   u8"Getroffen.\nJa\n"));
    std::istringstream lines(out);
    std::string edits;
    for (std::string line, text; std::getline(lines, line) && std::getline(german, text);) {
        edits += line.substr(0, line.rfind('\t') + 1) + text + "\n";
    }
    // A text line is refused as any bad line is, by its number, and nothing is written.
    files.put_text("edits.tsv", edits + "Rank\tf1#9\tX\n");
    EXPECT_EQ(run_tool({"translate", "mods/Test.esp", "--edits", "edits.tsv", "-o", "out.esp"}),
              kExitRefused);
    EXPECT_EQ(err, utf8(u8"Zeile 12: Kein Text der Art „Rank“ hat den Schlüssel „f1#9“.\n"));
    EXPECT_FALSE(files.get("out.esp"));
    files.put_text("edits.tsv", edits);
    ASSERT_EQ(run_tool({"translate", "mods/Test.esp", "--edits", "edits.tsv", "-o", "out.esp"}),
              kExitOk)
        << err;
    // Responses translated by hand are counted as saved, like names.
    EXPECT_NE(out.find("  Dialog: \xc3\x9c 1\n  Journal: \xc3\x9c 1\n"), std::string::npos) << out;
    EXPECT_EQ(files.get("out.esp"),
              plugin({"Eisenschwert", cp1252(u8"Märchen"), "Es war\r\neinmal\tso", "Old", "Ja",
                      "Nein", cp1252(u8"Anfänger"), "Brennt", "Ein kleines Mod",
                      cp1252(u8"Gerüchte"), "Frag nach Neuem.", "Ja", "Getroffen."}));
}

// Any file todo reads (the plugin, the name databases of the load, the text databases and
// the game-setting file of the kinds the plugin holds) that exists but cannot be read
// refuses it: a text database read as empty would list translated texts as still to do.
// That the text database and the game-setting file are among the reads shows in the list
// of the test above, which leaves out what they translate.
TEST_F(TextTodo, RefusesWhenAFileItReadsCannotBeRead) {
    const int before = files.operation_count();
    ASSERT_EQ(run_tool({"todo", "mods/Test.esp"}), kExitOk);
    const int reads = files.operation_count() - before;
    for (int k = 1; k <= reads; ++k) {
        SCOPED_TRACE(k);
        files.fail_operation(k, test::FileOperation::Read);
        EXPECT_EQ(run_tool({"todo", "mods/Test.esp"}), kExitRefused);
        EXPECT_EQ(out, "");
    }
}

} // namespace
} // namespace orv::cli
