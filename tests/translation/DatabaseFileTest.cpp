#include "translation/DatabaseFile.h"

#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "fixtures/PluginBuilder.h"

namespace orv {
namespace {

using fixtures::bytes_of;
using namespace std::string_literals;

TEST(DatabaseFile, RoundTripKeepsEmptyTextsAndEveryByteValue) {
    Text every_byte;
    for (int value = 0; value < 256; ++value) {
        every_byte.push_back(static_cast<char>(value));
    }
    const std::vector<PairEntry> pairs = {{"", ""}, {every_byte, "Nebelhain"}};
    EXPECT_EQ(parse_pair_file(encode_pair_file(pairs)).entries, pairs);
    const std::vector<TripleEntry> triples = {{"id", "", every_byte}, {"", "", ""}};
    EXPECT_EQ(parse_triple_file(encode_triple_file(triples)).entries, triples);
}

TEST(DatabaseFile, BrokenEntryEndsTheEntries) {
    // Two pairs, ("a", "bc") in 11 bytes and ("", "d") in 9; as triples ("a", "bc", "") and
    // ("d", ...) at offset 15.
    const std::string whole("\x01\0\0\0a\x02\0\0\0bc\0\0\0\0\x01\0\0\0d", 20);
    const std::string next("\x01\0\0\0x\x01\0\0\0y", 10);
    EXPECT_EQ(parse_pair_file(bytes_of(whole)).entries,
              (std::vector<PairEntry>{{"a", "bc"}, {"", "d"}}));
    const struct {
        const char* name;
        std::string bytes;
        bool triples;
        std::size_t entries;
        bool damaged;
        std::size_t damaged_at;
    } cases[] = {
        {"empty file", "", false, 0, false, 0},
        {"whole entries", whole, false, 2, false, 0},
        {"count cut short", whole + "\x01\0\0"s, false, 2, true, 20},
        {"translation missing", whole + "\x01\0\0\0x"s, false, 2, true, 20},
        {"text exactly to the end", whole + "\0\0\0\0\x03\0\0\0xyz"s, false, 3, false, 0},
        {"text one byte past the end", whole + "\0\0\0\0\x04\0\0\0xyz"s, false, 2, true, 20},
        {"huge count", whole + "\xFF\xFF\xFF\xFF"s + next, false, 2, true, 20},
        {"huge first count", "\0\0\0\x80"s + next, false, 0, true, 0},
        {"nothing after a broken entry", next + "\x05\0\0\0ab"s + next, false, 1, true, 10},
        {"whole triples", whole + std::string(8, '\0'), true, 2, false, 0},
        {"third text missing", whole + std::string(4, '\0'), true, 1, true, 15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto check = [&c](const auto& file) {
            EXPECT_EQ(file.entries.size(), c.entries);
            EXPECT_EQ(file.damaged, c.damaged);
            EXPECT_EQ(file.damaged_at, c.damaged_at);
        };
        if (c.triples) {
            check(parse_triple_file(bytes_of(c.bytes)));
        } else {
            check(parse_pair_file(bytes_of(c.bytes)));
        }
    }
}

TEST(DatabaseFile, MissingOrUnreadableFileHasNoEntriesAndIsNotCreated) {
    test::MemoryFiles files;
    files.put("data/Actidata.dat", encode_pair_file({{"Foo", "Bar"}}));
    EXPECT_TRUE(read_triple_file(files, "data/Skildata.dat").entries.empty());
    EXPECT_EQ(files.paths(), std::vector<std::string>{"data/Actidata.dat"});
    files.fail_operation(1, test::FileOperation::Read);
    EXPECT_TRUE(read_pair_file(files, "data/Actidata.dat").entries.empty());
    EXPECT_EQ(read_pair_file(files, "data/Actidata.dat").entries.size(), 1u);
}

} // namespace
} // namespace orv
