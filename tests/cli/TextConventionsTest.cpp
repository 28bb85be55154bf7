#include "cli/TextConventions.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace orv::cli {
namespace {

using Views = std::vector<std::string_view>;

TEST(TextConventions, FieldsEscapeAndUnescape) {
    // Fields as a text file holds them and the Windows-1252 texts they stand for.
    const std::vector<std::pair<std::string, Text>> accepted = {
        {"a\\\\b\\tc\\rd\\ne", "a\\b\tc\rd\ne"}, {"\\r\\n", "\r\n"}, {"", ""},
        {"\xC3\xA4\xE2\x82\xAC", "\xE4\x80"},    {"\\\\t", "\\t"},   {"\\\\\\t", "\\\t"}};
    for (const auto& [field, text] : accepted) {
        SCOPED_TRACE(field);
        EXPECT_EQ(unescape_field(field), text);
        EXPECT_EQ(escape_field(text), field);
    }
    // Refused fields and why: a backslash last or before anything but \ t r n; text that
    // Windows-1252 cannot hold (a truncated sequence, U+0100); a byte order mark; and raw
    // layout characters, of which a CR is what CR LF line ends leave in the last field.
    const std::vector<std::pair<std::u8string, std::vector<std::string>>> refused = {
        {u8"Ungültiges Fluchtzeichen: auf \\ folgt nur \\, t, r oder n.",
         {"\\", "abc\\", "\\\\\\", "\\T", "\\0", "a\\\"", "\\\xC3\xA4"}},
        {u8"Ein Zeichen, das Windows-1252 nicht darstellen kann, oder kein gültiges UTF-8.",
         {"\xC3", "\\t\xC4\x80", "raw\ttab", "raw\nfeed"}},
        {u8"Die Datei beginnt mit einer Byte-Order-Markierung (BOM); bitte als UTF-8 ohne BOM "
         u8"speichern.",
         {"\xEF\xBB\xBFz"}},
        {u8"Wagenrücklauf (CR) im Text. Die Datei hat wohl Windows-Zeilenenden (CR LF); Zeilen "
         u8"enden hier nur mit LF, ein CR im Text wird \\r geschrieben.",
         {"b\r"}}};
    for (const auto& [problem, fields] : refused) {
        for (const auto& field : fields) {
            SCOPED_TRACE(testing::PrintToString(field));
            EXPECT_EQ(unescape_field(field), std::nullopt);
            EXPECT_EQ(field_problem(field), cp1252(problem));
        }
    }
}

// Lines end at LF only: a CR before it stays in the line, where the field refuses it.
TEST(TextConventions, SplitsLinesAtLineFeedsAndFieldsAtTabs) {
    EXPECT_EQ(split_lines(""), Views{});
    EXPECT_EQ(split_lines("\n"), (Views{""}));
    EXPECT_EQ(split_lines("a"), (Views{"a"}));
    EXPECT_EQ(split_lines("a\n"), (Views{"a"}));
    EXPECT_EQ(split_lines("a\n\nb\n\n"), (Views{"a", "", "b", ""}));
    EXPECT_EQ(split_lines("a\tb\r\nc\r"), (Views{"a\tb\r", "c\r"}));
    EXPECT_EQ(split_fields(""), (Views{""}));
    EXPECT_EQ(split_fields("a\t\tb\t"), (Views{"a", "", "b", ""}));
    EXPECT_EQ(split_fields("a\\tb\r"), (Views{"a\\tb\r"}));
}

} // namespace
} // namespace orv::cli
