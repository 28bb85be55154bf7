// Texts the player reads besides names: finding, deciding what is to do, writing, and the
// memory's share in them.
#include "translation/PlayerTexts.h"

#include <gtest/gtest.h>

#include "DialogueRecords.h"
#include "MemoryFiles.h"
#include "ScriptRecords.h"
#include "TextRecords.h"
#include "translation/CompiledScriptTexts.h"
#include "translation/DatabaseFile.h"
#include "translation/Responses.h"
#include "translation/StoredTextMemory.h"

namespace orv {
namespace {

using fixtures::RecordBuilder;
using test::rank_field;

Bytes book(std::string_view text) {
    return RecordBuilder("BOOK").text("NAME", "b1").raw("TEXT", text).bytes();
}
// The first rank fills its 32 bytes: no zero byte ends it.
Bytes faction(std::string_view third_rank) {
    return RecordBuilder("FACT")
        .text("NAME", "f1")
        .raw("RNAM", rank_field("Novice of the Eastern Gate Guard"))
        .raw("RNAM", "short")
        .raw("RNAM", rank_field(third_rank))
        .bytes();
}

// Blocks 1 to 14 hold texts of every kind but the three without records here, and damaged
// ones to be left out: an effect whose index is not 32 bits, a class description running
// past its record, a script (block 13) whose source goes on where its code stopped.
std::vector<Bytes> records() {
    Bytes past_end = RecordBuilder("CLAS").text("NAME", "c1").raw("DESC", "Brave").bytes();
    past_end[past_end.size() - 9] = std::byte{9};
    return {book("Once\r\nupon"),
            RecordBuilder("SKIL").u32("INDX", 0).raw("DESC", "Hits hard").bytes(),
            RecordBuilder("GMST").text("NAME", "sA").raw("STRV", "Alpha").bytes(),
            faction("Master"),
            RecordBuilder("MGEF").u32("INDX", 14).raw("DESC", "Burns").bytes(),
            RecordBuilder("MGEF").raw("INDX", "\x02").raw("DESC", "Odd").bytes(),
            past_end,
            RecordBuilder("DIAL").text("NAME", "ask").raw("DATA", std::string(1, '\0')).bytes(),
            test::info("r", "Hi\0", "Choice \"Yes\" 1 \"No, \"\"\" 2 ; \"x\""),
            RecordBuilder("DIAL").text("NAME", "quest").raw("DATA", "\4").bytes(),
            test::info("r", "Entry"),
            test::message_box_script("demo_script", "%g Pfeile", "Ja"),
            test::message_box_script("broken_script", "Kaputt", "Ja",
                                     "MessageBox \"Nie kompiliert\"\r\n"),
            test::message_box_script("other_script", "Hallo", "Gut")};
}

// The store with a described header, and the rows of the book, class and skill lists.
struct Plugin {
    BlockStore store;
    ObjectLists lists;
    explicit Plugin(const std::vector<Bytes>& records, std::string_view description = "My mod")
        : store(fixtures::store_of(records)) {
        store.block(0) = test::described_header(description, static_cast<int>(records.size()));
        lists.append(6, {mark::kNone, "b1", "", "", 1});
        lists.append(22, {mark::kNone, "c1", "", "", 7});
        lists.skills().push_back({0, "Blunt", "", "", 2});
        test::load_all_responses(store, {}, lists);
    }
};

const PlayerTextKind& kind(TextView label) {
    return *player_text_kind_labelled(label);
}

TEST(PlayerTexts, FindsEachKindsTextsInFileOrderAndLeavesDamagedOnesOut) {
    const Plugin plugin(records());
    // Each text as "block key=text".
    const std::map<std::string_view, std::vector<Text>> expected = {
        {"Book text", {"1 b1=Once\r\nupon"}},
        {"Class text", {}},
        {"Race text", {}},
        {"Skill text", {"2 Blunt=Hits hard"}},
        {"Birthsign text", {}},
        {"Setting", {"3 sA=Alpha"}},
        {"Rank", {"4 f1#1=Novice of the Eastern Gate Guard", "4 f1#3=Master"}},
        {"Effect", {"5 14=Burns"}},
        {"Description", {"0 -=My mod"}},
        {"Dialog", {"9 r=Hi"}},
        {"Journal", {"11 r=Entry"}},
        // The quote on the second text's line closes before "2": "No, " is a text, "" another.
        {"Response script", {"9 r#1=Yes", "9 r#2=No, ", "9 r#3="}},
        // A compiled script's message and buttons, where its source agrees with its code.
        {"Script",
         {"12 demo_script#1=%g Pfeile", "12 demo_script#2=Ja", "12 demo_script#3=Nein",
          "14 other_script#1=Hallo", "14 other_script#2=Gut", "14 other_script#3=Nein"}}};
    ASSERT_EQ(player_text_kinds().size(), expected.size());
    for (const auto& kind : player_text_kinds()) {
        SCOPED_TRACE(kind.label);
        // An edits line's label picks either a list or a kind of text, never both.
        EXPECT_FALSE(object_type_labelled(kind.label));
        std::vector<Text> found;
        for (const auto& text : kind.find(kind, plugin.store, plugin.lists)) {
            found.push_back(std::to_string(text.block) + " " + text.key + "=" + text.text);
        }
        EXPECT_EQ(found, expected.at(kind.label));
    }
    // The description needs the 300 bytes of a header's data; a shorter one has none.
    for (const std::size_t size : {299u, 300u}) {
        Plugin header({});
        header.store.block(0) = RecordBuilder("HEDR").raw("HEDR", std::string(size, 'x')).bytes();
        EXPECT_EQ(kind("Description").find(kind("Description"), header.store, {}).size(),
                  size < 300 ? 0u : 1u)
            << size;
    }
}

// A book text is done when the text database's first entry for its ID has a German text and
// the record holds that entry's original or the German text; a game setting when the file has
// the text as original or as translation. Empty texts are never to do. (The batch tool's todo
// tests see a translated and an untranslated text of each kind.)
TEST(PlayerTexts, DecidesWhichTextsAreStillToDo) {
    const std::vector<TripleEntry> known = {{"b1", "Old", "Neu"}};
    const std::vector<std::tuple<std::string_view, Text, std::vector<TripleEntry>, bool>> cases = {
        {"Book text", "Neu", known, false},
        {"Book text", "Old", {{"b1", "Old", ""}}, true},
        {"Book text", "Old", {{"b1", "Other", "X"}, {"b1", "Old", "Neu"}}, true},
        {"Book text", "", {}, false},
        {"Setting", "Ja", {}, false},
        {"Rank", "", {}, false},
    };
    for (const auto& [label, text, books, to_do] : cases) {
        SCOPED_TRACE(std::string(label) + ": " + text);
        test::MemoryFiles files;
        files.put("prog/data/Txtbookdata.dat", encode_triple_file(books));
        files.put("prog/data/Gmstdata.dat", encode_pair_file({{"Yes", "Ja"}}));
        TranslationDatabase database(files, "prog");
        const Plugin plugin({label == "Book text" ? book(text)
                             : label == "Rank"
                                 ? RecordBuilder("FACT").raw("RNAM", rank_field(text)).bytes()
                                 : RecordBuilder("GMST").raw("STRV", text).bytes()},
                            "");
        EXPECT_EQ(texts_to_do(kind(label), plugin.store, plugin.lists, database).size(),
                  to_do ? 1U : 0U);
    }
}

// A write keeps the subrecord's and the record's size fields right and fixed fields at their
// length (the expected records are built anew); a refused one leaves the block as it was. The
// batch tool's tests write a text of each kind (a response's and a journal entry's among them)
// and refuse an unknown key; the text editor's test refuses what a compiled script cannot hold.
TEST(PlayerTexts, WritesTextsThatFitAndRefusesTheOthers) {
    const std::vector<std::tuple<std::string_view, Text, Text, std::size_t, Bytes, Text>> cases = {
        {"Skill text", "Blunt", "Trifft", 2,
         RecordBuilder("SKIL").u32("INDX", 0).raw("DESC", "Trifft").bytes(), ""},
        {"Rank", "f1#3", Text(31, 'M'), 4, faction(Text(31, 'M')), ""},
        {"Description", "", Text(255, 'D'), 0, test::described_header(Text(255, 'D'), 14), ""},
        {"Rank", "f1#3", Text(32, 'M'), 4, faction("Master"),
         cp1252(u8"Der Text hat 32 Zeichen; in dieses Feld passen höchstens 31.")},
        {"Description", "-", Text(256, 'D'), 0, test::described_header("My mod", 14),
         cp1252(u8"Der Text hat 256 Zeichen; in dieses Feld passen höchstens 255.")},
        {"Book text", "b1", "", 1, records()[0],
         cp1252(u8"Ein leerer Text wird nicht übernommen.")},
        {"Response script", "r#2", "Nein", 9,
         test::info("r", "Hi\0", "Choice \"Yes\" 1 \"Nein\"\"\" 2 ; \"x\""), ""},
        {"Response script", "r#1", "Ja \"x\"", 9, records()[8],
         cp1252(u8"Ein Text im Skript einer Antwort darf weder Anführungszeichen noch "
                u8"Zeilenumbrüche oder Nullbytes enthalten.")},
        // A compiled script's text goes through the script code, which refuses what it cannot
        // take; a text written as it is leaves the script byte for byte.
        {"Script", "demo_script#1", cp1252(u8"%g Pfeile im Köcher"), 12,
         test::message_box_script("demo_script", cp1252(u8"%g Pfeile im Köcher"), "Ja"), ""},
        {"Script", "other_script#2", cp1252(u8"Schön"), 14,
         test::message_box_script("other_script", "Hallo", cp1252(u8"Schön")), ""},
        {"Script", "demo_script#3", "Nein", 12, records()[11], ""},
        {"Script", "broken_script#1", "Neu", 13, records()[12],
         cp1252(u8"Kein Text der Art „Script“ hat den Schlüssel „broken_script#1“.")},
    };
    for (const auto& [label, key, text, block, expected, refusal] : cases) {
        SCOPED_TRACE(std::string(label) + " " + key);
        Plugin plugin(records());
        PlayerTextWriter writer(plugin.store, plugin.lists);
        EXPECT_EQ(writer.set(kind(label), key, text).value_or(""), refusal);
        EXPECT_EQ(plugin.store.block(block), expected);
    }
}

// Open puts the memory's German texts into the compiled scripts that can take them.
TEST(CompiledScriptTexts, OpenPutsTheMemorysGermanTextsIntoScriptsThatCanTakeThem) {
    const auto line = [](Text english, Text german, int list = kCompiledScriptMemory) {
        return MemoryEntry{list, std::move(english), std::move(german), "2024-01-01", ""};
    };
    const Text quiver = cp1252(u8"%g Pfeile im Köcher");
    const std::vector<Bytes> all = records();
    const std::vector<Bytes> scripts(all.begin() + 11, all.end());
    const std::vector<std::tuple<const char*, std::vector<MemoryEntry>, std::vector<Bytes>>> cases =
        {
            // The script whose source goes on where its code stopped keeps its "Ja".
            {"message and button of one script in one rewrite",
             {line("%g Pfeile", quiver), line("Ja", "Jawohl")},
             {test::message_box_script("demo_script", quiver, "Jawohl"), scripts[1], scripts[2]}},
            {"a text the script cannot hold leaves the whole script",
             {line("%g Pfeile", "Pfeile"), line("Hallo", "Servus")},
             {scripts[0], scripts[1], test::message_box_script("other_script", "Servus", "Gut")}},
            {"another kind's line is not a script text",
             {line("Hallo", "Servus", kScriptTextMemory)},
             scripts},
        };
    for (const auto& [name, memory, expected] : cases) {
        SCOPED_TRACE(name);
        BlockStore store = fixtures::store_of(records());
        fill_compiled_script_texts(store, MemoryIndex(memory));
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(store.block(12 + i), expected[i]) << i;
        }
    }
}

// The memory lines a save adds for the long texts and script texts the editor stored.
TEST(StoredTextMemory, EachStoredTextThatDiffersBecomesALineOfItsKind) {
    // A store as block, script text slot, text before and after.
    using Store = std::tuple<std::int32_t, int, Text, Text>;
    // The records as they are after the stores.
    const std::vector<
        std::tuple<const char*, std::vector<Bytes>, std::vector<Store>, std::vector<MemoryEntry>>>
        cases = {
            {"a book text and a script's button, in record order",
             {test::message_box_script("greeter", "Hallo", "Jawohl"), book("Einst.")},
             {{2, 0, "Once.", "Einst."}, {1, 2, "Ja", "Jawohl"}},
             {{kCompiledScriptMemory, "Ja", "Jawohl", "2024-05-01", ""},
              {kFirstTextMemory, "Once.", "Einst.", "2024-05-01", ""}}},
            // Stored, then stored back: the record holds what it was opened with.
            {"a text stored back to its original",
             {book("Once.")},
             {{1, 0, "Once.", "Einst."}},
             {}},
            {"an empty original", {book("Einst.")}, {{1, 0, "", "Einst."}}, {}},
            {"a slot the script does not have",
             {test::message_box_script("greeter", "Hallo", "Ja")},
             {{1, 7, "Old", "Neu"}},
             {}},
            {"a record that holds no long text",
             {RecordBuilder("WEAP").text("NAME", "w1").bytes()},
             {{1, 0, "Old", "Neu"}},
             {}},
        };
    for (const auto& [name, after_stores, stores, expected] : cases) {
        SCOPED_TRACE(name);
        const BlockStore store = fixtures::store_of(after_stores);
        StoredTexts stored;
        for (const auto& [block, slot, before, after] : stores) {
            stored.stored(block, before, after, slot);
        }
        EXPECT_EQ(stored_text_memory(stored, store, "2024-05-01"), expected);
        stored.saved();
        EXPECT_EQ(stored_text_memory(stored, store, "2024-05-01"), std::vector<MemoryEntry>{});
    }
}

} // namespace
} // namespace orv
