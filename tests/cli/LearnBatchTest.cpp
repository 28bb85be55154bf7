// learn and diff through the batch tool, on plugins that ORVENTAL itself translated.
#include <gtest/gtest.h>

#include "BatchToolTest.h"
#include "LearnFixtures.h"
#include "ScriptRecords.h"
#include "cli/CheckCommand.h"
#include "fixtures/PluginBuilder.h"
#include "translation/DatabaseFile.h"
#include "translation/TranslationMemory.h"

namespace orv::cli {
namespace {

using fixtures::RecordBuilder;
using namespace test;
using test_support::text_of;

class LearnBatch : public test_support::BatchToolTest {
protected:
    // The German file is made in a program folder of its own, so that only what learn
    // writes reaches the program folder "prog".
    void translate(const std::string& english, const std::string& edits,
                   const std::string& german) {
        files.put("maker/data/Celldata.dat", {});
        files.put_text("edits.tsv", edits);
        ASSERT_EQ(run_tool({"--program-dir", "maker", "translate", english, "--edits", "edits.tsv",
                            "-o", german}),
                  kExitOk)
            << err;
    }
};

// Then the next version, its book given way to a new NPC and one response changed, has only
// these left to do, and diff lists them.
TEST_F(LearnBatch, AnOwnTranslationIsLearnedBackExactlyAndTheNextVersionHasOnlyItsChangesToDo) {
    const std::vector<Bytes> english = {
        named("NPC_", "guard", "Guard"),
        named("MISC", "rock", "Rock"),
        book("tome", "Tome", "Once upon a time."),
        interior_cell("Dark Cave", 1, "rat"),
        topic("rumours"),
        info("1001", "Ask about rumours.", "Choice \"Yes\" 1 \"No\" 2"),
        topic("quest_a", '\4'),
        info("1002", "Met him."),
        message_box_script("greeter", "%g coins", "Yes")};
    files.put("mods/en.esp", fixtures::plugin(english));
    translate("mods/en.esp",
              "NPC\tguard\tWache\n"
              "Misc Item\trock\tStein\n"
              "Book\ttome\tFoliant\n"
              "Cell\tDark Cave\tDunkle Höhle\n"
              "Topic\trumours\tGerüchte\n"
              "Book text\ttome\tEs war einmal.\n"
              "Dialog\t1001\tFrag nach Gerüchten.\n"
              "Journal\t1002\tGetroffen.\n"
              "Response script\t1001#1\tJa\n"
              "Response script\t1001#2\tNein\n"
              "Script\tgreeter#1\t%g Münzen\n"
              "Script\tgreeter#2\tJa\n"
              "Script\tgreeter#3\tNö\n",
              "mods/de.esp");

    ASSERT_EQ(run_tool({"learn", "mods/en.esp", "mods/de.esp"}), kExitOk) << err;
    EXPECT_NE(out.find("Gelernt aus „de.esp“: 9 von 9 englischen Datensätzen haben ein "
                       "Gegenstück.\n"),
              std::string::npos)
        << out;
    // Each line of the memory as "kind, English, German", then the date and the file.
    std::string memory;
    for (const char* line :
         {"NPC\tGuard\tWache", "Misc Item\tRock\tStein", "Book\tTome\tFoliant",
          "Book text\tOnce upon a time.\tEs war einmal.", "Cell\tDark Cave\tDunkle Höhle",
          "Topic\trumours\tGerüchte", "Dialog\tAsk about rumours.\tFrag nach Gerüchten.",
          "Response script\tYes\tJa", "Response script\tNo\tNein", "Journal\tMet him.\tGetroffen.",
          "Script\t%g coins\t%g Münzen", "Script\tYes\tJa", "Script\tNein\tNö"}) {
        memory += std::string(line) + "\t" + today_date() + "\tde.esp\n";
    }
    EXPECT_EQ(text_of(files.get("prog/dataextra/Memory.tsv")), memory);
    // With --into the learned files go to that folder; the program's own stay as they are.
    const auto own = files.get("prog/dataextra/Memory.tsv");
    ASSERT_EQ(run_tool({"learn", "--into", "elsewhere", "mods/en.esp", "mods/de.esp"}), kExitOk)
        << err;
    EXPECT_EQ(text_of(files.get("elsewhere/Memory.tsv")), memory);
    EXPECT_EQ(files.get("prog/dataextra/Memory.tsv"), own);

    // Opened again, the English plugin has nothing left to do: names and texts, the script's
    // too, come from the memory.
    ASSERT_EQ(run_tool({"todo", "mods/en.esp"}), kExitOk) << err;
    EXPECT_EQ(out, "");

    std::vector<Bytes> next = english;
    next[2] = named("NPC_", "cook", "Cook");
    next[5] = info("1001", "Ask about rumours, friend.", "Choice \"Yes\" 1 \"No\" 2");
    files.put("mods/next.esp", fixtures::plugin(next));
    ASSERT_EQ(run_tool({"todo", "mods/next.esp"}), kExitOk) << err;
    EXPECT_EQ(out, "NPC\tcook\tCook\n"
                   "Dialog\t1001\tAsk about rumours, friend.\n");
    ASSERT_EQ(run_tool({"diff", "mods/en.esp", "mods/next.esp"}), kExitOk) << err;
    EXPECT_EQ(out, "NPC\tcook\tnew\t\tCook\n"
                   "Dialog\t1001\ttext changed\tAsk about rumours.\tAsk about rumours, friend.\n"
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
    const auto guide = [](std::string_view name, std::string_view cell, std::string_view topic_name,
                          std::string_view response, std::string_view script) {
        return fixtures::plugin({RecordBuilder("NPC_")
                                     .text("NAME", "guide")
                                     .text("FNAM", name)
                                     .text("DNAM", cell)
                                     .bytes(),
                                 topic(topic_name), info("g1", response, script)});
    };
    files.put("mods/guide.esp", guide("Guide", "Old Town", "hello", "Hi.", "AddTopic \"rumours\""));
    files.put_text("edits.tsv", "NPC\tguide\tFührer\nTopic\thello\tHallo\n"
                                "Dialog\tg1\tHallo.\n");
    ASSERT_EQ(run_tool({"translate", "mods/guide.esp", "--edits", "edits.tsv", "-o",
                        "mods/guide_de.esp"}),
              kExitOk)
        << err;
    EXPECT_EQ(text_of(files.get("mods/guide_de.esp")),
              text_of(guide(cp1252(u8"Führer"), "Altstadt", "Hallo", "Hallo.",
                            cp1252(u8"AddTopic \"Gerüchte\""))));
    // A response that names the base game's topic must keep the link in German.
    files.put("mods/links.esp", fixtures::plugin({topic("hello"), info("g2", "Any rumours?")}));
    files.put_text("edits.tsv", "Dialog\tg2\tNeuigkeiten?\n");
    ASSERT_EQ(run_tool({"check", "mods/links.esp", "--edits", "edits.tsv"}), kExitFindings) << err;
    EXPECT_NE(out.find("topic-link\tINFO\tg2\t"), std::string::npos) << out;
    EXPECT_NE(out.find("Gerüchte"), std::string::npos) << out;
}

} // namespace
} // namespace orv::cli
