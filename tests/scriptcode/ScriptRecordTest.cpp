// Script records: which strings they offer, the rules a new string must keep (its length
// field, its format specifiers, the characters a source string can hold), and the
// replacement that changes source and compiled code together and proves the result by
// reading it again.
#include "scriptcode/ScriptRecord.h"
#include "scriptcode/ReplacementRules.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "ScriptSamples.h"
#include "fixtures/PluginBuilder.h"

namespace orv::scriptcode {
namespace {

using namespace test;

// A script with a string of every role, inside nested blocks: a message box with a variable
// and two buttons, a bare topic (quoted once it holds a space) and a cell.
ScriptWriter sample(std::string_view message = "%g Pfeile", std::string_view yes = "Ja",
                    std::string_view topic = "Fuhaven", std::string_view cell = "Fuhaven, Hafen") {
    ScriptWriter writer;
    writer.open_while("count < 3", "w");
    writer.open_if("count == 1", "i");
    writer.message_box(message, {"count"}, {std::string(yes), "Nein"});
    writer.elseif_block("count == 2", "e");
    writer.set_local("count", 1, "s");
    writer.add_topic(topic, topic.find(' ') != std::string_view::npos);
    writer.else_block();
    writer.position_cell(1, cell);
    writer.end_block();
    writer.end_block();
    writer.end();
    return writer;
}

Block record_of(const ScriptWriter& writer, std::int64_t stated_size = -1) {
    return script_record("demo_script", writer.source(), writer.code(), stated_size);
}

TEST(ScriptRecord, OffersTheStringsOfAScriptThatAgreesWithItsSource) {
    const auto strings = read_script_strings(record_of(sample()));
    ASSERT_TRUE(strings) << strings.error().message;
    EXPECT_EQ(strings->id, "demo_script");
    std::string listed;
    for (const ScriptString& string : strings->strings) {
        listed += std::to_string(string.number) + ":" +
                  std::to_string(static_cast<int>(string.role)) + ":" + string.text + "|";
    }
    EXPECT_EQ(listed, "1:0:%g Pfeile|2:1:Ja|3:1:Nein|4:2:Fuhaven|5:3:Fuhaven, Hafen|");
}

TEST(ScriptRecord, RefusesRecordsItCannotTrust) {
    const ScriptWriter script = sample();
    const auto size = static_cast<std::int64_t>(script.code().size());
    struct Case {
        const char* name;
        Block record;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"a header size other than the code's", record_of(script, size + 1),
         "Der Kopf nennt " + std::to_string(size + 1) + " Bytes Code, der Code hat " +
             std::to_string(size) + "."},
        {"a header too short to hold the size",
         fixtures::RecordBuilder("SCPT")
             .raw("SCHD", std::string(40, '\0'))
             .raw("SCDT", script.code())
             .raw("SCTX", script.source())
             .bytes(),
         cp1252(u8"Das Skript hat keinen vollständigen Kopf (SCHD).")},
        {"no source",
         fixtures::RecordBuilder("SCPT").raw("SCHD", std::string(52, '\0')).raw("SCDT", "").bytes(),
         "Das Skript hat keinen Quelltext (SCTX)."},
        {"no code",
         fixtures::RecordBuilder("SCPT")
             .raw("SCHD", std::string(52, '\0'))
             .raw("SCTX", "End")
             .bytes(),
         "Das Skript hat keinen kompilierten Code (SCDT)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto strings = read_script_strings(c.record);
        ASSERT_FALSE(strings);
        EXPECT_EQ(strings.error().message, c.expected);
        EXPECT_FALSE(replace_script_strings(c.record, {}));
    }
}

TEST(ScriptRecord, ReplacesStringsInSourceAndCodeAndRecomputesEveryLength) {
    const std::string message =
        cp1252(u8"Du trägst %g Pfeile über der Schulter") + std::string(300, '.');
    const std::string yes = cp1252(u8"Jawohl, gewiß");
    const std::string topic = cp1252(u8"Fuhaven Häfen");
    const auto changed = replace_script_strings(
        record_of(sample()), {{1, message}, {2, yes}, {4, topic}, {5, "Fuhaven"}});
    ASSERT_TRUE(changed) << changed.error().message;
    // The whole record compares at once: SCHD's ID and code size, the variable names behind
    // the header carried unchanged, the code with its block counts, the source and the
    // record's size field. A bare topic that now holds a space gets quotes.
    EXPECT_EQ(*changed, record_of(sample(message, yes, topic, "Fuhaven")));
}

TEST(ScriptRecord, NoReplacementAndUnchangedTextsLeaveTheRecordByteIdentical) {
    const Block record = record_of(sample());
    EXPECT_EQ(replace_script_strings(record, {}).value(), record);
    EXPECT_EQ(replace_script_strings(record, {{2, "Ja"}, {5, "Fuhaven, Hafen"}}).value(), record);
}

TEST(ScriptRecord, NamesTheMessageBoxTextsWhoseCodeCountsSpecifiersOtherwiseThanTheSource) {
    // Changed elsewhere: the first message box lost a specifier in its code, a button of the
    // second gained one; the third agrees in number, not in text. Each is named by its line and
    // text; the problem's wording is the rules' (below), and the plugin check's test sees it.
    const std::string source = "AddTopic Fuhaven\r\nMessageBox \"%g Gold\"\r\n"
                               "MessageBox \"Tor\" \"Ja\" \"Nein\"\r\nMessageBox \"%s da\"\r\n";
    const std::string code = u16(0x1022) + short_text("Fuhaven") + u16(0x1000) + long_text("Gold") +
                             u8(0) + u8(0) + u16(0x1000) + long_text("Tor") + u8(0) + u8(2) +
                             button("Ja") + button("%s") + u16(0x1000) + long_text("%s hier") +
                             u8(0) + u8(0);
    std::string found;
    for (const auto& disagreement :
         specifier_disagreements(script_record("demo_script", source, code))) {
        found += std::to_string(disagreement.line) + ":" + std::to_string(disagreement.text) + "|";
    }
    EXPECT_EQ(found, "2:1|3:3|");
    // A source that does not read, or code that does not decode, has nothing to compare.
    EXPECT_TRUE(
        specifier_disagreements(script_record("demo_script", "MessageBox \"%g Gold\r\n", code))
            .empty());
    EXPECT_TRUE(
        specifier_disagreements(script_record("demo_script", source, code.substr(0, 5))).empty());
}

// Whether a string can take its new text is the rules' own (below); the text editor's test sees
// such a refusal with the string's number in front.
TEST(ScriptRecord, RefusesANumberThatNamesNoString) {
    const Block record = record_of(sample());
    for (const int number : {0, 6}) {
        const auto changed = replace_script_strings(record, {{number, "x"}});
        ASSERT_FALSE(changed);
        EXPECT_EQ(changed.error().message,
                  "Skripttext " + std::to_string(number) + ": Das Skript hat keinen solchen Text.");
    }
}

// The rules a new script string must keep: its length field, its format specifiers and the
// characters a source string can hold.

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
