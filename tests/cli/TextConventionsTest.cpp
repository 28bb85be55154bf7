#include "cli/TextConventions.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace orv::cli {
namespace {

using Views = std::vector<std::string_view>;

TEST(TextConventions, EscapesTheFourLayoutCharacters) {
    EXPECT_EQ(escape_field("a\\b\tc\rd\ne"), "a\\\\b\\tc\\rd\\ne");
    EXPECT_EQ(escape_field("\r\n"), "\\r\\n");
    EXPECT_EQ(escape_field(""), "");
    // Converted to UTF-8 as well: ä and the euro sign.
    EXPECT_EQ(escape_field("\xE4\x80"), "\xC3\xA4\xE2\x82\xAC");
    EXPECT_EQ(unescape_field("\\\\t"), Text("\\t"));
    EXPECT_EQ(unescape_field("\\\\\\t"), Text("\\\t"));
}

TEST(TextConventions, RefusesBadEscapes) {
    const std::vector<std::string> refused = {
        "\\",  "abc\\", "\\\\\\", // a backslash standing last
        "\\T", "\\0",   "\\x41",  // unknown escape letters
        "\\ ", "a\\\"", "\\\xC3\xA4",
    };
    for (const auto& field : refused) {
        SCOPED_TRACE(field);
        EXPECT_EQ(unescape_field(field), std::nullopt);
    }
}

TEST(TextConventions, RefusesTextWindows1252CannotHold) {
    // The conversion itself is tested with the Windows-1252 text; here only that a field
    // goes through it.
    const std::vector<std::string> refused = {
        "\xC3",          // truncated sequence
        "\xC4\x80",      // U+0100
        "\xEF\xBB\xBFz", // byte order mark
    };
    for (const auto& field : refused) {
        SCOPED_TRACE(testing::PrintToString(field));
        EXPECT_EQ(unescape_field(field), std::nullopt);
        EXPECT_EQ(unescape_field("\\t" + field), std::nullopt);
    }
}

TEST(TextConventions, SplitsFieldsAtEveryTab) {
    EXPECT_EQ(split_fields("a\tb\tc"), (Views{"a", "b", "c"}));
    EXPECT_EQ(split_fields(""), (Views{""}));
    EXPECT_EQ(split_fields("\t"), (Views{"", ""}));
    EXPECT_EQ(split_fields("a\t\tb\t"), (Views{"a", "", "b", ""}));
    EXPECT_EQ(split_fields("a\\tb\r"), (Views{"a\\tb\r"}));
}

TEST(TextConventions, SplitsLinesAtLineFeeds) {
    EXPECT_EQ(split_lines(""), Views{});
    EXPECT_EQ(split_lines("\n"), (Views{""}));
    EXPECT_EQ(split_lines("a"), (Views{"a"}));
    EXPECT_EQ(split_lines("a\n"), (Views{"a"}));
    EXPECT_EQ(split_lines("a\nb"), (Views{"a", "b"}));
    EXPECT_EQ(split_lines("a\n\nb\n\n"), (Views{"a", "", "b", ""}));
    // A CR before the LF is not a line end of its own: it stays in the last field, where
    // unescape_field refuses it, so a file with CR LF line ends is refused instead of
    // putting a CR into every last field.
    const Views lines = split_lines("a\tb\r\nc\r");
    EXPECT_EQ(lines, (Views{"a\tb\r", "c\r"}));
    EXPECT_EQ(split_fields(lines[0]), (Views{"a", "b\r"}));
    EXPECT_EQ(unescape_field(split_fields(lines[0])[1]), std::nullopt);
    EXPECT_EQ(unescape_field("raw\ttab"), std::nullopt);
    EXPECT_EQ(unescape_field("raw\nfeed"), std::nullopt);
}

} // namespace
} // namespace orv::cli
