#include "translation/PlayerTexts.h"

#include <gtest/gtest.h>

#include "DescribedHeader.h"
#include "MemoryFiles.h"
#include "plugin/Subrecord.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

using fixtures::RecordBuilder;

// A rank field: the name padded with zero bytes to 32.
std::string rank(std::string_view name) {
    std::string field(name);
    field.resize(32, '\0');
    return field;
}

Bytes book(std::string_view id, std::string_view text) {
    return RecordBuilder("BOOK").text("NAME", id).raw("TEXT", text).bytes();
}
Bytes faction(std::string_view third_rank) {
    return RecordBuilder("FACT")
        .text("NAME", "f1")
        .raw("RNAM", rank("Novice"))
        .raw("RNAM", "short")
        .raw("RNAM", rank(third_rank))
        .bytes();
}

// Block 1 to 9: one or more texts of every kind, and damaged ones to be left out: a book
// without text, an effect whose index is not 32 bits, a class description running past
// its record.
std::vector<Bytes> records() {
    Bytes past_end = RecordBuilder("CLAS").text("NAME", "c1").raw("DESC", "Brave").bytes();
    past_end[past_end.size() - 9] = std::byte{9};
    return {book("b1", "Once\r\nupon"),
            RecordBuilder("BOOK").text("NAME", "b2").bytes(),
            book("b3", ""),
            RecordBuilder("SKIL").u32("INDX", 0).raw("DESC", "Hits hard").bytes(),
            RecordBuilder("GMST").text("NAME", "sA").raw("STRV", "Alpha").bytes(),
            faction("Master"),
            RecordBuilder("MGEF").u32("INDX", 14).raw("DESC", "Burns").bytes(),
            RecordBuilder("MGEF").raw("INDX", "\x02").raw("DESC", "Odd").bytes(),
            past_end};
}

struct Plugin {
    BlockStore store;
    ObjectLists lists;
};

Plugin plugin_of(const std::vector<Bytes>& records, std::string_view description) {
    Plugin plugin{fixtures::store_of(records), {}};
    plugin.store.block(0) =
        test::described_header(description, static_cast<std::int32_t>(records.size()));
    for (const auto& [list, id, block] :
         {std::tuple{6, "b1", 1}, {6, "b2", 2}, {6, "b3", 3}, {22, "c1", 9}}) {
        if (static_cast<std::size_t>(block) <= records.size()) {
            plugin.lists.append(list, {"", id, "", "", block});
        }
    }
    plugin.lists.append_skill({0, "Blunt", "", "", 4});
    return plugin;
}

const PlayerTextKind& kind(TextView label) {
    const auto* found = player_text_kind_labelled(label);
    EXPECT_NE(found, nullptr) << label;
    return *found;
}

// "key=text" of each text, in order.
std::vector<Text> described(const std::vector<PlayerText>& texts) {
    std::vector<Text> out;
    for (const auto& text : texts) {
        out.push_back(text.key + "=" + text.text);
    }
    return out;
}

TEST(PlayerTexts, FindsEachKindsTextsInFileOrderAndLeavesDamagedOnesOut) {
    const Plugin plugin = plugin_of(records(), "My mod");
    const std::map<std::string_view, std::vector<Text>> expected = {
        {"Book text", {"b1=Once\r\nupon", "b3="}},
        {"Class text", {}},
        {"Race text", {}},
        {"Skill text", {"Blunt=Hits hard"}},
        {"Birthsign text", {}},
        {"Setting", {"sA=Alpha"}},
        {"Rank", {"f1#1=Novice", "f1#3=Master"}},
        {"Effect", {"14=Burns"}},
        {"Description", {"-=My mod"}},
    };
    ASSERT_EQ(player_text_kinds().size(), expected.size());
    for (const auto& kind : player_text_kinds()) {
        SCOPED_TRACE(kind.label);
        // An edits line's label picks either a list or a kind of text, never both.
        EXPECT_FALSE(object_type_labelled(kind.label));
        EXPECT_EQ(described(kind.find(kind, plugin.store, plugin.lists)), expected.at(kind.label));
    }
    // A header whose data is shorter than 300 bytes has no description to read.
    Plugin short_header = plugin_of({}, "");
    short_header.store.block(0) = RecordBuilder("HEDR").raw("HEDR", std::string(299, 'x')).bytes();
    EXPECT_TRUE(kind("Description").find(kind("Description"), short_header.store, {}).empty());
}

