#include "plugin/Subrecord.h"

#include <gtest/gtest.h>

#include <string>

#include "fixtures/PluginBuilder.h"

namespace orv {
namespace {

using fixtures::bytes_of;
using fixtures::RecordBuilder;

// The 8 header bytes that no field names are carried unchanged; giving them values
// makes a replacement that shifts or clears them visible.
Block with_header_flags(Block block) {
    for (std::size_t i = 8; i < kRecordHeaderSize; ++i) {
        block[i] = static_cast<std::byte>(0xA0 + i);
    }
    return block;
}

TEST(BlockTextRead, SkipsZeroBytesAndStopsAtBlockEnd) {
    const Block block = bytes_of(std::string("A\0B\0\0C", 6));
    struct Case {
        const char* name;
        std::size_t offset;
        std::int64_t count;
        Text expected;
    };
    const Case cases[] = {
        {"zero inside", 0, 3, "AB"},
        {"zeros do not end the text", 0, 6, "ABC"},
        {"clipped at block end", 1, 100, "BC"},
        {"offset at block end", 6, 1, ""},
        {"offset past block end", 9, 2, ""},
        {"count zero", 0, 0, ""},
        {"count negative", 0, -1, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(read_text(block, c.offset, c.count), c.expected);
    }
}

TEST(SubrecordSearch, FindsOnlyTheFirstMatchingTag) {
    EXPECT_FALSE(find_subrecord(RecordBuilder("ACTI").bytes(), "FNAM"));

    const Block block = RecordBuilder("ACTI")
                            .text("NAME", "id")
                            .text("FNAM", "First")
                            .text("FNAM", "Second")
                            .bytes();
    const auto found = find_subrecord(block, "FNAM");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->offset, 16u + 8u + 3u);
    EXPECT_EQ(subrecord_text(block, *found, TextKind::Terminated), "First");

    EXPECT_FALSE(find_subrecord(block, "fnam"));
    EXPECT_FALSE(find_subrecord(block, "FNA"));
}

TEST(SubrecordSearch, StopsAfterHundredSubrecords) {
    for (const int before : {kSubrecordSearchLimit - 1, kSubrecordSearchLimit}) {
        SCOPED_TRACE(before);
        RecordBuilder record("ACTI");
        for (int i = 0; i < before; ++i) {
            record.u32("DATA", static_cast<std::uint32_t>(i));
        }
        const auto found = find_subrecord(record.text("FNAM", "Name").bytes(), "FNAM");
        EXPECT_EQ(found.has_value(), before < kSubrecordSearchLimit);
    }
}

TEST(SubrecordSearch, WalksToTheBlockEndWhateverTheRecordSize) {
    Block block = RecordBuilder("ACTI").text("NAME", "id").text("FNAM", "Name").bytes();
    write_u32_le(block, kRecordSizeOffset, 0);
    EXPECT_TRUE(find_subrecord(block, "FNAM"));
}

TEST(SubrecordSearch, NeverFindsASubrecordRunningPastTheBlockEnd) {
    Block cut = RecordBuilder("ACTI").text("NAME", "id").text("FNAM", "Name").bytes();
    cut.pop_back();
    EXPECT_FALSE(find_subrecord(cut, "FNAM"));
    EXPECT_TRUE(find_subrecord(cut, "NAME"));

    Block partial_header = RecordBuilder("ACTI").text("NAME", "id").bytes();
    for (const char c : std::string("FNAM\x01")) {
        partial_header.push_back(static_cast<std::byte>(c));
    }
    EXPECT_FALSE(find_subrecord(partial_header, "FNAM"));

    // A size of 2^32 - 16 would lead a 32-bit walk back to offset 24, where the NAME data
    // looks like an FNAM subrecord; the search must end at the oversized one instead.
    Block wrapping = RecordBuilder("ACTI").raw("NAME", std::string("FNAM\0\0\0\0", 8)).bytes();
    const Block oversized = RecordBuilder("XXXX").raw("DATA", "").bytes();
    wrapping.insert(wrapping.end(), oversized.begin() + 16, oversized.end());
    write_u32_le(wrapping, wrapping.size() - 4, 0xFFFFFFF0u);
    EXPECT_FALSE(find_subrecord(wrapping, "FNAM"));
}

TEST(ReplaceSubrecordText, KeepsSizeFieldsAndLaterBytesRight) {
    struct Case {
        const char* name;
        Block before;
        std::string_view tag;
        TextKind kind;
        Text replacement;
        Block after;
        std::int64_t difference;
    };
    auto acti = [](std::string_view fnam_data) {
        return with_header_flags(RecordBuilder("ACTI")
                                     .text("NAME", "id")
                                     .raw("FNAM", fnam_data)
                                     .raw("DATA", std::string("xy\0\x01", 4))
                                     .bytes());
    };
    auto book = [](std::string_view text_data) {
        return with_header_flags(
            RecordBuilder("BOOK").text("NAME", "id").raw("TEXT", text_data).bytes());
    };
    const std::string old_name("Old\0", 4);
    const Case cases[] = {
        {"longer", acti(old_name), "FNAM", TextKind::Terminated, "Longer!",
         acti(std::string("Longer!\0", 8)), 4},
        {"shorter", acti(old_name), "FNAM", TextKind::Terminated, "O", acti(std::string("O\0", 2)),
         -2},
        {"equal", acti(old_name), "FNAM", TextKind::Terminated, "New",
         acti(std::string("New\0", 4)), 0},
        {"empty", acti(old_name), "FNAM", TextKind::Terminated, "", acti(std::string("\0", 1)), -3},
        {"terminated, inner zero", acti(std::string("A\0B\0", 4)), "FNAM", TextKind::Terminated,
         "XYZ", acti(std::string("XYZ\0", 4)), 0},
        {"whole, last subrecord", book("Some text"), "TEXT", TextKind::Whole, "Text", book("Text"),
         -5},
        {"whole, inner zeros", book(std::string("A\0\0B", 4)), "TEXT", TextKind::Whole, "AB",
         book("AB"), -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Block block = c.before;
        const auto subrecord = find_subrecord(block, c.tag);
        ASSERT_TRUE(subrecord);
        EXPECT_EQ(replace_subrecord_text(block, *subrecord, c.kind, c.replacement), c.difference);
        EXPECT_EQ(block, c.after);
    }
}

TEST(RecordFields, ShortBlocksGiveNoValue) {
    EXPECT_EQ(record_id(RecordBuilder("ACTI").text("NAME", "lever_01").text("FNAM", "L").bytes()),
              "lever_01");
    EXPECT_EQ(record_id(RecordBuilder("ACTI").bytes()), "");
    EXPECT_EQ(record_id(RecordBuilder("ACTI").raw("NAME", "").text("FNAM", "Lever").bytes()), "");

    Block cut = RecordBuilder("ACTI").text("NAME", "lever_01").bytes();
    cut.resize(24 + 3);
    EXPECT_EQ(record_id(cut), "lev");

    Block skill = RecordBuilder("SKIL").u32("INDX", 0xFFFFFFFEu).bytes();
    EXPECT_EQ(skill_index(skill), -2);
    skill.resize(27);
    EXPECT_FALSE(skill_index(skill));
}

} // namespace
} // namespace orv
