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

Bytes first_bytes(Bytes bytes, std::size_t count) {
    bytes.resize(count);
    return bytes;
}

Bytes without_last_byte(Bytes bytes) {
    return first_bytes(bytes, bytes.size() - 1);
}

const Bytes kCell = RecordBuilder("CELL").text("NAME", "Foo Town").bytes();
const Bytes kActi = RecordBuilder("ACTI").text("NAME", "lever").text("FNAM", "Lever").bytes();

TEST(PluginReader, RefusesBrokenFiles) {
    const std::size_t second = header_record(0, 2).size() + kCell.size();
    Bytes empty_tag = plugin({kCell});
    empty_tag[0] = std::byte{0};
    Bytes huge_record = kActi;
    write_u32_le(huge_record, kRecordSizeOffset, 0xFFFFFFF8u);
    const Text past_end_340 = cp1252(u8"DIE DATEI IST BESCHÄDIGT: DER DATENSATZ AB BYTE 340 REICHT "
                                     u8"ÜBER DAS ENDE DER DATEI HINAUS.");
    struct Case {
        const char* name;
        Bytes file;
        ErrorKind kind;
        std::size_t offset;
        Text message;
    };
    const Case cases[] = {
        {"empty file",
         {},
         ErrorKind::FileTooShort,
         0,
         cp1252(u8"DIE DATEI IST KEIN GÜLTIGES PLUGIN: SIE IST KÜRZER ALS 324 BYTES.")},
        {"323 bytes", first_bytes(plugin({}), 323), ErrorKind::FileTooShort, 323,
         cp1252(u8"DIE DATEI IST KEIN GÜLTIGES PLUGIN: SIE IST KÜRZER ALS 324 BYTES.")},
        {"empty first tag", empty_tag, ErrorKind::EmptyFirstTag, 0,
         cp1252(u8"DIE DATEI IST KEIN GÜLTIGES PLUGIN: SIE BEGINNT NICHT MIT EINEM DATENSATZ.")},
        {"header record of 323 bytes", joined({header_of_length(323, 0, 1), kCell}),
         ErrorKind::HeaderRecordTooShort, 0,
         cp1252(
             u8"DIE DATEI IST KEIN GÜLTIGES PLUGIN: IHR KOPFDATENSATZ IST KÜRZER ALS 324 BYTES.")},
        {"header record past end", without_last_byte(plugin({})), ErrorKind::RecordPastEnd, 0,
         cp1252(u8"DIE DATEI IST BESCHÄDIGT: DER DATENSATZ AB BYTE 0 REICHT ÜBER DAS ENDE DER "
                u8"DATEI HINAUS.")},
        {"record one byte short", without_last_byte(plugin({kCell})), ErrorKind::RecordPastEnd, 340,
         past_end_340},
        {"data size near 2^32", plugin({huge_record}), ErrorKind::RecordPastEnd, 340, past_end_340},
        {"partial record header", joined({plugin({}), bytes_of("CELL\x05")}),
         ErrorKind::RecordPastEnd, 340, past_end_340},
        {"second record past end", without_last_byte(plugin({kCell, kActi})),
         ErrorKind::RecordPastEnd, second, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int progress_calls = 0;
        const auto result = read_plugin(c.file, [&](const Text&) { ++progress_calls; });
        ASSERT_FALSE(result);
        EXPECT_EQ(result.error().kind, c.kind);
        EXPECT_EQ(result.error().offset, c.offset);
        if (!c.message.empty()) {
            EXPECT_EQ(result.error().message, c.message);
        }
        EXPECT_EQ(progress_calls, 0);
    }
}

TEST(PluginReader, AcceptsTheSmallestHeader) {
    const Bytes file = header_of_length(324, 1, 5);
    const auto result = read_plugin(file);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->blocks.size(), 1u);
    EXPECT_EQ(result->blocks[0].size(), 324u);
    EXPECT_EQ(read_u32_le(result->blocks[0], kRecordCountOffset), 0u);
    EXPECT_EQ(result->file_type, 1);
}

TEST(PluginReader, CountsRecordsWhateverTheHeaderSays) {
    for (const std::uint32_t header_count : {0u, 1u, 3u, 7u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(header_count);
        const Bytes file = joined({header_record(0, static_cast<std::int32_t>(header_count)), kCell,
                                   kActi, RecordBuilder("GMST").bytes()});
        const auto result = read_plugin(file);
        ASSERT_TRUE(result);
        ASSERT_EQ(result->blocks.size(), 4u);
        EXPECT_EQ(read_u32_le(result->blocks[0], kRecordCountOffset), 3u);

        // Apart from the count, the blocks are the file's bytes, record by record.
        Bytes expected = file;
        write_u32_le(expected, kRecordCountOffset, 3);
        EXPECT_EQ(joined(result->blocks), expected);
        EXPECT_EQ(result->blocks[1], kCell);
        EXPECT_EQ(result->blocks[3].size(), 16u);
    }
}

TEST(PluginReader, ZeroWhereATagStartsEndsTheRecords) {
    struct Case {
        const char* name;
        Bytes file;
        std::size_t blocks;
    };
    const Case cases[] = {
        {"padding after the last record", joined({plugin({kCell}), Bytes(3)}), 2},
        {"garbage after a zero byte",
         joined({plugin({kCell}), bytes_of(std::string("\0CELL\xFF\xFF\xFF\xFF", 9)), kActi}), 2},
        {"zero right after the header", joined({plugin({}), Bytes(1), kActi}), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = read_plugin(c.file);
        ASSERT_TRUE(result);
        EXPECT_EQ(result->blocks.size(), c.blocks);
        EXPECT_EQ(read_u32_le(result->blocks[0], kRecordCountOffset), c.blocks - 1);
    }
}

TEST(PluginReader, ReadsTheFileTypeSigned) {
    for (const std::int32_t file_type : {0, 1, -2}) {
        const auto result = read_plugin(plugin({kCell}, file_type));
        ASSERT_TRUE(result);
        EXPECT_EQ(result->file_type, file_type);
    }
}

TEST(PluginReader, ReportsEveryBlockRead) {
    std::vector<Text> progress;
    const Bytes odd_tag = RecordBuilder(std::string("N\0C_", 4)).bytes();
    const auto result = read_plugin(plugin({kCell, odd_tag, kActi}),
                                    [&](const Text& text) { progress.push_back(text); });
    ASSERT_TRUE(result);
    const std::vector<Text> expected = {"Lese block : HEDR", "Lese block : CELL",
                                        "Lese block : NC_", "Lese block : ACTI"};
    EXPECT_EQ(progress, expected);
}

} // namespace
} // namespace orv