// A text is done when its text database's first entry for the key has a German text and the
// record holds that entry's original or the German text; game settings when the file has the
// text as original or as translation. Empty texts are never to do.
TEST(PlayerTexts, DecidesWhichTextsAreStillToDo) {
    struct Case {
        std::string_view label;
        Text text;
        std::vector<TripleEntry> books;
        bool to_do;
    };
    const std::vector<TripleEntry> known = {{"b1", "Old", "Neu"}};
    const std::vector<Case> cases = {
        {"Book text", "Old", known, false},
        {"Book text", "Neu", known, false},
        {"Book text", "Changed", known, true},
        {"Book text", "Old", {{"b1", "Old", ""}}, true},
        {"Book text", "Old", {{"b1", "Other", "X"}, {"b1", "Old", "Neu"}}, true},
        {"Book text", "Old", {{"b9", "Old", "Neu"}}, true},
        {"Book text", "", {}, false},
        {"Setting", "Yes", {}, false},
        {"Setting", "Ja", {}, false},
        {"Setting", "Maybe", {}, true},
        {"Setting", "", {}, false},
        {"Rank", "Master", {}, true},
        {"Rank", "", {}, false},
        {"Description", "Mine", {}, true},
        {"Description", "", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.label) + ": " + c.text);
        test::MemoryFiles files;
        files.put("prog/data/Txtbookdata.dat", encode_triple_file(c.books));
        files.put("prog/data/Gmstdata.dat", encode_pair_file({{"Yes", "Ja"}}));
        TranslationDatabase database(files, "prog");
        const bool description = c.label == "Description";
        const Plugin plugin =
            plugin_of({c.label == "Book text" ? book("b1", c.text)
                       : c.label == "Rank" ? RecordBuilder("FACT").raw("RNAM", rank(c.text)).bytes()
                                           : RecordBuilder("GMST").raw("STRV", c.text).bytes()},
                      description ? c.text : "");
        const auto to_do = texts_to_do(kind(c.label), plugin.store, plugin.lists, database);
        EXPECT_EQ(to_do.size(), c.to_do ? 1U : 0U);
        EXPECT_FALSE(database.read_error());
    }
}

// Every write keeps the subrecord's and the record's size fields right, fixed fields keep
// their length; the expected records are built anew.
TEST(PlayerTexts, WritesNewTextsIntoTheirRecords) {
    struct Case {
        std::string_view label;
        Text key;
        Text text;
        std::size_t block;
        Bytes expected;
    };
    const std::vector<Case> cases = {
        {"Book text", "b1", "Es war\r\neinmal", 1, book("b1", "Es war\r\neinmal")},
        {"Skill text", "Blunt", "Trifft", 4,
         RecordBuilder("SKIL").u32("INDX", 0).raw("DESC", "Trifft").bytes()},
        {"Setting", "sA", "Alphabet", 5,
         RecordBuilder("GMST").text("NAME", "sA").raw("STRV", "Alphabet").bytes()},
        {"Rank", "f1#3", std::string(31, 'M'), 6, faction(std::string(31, 'M'))},
        {"Effect", "14", "Brennt lange", 7,
         RecordBuilder("MGEF").u32("INDX", 14).raw("DESC", "Brennt lange").bytes()},
        {"Description", "", std::string(255, 'D'), 0,
         test::described_header(std::string(255, 'D'), 9)},
        {"Description", "-", "Mein", 0, test::described_header("Mein", 9)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.label) + " " + c.key);
        Plugin plugin = plugin_of(records(), "My mod");
        PlayerTextWriter writer(plugin.store, plugin.lists);
        EXPECT_EQ(writer.set(kind(c.label), c.key, c.text), std::nullopt);
        EXPECT_EQ(plugin.store.block(c.block), c.expected);
    }
}

TEST(PlayerTexts, RefusesUnknownKeysEmptyTextsAndTextsTooLongForTheirField) {
    struct Case {
        std::string_view label;
        Text key;
        Text text;
        Text refusal;
    };
    const std::vector<Case> cases = {
        {"Rank", "f1#3", std::string(32, 'M'),
         cp1252(u8"Der Text hat 32 Zeichen; in dieses Feld passen höchstens 31.")},
        {"Description", "-", std::string(256, 'D'),
         cp1252(u8"Der Text hat 256 Zeichen; in dieses Feld passen höchstens 255.")},
        {"Rank", "f1#2", "Geselle", cp1252(u8"Kein Text der Art „Rank“ hat den Schlüssel „f1#2“.")},
        {"Book text", "b2", "Neu",
         cp1252(u8"Kein Text der Art „Book text“ hat den Schlüssel „b2“.")},
        {"Effect", "", "Neu", cp1252(u8"Kein Text der Art „Effect“ hat den Schlüssel „“.")},
        {"Book text", "b1", "", cp1252(u8"Ein leerer Text wird nicht übernommen.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.label) + " " + c.key);
        Plugin plugin = plugin_of(records(), "My mod");
        const Plugin before = plugin_of(records(), "My mod");
        PlayerTextWriter writer(plugin.store, plugin.lists);
        EXPECT_EQ(writer.set(kind(c.label), c.key, c.text), c.refusal);
        for (std::size_t block = 0; block < plugin.store.block_count(); ++block) {
            EXPECT_EQ(plugin.store.block(block), before.store.block(block));
        }
    }
}

} // namespace
} // namespace orv
