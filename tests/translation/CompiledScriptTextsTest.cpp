// The memory's German texts put into compiled scripts at Open. Finding and writing a
// script's texts is checked with the other kinds of player texts.
#include "translation/CompiledScriptTexts.h"

#include <gtest/gtest.h>

#include "ScriptRecords.h"
#include "fixtures/PluginBuilder.h"

namespace orv {
namespace {

using test::message_box_script;

// A good script, one whose source goes on where its code stopped, another good one.
std::vector<Bytes> records() {
    return {
        message_box_script("demo_script", "%g Pfeile", "Ja"),
        message_box_script("broken_script", "Kaputt", "Ja", "MessageBox \"Nie kompiliert\"\r\n"),
        message_box_script("other_script", "Hallo", "Gut")};
}

TEST(CompiledScriptTexts, OpenPutsTheMemorysGermanTextsIntoScriptsThatCanTakeThem) {
    const auto line = [](Text english, Text german) {
        return MemoryEntry{kCompiledScriptMemory, std::move(english), std::move(german),
                           "2024-01-01", "de.esp"};
    };
    struct Case {
        const char* name;
        std::vector<MemoryEntry> memory;
        std::vector<Bytes> expected;
    };
    const std::vector<Case> cases = {
        {"message and button of one script in one rewrite",
         {line("%g Pfeile", cp1252(u8"%g Pfeile im Köcher")), line("Ja", "Jawohl")},
         // The script whose source goes on where its code stopped keeps its "Ja".
         {message_box_script("demo_script", cp1252(u8"%g Pfeile im Köcher"), "Jawohl"),
          records()[1], records()[2]}},
        {"a text the script cannot hold leaves the whole script",
         {line("%g Pfeile", "Pfeile"), line("Hallo", "Servus")},
         {records()[0], records()[1], message_box_script("other_script", "Servus", "Gut")}},
        {"another kind's line is not a script text",
         {{kScriptTextMemory, "Hallo", "Servus", "2024-01-01", ""}},
         records()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BlockStore store = fixtures::store_of(records());
        fill_compiled_script_texts(store, MemoryIndex(c.memory));
        for (std::size_t i = 0; i < c.expected.size(); ++i) {
            EXPECT_EQ(store.block(i + 1), c.expected[i]) << i;
        }
    }
}

} // namespace
} // namespace orv
