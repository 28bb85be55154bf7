// Topic and cell names in compiled scripts follow a save's renames in source and code
// together, and only where the script can be changed.
#include "save/CompiledScriptNames.h"

#include <gtest/gtest.h>

#include "ScriptRecords.h"

namespace orv {
namespace {

using test::message_box_script;

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

TEST(CompiledScriptNames, NamesThePlacesItRewritesInTheSource) {
    const Block script = message_box_script("demo_script", "Hallo", "Ja", "", "Fuhaven Hafen");
    const auto places = compiled_script_name_places(script);
    ASSERT_EQ(places.size(), 1u);
    EXPECT_EQ(places[0].kind, ScriptArgumentKind::Topic);
    // "Begin demo_script\r\nshort count\r\nMessageBox "Hallo" count "Ja" "Nein"\r\nAddTopic "
    // and the opening quote.
    EXPECT_EQ(places[0].offset, 19u + 13u + 38u + 10u);
    EXPECT_TRUE(compiled_script_name_places(
                    message_box_script("broken_script", "Hallo", "Ja", "MessageBox \"Nie\"\r\n"))
                    .empty());
}

} // namespace
} // namespace orv
