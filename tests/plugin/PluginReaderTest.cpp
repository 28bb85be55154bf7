#include "plugin/PluginReader.h"

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

Bytes without_last(Bytes bytes, std::size_t count = 1) {
    bytes.resize(bytes.size() - count);
    return bytes;
}

// The plugin with its header record's size field saying `length` bytes.
Bytes with_header_length(Bytes file, std::uint32_t length) {
    write_u32_le(file, kRecordSizeOffset, length - static_cast<std::uint32_t>(kRecordHeaderSize));
    return file;
}

const Bytes kCell = record("CELL", {{"NAME", "Foo Town"}});
const Bytes kActi = record("ACTI", {{"NAME", "lever"}, {"FNAM", "Lever"}});

// What a refusal of `file` says: its kind, offset and message. A refused file reports no
// progress.
std::tuple<ErrorKind, std::size_t, Text> refusal(const Bytes& file) {
    const auto result = read_plugin(file, [](const Text& text) { ADD_FAILURE() << text; });
    EXPECT_FALSE(result);
    return result ? std::tuple(ErrorKind{}, std::size_t{0}, Text())
                  : std::tuple(result.error().kind, result.error().offset, result.error().message);
}

TEST(PluginReader, RefusesBrokenFiles) {
    Bytes empty_tag = plugin({kCell});
    empty_tag[0] = std::byte{0};
    Bytes huge_record = kActi;
    write_u32_le(huge_record, kRecordSizeOffset, 0xFFFFFFF8u);
    const Text not_a_plugin = cp1252(u8"DIE DATEI IST KEIN GÜLTIGES PLUGIN: ");
    const auto past_end = [](std::size_t offset) {
        return std::tuple(ErrorKind::RecordPastEnd, offset,
                          cp1252(u8"DIE DATEI IST BESCHÄDIGT: DER DATENSATZ AB BYTE ") +
                              std::to_string(offset) +
                              cp1252(u8" REICHT ÜBER DAS ENDE DER DATEI HINAUS."));
    };
    const struct {
        const char* name;
        Bytes file;
        std::tuple<ErrorKind, std::size_t, Text> refusal;
    } cases[] = {
        {"323 bytes",
         without_last(plugin({}), 17),
         {ErrorKind::FileTooShort, 323, not_a_plugin + cp1252(u8"SIE IST KÜRZER ALS 324 BYTES.")}},
        {"empty first tag",
         empty_tag,
         {ErrorKind::EmptyFirstTag, 0, not_a_plugin + "SIE BEGINNT NICHT MIT EINEM DATENSATZ."}},
        {"header record of 323 bytes",
         with_header_length(plugin({kCell}), 323),
         {ErrorKind::HeaderRecordTooShort, 0,
          not_a_plugin + cp1252(u8"IHR KOPFDATENSATZ IST KÜRZER ALS 324 BYTES.")}},
        {"header record past end", without_last(plugin({})), past_end(0)},
        {"record one byte short", without_last(plugin({kCell})), past_end(340)},
        {"data size near 2^32", plugin({huge_record}), past_end(340)},
        {"partial record header", plugin({bytes_of("CELL\x05")}), past_end(340)},
        {"second record past end", without_last(plugin({kCell, kActi})),
         past_end(340 + kCell.size())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(refusal(c.file), c.refusal);
    }
}

TEST(PluginReader, AcceptsTheSmallestHeaderAndReadsTheFileTypeSigned) {
    const auto result =
        read_plugin(without_last(with_header_length(plugin({}, -2, 5), kMinimumHeaderSize), 16));
    ASSERT_TRUE(result);
    ASSERT_EQ(result->blocks.size(), 1u);
    EXPECT_EQ(result->blocks[0].size(), kMinimumHeaderSize);
    EXPECT_EQ(read_u32_le(result->blocks[0], kRecordCountOffset), 0u);
    EXPECT_EQ(result->file_type, -2);
}

TEST(PluginReader, KeepsEveryRecordAndCountsThemWhateverTheHeaderSays) {
    const Bytes odd_tag = fixtures::RecordBuilder(std::string("N\0C_", 4)).bytes();
    for (const std::int32_t header_count : {0, 7, 0x7FFFFFFF}) {
        SCOPED_TRACE(header_count);
        std::vector<Text> progress;
        const auto result = read_plugin(plugin({kCell, odd_tag, kActi}, 0, header_count),
                                        [&](const Text& text) { progress.push_back(text); });
        ASSERT_TRUE(result);
        EXPECT_EQ(result->blocks, (std::vector<Bytes>{header_record(0, 3), kCell, odd_tag, kActi}));
        EXPECT_EQ(progress, (std::vector<Text>{"Lese block : HEDR", "Lese block : CELL",
                                               "Lese block : NC_", "Lese block : ACTI"}));
    }
}

TEST(PluginReader, ZeroWhereATagStartsEndsTheRecords) {
    const auto blocks_read = [](const Bytes& file) {
        const auto result = read_plugin(file);
        return result ? result->blocks.size() : 0;
    };
    EXPECT_EQ(blocks_read(plugin({kCell, Bytes(3)})), 2u);
    EXPECT_EQ(
        blocks_read(plugin({kCell, bytes_of(std::string("\0CELL\xFF\xFF\xFF\xFF", 9)), kActi})),
        2u);
    EXPECT_EQ(blocks_read(plugin({Bytes(1), kActi})), 1u);
}

} // namespace
} // namespace orv
