#include "translation/PlayerTexts.h"

#include <gtest/gtest.h>

#include "DialogueRecords.h"
#include "MemoryFiles.h"
#include "ScriptRecords.h"
#include "TextRecords.h"
#include "translation/DatabaseFile.h"
#include "translation/Responses.h"

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

// Response "r" under the topic before it, with a result script when one is given.
Bytes response(std::string_view text, std::string_view script = "") {
    return test::info("r", text, script);
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
            response("Hi\0", "Choice \"Yes\" 1 \"No, \"\"\" 2 ; \"x\""),
            RecordBuilder("DIAL").text("NAME", "quest").raw("DATA", "\4").bytes(),
            response("Entry"),
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
        lists.append(6, {"", "b1", "", "", 1});
        lists.append(22, {"", "c1", "", "", 7});
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
// the text as original or as translation. Empty texts are never to do.
TEST(PlayerTexts, DecidesWhichTextsAreStillToDo) {
    const std::vector<TripleEntry> known = {{"b1", "Old", "Neu"}};
    const std::vector<std::tuple<std::string_view, Text, std::vector<TripleEntry>, bool>> cases = {
        {"Book text", "Old", known, false},
        {"Book text", "Neu", known, false},
        {"Book text", "Changed", known, true},
        {"Book text", "Old", {{"b1", "Old", ""}}, true},
        {"Book text", "Old", {{"b1", "Other", "X"}, {"b1", "Old", "Neu"}}, true},
        {"Book text", "", {}, false},
        {"Setting", "Yes", {}, false},
        {"Setting", "Ja", {}, false},
        {"Setting", "Maybe", {}, true},
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
// length (the expected records are built anew); a refused one leaves the block as it was.
TEST(PlayerTexts, WritesTextsThatFitAndRefusesTheOthers) {
    const std::vector<std::tuple<std::string_view, Text, Text, std::size_t, Bytes, Text>> cases = {
        {"Book text", "b1", "Es war\r\neinmal", 1, book("Es war\r\neinmal"), ""},
        {"Skill text", "Blunt", "Trifft", 2,
         RecordBuilder("SKIL").u32("INDX", 0).raw("DESC", "Trifft").bytes(), ""},
        {"Setting", "sA", "Alphabet", 3,
         RecordBuilder("GMST").text("NAME", "sA").raw("STRV", "Alphabet").bytes(), ""},
        {"Rank", "f1#3", Text(31, 'M'), 4, faction(Text(31, 'M')), ""},
        {"Effect", "14", "Brennt lange", 5,
         RecordBuilder("MGEF").u32("INDX", 14).raw("DESC", "Brennt lange").bytes(), ""},
        {"Description", "", Text(255, 'D'), 0, test::described_header(Text(255, 'D'), 14), ""},
        {"Description", "-", "Mein", 0, test::described_header("Mein", 14), ""},
        {"Rank", "f1#3", Text(32, 'M'), 4, faction("Master"),
         cp1252(u8"Der Text hat 32 Zeichen; in dieses Feld passen höchstens 31.")},
        {"Description", "-", Text(256, 'D'), 0, test::described_header("My mod", 14),
         cp1252(u8"Der Text hat 256 Zeichen; in dieses Feld passen höchstens 255.")},
        {"Rank", "f1#2", "Geselle", 4, faction("Master"),
         cp1252(u8"Kein Text der Art „Rank“ hat den Schlüssel „f1#2“.")},
        {"Effect", "", "Neu", 5, records()[4],
         cp1252(u8"Kein Text der Art „Effect“ hat den Schlüssel „“.")},
        {"Book text", "b1", "", 1, records()[0],
         cp1252(u8"Ein leerer Text wird nicht übernommen.")},
        {"Dialog", "r", "Hallo", 9, response("Hallo\0", "Choice \"Yes\" 1 \"No, \"\"\" 2 ; \"x\""),
         ""},
        {"Journal", "r", "Eintrag", 11, response("Eintrag"), ""},
        {"Response script", "r#2", "Nein", 9,
         response("Hi\0", "Choice \"Yes\" 1 \"Nein\"\"\" 2 ; \"x\""), ""},
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
        {"Script", "demo_script#1", "Pfeile", 12, records()[11],
         cp1252(u8"Skripttext 1: Der Text hat 0 Platzhalter wie %g oder %s, das Original 1; "
                u8"ihre Zahl muss gleich bleiben.")},
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

} // namespace
} // namespace orv
