#include "translation/TranslationDatabase.h"

#include <gtest/gtest.h>

#include <limits>

#include "MemoryFiles.h"

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

} // namespace
} // namespace orv
