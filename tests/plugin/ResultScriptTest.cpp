// The reader of script calls: which arguments name cells, topics or texts, and the rewrite
// that changes them and nothing else.
#include "plugin/ResultScript.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orv {
namespace {

using Kind = ScriptArgumentKind;

// Each argument as "KIND function line text" (text in quotes when it was quoted), so that a
// whole reading compares at once.
std::vector<std::string> found(TextView script) {
    std::vector<std::string> lines;
    for (const auto& argument : find_script_arguments(script).arguments) {
        const char* kind = argument.kind == Kind::Cell    ? "cell"
                           : argument.kind == Kind::Topic ? "topic"
                                                          : "text";
        const std::string text(script.substr(argument.offset, argument.length));
        lines.push_back(std::string(kind) + " " + std::string(argument.function) + " " +
                        std::to_string(argument.line) + " " +
                        (argument.quoted ? "\"" + text + "\"" : text));
    }
    return lines;
}

TEST(ResultScript, FindsTheArgumentsEachFunctionNamesAtItsPosition) {
    struct Case {
        const char* script;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"PositionCell 10 20 30 0 \"Fuhaven, Hafen\"", {"cell PositionCell 1 \"Fuhaven, Hafen\""}},
        {"AiFollowCell, Player, \"Fuhaven, Hafen\", 0, 1, 2, 3",
         {"cell AIFollowCell 1 \"Fuhaven, Hafen\""}},
        {"aiescortcell player Kellerloch 0 1 2 3 1", {"cell AIEscortCell 1 Kellerloch"}},
        // A hyphen is part of a bare word; only "->" ends it.
        {"ShowMap Nord-Hafen", {"cell ShowMap 1 Nord-Hafen"}},
        {"PlaceItemCell \"gold_001\" \"Fuhaven\" 1 2 3 0", {"cell PlaceItemCell 1 \"Fuhaven\""}},
        {"COC \"Fuhaven\"\nCenterOnCell Fuhaven\nShowMap \"Fuhaven\"",
         {"cell COC 1 \"Fuhaven\"", "cell CenterOnCell 2 Fuhaven", "cell ShowMap 3 \"Fuhaven\""}},
        // A reference before the function, and a condition around a function's value.
        {"\"wache ulf\"->AIFollowCell \"Player\" \"Fuhaven\" 0 0 0 0",
         {"cell AIFollowCell 1 \"Fuhaven\""}},
        {"if ( GetPCCell \"Fuhaven\" == 1 )", {"cell GetPCCell 1 \"Fuhaven\""}},
        // The name in another function's argument, or at another position, is none.
        {"AIFollow \"Fuhaven\" 0 0 0 0\nPositionCell 0 0 0 \"Fuhaven\"\nPlayer->Disable", {}},
        {"AddTopic \"Fuhaven\"", {"topic AddTopic 1 \"Fuhaven\""}},
        // A quoted word is a text, never a function.
        {"\"AddTopic\" \"Fuhaven\"", {}},
        // Choice: quoted arguments are texts, numbers not. MessageBox: the message and the
        // quoted buttons, not the variables between. Say: the subtitle, not the sound file.
        {"Choice \"Ja, gern\" 1 \"Nein\" 2",
         {"text Choice 1 \"Ja, gern\"", "text Choice 1 \"Nein\""}},
        {"MessageBox \"%.0f Gold\" amount \"Gut\"",
         {"text MessageBox 1 \"%.0f Gold\"", "text MessageBox 1 \"Gut\""}},
        {"Say \"vo\\hallo.mp3\" \"Hallo!\"", {"text Say 1 \"Hallo!\""}},
        // A comment ends the statement, but not inside quotes; CR belongs to the line end.
        {"GetPCCell \"a;b\" ; ShowMap \"c\"\r\n; ShowMap \"d\"\r\nShowMap e\r",
         {"cell GetPCCell 1 \"a;b\"", "cell ShowMap 3 e"}},
        {"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        EXPECT_EQ(found(c.script), c.expected);
    }
}

TEST(ResultScript, NamesMatchWithoutRegardToTheCaseOfAsciiLettersOnly) {
    const struct {
        const char* left;
        const char* right;
        bool equal;
    } cases[] = {
        {"AddTopic", "ADDTOPIC", true},
        {"Zz", "zZ", true},
        {"", "", true},
        {"ab", "abc", false},
        {"a", "b", false},
        // The pairs 32 apart that are no letters, just outside 'A' to 'Z'.
        {"@", "`", false},
        {"[", "{", false},
        // Windows-1252 letters beyond ASCII keep their case: \xC4 is an upper A umlaut.
        {"\xC4", "\xE4", false},
        {"\xE4", "\xE4", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.left) + " / " + c.right);
        EXPECT_EQ(equal_ignoring_ascii_case(c.left, c.right), c.equal);
        EXPECT_EQ(equal_ignoring_ascii_case(c.right, c.left), c.equal);
    }
}

TEST(ResultScript, LeavesALineWithAnOpenQuoteAndReadsTheNextOne) {
    const auto reading = find_script_arguments("ShowMap \"Fuhaven\nShowMap \"Mühle\"\nShowMap \"x");
    EXPECT_EQ(reading.unterminated_lines, (std::vector<std::size_t>{1, 3}));
    ASSERT_EQ(reading.arguments.size(), 1u);
    EXPECT_EQ(reading.arguments[0].line, 2u);
}

// A line's first tokens are kept in place and the rest in a list of their own: the
// arguments on both sides of that border come out in order.
TEST(ResultScript, ReadsEveryArgumentOfALineWithManyTokens) {
    std::string script = "Choice";
    std::vector<std::string> expected;
    for (int k = 0; k < 40; ++k) {
        script += " \"Antwort " + std::to_string(k) + "\"";
        expected.push_back("text Choice 1 \"Antwort " + std::to_string(k) + "\"");
    }
    EXPECT_EQ(found(script + "\nShowMap Hafen").size(), expected.size() + 1);
    EXPECT_EQ(found(script), expected);
}

// The rewrite of cell names, their letter case and the quotes a new name with a space
// needs, is tested through the save's cell reference pass; here what it must leave.
TEST(ResultScript, RewriteLeavesOtherArgumentsCommentsOpenQuotesAndUnwritableNames) {
    const auto rename = [](TextView argument) -> std::optional<Text> {
        return argument == "Keller"  ? Text("Alter Keller")
               : argument == "Quote" ? std::optional<Text>("a\"b")
                                     : std::nullopt;
    };
    const char* script = "MessageBox \"Keller\"\n; ShowMap Keller\nShowMap \"Keller\nShowMap Quote";
    const auto rewrite = rewrite_script_arguments(script, Kind::Cell, rename);
    EXPECT_EQ(rewrite.replaced, 0);
    EXPECT_EQ(rewrite.script, "");
}

} // namespace
} // namespace orv
