#include "translation/DatabaseFile.h"

#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"

namespace orv {
namespace {

using fixtures::bytes_of;

TEST(DatabaseFile, RoundTripKeepsEmptyTextsAndEveryByteValue) {
    Text every_byte;
    for (int value = 0; value < 256; ++value) {
        every_byte.push_back(static_cast<char>(value));
    }
    const std::vector<PairEntry> pairs = {{"", ""}, {every_byte, "Nebelhain"}, {"FFFF", ""}};
    const auto pair_file = parse_pair_file(encode_pair_file(pairs));
    EXPECT_EQ(pair_file.entries, pairs);
    EXPECT_FALSE(pair_file.damaged);

    const std::vector<TripleEntry> triples = {{"id", "", every_byte}, {"", "", ""}};
    const auto triple_file = parse_triple_file(encode_triple_file(triples));
    EXPECT_EQ(triple_file.entries, triples);
    EXPECT_FALSE(triple_file.damaged);

    // The layout itself, written out by hand: count little-endian, then the bytes.
    EXPECT_EQ(encode_pair_file({{"ab", ""}, {std::string(258, 'x'), "c"}}),
              bytes_of(std::string("\x02\0\0\0ab\0\0\0\0\x02\x01\0\0", 14) + std::string(258, 'x') +
                       std::string("\x01\0\0\0c", 5)));
}

TEST(DatabaseFile, BrokenEntryEndsTheEntries) {
    // Two whole pairs, ("a", "bc") in 11 bytes and ("", "d") in 9.
    const std::string whole("\x01\0\0\0a\x02\0\0\0bc"
                            "\0\0\0\0\x01\0\0\0d",
                            20);
    const std::string next_entry("\x01\0\0\0x\x01\0\0\0y", 10);
    struct Case {
        const char* name;
        std::string bytes;
        std::size_t entries;
        bool damaged;
        std::size_t damaged_at;
    };
    const Case cases[] = {
        {"empty file", "", 0, false, 0},
        {"whole entries", whole, 2, false, 0},
        {"count cut short", whole + std::string("\x01\0\0", 3), 2, true, 20},
        {"translation missing", whole + std::string("\x01\0\0\0x", 5), 2, true, 20},
        {"text exactly to the end", whole + std::string("\0\0\0\0\x03\0\0\0xyz", 11), 3, false, 0},
        {"text one byte past the end", whole + std::string("\0\0\0\0\x04\0\0\0xyz", 11), 2, true,
         20},
        {"huge count", whole + std::string("\xFF\xFF\xFF\xFF", 4) + next_entry, 2, true, 20},
        {"huge count in the first entry", std::string("\0\0\0\x80", 4) + next_entry, 0, true, 0},
        {"nothing after a broken entry", next_entry + std::string("\x05\0\0\0ab", 6) + next_entry,
         1, true, 10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = parse_pair_file(bytes_of(c.bytes));
        EXPECT_EQ(file.entries.size(), c.entries);
        EXPECT_EQ(file.damaged, c.damaged);
        EXPECT_EQ(file.damaged_at, c.damaged_at);
    }

    // The same bytes as triples: the second entry lacks its third text.
    const auto triples = parse_triple_file(bytes_of(whole + std::string(8, '\0')));
    EXPECT_EQ(triples.entries, (std::vector<TripleEntry>{{"a", "bc", ""}, {"d", "", ""}}));
    EXPECT_FALSE(triples.damaged);
    const auto cut = parse_triple_file(bytes_of(whole + std::string(4, '\0')));
    EXPECT_EQ(cut.entries, (std::vector<TripleEntry>{{"a", "bc", ""}}));
    EXPECT_TRUE(cut.damaged);
    EXPECT_EQ(cut.damaged_at, 15u);
}

TEST(DatabaseFile, MissingOrUnreadableFileHasNoEntriesAndIsNotCreated) {
    test::MemoryFiles files;
    files.put("data/Actidata.dat", encode_pair_file({{"Foo", "Bar"}}));

    EXPECT_TRUE(read_pair_file(files, "data/Celldata.dat").entries.empty());
    EXPECT_TRUE(read_triple_file(files, "data/Skildata.dat").entries.empty());
    EXPECT_EQ(files.paths(), std::vector<std::string>{"data/Actidata.dat"});

    files.fail_operation(1, test::FileOperation::Read);
    EXPECT_TRUE(read_pair_file(files, "data/Actidata.dat").entries.empty());
    EXPECT_EQ(read_pair_file(files, "data/Actidata.dat").entries.size(), 1u);
}

} // namespace
} // namespace orv
