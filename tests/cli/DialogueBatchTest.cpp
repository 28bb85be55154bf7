// Dialogue through the batch tool: a topic the game shares, a topic renamed by hand, a
// response with two linked topics and a result script, a journal with its quest title.
#include <gtest/gtest.h>

#include <sstream>

#include "BatchToolTest.h"
#include "cli/CheckCommand.h"
#include "cli/Cli.h"
#include "fixtures/PluginBuilder.h"
#include "translation/DatabaseFile.h"

namespace orv::cli {
namespace {

using fixtures::RecordBuilder;

Bytes topic(std::string_view name, char type) {
    return RecordBuilder("DIAL").text("NAME", name).raw("DATA", std::string(1, type)).bytes();
}

Bytes info(std::string_view id, std::string_view text, std::string_view script = {},
           bool quest = false) {
    RecordBuilder record("INFO");
    record.text("INAM", id).raw("NAME", text);
    if (!script.empty()) {
        record.raw("BNAM", script);
    }
    if (quest) {
        record.raw("QSTN", "\1");
    }
    return record.bytes();
}

// The plugin with its translatable texts given: topic names, the response, the two Choice
// texts, the quest title and the journal entry. Everything else stays the same bytes.
Bytes plugin(std::string_view shared, std::string_view rumours, std::string_view response,
             std::string_view added_rumours, std::string_view yes, std::string_view no,
             std::string_view title, std::string_view entry) {
    const std::string script = "AddTopic \"" + std::string(shared) + "\"\r\nAddTopic " +
                               std::string(added_rumours) + "\r\nChoice \"" + std::string(yes) +
                               "\" 1 \"" + std::string(no) +
                               "\" 2\r\nJournal \"quest_a\" 10\r\nplayer->AddItem \"gold_001\" 5";
    return fixtures::plugin({topic(shared, '\0'), topic(rumours, '\0'),
                             info("1001", response, script), topic("quest_a", '\4'),
                             info("1002", title, {}, true), info("1003", entry),
                             RecordBuilder("SCPT")
                                 .raw("SCHD", "talk")
                                 .raw("SCTX", "begin talk\r\nAddTopic \"rumours\"\r\nend")
                                 .bytes()});
}

using DialogueBatch = test_support::BatchToolTest;

TEST_F(DialogueBatch, TodoFilledInTranslatesTopicsResponsesScriptsAndTheJournal) {
    files.put("prog/data/Dialdata.dat", encode_pair_file({{"Foo Place", "Fu-Ort"}}));
    files.put("mods/Quest.esp", plugin("Foo Place", "rumours", "Ask about foo place or rumours.",
                                       "rumours", "Yes", "No", "The Quest", "Met %PCName."));
    ASSERT_EQ(run_tool({"todo", "mods/Quest.esp"}), kExitOk) << err;
    // The shared topic took its German name at load and is done.
    EXPECT_EQ(out, "Topic\trumours\trumours\n"
                   "Dialog\t1001\tAsk about foo place or rumours.\n"
                   "Journal\t1002\tThe Quest\n"
                   "Journal\t1003\tMet %PCName.\n"
                   "Response script\t1001#1\tYes\n"
                   "Response script\t1001#2\tNo\n");
    files.put_text("edits.tsv", "Topic\trumours\tGeruechte\n"
                                "Dialog\t1001\tFrag nach dem Fu-Ort.\n"
                                "Journal\t1002\tDie Aufgabe\n"
                                "Journal\t1003\tGetroffen.\n"
                                "Response script\t1001#1\tJa\n"
                                "Response script\t1001#2\tNein\n");

    // The check names the lost link and the lost define; the save is not hindered.
    ASSERT_EQ(run_tool({"check", "mods/Quest.esp", "--edits", "edits.tsv"}), kExitFindings) << err;
    EXPECT_NE(out.find("topic-link\tINFO\t1001\t"), std::string::npos) << out;
    EXPECT_NE(out.find("Geruechte"), std::string::npos) << out;
    EXPECT_NE(out.find("define\tINFO\t1003\t"), std::string::npos) << out;
    // A compiled script cannot follow the rename by itself.
    EXPECT_NE(out.find("script\tSCPT\ttalk\tZeile 2"), std::string::npos) << out;
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
                       "bersetzt: 2\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(files.get("out.esp"), plugin("Fu-Ort", "Geruechte", "Frag nach dem Fu-Ort.",
                                           "Geruechte", "Ja", "Nein", "Die Aufgabe", "Getroffen."));
    // The translated responses join the memory, told apart from names by their kind.
    const auto memory = files.get("prog/dataextra/Memory.tsv");
    ASSERT_TRUE(memory);
    const std::string lines(reinterpret_cast<const char*>(memory->data()), memory->size());
    for (const std::string line :
         {"Topic\trumours\tGeruechte\t",
          "Dialog\tAsk about foo place or rumours.\tFrag nach dem Fu-Ort.\t",
          "Journal\tThe Quest\tDie Aufgabe\t", "Journal\tMet %PCName.\tGetroffen.\t"}) {
        EXPECT_NE(lines.find(line), std::string::npos) << line;
    }
}

} // namespace
} // namespace orv::cli
