// Pairing an English file with its German version and learning the differences, and what
// changed between two versions of a plugin, text by text.
#include "learn/Learning.h"

#include <gtest/gtest.h>

#include "LearnFixtures.h"
#include "ScriptRecords.h"
#include "learn/LearnReport.h"
#include "learn/PluginDiff.h"

namespace orv {
namespace {

using namespace test;
using Records = std::vector<Bytes>;
// Each learned memory line as "Kind|English|German".
using Lines = std::vector<std::string>;

Result<Learned> learn(const Records& english, const Records& german) {
    const Bytes english_file = fixtures::plugin(english);
    const Bytes german_file = fixtures::plugin(german);
    return learn_from_plugins({english_file, german_file, "en.esp", "de.esp", "2024-05-01"});
}

Lines lines_of(const Learned& learned) {
    Lines lines;
    for (const auto& entry : learned.memory) {
        lines.push_back(std::string(memory_kind_label(entry.list_index)) + "|" + entry.ev_name +
                        "|" + entry.dv_name);
    }
    return lines;
}

struct PairingCase {
    const char* name;
    Records english;
    Records german;
    Lines learned;
    // Records of each file without a partner.
    std::size_t unpaired = 0;
};

TEST(Learning, PairsEachKindOfRecordByWhatTheTranslationLeavesAlone) {
    // A book and its text, in the same order in both files, the batch tool's learn test pairs.
    // clang-format off
    const std::vector<PairingCase> cases = {
        {"records with an ID pair by tag and ID, whatever their order",
         {named("NPC_", "a", "Guard"), named("MISC", "a", "Rock"), named("NPC_", "b", "Smith")},
         {named("NPC_", "b", "Schmied"), named("MISC", "a", "Stein"), named("NPC_", "a", "Wache")},
         {"NPC|Guard|Wache", "Misc Item|Rock|Stein", "NPC|Smith|Schmied"}},
        {"the same ID under another tag is another record",
         {named("NPC_", "a", "Guard"), named("CREA", "x", "Rat")},
         {named("CREA", "a", "Wache"), named("CREA", "x", "Ratte")},
         {"Creature|Rat|Ratte"}, 1},
        {"exterior cells pair by grid position",
         {exterior_cell("Wilds", 2, -3), exterior_cell("Coast", -3, 2)},
         {exterior_cell("Küste", -3, 2), exterior_cell("Wildnis", 2, -3)},
         {"Cell|Wilds|Wildnis", "Cell|Coast|Küste"}},
        {"interior cells pair by their references where their order differs",
         {interior_cell("Dark Cave", 1, "rat"), interior_cell("Bright Hall", 1, "lamp")},
         {interior_cell("Heller Saal", 1, "lamp"), interior_cell("Dunkle Höhle", 1, "rat")},
         {"Cell|Dark Cave|Dunkle Höhle", "Cell|Bright Hall|Heller Saal"}},
        {"interior cells with the same references pair in order",
         {interior_cell("Hut A", 1, "bed"), interior_cell("Hut B", 1, "bed")},
         {interior_cell("Hütte A", 1, "bed"), interior_cell("Hütte B", 1, "bed")},
         {"Cell|Hut A|Hütte A", "Cell|Hut B|Hütte B"}},
        {"topics pair by the responses they hold, responses by their ID",
         {topic("rumours"), info("200", "Heard anything?"), topic("work"), info("100", "Any work?")},
         {topic("Arbeit"), info("100", "Arbeit?"), topic("Gerüchte"), info("200", "Schon was gehört?")},
         {"Topic|rumours|Gerüchte", "Dialog|Heard anything?|Schon was gehört?", "Topic|work|Arbeit",
          "Dialog|Any work?|Arbeit?"}},
        {"a script's texts pair by their place; other words are no texts",
         {topic("hi"), info("1", "Hello.", "Choice \"Yes\" 1 \"No\" 2\r\nAddItem \"gold_001\" 5")},
         {topic("hallo"), info("1", "Hallo.", "Choice \"Ja\" 1 \"Nein\" 2\r\nAddItem \"gold_001\" 5")},
         {"Topic|hi|hallo", "Dialog|Hello.|Hallo.", "Response script|Yes|Ja", "Response script|No|Nein"}},
        {"compiled scripts pair by their ID, their message texts and buttons by place",
         {message_box_script("s1", "Take %g gold?", "Yes"), message_box_script("s2", "Hi", "Go")},
         {message_box_script("s2", "Hallo", "Los"), message_box_script("s1", "%g Gold nehmen?", "Ja")},
         {"Script|Take %g gold?|%g Gold nehmen?", "Script|Yes|Ja", "Script|Hi|Hallo", "Script|Go|Los"}},
        {"a text left as it was teaches nothing",
         {named("NPC_", "a", "Bob"), book("b", "Tome", "Same.")},
         {named("NPC_", "a", "Bob"), book("b", "Foliant", "Same.")},
         {"Book|Tome|Foliant"}},
        {"a name of only its zero byte is none",
         {named("NPC_", "a", ""), named("NPC_", "b", "Bob")},
         {named("NPC_", "a", "Wache"), named("NPC_", "b", "")},
         {}},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto learned = learn(c.english, c.german);
        ASSERT_TRUE(learned.ok()) << to_utf8(learned.error().message);
        // The records hold the literals' bytes as they are, and so do the lines.
        EXPECT_EQ(lines_of(*learned), c.learned);
        const auto& summary = learned->summary;
        EXPECT_EQ(summary.paired, c.english.size() - c.unpaired);
        EXPECT_EQ(summary.english_only.size(), c.unpaired);
        EXPECT_EQ(summary.german_only.size(), c.unpaired);
    }
}

// Of equally frequent names the one met first comes first: each list keeps its own first
// name, and the names of all lists together follow the records, although the list met first
// ("Lamp" in MISC) holds two of them.
TEST(Learning, ConflictsKeepBothNamesTheMoreFrequentFirstAndReportTheirRecords) {
    // One German name for a name is no conflict.
    const auto learned = learn({named("NPC_", "g1", "Guard"), named("NPC_", "g2", "Guard"),
                                named("NPC_", "g3", "Guard"), named("MISC", "only_en", "Rope"),
                                named("NPC_", "s1", "Smith"), named("MISC", "only_en2", "Hook"),
                                named("MISC", "l1", "Lamp"), named("LIGH", "l2", "Lamp"),
                                named("MISC", "l3", "Lamp")},
                               {named("NPC_", "g1", "Wache"), named("NPC_", "g2", "Waechter"),
                                named("NPC_", "g3", "Waechter"), named("MISC", "only_de", "Seil"),
                                named("NPC_", "s1", "Schmied"), named("MISC", "l1", "Lampe"),
                                named("LIGH", "l2", "Leuchte"), named("MISC", "l3", "Laterne")});
    ASSERT_TRUE(learned.ok()) << to_utf8(learned.error().message);
    EXPECT_EQ(learned->names, (std::vector<PairEntry>{{"Guard", "Waechter"},
                                                      {"Guard", "Wache"},
                                                      {"Smith", "Schmied"},
                                                      {"Lamp", "Lampe"},
                                                      {"Lamp", "Leuchte"},
                                                      {"Lamp", "Laterne"}}));
    // The memory holds one German name per list and English name: the more frequent.
    EXPECT_EQ(lines_of(*learned), (Lines{"NPC|Guard|Waechter", "NPC|Smith|Schmied",
                                         "Misc Item|Lamp|Lampe", "Light|Lamp|Leuchte"}));
    // The report states the summary whole: each list with its count, the conflict's variants
    // with their records.
    const std::string report = to_utf8(describe_learned(learned->summary, "de.esp"));
    for (const std::string line :
         {"Gelernt aus „de.esp“: 7 von 9 englischen Datensätzen haben ein Gegenstück.\r",
          "  NPC: 4\r",
          "Ohne Gegenstück in der deutschen Datei: 2\r  MISC only_en\r  MISC only_en2\r",
          "Ohne Gegenstück in der englischen Datei: 1\r  MISC only_de\r",
          "Konflikte (beide behalten, der häufigere zuerst): 2\r"
          "  „Guard“: „Waechter“ (NPC_ g2, NPC_ g3); „Wache“ (NPC_ g1)\r"}) {
        EXPECT_NE(report.find(line), std::string::npos) << line << "\n" << report;
    }
}

TEST(Learning, RefusesFilesItCannotPairAndSaysWhy) {
    const Bytes english = fixtures::plugin(
        {named("NPC_", "a", "Guard"), named("NPC_", "b", "Smith"), named("NPC_", "c", "Cook")});
    Bytes truncated = fixtures::plugin(
        {named("NPC_", "a", "Wache"), named("NPC_", "b", "Schmied"), named("NPC_", "c", "Koch")});
    truncated.resize(truncated.size() - 5);
    const Bytes other = fixtures::plugin(
        {named("NPC_", "a", "Wache"), named("NPC_", "x", "Held"), named("NPC_", "y", "Bauer")});
    // clang-format off
    const std::vector<std::tuple<const char*, const Bytes&, const Bytes&, std::string>> cases = {
        {"truncated German file", english, truncated, "Die deutsche Datei „de.esp“ ist beschädigt oder abgeschnitten: "},
        {"damaged English file", truncated, english, "Die englische Datei „en.esp“ ist beschädigt oder abgeschnitten: "},
        {"not the same file", english, other, "„en.esp“ und „de.esp“ sind offenbar nicht dieselbe Datei in zwei Sprachen: nur 1 von 3 Datensätzen haben ein Gegenstück.\rEs wurde nichts gelernt."},
    };
    // clang-format on
    for (const auto& [name, english_file, german_file, message] : cases) {
        SCOPED_TRACE(name);
        const auto learned =
            learn_from_plugins({english_file, german_file, "en.esp", "de.esp", "2024-05-01"});
        ASSERT_FALSE(learned.ok());
        EXPECT_TRUE(to_utf8(learned.error().message).starts_with(message))
            << to_utf8(learned.error().message);
    }
}

// Each change as "Kind|key|what|old|new".
std::vector<std::string> changes(const Records& older, const Records& newer) {
    const Bytes old_file = fixtures::plugin(older);
    const Bytes new_file = fixtures::plugin(newer);
    const auto found = diff_plugins(old_file, new_file, "v1.esp", "v2.esp");
    EXPECT_TRUE(found.ok());
    std::vector<std::string> lines;
    for (const auto& change : found.ok() ? *found : std::vector<ChangedText>{}) {
        lines.push_back(std::string(change.kind) + "|" + change.key + "|" +
                        std::string(text_change_word(change.change)) + "|" + change.old_text + "|" +
                        change.new_text);
    }
    return lines;
}

TEST(PluginDiff, ListsEachTextThatIsNewRemovedOrChanged) {
    // clang-format off
    const std::vector<std::tuple<const char*, Records, Records, std::vector<std::string>>> cases = {
        {"the same records in another order change nothing",
         {named("NPC_", "a", "Guard"), named("MISC", "r", "Rock")},
         {named("MISC", "r", "Rock"), named("NPC_", "a", "Guard")},
         {}},
        {"a script's text is keyed by its response and place",
         {topic("hi"), info("1001", "Hello.", "Choice \"Yes\" 1 \"No\" 2")},
         {topic("hi"), info("1001", "Hello.", "Choice \"Okay\" 1 \"No\" 2")},
         {"Response script|1001#1|text changed|Yes|Okay"}},
        {"a compiled script's text is keyed by its script and place, counted from 1",
         {message_box_script("s1", "Take %g gold?", "Yes")},
         {message_box_script("s1", "Take %g gold?", "Okay")},
         {"Script|s1#2|text changed|Yes|Okay"}},
        {"a renamed interior cell is another cell; the new file's order comes first",
         {interior_cell("Old Hall", 1, "lamp"), named("NPC_", "a", "Guard")},
         {named("NPC_", "a", "Guard"), interior_cell("New Hall", 1, "lamp")},
         {"Cell|New Hall|new||New Hall", "Cell|Old Hall|removed|Old Hall|"}},
        {"an exterior cell keeps its grid position",
         {exterior_cell("Old Wilds", 1, 2)},
         {exterior_cell("New Wilds", 1, 2)},
         {"Cell|New Wilds|text changed|Old Wilds|New Wilds"}},
        {"a book that lost its text, and a journal entry",
         {book("b", "Tome", "Once."), topic("quest", '\4'), info("7", "Met him.")},
         {book("b", "Tome", ""), topic("quest", '\4'), info("7", "Met her.")},
         {"Book text|b|removed|Once.|", "Journal|7|text changed|Met him.|Met her."}},
    };
    // clang-format on
    for (const auto& [name, older, newer, expected] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(changes(older, newer), expected);
    }
}

} // namespace
} // namespace orv
