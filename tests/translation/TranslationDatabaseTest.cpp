#include "translation/TranslationDatabase.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "MemoryFiles.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

TEST(TranslationDatabase, ReadsEachFileOnceFromItsFolder) {
    test::MemoryFiles files;
    files.put("prog/data/Celldata.dat", encode_pair_file({{"Foo Town", "Nebelhain"}}));
    files.put("prog/dataextra/Extradata.dat", encode_pair_file({{"FFFF", "FFFF"}}));
    files.put("prog/data/Skildata.dat", encode_triple_file({{"Block", "Block", "Blocken"}}));
    TranslationDatabase database(files, "prog");

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ(database.data_pairs("Celldata.dat").first_original_match("Foo Town"), 0u);
        EXPECT_EQ(database.external().first_match("FFFF"), 0u);
        EXPECT_EQ(database.data_triples("Skildata.dat").entries.size(), 1u);
        EXPECT_EQ(database.data_pairs("Regndata.dat").size(), 0u);
        EXPECT_EQ(files.operation_count(), 4);
    }
    // Missing files stay missing and are no failure.
    EXPECT_FALSE(files.get("prog/data/Regndata.dat"));
    EXPECT_FALSE(database.read_error());
}

TEST(TranslationDatabase, KeepsTheFirstReadFailure) {
    test::MemoryFiles files;
    files.put("prog/data/Celldata.dat", encode_pair_file({{"Foo Town", "Nebelhain"}}));
    files.put("prog/data/Regndata.dat", encode_pair_file({{"Foo", "Bar"}}));
    TranslationDatabase database(files, "prog");
    EXPECT_EQ(database.external().size(), 0u);
    files.fail_operation(1, test::FileOperation::Read);
    EXPECT_EQ(database.data_pairs("Celldata.dat").size(), 0u);
    files.fail_operation(1, test::FileOperation::Read);
    EXPECT_EQ(database.data_triples("Regndata.dat").entries.size(), 0u);
    ASSERT_TRUE(database.read_error());
    EXPECT_EQ(database.read_error()->kind, ErrorKind::ReadFailed);
    EXPECT_NE(database.read_error()->message.find("Celldata.dat"), Text::npos);
}

