#include <gtest/gtest.h>

#include "DialogueRecords.h"
#include "fixtures/PluginBuilder.h"
#include "plugin/Dialogue.h"
#include "translation/DialogueRules.h"
#include "translation/ResponseScriptTexts.h"
#include "translation/Responses.h"

namespace orv {
namespace {

using fixtures::RecordBuilder;
using fixtures::store_of;
using Kind = TranslationProblem::Kind;
using namespace std::string_literals;

using test::info;
using test::topic;

TEST(Responses, FollowTheirTopicAndTakeTheDatabaseTextOnlyForTheirOwnOriginal) {
    BlockStore store = store_of({
        info("orphan", "Before any topic"),
        topic("rumours"),
        info("r1", "Known text", "Choice \"Yes\" 1"),
        info("r2", "Changed since"),
        RecordBuilder("INFO").text("INAM", "r3").text("NAME", "Known too").bytes(),
        info("r4", "Schon deutsch"),
        topic("broken", '\x07'),
        info("lost", "Under a broken topic"),
        topic("quest_a", '\x04'),
        RecordBuilder("INFO").text("INAM", "q1").raw("NAME", "The Quest").raw("QSTN", "\1").bytes(),
        RecordBuilder("INFO").text("INAM", "q2").bytes(),
    });
    TripleFile database;
    database.entries = {{"r1", "Known text", "Bekannter Text"},
                        {"r2", "Older text", "Alter Text"},
                        {"r3", "Known too", "Auch bekannt"},
                        {"r4", "Already German", "Schon deutsch"},
                        {"r1", "Known text", "Second entry loses"}};
    ObjectLists rows;
    test::load_all_responses(store, database, rows);

    std::vector<Text> seen;
    for (const auto& r : rows.responses()) {
        seen.push_back(Text(response_kind_label(r.kind)) + "|" + r.topic + "|" + r.id + "|" +
                       r.mark.text() + "|" + r.original + "|" + current_response_text(store, r) +
                       "|" + std::to_string(r.block) + "<" + std::to_string(r.topic_block));
    }
    EXPECT_EQ(seen, (std::vector<Text>{
                        "Dialog|rumours|r1|B|Known text|Bekannter Text|3<2",
                        "Dialog|rumours|r2||Changed since|Changed since|4<2",
                        "Dialog|rumours|r3|B|Known too|Auch bekannt|5<2",
                        "Dialog|rumours|r4|\xDC|Schon deutsch|Schon deutsch|6<2",
                        "Journal|quest_a|q1||The Quest|The Quest|10<9",
                    }));
    using Problem = DialogueProblem::Kind;
    EXPECT_EQ(rows.dialogue_problems(),
              (std::vector<DialogueProblem>{{Problem::ResponseWithoutTopic, 1},
                                            {Problem::TopicWithoutType, 7},
                                            {Problem::ResponseWithoutTopic, 8}}));
    // A text stored with its zero keeps it; one without gets none.
    EXPECT_EQ(store.block(5),
              RecordBuilder("INFO").text("INAM", "r3").text("NAME", "Auch bekannt").bytes());
    EXPECT_EQ(store.block(3), info("r1", "Bekannter Text", "Choice \"Yes\" 1"));

    ResponseElement& edited = rows.responses()[1];
    EXPECT_TRUE(set_response_text(store, edited, "Neu"));
    EXPECT_EQ(edited.mark, mark::kEdited);
    EXPECT_EQ(store.block(4), info("r2", "Neu"));
    EXPECT_FALSE(set_response_text(store, edited, "Neu"));
    // A script text stored as it is, and a text beyond the script's, change and mark nothing.
    ResponseElement& scripted = rows.responses()[0];
    EXPECT_FALSE(set_response_script_texts(store, scripted, {"Yes", "Extra"}));
    EXPECT_EQ(scripted.mark, mark::kShipped);
    EXPECT_EQ(store.block(3), info("r1", "Bekannter Text", "Choice \"Yes\" 1"));
    EXPECT_TRUE(set_response_script_texts(store, scripted, {"Ja"}));
    EXPECT_EQ(scripted.mark, mark::kEdited);
    EXPECT_EQ(store.block(3), info("r1", "Bekannter Text", "Choice \"Ja\" 1"));
    // A row whose record has no text or script, or that leads outside the store, changes
    // nothing.
    for (const std::int32_t block : {11, 0, 99, -1}) {
        ResponseElement stray;
        stray.block = block;
        EXPECT_FALSE(set_response_text(store, stray, "x")) << block;
        EXPECT_FALSE(set_response_script_texts(store, stray, {"x"})) << block;
        EXPECT_EQ(stray.mark, mark::kNone) << block;
    }
}

TEST(Responses, OnlyTopicDialogueRecordsGetARow) {
    for (const std::string& type : {"\0"s, "\1"s, "\2"s, "\4"s, ""s, "\x09"s}) {
        const Bytes dial = RecordBuilder("DIAL").text("NAME", "x").raw("DATA", type).bytes();
        EXPECT_EQ(dialogue_type(store_of({dial}).block(1)) == DialogueType::Topic, type == "\0"s)
            << testing::PrintToString(type);
    }
}

// Topics named in the plugin's list first, then in the database.
TopicLinks topic_links() {
    ObjectLists lists;
    lists.append(kTopicType, {mark::kEdited, "Foo", "Foo", "Fu", 1});
    lists.append(kTopicType, {mark::kNone, "foo bar", "foo bar", "foo bar", 2});
    PairFile database;
    database.entries = {
        {"Bar", "Balken"}, {"FOO", "Ignored: the plugin's name came first"}, {"ar", "Ar"}};
    return TopicLinks(lists, database);
}

TEST(TopicLinks, TheLongestNameWinsAndCaseIsIgnored) {
    const TopicLinks links = topic_links();
    const auto names = [&](TextView text) {
        std::vector<Text> found;
        for (const auto* t : links.linked(text)) {
            found.push_back(t->english + ">" + t->german);
        }
        return found;
    };
    using Names = std::vector<Text>;
    EXPECT_EQ(names("Ask about FOO BAR or foo."), (Names{"foo bar>foo bar", "Foo>Fu"}));
    EXPECT_EQ(names("bar, bar and foo"), (Names{"Bar>Balken", "Foo>Fu"}));
    EXPECT_EQ(names("fo ba"), Names{});
    // Read from the start: "Bar" is taken before the "ar" inside it could be.
    EXPECT_EQ(names("xbar"), (Names{"Bar>Balken"}));
}

TEST(TopicLinks, ProblemsOfATranslation) {
    const TopicLinks links = topic_links();
    const Text long_text(kResponseLengthLimit + 1, 'x');
    const std::vector<std::tuple<Text, Text, std::vector<TranslationProblem>>> cases = {
        {"About foo, %PCName.", "Über FU, %PCName.", {}},
        {"About foo and bar.", "Über Fu und Stange.", {{Kind::TopicLink, "Balken"}}},
        {"%PCName%PCRace %PCName", "%PCName, %pcrace", {{Kind::Define, "%PCRace"}}},
        {"100% sure", "Ganz sicher", {}},
        {"%NameZ and %Az", "%Name and %A", {{Kind::Define, "%NameZ"}, {Kind::Define, "%Az"}}},
        {"x", long_text, {{Kind::Length, std::to_string(long_text.size())}}},
        {"x", Text(kResponseLengthLimit, 'y'), {}},
    };
    for (const auto& [original, translation, expected] : cases) {
        EXPECT_EQ(response_problems(links, original, translation), expected) << original;
    }
}

// The text editor's tests show the line with a missing define alone.
TEST(TranslationProblems, TheLineUnderTheTranslationNamesWhatIsMissing) {
    EXPECT_EQ(missing_names_line({}), "");
    EXPECT_EQ(missing_names_line({{Kind::Define, "%PCName"},
                                  {Kind::TopicLink, "Fu"},
                                  {Kind::Length, "600"},
                                  {Kind::TopicLink, "Bar"},
                                  {Kind::Define, "%PCRace"}}),
              "Fehlende Themen: Fu, Bar; Fehlende Platzhalter: %PCName, %PCRace");
}

} // namespace
} // namespace orv
