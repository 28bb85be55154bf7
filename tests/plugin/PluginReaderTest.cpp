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
        // clang-format off
        {"323 bytes", without_last(plugin({}), 17),
         {ErrorKind::FileTooShort, 323, not_a_plugin + cp1252(u8"SIE IST KÜRZER ALS 324 BYTES.")}},
        {"empty first tag", empty_tag,
         {ErrorKind::EmptyFirstTag, 0, not_a_plugin + "SIE BEGINNT NICHT MIT EINEM DATENSATZ."}},
        {"header record of 323 bytes", with_header_length(plugin({kCell}), 323),
         {ErrorKind::HeaderRecordTooShort, 0, not_a_plugin + cp1252(u8"IHR KOPFDATENSATZ IST KÜRZER ALS 324 BYTES.")}},
        {"header record past end", without_last(plugin({})),             past_end(0)},
        {"record one byte short",  without_last(plugin({kCell})),        past_end(340)},
        {"data size near 2^32",    plugin({huge_record}),                past_end(340)},
        {"partial record header",  plugin({bytes_of("CELL\x05")}),       past_end(340)},
        {"second record past end", without_last(plugin({kCell, kActi})), past_end(340 + kCell.size())},
        // clang-format on
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
    EXPECT_EQ(result->blocks,
              std::vector<Bytes>{
                  without_last(with_header_length(header_record(-2, 0), kMinimumHeaderSize), 16)});
    EXPECT_EQ(result->file_type, -2);
}

// Every record is kept and counted whatever the header says, up to a zero where a tag starts.
TEST(PluginReader, KeepsEveryRecordUpToAZeroTag) {
    const Bytes odd = fixtures::RecordBuilder(std::string("N\0C_", 4)).bytes();
    const Bytes zero_cell = bytes_of(std::string("\0CELL\xFF\xFF\xFF\xFF", 9));
    const std::vector<std::pair<Bytes, std::vector<Bytes>>> cases = {
        {plugin({kCell, Bytes(3)}), {header_record(0, 1), kCell}},
        {plugin({kCell, zero_cell, kActi}), {header_record(0, 1), kCell}},
        {plugin({Bytes(1), kActi}), {header_record(0, 0)}},
        {plugin({kCell, odd, kActi}, 0, 0), {header_record(0, 3), kCell, odd, kActi}},
        {plugin({kCell, odd, kActi}, 0, 0x7FFFFFFF), {header_record(0, 3), kCell, odd, kActi}},
        {plugin({kCell, odd, kActi}, 0, 7), {header_record(0, 3), kCell, odd, kActi}},
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

} // namespace
} // namespace orv
