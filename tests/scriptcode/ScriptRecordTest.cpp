// Script records: which strings they offer, and the replacement that changes source and
// compiled code together and proves the result by reading it again.
#include "scriptcode/ScriptRecord.h"

#include <gtest/gtest.h>

#include <string>

#include "ScriptSamples.h"
#include "fixtures/PluginBuilder.h"

namespace orv::scriptcode {
namespace {

using namespace test;

const std::string kSource = "Begin demo_script\r\nshort count\r\n"
                            "MessageBox \"%g Pfeile\" count \"Ja\" \"Nein\"\r\n"
                            "AddTopic Fuhaven\r\n"
                            "PositionCell 1 0 -5.5 90 \"Fuhaven, Hafen\"\r\n"
                            "End demo_script\r\n";

std::string code_of(const std::string& message, const std::string& yes, const std::string& topic,
                    const std::string& cell) {
    return u16(0x1000) + long_text(message) + u8(1) + local('s', 1) + u8(2) + button(yes) +
           button("Nein") + u16(0x1022) + short_text(topic) + u16(0x1005) + f32(1) + f32(0) +
           f32(-5.5f) + f32(90) + short_text(cell) + u16(0x0101);
}

const std::string kCode = code_of("%g Pfeile", "Ja", "Fuhaven", "Fuhaven, Hafen");

TEST(ScriptRecord, OffersTheStringsOfAScriptThatAgreesWithItsSource) {
    const auto strings = read_script_strings(script_record("demo_script", kSource, kCode));
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
    struct Case {
        const char* name;
        Block record;
        std::u8string_view expected;
    };
    std::string short_header(40, '\0');
    const std::vector<Case> cases = {
        {"a header size other than the code's",
         script_record("demo_script", kSource, kCode, static_cast<std::int64_t>(kCode.size()) + 1),
         u8"Der Kopf nennt 74 Bytes Code, der Code hat 73."},
        {"a header too short to hold the size",
         fixtures::RecordBuilder("SCPT")
             .raw("SCHD", short_header)
             .raw("SCDT", kCode)
             .raw("SCTX", kSource)
             .bytes(),
         u8"Das Skript hat keinen vollständigen Kopf (SCHD)."},
        {"no source",
         fixtures::RecordBuilder("SCPT").raw("SCHD", std::string(52, '\0')).raw("SCDT", "").bytes(),
         u8"Das Skript hat keinen Quelltext (SCTX)."},
        {"extension code", script_record("demo_script", "End", u16(0x3811) + u16(0x0101)),
         u8"Das Skript enthält Code einer Skripterweiterung (Befehlscode 0x3811); es wird nicht "
         u8"verändert (Byte 0)."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto strings = read_script_strings(c.record);
        ASSERT_FALSE(strings);
        EXPECT_EQ(strings.error().message, cp1252(c.expected));
        EXPECT_FALSE(replace_script_strings(c.record, {}));
    }
}

TEST(ScriptRecord, ReplacesStringsInSourceAndCodeAndRecomputesEveryLength) {
    const Block record = script_record("demo_script", kSource, kCode);
    const std::string message = cp1252(u8"Du trägst %g Pfeile über der Schulter");
    const std::string topic = cp1252(u8"Fuhaven Häfen");
    const auto changed = replace_script_strings(
        record, {{1, message}, {2, cp1252(u8"Jawohl, gewiß")}, {4, topic}, {5, "Fuhaven"}});
    ASSERT_TRUE(changed) << changed.error().message;
    // The whole record compares at once: SCHD's ID and code size, the variable names behind
    // the header carried unchanged, the code, the source and the record's size field. A bare
    // topic that now holds a space gets quotes.
    EXPECT_EQ(*changed,
              script_record("demo_script",
                            cp1252(u8"Begin demo_script\r\nshort count\r\n"
                                   u8"MessageBox \"Du trägst %g Pfeile über der Schulter\" count "
                                   u8"\"Jawohl, gewiß\" \"Nein\"\r\nAddTopic \"Fuhaven Häfen\"\r\n"
                                   u8"PositionCell 1 0 -5.5 90 \"Fuhaven\"\r\nEnd demo_script\r\n"),
                            code_of(message, cp1252(u8"Jawohl, gewiß"), topic, "Fuhaven")));
    const auto reread = read_script_strings(*changed);
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->strings[0].text, message);
    EXPECT_EQ(reread->strings[2].text, "Nein");
}

TEST(ScriptRecord, NoReplacementAndUnchangedTextsLeaveTheRecordByteIdentical) {
    const Block record = script_record("demo_script", kSource, kCode);
    EXPECT_EQ(replace_script_strings(record, {}).value(), record);
    EXPECT_EQ(replace_script_strings(record, {{2, "Ja"}, {5, "Fuhaven, Hafen"}}).value(), record);
}

TEST(ScriptRecord, NamesTheMessageBoxTextsWhoseCodeCountsSpecifiersOtherwiseThanTheSource) {
    // Changed elsewhere: the first message box lost a specifier in its code, a button of the
    // second gained one; the third agrees in number, not in text.
    const std::string source = "AddTopic Fuhaven\r\nMessageBox \"%g Gold\"\r\n"
                               "MessageBox \"Tor\" \"Ja\" \"Nein\"\r\nMessageBox \"%s da\"\r\n";
    const std::string code = u16(0x1022) + short_text("Fuhaven") + u16(0x1000) + long_text("Gold") +
                             u8(0) + u8(0) + u16(0x1000) + long_text("Tor") + u8(0) + u8(2) +
                             button("Ja") + button("%s") + u16(0x1000) + long_text("%s hier") +
                             u8(0) + u8(0);
    std::string found;
    for (const auto& disagreement :
         specifier_disagreements(script_record("demo_script", source, code))) {
        found += std::to_string(disagreement.line) + ":" + std::to_string(disagreement.text) + ":" +
                 disagreement.problem + "|";
    }
    EXPECT_EQ(found, "2:1:Der Text hat 0 Platzhalter wie %g oder %s, das Original 1; ihre Zahl "
                     "muss gleich bleiben.|3:3:Der Text hat 1 Platzhalter wie %g oder %s, das "
                     "Original 0; ihre Zahl muss gleich bleiben.|");
    // A source that does not read, or code that does not decode, has nothing to compare.
    EXPECT_TRUE(
        specifier_disagreements(script_record("demo_script", "MessageBox \"%g Gold\r\n", code))
            .empty());
    EXPECT_TRUE(
        specifier_disagreements(script_record("demo_script", source, code.substr(0, 5))).empty());
}

TEST(ScriptRecord, RefusesAReplacementItsStringCannotTake) {
    const Block record = script_record("demo_script", kSource, kCode);
    struct Case {
        const char* name;
        StringReplacement replacement;
        std::u8string_view expected;
    };
    const std::vector<Case> cases = {
        {"a button past its field",
         {3, std::string(255, 'n')},
         u8"Skripttext 3: Der Text hat 255 Bytes; hier passen höchstens 254."},
        {"a number naming no string",
         {6, "x"},
         u8"Skripttext 6: Das Skript hat keinen solchen Text."},
        {"number zero", {0, "x"}, u8"Skripttext 0: Das Skript hat keinen solchen Text."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto changed = replace_script_strings(record, {c.replacement});
        ASSERT_FALSE(changed);
        EXPECT_EQ(changed.error().message, cp1252(c.expected));
    }
}

} // namespace
} // namespace orv::scriptcode
