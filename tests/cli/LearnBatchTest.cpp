// learn and diff through the batch tool.
#include <gtest/gtest.h>

#include "BatchToolTest.h"
#include "LearnFixtures.h"
#include "cli/CheckCommand.h"
#include "fixtures/PluginBuilder.h"
#include "translation/DatabaseFile.h"
#include "translation/TranslationMemory.h"

namespace orv::cli {
namespace {

using namespace test;
using test_support::text_of;

using LearnBatch = test_support::BatchToolTest;

// learn writes into the program folder's dataextra, or into --into, and prints its report
// with line breaks of this system; diff lists each change as an escaped line. What is paired
// and what differs is the learning's own rule.
TEST_F(LearnBatch, LearnsIntoTheProgramFolderOrTheGivenOneAndDiffListsTheChanges) {
    const std::vector<Bytes> english = {named("NPC_", "guard", "Guard"),
                                        book("tome", "Tome", "Once upon a time."), topic("rumours"),
                                        info("1001", "Ask about rumours.")};
    files.put("mods/en.esp", fixtures::plugin(english));
    files.put("mods/de.esp", fixtures::plugin({named("NPC_", "guard", "Wache"),
                                               book("tome", "Tome", "Es war einmal."),
                                               topic("rumours"), info("1001", "Frag.")}));
    ASSERT_EQ(run_tool({"learn", "mods/en.esp", "mods/de.esp"}), kExitOk) << err;
    EXPECT_TRUE(out.starts_with("Gelernt aus „de.esp“: 4 von 4 englischen Datensätzen haben ein "
                                "Gegenstück.\n"))
        << out;
    EXPECT_EQ(out.find('\r'), std::string::npos);
    // What the memory's lines hold is the learning's rule (LearnInto); here, where they go.
    const auto own = files.get("prog/dataextra/Memory.tsv");
    EXPECT_NE(text_of(own).find("NPC\tGuard\tWache\t" + today_date() + "\tde.esp\n"),
              std::string::npos);
    ASSERT_EQ(run_tool({"learn", "--into", "elsewhere", "mods/en.esp", "mods/de.esp"}), kExitOk)
        << err;
    EXPECT_EQ(files.get("elsewhere/Memory.tsv"), own);
    EXPECT_EQ(files.get("prog/dataextra/Memory.tsv"), own);

    std::vector<Bytes> next = english;
    next[1] = named("NPC_", "cook", "Cook");
    next[3] = info("1001", "Ask\tabout rumours.");
    files.put("mods/next.esp", fixtures::plugin(next));
    ASSERT_EQ(run_tool({"diff", "mods/en.esp", "mods/next.esp"}), kExitOk) << err;
    EXPECT_EQ(out, "NPC\tcook\tnew\t\tCook\n"
                   "Dialog\t1001\ttext changed\tAsk about rumours.\tAsk\\tabout rumours.\n"
                   "Book\ttome\tremoved\tTome\t\n"
                   "Book text\ttome\tremoved\tOnce upon a time.\t\n");
}

TEST_F(LearnBatch, TheBaseGamesNamesReachAPluginsReferencesAfterAnotherSave) {
    // The base game in English and in German: a cell and a topic the plugin refers to.
    files.put("base/Base_en.esm",
              fixtures::plugin(
                  {interior_cell("Old Town", 1, "rat"), topic("rumours"), info("b1", "Well?")}, 1));
    files.put("base/Base_de.esm",
              fixtures::plugin({interior_cell("Altstadt", 1, "rat"), topic(cp1252(u8"Gerüchte")),
                                info("b1", "Nun?")},
                               1));
    ASSERT_EQ(run_tool({"learn", "base/Base_en.esm", "base/Base_de.esm"}), kExitOk) << err;
    // Saving another plugin rebuilds the external database from that plugin alone.
    files.put("mods/other.esp", fixtures::plugin({named("MISC", "rock", "Rock")}));
    files.put_text("edits.tsv", "Misc Item\trock\tStein\n");
    ASSERT_EQ(run_tool({"translate", "mods/other.esp", "--edits", "edits.tsv", "-o",
                        "mods/other_de.esp", "--update-external"}),
              kExitOk)
        << err;
    ASSERT_EQ(files.get("prog/dataextra/Extradata.dat"),
              encode_pair_file({{"FFFF", "FFFF"}, {"Rock", "Stein"}}));

    // A guide who travels to the base game's cell and a response that adds its topic.
    const auto guide = [](std::string_view cell, std::string_view script) {
        return fixtures::plugin({fixtures::record("NPC_", {{"NAME", "guide"}, {"DNAM", cell}}),
                                 topic("hello"), info("g1", "Hi.", script)});
    };
    files.put("mods/guide.esp", guide("Old Town", "AddTopic \"rumours\""));
    ASSERT_EQ(run_tool({"translate", "mods/guide.esp", "-o", "mods/guide_de.esp"}), kExitOk) << err;
    EXPECT_EQ(text_of(files.get("mods/guide_de.esp")),
              text_of(guide("Altstadt", cp1252(u8"AddTopic \"Gerüchte\""))));
    // A response that names the base game's topic must keep the link in German.
    files.put("mods/links.esp", fixtures::plugin({topic("hello"), info("g2", "Any rumours?")}));
    files.put_text("edits.tsv", "Dialog\tg2\tNeuigkeiten?\n");
    ASSERT_EQ(run_tool({"check", "mods/links.esp", "--edits", "edits.tsv"}), kExitFindings) << err;
    EXPECT_NE(out.find("topic-link\tINFO\tg2\t"), std::string::npos) << out;
    EXPECT_NE(out.find("Gerüchte"), std::string::npos) << out;
}

} // namespace
} // namespace orv::cli
