#include "platform/Text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orv {
namespace {

TEST(Windows1252, EveryByteValueRoundTrips) {
    for (int value = 0; value <= 0xFF; ++value) {
        SCOPED_TRACE(value);
        const Text byte(1, static_cast<char>(value));
        const std::string utf8 = to_utf8(byte);
        // ASCII stays one byte; A0 to FF are U+00A0 to U+00FF, two bytes each.
        if (value < 0x80) {
            EXPECT_EQ(utf8, byte);
        } else if (value >= 0xA0) {
            EXPECT_EQ(utf8.size(), 2u);
        }
        EXPECT_EQ(from_utf8(utf8), byte);
    }
    Text all;
    for (int value = 0xFF; value >= 0; --value) {
        all.push_back(static_cast<char>(value));
    }
    EXPECT_EQ(from_utf8(to_utf8(all)), all);
}

TEST(Windows1252, MapsSpecialBytesToTheirCharacters) {
    const std::vector<std::pair<unsigned char, std::string>> cases = {
        {0x00, std::string(1, '\0')}, {0x7F, "\x7F"},
        {0x80, "\xE2\x82\xAC"}, // euro sign U+20AC
        {0x81, "\xC2\x81"},     // the five undefined bytes: C1 controls of the same value
        {0x8D, "\xC2\x8D"},           {0x8F, "\xC2\x8F"},
        {0x90, "\xC2\x90"},           {0x9D, "\xC2\x9D"},
        {0x8A, "\xC5\xA0"},                               // S with caron U+0160
        {0x99, "\xE2\x84\xA2"},                           // trade mark U+2122
        {0x9F, "\xC5\xB8"},                               // Y with diaeresis U+0178
        {0xA0, "\xC2\xA0"},           {0xDC, "\xC3\x9C"}, // Ü
        {0xDF, "\xC3\x9F"},                               // ß
        {0xE4, "\xC3\xA4"},                               // ä
        {0xFF, "\xC3\xBF"},
    };
    for (const auto& [byte, utf8] : cases) {
        SCOPED_TRACE(static_cast<int>(byte));
        const Text text(1, static_cast<char>(byte));
        EXPECT_EQ(to_utf8(text), utf8);
        EXPECT_EQ(from_utf8(utf8), text);
    }
    EXPECT_EQ(cp1252(u8"Maß für 5 €"), "Ma\xDF f\xFCr 5 \x80");
}

TEST(Windows1252, RefusesCharactersItCannotHoldAndMalformedUtf8) {
    const std::vector<std::string> refused = {
        "\xC2\x80",             // U+0080: byte 80 is the euro sign, not this control
        "\xC2\x9F",             // U+009F: byte 9F is Y with diaeresis
        "\xC4\x80",             // U+0100, one past the Latin-1 range
        "\xE4\xB8\xAD",         // U+4E2D
        "\xE2\x82\xAD",         // U+20AD, one past the euro sign
        "\xF0\x9F\x98\x80",     // U+1F600, an emoji
        "\xEF\xBF\xBD",         // U+FFFD
        "\xC0\xA0",             // overlong two-byte form
        "\xC1\xBF",             // overlong two-byte form of 7F
        "\xE0\x80\x80",         // overlong three-byte form
        "\xE0\x9F\xBF",         // overlong three-byte form of 7FF
        "\xF0\x8F\xBF\xBF",     // overlong four-byte form of FFFF
        "\xC3",                 // truncated at the end
        "\xE2\x82",             // truncated at the end
        "\xF0\x9F\x98",         // truncated at the end
        "\xC3z",                // truncated by an ASCII byte
        "\x80",                 // lone continuation byte
        "\xBF",                 // lone continuation byte
        "\xED\xA0\x80",         // surrogate D800
        "\xED\xBF\xBF",         // surrogate DFFF
        "\xF4\x90\x80\x80",     // U+110000
        "\xF5\x80\x80\x80",     // lead byte beyond U+10FFFF
        "\xF8\x88\x80\x80\x80", // five-byte form
        "\xFF",
    };
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
    ASSERT_EQ(small.size(), capital.size());
    EXPECT_EQ(to_upper_cp1252(small), capital);

    // Every other byte, capitals, digits, ß, µ and ÷ among them, stays as it is.
    for (int value = 0; value < 256; ++value) {
        const Text byte(1, static_cast<char>(value));
        if (small.find(byte) == Text::npos) {
            SCOPED_TRACE(value);
            EXPECT_EQ(to_upper_cp1252(byte), byte);
        }
    }
}

} // namespace
} // namespace orv
