#include "translation/TextConventions.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace orv {
namespace {

using Views = std::vector<std::string_view>;

TEST(TextConventions, FieldsEscapeAndUnescape) {
    // Fields as a text file holds them and the Windows-1252 texts they stand for.
    const std::vector<std::pair<std::string, Text>> accepted = {
        {"a\\\\b\\tc\\rd\\ne", "a\\b\tc\rd\ne"},
        {"\\r\\n", "\r\n"},
        {"", ""},
        {"\xC3\xA4\xE2\x82\xAC", "\xE4\x80"},
        {"\\\\t", "\\t"},
        {"\\\\\\t", "\\\t"},
        {"a\x01\xC3\x84"
         "b\\tc\xE2\x80\x9E"
         "d",
         "a\x01\xC4"
         "b\tc\x84"
         "d"}};
    for (const auto& [field, text] : accepted) {
        SCOPED_TRACE(field);
        EXPECT_EQ(unescape_field(field), text);
        EXPECT_EQ(escape_field(text), field);
    }
    // A field ends where its view ends, whatever byte follows it.
    EXPECT_EQ(escape_field(TextView("x\ty").substr(0, 1)), "x");
    // Refused fields and why: a backslash last or before anything but \ t r n; text that
    // Windows-1252 cannot hold (a truncated sequence, U+0100, a byte order mark) and raw
    // layout characters, of which only a CR can be left inside a line.
    const std::vector<std::pair<std::u8string, std::vector<std::string>>> refused = {
        {u8"Ungültiges Fluchtzeichen: auf \\ folgt nur \\, t, r oder n.",
         {"\\", "abc\\", "\\\\\\", "\\T", "\\0", "a\\\"", "\\\xC3\xA4"}},
        {u8"Ein Zeichen, das Windows-1252 nicht darstellen kann, oder kein gültiges UTF-8.",
         {"\xC3", "\\t\xC4\x80", "raw\ttab", "raw\nfeed", "\xEF\xBB\xBFz"}},
        {u8"Wagenrücklauf (CR) im Text. Ein CR gehört nur direkt vor dem LF (oder am Dateiende) "
         u8"zum Zeilenende; ein CR im Text wird \\r geschrieben.",
         {"b\r", "a\rb"}}};
    for (const auto& [problem, fields] : refused) {
        for (const auto& field : fields) {
            SCOPED_TRACE(testing::PrintToString(field));
            EXPECT_EQ(unescape_field(field), std::nullopt);
            EXPECT_EQ(field_problem(field), cp1252(problem));
        }
    }
}

// Lines end at LF; a CR directly before it or last in the file belongs to the line end, and a
// byte order mark at the very start is skipped, so files saved on Windows read the same. Any
// other CR stays in its line, where the field refuses it.
TEST(TextConventions, SplitsLinesAtLineFeedsAndFieldsAtTabs) {
    const std::vector<std::pair<std::string_view, Views>> files = {
        {"", {}},
        {"\n", {""}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\n\nb\n\n", {"a", "", "b", ""}},
        {"a\tb\r\nc\r", {"a\tb", "c"}},
        {"\xEF\xBB\xBFz\r\n\r\nb\nc\r\n", {"z", "", "b", "c"}},
        {"\xEF\xBB\xBF", {}},
        {"\r", {""}},
        {"a\r\r\nb\rc\n\xEF\xBB\xBF\n", {"a\r", "b\rc", "\xEF\xBB\xBF"}},
    };
    for (const auto& [contents, lines] : files) {
        SCOPED_TRACE(testing::PrintToString(contents));
        EXPECT_EQ(split_lines(contents), lines);
    }
    EXPECT_EQ(split_fields(""), (Views{""}));
    EXPECT_EQ(split_fields("a\t\tb\t"), (Views{"a", "", "b", ""}));
    EXPECT_EQ(split_fields("a\\tb\r"), (Views{"a\\tb\r"}));
}

} // namespace
} // namespace orv
