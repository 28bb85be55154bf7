// Compiled scripts through the batch tool: todo lists their message texts and buttons,
// translate --edits changes them in source and compiled code, and a script whose source
// and code disagree is left byte for byte as it was.
#include <gtest/gtest.h>

#include "BatchToolTest.h"
#include "ScriptRecords.h"
#include "cli/CheckCommand.h"
#include "fixtures/PluginBuilder.h"

namespace orv::cli {
namespace {

using test::message_box_script;

Bytes plugin(std::string_view message, std::string_view yes) {
    return fixtures::plugin(
        {message_box_script("demo_script", message, yes),
         message_box_script("broken_script", "Kaputt", "Ja", "MessageBox \"Nie kompiliert\"\r\n")});
}

using CompiledScriptBatch = test_support::BatchToolTest;

TEST_F(CompiledScriptBatch, TodoAndEditsReachTheMessagesOfCompiledScripts) {
    files.put("mods/Tools.esp", plugin("%g Pfeile", "Ja"));
    ASSERT_EQ(run_tool({"todo", "mods/Tools.esp"}), kExitOk) << err;
    EXPECT_EQ(out, "Script\tdemo_script#1\t%g Pfeile\n"
                   "Script\tdemo_script#2\tJa\n"
                   "Script\tdemo_script#3\tNein\n");

    files.put_text("edits.tsv", "Script\tdemo_script#1\t%g Pfeile im K\xc3\xb6"
                                "cher\n"
                                "Script\tdemo_script#2\tJawohl\n");
    ASSERT_EQ(run_tool({"translate", "mods/Tools.esp", "--edits", "edits.tsv", "-o", "out.esp"}),
              kExitOk)
        << err;
    // The broken script stays as it was, byte for byte.
    EXPECT_EQ(files.get("out.esp"), plugin(cp1252(u8"%g Pfeile im Köcher"), "Jawohl"));
}

TEST_F(CompiledScriptBatch, TextsWrittenAsTheyAreLeaveThePluginByteIdentical) {
    files.put("mods/Tools.esp", plugin("%g Pfeile", "Ja"));
    files.put_text("edits.tsv", "Script\tdemo_script#1\t%g Pfeile\nScript\tdemo_script#3\tNein\n");
    ASSERT_EQ(run_tool({"translate", "mods/Tools.esp", "--edits", "edits.tsv", "-o", "out.esp"}),
              kExitOk)
        << err;
    EXPECT_EQ(files.get("out.esp"), plugin("%g Pfeile", "Ja"));
}

// A topic renamed by hand: the AddTopic of the script that can be changed follows in source
// and code; the other script keeps its old name, and the check says so.
TEST_F(CompiledScriptBatch, AddTopicInCompiledScriptsFollowsATopicRename) {
    const auto with_topic = [](std::string_view name) {
        return fixtures::RecordBuilder("DIAL")
            .text("NAME", name)
            .raw("DATA", std::string(1, '\0'))
            .bytes();
    };
    const Bytes broken =
        message_box_script("broken_script", "Kaputt", "Ja", "MessageBox \"Nie kompiliert\"\r\n");
    files.put("mods/Tools.esp",
              fixtures::plugin({with_topic("Fuhaven"),
                                message_box_script("demo_script", "%g Pfeile", "Ja"), broken}));
    files.put_text("edits.tsv", "Topic\tFuhaven\tFuhafen\n");

    ASSERT_EQ(run_tool({"check", "mods/Tools.esp", "--edits", "edits.tsv"}), kExitFindings) << err;
    EXPECT_EQ(out.find("script\tSCPT\tdemo_script"), std::string::npos) << out;
    EXPECT_NE(out.find("script\tSCPT\tbroken_script\tZeile 4:"), std::string::npos) << out;

    ASSERT_EQ(run_tool({"translate", "mods/Tools.esp", "--edits", "edits.tsv", "-o", "out.esp"}),
              kExitOk)
        << err;
    EXPECT_EQ(files.get("out.esp"),
              fixtures::plugin({with_topic("Fuhafen"),
                                message_box_script("demo_script", "%g Pfeile", "Ja", "", "Fuhafen"),
                                broken}));
}

} // namespace
} // namespace orv::cli
