#include <gtest/gtest.h>

#include "platform/win32/window/WideText.h"

namespace orv {
namespace {

TEST(WideText, EveryByteSurvivesTheRoundTrip) {
    Text all;
    for (int byte = 1; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    const std::wstring wide = to_wide(all);
    // Windows-1252 at the edges of its table, and an undefined byte as its control character.
    EXPECT_EQ(wide[0x80 - 1], L'\u20AC');
    EXPECT_EQ(wide[0x81 - 1], L'\u0081');
    EXPECT_EQ(wide[0x9F - 1], L'\u0178');
    EXPECT_EQ(wide[0xFC - 1], L'\u00FC');
    EXPECT_EQ(from_wide(wide), all);
}

TEST(WideText, ConversionsAtTheEdge) {
    struct Row {
        std::wstring typed;
        std::optional<Text> text;
    };
    for (const Row& row : std::vector<Row>{{L"Fluß", cp1252(u8"Fluß")},
                                           {L"\u0141\u00F3d\u017A", std::nullopt},
                                           {L"\xD800", std::nullopt},
                                           {L"", Text{}}}) {
        SCOPED_TRACE(row.text.value_or("(nothing)"));
        EXPECT_EQ(from_wide(row.typed), row.text);
    }
    EXPECT_EQ(with_crlf("a\rb\nc\r\nd"), L"a\r\nb\r\nc\r\nd");
    EXPECT_EQ(without_mnemonics("Salz & Pfeffer"), L"Salz && Pfeffer");
}

TEST(WideText, MenuTextsGetTheFirstFreeLetterAsMnemonic) {
    struct Row {
        Text text;
        std::wstring labelled;
    };
    std::wstring taken;
    for (const Row& row : std::vector<Row>{{"Datei", L"&Datei"},
                                           {"Externe Datenbank", L"&Externe Datenbank"},
                                           {"Text bearbeiten", L"&Text bearbeiten"},
                                           {"?", L"?"},
                                           {"Dexter", L"De&xter"},
                                           {"A & B", L"&A && B"}}) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(with_mnemonic(row.text, taken), row.labelled);
    }
}

} // namespace
} // namespace orv
