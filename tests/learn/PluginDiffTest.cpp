// What changed between two versions of a plugin, text by text.
#include "learn/PluginDiff.h"

#include <gtest/gtest.h>

#include "LearnFixtures.h"
#include "ScriptRecords.h"

namespace orv {
namespace {

using namespace test;
using Records = std::vector<Bytes>;

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
    struct Case {
        const char* name;
        Records older;
        Records newer;
        std::vector<std::string> expected;
    };
    // clang-format off
    const std::vector<Case> cases = {
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(changes(c.older, c.newer), c.expected);
    }
}

} // namespace
} // namespace orv
