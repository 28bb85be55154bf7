// Dialogue through the batch tool: a topic the game shares, a topic renamed by hand, a
// response with two linked topics and a result script, a journal with its quest title, and a
// compiled script whose message, button and AddTopic follow the edits in source and code.
#include <gtest/gtest.h>

#include <sstream>

#include "BatchToolTest.h"
#include "LearnFixtures.h"
#include "ScriptRecords.h"
#include "cli/CheckCommand.h"
#include "cli/Cli.h"
#include "fixtures/PluginBuilder.h"
#include "translation/DatabaseFile.h"

namespace orv::cli {
namespace {

using fixtures::RecordBuilder;
using namespace test;

// The plugin with its translatable texts given: topic names, the response, the two Choice
// texts (the first also the compiled script's button), the quest title, the journal entry and
// the compiled script's message. Everything else stays the same bytes.
Bytes plugin(std::string_view shared, std::string_view rumours, std::string_view response,
             std::string_view added_rumours, std::string_view yes, std::string_view no,
             std::string_view title, std::string_view entry, std::string_view message) {
    const std::string script = "AddTopic \"" + std::string(shared) + "\"\r\nAddTopic " +
                               std::string(added_rumours) + "\r\nChoice \"" + std::string(yes) +
                               "\" 1 \"" + std::string(no) +
                               "\" 2\r\nJournal \"quest_a\" 10\r\nplayer->AddItem \"gold_001\" 5";
    return fixtures::plugin(
        {topic(shared, '\0'), topic(rumours, '\0'), info("1001", response, script),
         topic("quest_a", '\4'),
         RecordBuilder("INFO").text("INAM", "1002").raw("NAME", title).raw("QSTN", "\1").bytes(),
         info("1003", entry),
         RecordBuilder("SCPT")
             .raw("SCHD", "talk")
             .raw("SCTX", "begin talk\r\nAddTopic \"rumours\"\r\nend")
             .bytes(),
         message_box_script("greeter", message, yes, "", rumours)});
}

using DialogueBatch = test_support::BatchToolTest;

TEST_F(DialogueBatch, TodoFilledInTranslatesTopicsResponsesScriptsAndTheJournal) {
    files.put("prog/data/Dialdata.dat", encode_pair_file({{"Foo Place", "Fu-Ort"}}));
    files.put("mods/Quest.esp",
              plugin("Foo Place", "rumours", "Ask about foo place or rumours.", "rumours", "Yes",
                     "No", "The Quest", "Met %PCName.", "%g coins"));
    ASSERT_EQ(run_tool({"todo", "mods/Quest.esp"}), kExitOk) << err;
    // The shared topic took its German name at load and is done.
    EXPECT_EQ(out, "Topic\trumours\trumours\n"
                   "Dialog\t1001\tAsk about foo place or rumours.\n"
                   "Journal\t1002\tThe Quest\n"
                   "Journal\t1003\tMet %PCName.\n"
                   "Response script\t1001#1\tYes\n"
                   "Response script\t1001#2\tNo\n"
                   "Script\tgreeter#1\t%g coins\n"
                   "Script\tgreeter#2\tYes\n"
                   "Script\tgreeter#3\tNein\n");
    files.put_text("edits.tsv", "Topic\trumours\tGeruechte\n"
                                "Dialog\t1001\tFrag nach dem Fu-Ort.\n"
                                "Journal\t1002\tDie Aufgabe\n"
                                "Journal\t1003\tGetroffen.\n"
                                "Response script\t1001#1\tJa\n"
                                "Response script\t1001#2\tNein\n"
                                "Script\tgreeter#1\t%g Muenzen\n"
                                "Script\tgreeter#2\tJa\n");

    // The check names the lost link and the lost define; the save is not hindered.
    ASSERT_EQ(run_tool({"check", "mods/Quest.esp", "--edits", "edits.tsv"}), kExitFindings) << err;
    EXPECT_NE(out.find("topic-link\tINFO\t1001\t"), std::string::npos) << out;
    EXPECT_NE(out.find("Geruechte"), std::string::npos) << out;
    EXPECT_NE(out.find("define\tINFO\t1003\t"), std::string::npos) << out;
    // A script without compiled code cannot follow the rename; the other one can.
    EXPECT_NE(out.find("script\tSCPT\ttalk\tZeile 2"), std::string::npos) << out;
    EXPECT_EQ(out.find("greeter"), std::string::npos) << out;
    EXPECT_EQ(out.find("Fu-Ort"), std::string::npos) << out;

    ASSERT_EQ(run_tool({"translate", "mods/Quest.esp", "--edits", "edits.tsv", "-o", "out.esp",
                        "--update-external"}),
              kExitOk)
        << err;
    // Responses translated by hand count as saved, like names.
    EXPECT_NE(out.find("  Topic: B 1 \xc3\x9c 1\n  Dialog: \xc3\x9c 1\n  Journal: \xc3\x9c 2\n"
                       "Namen aus der Datenbank"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("Themenverweise \xc3\xbc"
                       "bersetzt: 3\n"),
              std::string::npos)
        << out;
    // Of the findings, only those about scripts and references go to stderr.
    EXPECT_EQ(err, "script\tSCPT\ttalk\tZeile 2: „rumours“ heißt nach dem Speichern „Geruechte“; "
                   "den Namen im Skripttext ändern und das Skript im Editor neu kompilieren\n");
    EXPECT_EQ(files.get("out.esp"),
              plugin("Fu-Ort", "Geruechte", "Frag nach dem Fu-Ort.", "Geruechte", "Ja", "Nein",
                     "Die Aufgabe", "Getroffen.", "%g Muenzen"));
    // The translated responses join the memory, told apart from names by their kind.
    const std::string lines = test_support::text_of(files.get("prog/dataextra/Memory.tsv"));
    for (const std::string line :
         {"Topic\trumours\tGeruechte\t",
          "Dialog\tAsk about foo place or rumours.\tFrag nach dem Fu-Ort.\t",
          "Journal\tThe Quest\tDie Aufgabe\t", "Journal\tMet %PCName.\tGetroffen.\t"}) {
        EXPECT_NE(lines.find(line), std::string::npos) << line;
    }
}

} // namespace
} // namespace orv::cli
