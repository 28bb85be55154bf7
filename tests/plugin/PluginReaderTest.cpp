#include "plugin/PluginReader.h"

#include <gtest/gtest.h>

#include <string>

#include "fixtures/PluginBuilder.h"

namespace orv {
namespace {

using fixtures::bytes_of;
using fixtures::header_record;
using fixtures::plugin;
using fixtures::RecordBuilder;

Bytes joined(const std::vector<Bytes>& parts) {
    Bytes out;
    for (const auto& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

// A header record of exactly `length` bytes (at least 24), with the file type at file
// offset 28 and the record count at 320 where the record reaches that far.
Bytes header_of_length(std::size_t length, std::uint32_t file_type, std::uint32_t count) {
    Block header = RecordBuilder("HEDR").raw("HEDR", std::string(length - 24, '\0')).bytes();
    write_u32_le(header, kFileTypeOffset, file_type);
    if (length >= kMinimumHeaderSize) {
        write_u32_le(header, kRecordCountOffset, count);
    }
    return header;
}

Bytes without_last(Bytes bytes, std::size_t count = 1) {
    bytes.resize(bytes.size() - count);
    return bytes;
}

const Bytes kCell = RecordBuilder("CELL").text("NAME", "Foo Town").bytes();
const Bytes kActi = RecordBuilder("ACTI").text("NAME", "lever").text("FNAM", "Lever").bytes();

TEST(PluginReader, RefusesBrokenFiles) {
    Bytes empty_tag = plugin({kCell});
    empty_tag[0] = std::byte{0};
    Bytes huge_record = kActi;
    write_u32_le(huge_record, kRecordSizeOffset, 0xFFFFFFF8u);
    const Text not_a_plugin = cp1252(u8"DIE DATEI IST KEIN GÜLTIGES PLUGIN: ");
    const auto past_end = [](int offset) {
        return cp1252(u8"DIE DATEI IST BESCHÄDIGT: DER DATENSATZ AB BYTE ") +
               std::to_string(offset) + cp1252(u8" REICHT ÜBER DAS ENDE DER DATEI HINAUS.");
    };
    const struct {
        const char* name;
        Bytes file;
        ErrorKind kind;
        std::size_t offset;
        Text message;
    } cases[] = {
        {"323 bytes", without_last(plugin({}), 17), ErrorKind::FileTooShort, 323,
         not_a_plugin + cp1252(u8"SIE IST KÜRZER ALS 324 BYTES.")},
        {"empty first tag", empty_tag, ErrorKind::EmptyFirstTag, 0,
         not_a_plugin + "SIE BEGINNT NICHT MIT EINEM DATENSATZ."},
        {"header record of 323 bytes", joined({header_of_length(323, 0, 1), kCell}),
         ErrorKind::HeaderRecordTooShort, 0,
         not_a_plugin + cp1252(u8"IHR KOPFDATENSATZ IST KÜRZER ALS 324 BYTES.")},
        {"header record past end", without_last(plugin({})), ErrorKind::RecordPastEnd, 0,
         past_end(0)},
        {"record one byte short", without_last(plugin({kCell})), ErrorKind::RecordPastEnd, 340,
         past_end(340)},
        {"data size near 2^32", plugin({huge_record}), ErrorKind::RecordPastEnd, 340,
         past_end(340)},
        {"partial record header", joined({plugin({}), bytes_of("CELL\x05")}),
         ErrorKind::RecordPastEnd, 340, past_end(340)},
        {"second record past end", without_last(plugin({kCell, kActi})), ErrorKind::RecordPastEnd,
         340 + kCell.size(), past_end(340 + static_cast<int>(kCell.size()))},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int progress_calls = 0;
        const auto result = read_plugin(c.file, [&](const Text&) { ++progress_calls; });
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().kind, c.kind);
        EXPECT_EQ(result.error().offset, c.offset);
        EXPECT_EQ(result.error().message, c.message);
        EXPECT_EQ(progress_calls, 0);
    }
}

TEST(PluginReader, AcceptsTheSmallestHeaderAndReadsTheFileTypeSigned) {
    const auto result = read_plugin(header_of_length(kMinimumHeaderSize, 0xFFFFFFFEu, 5));
    ASSERT_TRUE(result);
    ASSERT_EQ(result->blocks.size(), 1u);
    EXPECT_EQ(result->blocks[0].size(), kMinimumHeaderSize);
    EXPECT_EQ(read_u32_le(result->blocks[0], kRecordCountOffset), 0u);
    EXPECT_EQ(result->file_type, -2);
}

TEST(PluginReader, KeepsEveryRecordAndCountsThemWhateverTheHeaderSays) {
    const Bytes odd_tag = RecordBuilder(std::string("N\0C_", 4)).bytes();
    for (const std::uint32_t header_count : {0u, 7u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(header_count);
        const Bytes file = joined(
            {header_record(0, static_cast<std::int32_t>(header_count)), kCell, odd_tag, kActi});
        std::vector<Text> progress;
        const auto result = read_plugin(file, [&](const Text& text) { progress.push_back(text); });
        ASSERT_TRUE(result);
        // Apart from the count, the blocks are the file's bytes, record by record.
        Bytes expected = file;
        write_u32_le(expected, kRecordCountOffset, 3);
        EXPECT_EQ(joined(result->blocks), expected);
        EXPECT_EQ(progress, (std::vector<Text>{"Lese block : HEDR", "Lese block : CELL",
                                               "Lese block : NC_", "Lese block : ACTI"}));
    }
}

TEST(PluginReader, ZeroWhereATagStartsEndsTheRecords) {
    const auto blocks_read = [](const Bytes& file) {
        const auto result = read_plugin(file);
        return result ? result->blocks.size() : 0;
    };
    EXPECT_EQ(blocks_read(joined({plugin({kCell}), Bytes(3)})), 2u);
    EXPECT_EQ(blocks_read(joined(
                  {plugin({kCell}), bytes_of(std::string("\0CELL\xFF\xFF\xFF\xFF", 9)), kActi})),
              2u);
    EXPECT_EQ(blocks_read(joined({plugin({}), Bytes(1), kActi})), 1u);
}

} // namespace
} // namespace orv