TEST(TranslationDatabase, SkillEntryIsPositional) {
    const TripleFile table{{{"a", "A", "1"}, {"b", "B", "2"}, {"c", "C", "3"}}};
    struct Case {
        std::int32_t index;
        const char* id;
    };
    const Case cases[] = {
        {std::numeric_limits<std::int32_t>::min(), nullptr},
        {-1, nullptr},
        {0, "a"},
        {2, "c"},
        {3, nullptr},
        {std::numeric_limits<std::int32_t>::max(), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        const auto* entry = skill_entry(table, c.index);
        if (c.id == nullptr) {
            EXPECT_EQ(entry, nullptr);
        } else {
            ASSERT_NE(entry, nullptr);
            EXPECT_EQ((*entry)[0], c.id);
        }
    }
    EXPECT_EQ(skill_entry(TripleFile{}, 0), nullptr);
}

TEST(TranslationDatabase, TextLookupTakesTheFirstEntryOfTheId) {
    const TripleFile texts{{{"book_a", "en 1", "de 1"},
                            {"book_b", "en", ""},
                            {"book_a", "en 2", "de 2"},
                            {"de 1", "book_a", "x"}}};
    EXPECT_EQ(find_translated_text(texts, "book_a"), "de 1");
    EXPECT_EQ(find_translated_text(texts, "book_b"), "");
    EXPECT_EQ(find_translated_text(texts, "Book_a"), std::nullopt);
    EXPECT_EQ(find_translated_text(texts, "en 1"), std::nullopt);
}

TEST(PairFilter, KeepsTheAcceptedEntriesInFileOrderAndFindsDamageAsBefore) {
    const std::vector<PairEntry> entries = {
        {"Crate", "Kiste"}, {"Torch", "Fackel"}, {"Kiste", "Truhe"}, {"Crate", "Box"}};
    Bytes bytes = encode_pair_file(entries);
    const auto keep_crates = [](TextView original, TextView translation) {
        return original == "Crate" || translation == "Kiste";
    };
    const auto filtered = parse_pair_file(bytes, keep_crates);
    EXPECT_EQ(filtered.entries, (std::vector<PairEntry>{entries[0], entries[3]}));
    EXPECT_FALSE(filtered.damaged);

    // A broken last entry is reported at its offset whether or not entries were dropped.
    const std::size_t last_entry = bytes.size();
    bytes.insert(bytes.end(), {std::byte{9}, std::byte{0}, std::byte{0}, std::byte{0}});
    bytes.push_back(std::byte{'x'});
    const auto damaged = parse_pair_file(bytes, keep_crates);
    EXPECT_TRUE(damaged.damaged);
    EXPECT_EQ(damaged.damaged_at, last_entry);
    EXPECT_EQ(damaged.entries.size(), 2u);
}

TEST(PairFilter, LimitedDatabaseFindsTheSameEntriesForItsKeys) {
    test::MemoryFiles files;
    const std::vector<PairEntry> names = {{"Lever", "Hebel"},
                                          {"Torch", "Fackel"},
                                          {"Hebel", "Schalter"},
                                          {"Barrel", "Fass"},
                                          {"Lever", "Griff"}};
    files.put("prog/data/Actidata.dat", encode_pair_file(names));
    files.put("prog/data/Armodata.dat", encode_pair_file(names));
    files.put("prog/dataextra/Extradata.dat",
              encode_pair_file({{"FFFF", "FFFF"}, {"Fass", "Tonne"}, {"Helm", "Kappe"}}));

    TranslationDatabase whole(files, "prog");
    TranslationDatabase limited(files, "prog");
    // A file read before the limit stays whole.
    ASSERT_EQ(limited.data_pairs("Armodata.dat").size(), names.size());
    limited.limit_pairs_to(TextKeySet{"Hebel", "Fass", "Unknown"});

    const auto& acti = limited.data_pairs("Actidata.dat");
    EXPECT_EQ(acti.file().entries, (std::vector<PairEntry>{names[0], names[2], names[3]}));
    EXPECT_EQ(limited.external().file().entries, (std::vector<PairEntry>{{"Fass", "Tonne"}}));
    for (const TextView key : {"Hebel", "Fass", "Unknown"}) {
        SCOPED_TRACE(key);
        const auto full_match = whole.data_pairs("Actidata.dat").first_match(key);
        const auto limited_match = acti.first_match(key);
        ASSERT_EQ(full_match.has_value(), limited_match.has_value());
        if (full_match) {
            EXPECT_EQ(acti.entry(*limited_match),
                      whole.data_pairs("Actidata.dat").entry(*full_match));
        }
    }
    EXPECT_EQ(limited.data_pairs("Armodata.dat").size(), names.size());
}

TEST(TextKeySet, FindsExactlyTheTextsPutIn) {
    // Enough keys that the table grows several times and probes run past taken slots.
    TextKeySet keys{"", "Fass", "Fass", std::string_view("F\0s", 3)};
    for (int i = 0; i < 300; ++i) {
        keys.insert("Key " + std::to_string(i));
    }
    EXPECT_EQ(keys.size(), 303u);
    const struct {
        std::string_view text;
        bool expected;
    } cases[] = {
        {"", true},         {"Fass", true},    {std::string_view("F\0s", 3), true},
        {"Key 0", true},    {"Key 299", true}, {"Fas", false},
        {"Fass ", false},   {"fass", false},   {std::string_view("\0", 1), false},
        {"Key 300", false}, {"Key 29", true},  {"Key 2999", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(keys.contains(c.text), c.expected);
    }
    EXPECT_FALSE(TextKeySet{}.contains(""));
}

} // namespace
} // namespace orv
