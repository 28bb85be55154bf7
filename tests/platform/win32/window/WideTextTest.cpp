#include <gtest/gtest.h>

#include "platform/win32/window/WideText.h"

namespace orv {
namespace {

TEST(WideText, ConversionsAtTheEdge) {
    Text all;
    for (int byte = 1; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    // Windows-1252 at the edges of its table, and an undefined byte as its control character.
    const std::wstring wide = to_wide(all);
    EXPECT_EQ(wide.substr(0x7F, 2) + wide[0x9F - 1] + wide[0xFC - 1], L"\u20AC\u0081\u0178\u00FC");
    EXPECT_EQ(from_wide(wide), all);
    for (const auto& [typed, text] : std::vector<std::pair<std::wstring, std::optional<Text>>>{
             {L"Fluß", cp1252(u8"Fluß")},
             {L"\u0141\u00F3d\u017A", std::nullopt},
             {L"\xD800", std::nullopt},
             {L"", Text{}}}) {
        SCOPED_TRACE(text.value_or("(nothing)"));
        EXPECT_EQ(from_wide(typed), text);
    }
    EXPECT_EQ(with_crlf("a\rb\nc\r\nd"), L"a\r\nb\r\nc\r\nd");
    EXPECT_EQ(without_mnemonics("Salz & Pfeffer"), L"Salz && Pfeffer");
}

} // namespace
} // namespace orv
