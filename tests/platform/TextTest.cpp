#include "platform/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orv {
namespace {

TEST(Windows1252, EveryByteRoundTripsAndSpecialBytesMapToTheirCharacters) {
    Text all;
    for (int value = 0xFF; value >= 0; --value) {
        SCOPED_TRACE(value);
        const Text byte(1, static_cast<char>(value));
        const std::string utf8 = to_utf8(byte);
        // ASCII stays one byte; A0 to FF are U+00A0 to U+00FF, two bytes each.
        EXPECT_TRUE(value < 0x80 ? utf8 == byte : value < 0xA0 || utf8.size() == 2);
        EXPECT_EQ(from_utf8(utf8), byte);
        all += byte;
    }
    EXPECT_EQ(from_utf8(to_utf8(all)), all);
    // The euro sign, the five undefined bytes (C1 controls of the same value), Š, ™, Ÿ, the
    // no-break space, Ü, ß, ä, ÿ (ASCII, NUL and DEL among it, is the loop's above).
    // clang-format off
    const std::vector<std::pair<unsigned char, std::string>> cases = {
        {0x80, "\xE2\x82\xAC"}, {0x81, "\xC2\x81"}, {0x8D, "\xC2\x8D"}, {0x8F, "\xC2\x8F"},
        {0x90, "\xC2\x90"}, {0x9D, "\xC2\x9D"}, {0x8A, "\xC5\xA0"}, {0x99, "\xE2\x84\xA2"},
        {0x9F, "\xC5\xB8"}, {0xA0, "\xC2\xA0"}, {0xDC, "\xC3\x9C"}, {0xDF, "\xC3\x9F"},
        {0xE4, "\xC3\xA4"}, {0xFF, "\xC3\xBF"}};
    // clang-format on
    // (Reading them back is the round trip's above.)
    for (const auto& [byte, utf8] : cases) {
        EXPECT_EQ(to_utf8(Text(1, static_cast<char>(byte))), utf8) << static_cast<int>(byte);
    }
    EXPECT_EQ(cp1252(u8"Maß für 5 €"), "Ma\xDF f\xFCr 5 \x80");
}

TEST(Windows1252, RefusesCharactersItCannotHoldAndMalformedUtf8) {
    // U+0080 and U+009F (whose bytes mean € and Ÿ), U+0100, U+4E2D, U+20AD, an emoji,
    // U+FFFD; overlong forms; truncated forms (at the end, by ASCII); lone continuation
    // bytes; surrogates; beyond U+10FFFF; a five-byte form; FF.
    // clang-format off
    const std::vector<std::string> refused = {
        "\xC2\x80", "\xC2\x9F", "\xC4\x80", "\xE4\xB8\xAD", "\xE2\x82\xAD", "\xF0\x9F\x98\x80",
        "\xEF\xBF\xBD", "\xC0\xA0", "\xC1\xBF", "\xE0\x80\x80", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF",
        "\xC3", "\xE2\x82", "\xF0\x9F\x98", "\xC3z", "\x80", "\xBF", "\xED\xA0\x80", "\xED\xBF\xBF",
        "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xF8\x88\x80\x80\x80", "\xFF"};
    // clang-format on
    for (const auto& utf8 : refused) {
        SCOPED_TRACE(testing::PrintToString(utf8));
        EXPECT_EQ(from_utf8(utf8), std::nullopt);
        EXPECT_EQ(from_utf8("\xC3\xA4" + utf8 + "ok"), std::nullopt);
    }
    // A NUL is an ordinary character, not the end of the text.
    EXPECT_EQ(from_utf8(std::string("\xC3\xA4\0b", 4)), Text("\xE4\0b", 3));
    EXPECT_EQ(from_utf8(""), Text());
}

TEST(UpperCase, MapsEverySmallLetterOfWindows1252) {
    const Text small = cp1252(u8"abcdefghijklmnopqrstuvwxyzàáâãäåæçèéêëìíîïðñòóôõöøùúûüýþšœžÿ");
    const Text capital = cp1252(u8"ABCDEFGHIJKLMNOPQRSTUVWXYZÀÁÂÃÄÅÆÇÈÉÊËÌÍÎÏÐÑÒÓÔÕÖØÙÚÛÜÝÞŠŒŽŸ");
    EXPECT_EQ(to_upper_cp1252(small), capital);
    // Every other byte, capitals, digits, ß, µ and ÷ among them, stays as it is.
    for (int value = 0; value < 256; ++value) {
        const Text byte(1, static_cast<char>(value));
        if (small.find(byte) == Text::npos) {
            EXPECT_EQ(to_upper_cp1252(byte), byte) << value;
        }
    }
}

} // namespace
} // namespace orv
