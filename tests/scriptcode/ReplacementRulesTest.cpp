// The rules a new script string must keep: its length field, its format specifiers and the
// characters a source string can hold.
#include "scriptcode/ReplacementRules.h"

#include <gtest/gtest.h>

#include <string>

namespace orv::scriptcode {
namespace {

TEST(ReplacementRules, CountsPrintfStyleSpecifiers) {
    const struct {
        const char* text;
        int count;
    } cases[] = {
        {"Du hast %g Pfeile.", 1},
        {"%.0f von %.2f, %s", 3},
        {"100%% sicher", 1},
        {"%-5d|%+d|% d|%#x|%05.1f", 5},
        // A '%' that starts no specifier is text.
        {"50 % Rabatt", 0},
        {"%", 0},
        {"%.", 0},
        {"%5", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(count_format_specifiers(c.text), c.count);
    }
}

TEST(ReplacementRules, RefusesTextsPastTheirFieldOrWithOtherSpecifiers) {
    const std::u8string_view kCannotStand = u8"Der Text enthält ein Anführungszeichen, einen "
                                            u8"Zeilenumbruch oder ein Nullzeichen; so kann er "
                                            u8"nicht im Skript stehen.";
    struct Case {
        const char* name;
        StringRole role;
        std::string original;
        std::string replacement;
        std::u8string_view expected;
    };
    const std::vector<Case> cases = {
        {"message at its limit", StringRole::Message, "a", std::string(65535, 'b'), u8""},
        {"message one past it", StringRole::Message, "a", std::string(65536, 'b'),
         u8"Der Text hat 65536 Bytes; hier passen höchstens 65535."},
        {"button at its limit", StringRole::Button, "a", std::string(254, 'b'), u8""},
        {"button one past it", StringRole::Button, "a", std::string(255, 'b'),
         u8"Der Text hat 255 Bytes; hier passen höchstens 254."},
        {"topic at its limit", StringRole::Topic, "a", std::string(255, 'b'), u8""},
        {"cell one past it", StringRole::Cell, "a", std::string(256, 'b'),
         u8"Der Text hat 256 Bytes; hier passen höchstens 255."},
        {"same specifiers in another order", StringRole::Message, "%s hat %g", "%g bei %s", u8""},
        {"a specifier lost", StringRole::Message, "%g Pfeile", "Pfeile",
         u8"Der Text hat 0 Platzhalter wie %g oder %s, das Original 1; ihre Zahl muss gleich "
         u8"bleiben."},
        {"a percent sign that became a specifier", StringRole::Message, "50 %", "50 %s",
         u8"Der Text hat 1 Platzhalter wie %g oder %s, das Original 0; ihre Zahl muss gleich "
         u8"bleiben."},
        {"a double quote", StringRole::Button, "Ja", "\"Ja\"", kCannotStand},
        {"a line break", StringRole::Message, "a", "a\rb", kCannotStand},
        {"a zero byte", StringRole::Topic, "a", std::string("a\0b", 3), kCannotStand},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto problem = replacement_problem(c.role, c.original, c.replacement);
        EXPECT_EQ(problem.value_or(""), cp1252(c.expected));
    }
}

} // namespace
} // namespace orv::scriptcode
