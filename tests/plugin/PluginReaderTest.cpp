#include "plugin/PluginReader.h"
#include "plugin/PluginErrors.h"
#include "plugin/Subrecord.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "fixtures/PluginBuilder.h"

namespace orv {
namespace {

using fixtures::bytes_of;
using fixtures::header_record;
using fixtures::plugin;
using fixtures::record;
using fixtures::RecordBuilder;

Bytes without_last(Bytes bytes, std::size_t count = 1) {
    bytes.resize(bytes.size() - count);
    return bytes;
}

// `bytes` with the 32-bit value at `offset` set to `value`, written as the program writes it.
Bytes with_u32(const Bytes& bytes, std::size_t offset, std::uint32_t value) {
    Block block(bytes);
    write_u32_le(block, offset, value);
    return {block.begin(), block.end()};
}

// The plugin with its header record's size field saying `length` bytes.
Bytes with_header_length(const Bytes& file, std::uint32_t length) {
    return with_u32(file, kRecordSizeOffset,
                    length - static_cast<std::uint32_t>(kRecordHeaderSize));
}

const Bytes kCell = record("CELL", {{"NAME", "Foo Town"}});
const Bytes kActi = record("ACTI", {{"NAME", "lever"}, {"FNAM", "Lever"}});

// What a refusal of `file` says: its problem, offset and message. A refused file reports
// no progress.
using Refusal = std::tuple<std::optional<PluginProblem>, std::size_t, Text>;
Refusal refusal(const Bytes& file) {
    const auto result = read_plugin(file, [](const Text& text) { ADD_FAILURE() << text; });
    EXPECT_FALSE(result);
    return result ? Refusal()
                  : Refusal(plugin_problem(result.error()), result.error().offset,
                            result.error().message);
}

TEST(PluginReader, RefusesBrokenFiles) {
    Bytes empty_tag = plugin({kCell});
    empty_tag[0] = std::byte{0};
    const Bytes huge_record = with_u32(kActi, kRecordSizeOffset, 0xFFFFFFF8u);
    const Text not_a_plugin = cp1252(u8"DIE DATEI IST KEIN GÜLTIGES PLUGIN: ");
    const auto past_end = [](std::size_t offset) {
        return Refusal(PluginProblem::RecordPastEnd, offset,
                       cp1252(u8"DIE DATEI IST BESCHÄDIGT: DER DATENSATZ AB BYTE ") +
                           std::to_string(offset) +
                           cp1252(u8" REICHT ÜBER DAS ENDE DER DATEI HINAUS."));
    };
    // clang-format off
    const std::vector<std::tuple<const char*, Bytes, Refusal>> cases = {
        {"323 bytes", without_last(plugin({}), 17),
         {PluginProblem::FileTooShort, 323, not_a_plugin + cp1252(u8"SIE IST KÜRZER ALS 324 BYTES.")}},
        {"empty first tag", empty_tag,
         {PluginProblem::EmptyFirstTag, 0, not_a_plugin + "SIE BEGINNT NICHT MIT EINEM DATENSATZ."}},
        {"header record of 323 bytes", with_header_length(plugin({kCell}), 323),
         {PluginProblem::HeaderRecordTooShort, 0, not_a_plugin + cp1252(u8"IHR KOPFDATENSATZ IST KÜRZER ALS 324 BYTES.")}},
        {"header record past end", without_last(plugin({})),             past_end(0)},
        {"data size near 2^32",    plugin({huge_record}),                past_end(340)},
        {"partial record header",  plugin({bytes_of("CELL\x05")}),       past_end(340)},
        {"second record past end", without_last(plugin({kCell, kActi})), past_end(340 + kCell.size())},
    };
    // clang-format on
    for (const auto& [name, file, expected] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(refusal(file), expected);
    }
}

TEST(PluginReader, AcceptsTheSmallestHeaderAndReadsTheFileTypeSigned) {
    const auto result =
        read_plugin(without_last(with_header_length(plugin({}, -2, 5), kMinimumHeaderSize), 16));
    ASSERT_TRUE(result);
    EXPECT_EQ(result->blocks,
              std::vector<Block>{
                  without_last(with_header_length(header_record(-2, 0), kMinimumHeaderSize), 16)});
    EXPECT_EQ(result->file_type, -2);
}

// Every record is kept and counted whatever the header says, up to a zero where a tag starts.
TEST(PluginReader, KeepsEveryRecordUpToAZeroTag) {
    const Bytes odd = fixtures::RecordBuilder(std::string("N\0C_", 4)).bytes();
    const Bytes zero_cell = bytes_of(std::string("\0CELL\xFF\xFF\xFF\xFF", 9));
    const std::vector<std::pair<Bytes, std::vector<Block>>> cases = {
        {plugin({kCell, Bytes(3)}), {header_record(0, 1), kCell}},
        {plugin({kCell, zero_cell, kActi}), {header_record(0, 1), kCell}},
        {plugin({Bytes(1), kActi}), {header_record(0, 0)}},
        {plugin({kCell, odd, kActi}, 0, 0), {header_record(0, 3), kCell, odd, kActi}},
        {plugin({kCell, odd, kActi}, 0, 0x7FFFFFFF), {header_record(0, 3), kCell, odd, kActi}},
    };
    std::vector<Text> progress;
    for (const auto& [file, blocks] : cases) {
        progress.clear();
        const auto result = read_plugin(file, [&](const Text& text) { progress.push_back(text); });
        ASSERT_TRUE(result);
        EXPECT_EQ(result->blocks, blocks);
        EXPECT_EQ(progress.size(), blocks.size());
    }
    EXPECT_EQ(progress, (std::vector<Text>{"Lese block : HEDR", "Lese block : CELL",
                                           "Lese block : NC_", "Lese block : ACTI"}));
}

// Where the search finds `tag`, if anywhere.
std::optional<std::size_t> found_at(const Block& block, std::string_view tag) {
    const auto found = find_subrecord(block, tag);
    return found ? std::optional(found->offset) : std::nullopt;
}

TEST(SubrecordSearch, FindsTheFirstWholeSubrecordOfTheTag) {
    const Block names = record("ACTI", {{"NAME", "id"}, {"FNAM", "First"}, {"FNAM", "2"}});
    EXPECT_EQ(found_at(names, "FNAM"), 27u);
    EXPECT_EQ(found_at(names, "fnam"), std::nullopt);
    EXPECT_EQ(found_at(names, "FNA"), std::nullopt);
    EXPECT_EQ(found_at(RecordBuilder("ACTI").bytes(), "FNAM"), std::nullopt);
    // A tag is read as every text is, its zero bytes left out.
    EXPECT_EQ(found_at(RecordBuilder("ACTI").raw(std::string("F\0AM", 4), "x").bytes(), "FAM"),
              16u);
    // The walk goes to the block's end, whatever the record's size field says.
    Block unsized = names;
    write_u32_le(unsized, kRecordSizeOffset, 0);
    EXPECT_EQ(found_at(unsized, "FNAM"), 27u);

    // A subrecord whose header or data runs past the block's end is never found.
    const Block cut = without_last(record("ACTI", {{"NAME", "id"}, {"FNAM", "Name"}}));
    EXPECT_EQ(found_at(cut, "FNAM"), std::nullopt);
    EXPECT_EQ(found_at(cut, "NAME"), 16u);
    EXPECT_EQ(found_at(bytes_of(std::string("ACTI\0\0\0\0\0\0\0\0\0\0\0\0FNAM\x01", 21)), "FNAM"),
              std::nullopt);
    // A size of 2^32 - 16 would lead a 32-bit walk back to offset 24, where the NAME data
    // looks like an FNAM subrecord; the search must end at the oversized one instead.
    Block wrapping =
        RecordBuilder("ACTI").raw("NAME", std::string("FNAM\0\0\0\0", 8)).raw("DATA", "").bytes();
    write_u32_le(wrapping, wrapping.size() - 4, 0xFFFFFFF0u);
    EXPECT_EQ(found_at(wrapping, "FNAM"), std::nullopt);
}

TEST(SubrecordSearch, StopsAfterHundredSubrecords) {
    RecordBuilder record("ACTI");
    for (int i = 1; i < kSubrecordSearchLimit; ++i) {
        record.u32("DATA", static_cast<std::uint32_t>(i));
    }
    EXPECT_TRUE(find_subrecord(RecordBuilder(record).text("FNAM", "Name").bytes(), "FNAM"));
    EXPECT_FALSE(find_subrecord(record.u32("DATA", 0).text("FNAM", "Name").bytes(), "FNAM"));
}

// The 8 header bytes no field names get values, so that a shift or a clearing shows.
Bytes flagged(Bytes block) {
    for (std::size_t i = 8; i < kRecordHeaderSize; ++i) {
        block[i] = static_cast<std::byte>(0xA0 + i);
    }
    return block;
}

// A loaded block is changed where it lies among the plugin's bytes, or apart from them when
// it grows: its size fields follow the text and its later bytes move with it, no change
// reaches the blocks beside it, and a copy of a block changes alone.
TEST(ReplaceSubrecordText, ChangesALoadedBlockAndNothingBesideIt) {
    const Bytes before = record("CELL", {{"NAME", "before"}});
    const Bytes after = record("CELL", {{"NAME", "after"}});
    const auto lever = [](std::string_view name) {
        return flagged(record("ACTI", {{"NAME", "lever"}, {"FNAM", name}, {"DATA", "xy"}}));
    };
    for (const std::string_view name : {"Hebel", "Lev", "", "Langer Hebel"}) {
        SCOPED_TRACE(name);
        auto loaded = read_plugin(plugin({before, lever("Lever"), after}));
        ASSERT_TRUE(loaded);
        Block& block = loaded->blocks[2];
        EXPECT_EQ(replace_subrecord_text(block, *find_subrecord(block, "FNAM"),
                                         TextKind::Terminated, name),
                  static_cast<std::int64_t>(name.size()) - 5);
        EXPECT_EQ(block, Block(lever(name)));
        EXPECT_EQ(loaded->blocks[1], Block(before));
        EXPECT_EQ(loaded->blocks[3], Block(after));

        Block copy = block;
        write_u32_le(copy, kRecordSizeOffset, 0);
        EXPECT_EQ(block, Block(lever(name)));
        EXPECT_NE(copy, block);
    }
}

// The whole range the text was read from is replaced, inner zero bytes included.
TEST(ReplaceSubrecordText, ReplacesTheInnerZeroBytesOfTheOldText) {
    using std::string_literals::operator""s;
    Block acti = flagged(record("ACTI", {{"NAME", "id"}, {"FNAM", "A\0B"s}, {"DATA", "xy"}}));
    EXPECT_EQ(
        replace_subrecord_text(acti, *find_subrecord(acti, "FNAM"), TextKind::Terminated, "XYZ"),
        0);
    EXPECT_EQ(acti,
              Block(flagged(record("ACTI", {{"NAME", "id"}, {"FNAM", "XYZ"}, {"DATA", "xy"}}))));
    Block book = flagged(RecordBuilder("BOOK").raw("TEXT", "A\0\0B"s).bytes());
    EXPECT_EQ(replace_subrecord_text(book, *find_subrecord(book, "TEXT"), TextKind::Whole, "AB"),
              -2);
    EXPECT_EQ(book, Block(flagged(RecordBuilder("BOOK").raw("TEXT", "AB").bytes())));
}

TEST(RecordFields, ShortBlocksGiveNoValue) {
    EXPECT_EQ(record_id(record("ACTI", {{"NAME", "lever_01"}, {"FNAM", "L"}})), "lever_01");
    EXPECT_EQ(record_id(RecordBuilder("ACTI").bytes()), "");
    EXPECT_EQ(record_id(RecordBuilder("ACTI").raw("NAME", "").text("FNAM", "Lever").bytes()), "");
    const Bytes lever = record("ACTI", {{"NAME", "lever_01"}});
    EXPECT_EQ(record_id(Block(ByteSpan(lever).first(24 + 3))), "lev");

    const Bytes skill = RecordBuilder("SKIL").u32("INDX", 0xFFFFFFFEu).bytes();
    EXPECT_EQ(skill_index(skill), -2);
    EXPECT_FALSE(skill_index(Block(ByteSpan(skill).first(27))));
}

} // namespace
} // namespace orv
