// The "Script" kind of player texts: the message texts and buttons of compiled scripts,
// found and written through the player-text table like every other kind.
#include "translation/CompiledScriptTexts.h"

#include <gtest/gtest.h>

#include "ScriptRecords.h"
#include "fixtures/PluginBuilder.h"
#include "translation/PlayerTexts.h"

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

const PlayerTextKind& script_kind() {
    return *player_text_kind_labelled("Script");
}

TEST(CompiledScriptTexts, OffersMessagesAndButtonsOfScriptsThatAgreeWithTheirSource) {
    const BlockStore store = fixtures::store_of(records());
    std::vector<Text> found;
    for (const auto& text : script_kind().find(script_kind(), store, {})) {
        found.push_back(std::to_string(text.block) + " " + text.key + "=" + text.text);
    }
    EXPECT_EQ(found, (std::vector<Text>{"1 demo_script#1=%g Pfeile", "1 demo_script#2=Ja",
                                        "1 demo_script#3=Nein", "3 other_script#1=Hallo",
                                        "3 other_script#2=Gut", "3 other_script#3=Nein"}));
}

TEST(CompiledScriptTexts, WritesThroughTheScriptCodeAndRefusesWhatItCannotTake) {
    struct Case {
        const char* key;
        Text text;
        std::size_t block;
        Bytes expected;
        Text refusal;
    };
    const std::vector<Case> cases = {
        {"demo_script#1", cp1252(u8"%g Pfeile im Köcher"), 1,
         message_box_script("demo_script", cp1252(u8"%g Pfeile im Köcher"), "Ja"), ""},
        {"other_script#2", cp1252(u8"Schön"), 3,
         message_box_script("other_script", "Hallo", cp1252(u8"Schön")), ""},
        // A text written as it is leaves the script byte for byte.
        {"demo_script#3", "Nein", 1, records()[0], ""},
        {"demo_script#1", "Pfeile", 1, records()[0],
         cp1252(u8"Skripttext 1: Der Text hat 0 Platzhalter wie %g oder %s, das Original 1; "
                u8"ihre Zahl muss gleich bleiben.")},
        {"demo_script#2", Text(255, 'j'), 1, records()[0],
         cp1252(u8"Skripttext 2: Der Text hat 255 Bytes; hier passen höchstens 254.")},
        {"broken_script#1", "Neu", 2, records()[1],
         cp1252(u8"Kein Text der Art „Script“ hat den Schlüssel „broken_script#1“.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        BlockStore store = fixtures::store_of(records());
        const ObjectLists lists;
        PlayerTextWriter writer(store, lists);
        EXPECT_EQ(writer.set(script_kind(), c.key, c.text).value_or(""), c.refusal);
        EXPECT_EQ(store.block(c.block), c.expected);
    }
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
