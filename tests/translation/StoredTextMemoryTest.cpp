// The memory lines a save adds for the long texts and script texts the editor stored.
#include "translation/StoredTextMemory.h"

#include <gtest/gtest.h>

#include "ScriptRecords.h"
#include "fixtures/PluginBuilder.h"
#include "translation/CompiledScriptTexts.h"
#include "translation/PlayerTexts.h"

namespace orv {
namespace {

Bytes book(std::string_view text) {
    return fixtures::RecordBuilder("BOOK").text("NAME", "tome").raw("TEXT", text).bytes();
}

TEST(StoredTextMemory, EachStoredTextThatDiffersBecomesALineOfItsKind) {
    struct Store {
        std::int32_t block;
        int slot;
        Text before;
        Text after;
    };
    struct Case {
        const char* name;
        std::vector<Bytes> records; // as they are after the stores
        std::vector<Store> stores;
        std::vector<MemoryEntry> expected;
    };
    const std::vector<Case> cases = {
        {"a book text and a script's button, in record order",
         {test::message_box_script("greeter", "Hallo", "Jawohl"), book("Einst.")},
         {{2, 0, "Once.", "Einst."}, {1, 2, "Ja", "Jawohl"}},
         {{kCompiledScriptMemory, "Ja", "Jawohl", "2024-05-01", ""},
          {kFirstTextMemory, "Once.", "Einst.", "2024-05-01", ""}}},
        // Stored, then stored back: the record holds what it was opened with.
        {"a text stored back to its original", {book("Once.")}, {{1, 0, "Once.", "Einst."}}, {}},
        {"an empty original", {book("Einst.")}, {{1, 0, "", "Einst."}}, {}},
        {"a slot the script does not have",
         {test::message_box_script("greeter", "Hallo", "Ja")},
         {{1, 7, "Old", "Neu"}},
         {}},
        {"a record that holds no long text",
         {fixtures::RecordBuilder("WEAP").text("NAME", "w1").bytes()},
         {{1, 0, "Old", "Neu"}},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const BlockStore store = fixtures::store_of(c.records);
        StoredTexts stored;
        for (const auto& s : c.stores) {
            stored.stored(s.block, s.before, s.after, s.slot);
        }
        EXPECT_EQ(stored_text_memory(stored, store, "2024-05-01"), c.expected);
        stored.saved();
        EXPECT_EQ(stored_text_memory(stored, store, "2024-05-01"), std::vector<MemoryEntry>{});
    }
}

} // namespace
} // namespace orv
