#include "translation/TranslationDatabase.h"

#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "translation/DatabaseFile.h"

namespace orv {
namespace {

TEST(TranslationDatabase, ReadsEachFileOnceKeepsTheFirstFailureAndLimitsLaterFiles) {
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
    // A missing file is no failure; a file that cannot be read is, and the first one stays.
    EXPECT_FALSE(database.read_error());
    files.put("prog/data/Actidata.dat", encode_pair_file({{"Lever", "Hebel"}}));
    files.put("prog/data/Txtbookdata.dat", encode_triple_file({{"a", "b", "c"}}));
    files.fail_operation(1, test::FileOperation::Read);
    EXPECT_EQ(database.data_pairs("Actidata.dat").size(), 0u);
    files.fail_operation(1, test::FileOperation::Read);
    EXPECT_EQ(database.data_triples("Txtbookdata.dat").entries.size(), 0u);
    ASSERT_TRUE(database.read_error());
    EXPECT_EQ(database.read_error()->kind, ErrorKind::ReadFailed);
    EXPECT_NE(database.read_error()->message.find("Actidata.dat"), Text::npos);

    // Pair files read after a limit keep every entry holding a key, in file order.
    const std::vector<PairEntry> names = {{"Lever", "Hebel"}, {"Torch", "Fackel"}, {"Hebel", "G"}};
    files.put("prog/data/Armodata.dat", encode_pair_file(names));
    database.limit_pairs_to(TextKeySet{"Hebel", "Unknown"});
    EXPECT_EQ(database.data_pairs("Armodata.dat").file().entries,
              (std::vector<PairEntry>{names[0], names[2]}));
    EXPECT_EQ(database.data_pairs("Celldata.dat").size(), 1u);
}

TEST(TranslationDatabase, TextLookupTakesTheFirstEntryOfTheId) {
    const TripleFile texts{{{"a", "en 1", "de 1"}, {"b", "a", "x"}, {"a", "en 2", "de 2"}}};
    EXPECT_EQ(find_translated_text(texts, "a"), "de 1");
    EXPECT_EQ(find_translated_text(texts, "A"), std::nullopt);
    EXPECT_EQ(find_translated_text(texts, "en 1"), std::nullopt);
}

} // namespace
} // namespace orv
