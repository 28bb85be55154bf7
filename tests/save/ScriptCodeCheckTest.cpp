// The check names every compiled script whose texts the program cannot reach, with the
// reason, and each of its message box texts whose placeholders code and source count
// differently; it leaves the others and the save's own narrower check alone.
#include <gtest/gtest.h>

#include "ScriptRecords.h"
#include "fixtures/PluginBuilder.h"
#include "plugin/RecordTypes.h"
#include "save/ReferenceCheck.h"

namespace orv {
namespace {

using test::message_box_script;

// The script with `source_text` in its source where it had `code_text`, which is as long.
Bytes with_source_text(Bytes script, std::string_view code_text, std::string_view source_text) {
    EXPECT_EQ(code_text.size(), source_text.size());
    std::string bytes(reinterpret_cast<const char*>(script.data()), script.size());
    bytes.replace(bytes.rfind(code_text), code_text.size(), source_text);
    return Bytes(reinterpret_cast<const std::byte*>(bytes.data()),
                 reinterpret_cast<const std::byte*>(bytes.data()) + bytes.size());
}

std::vector<std::string> lines_of(const std::vector<Finding>& findings) {
    std::vector<std::string> lines;
    for (const auto& finding : findings) {
        lines.push_back(std::string(finding_kind_word(finding.kind)) + "|" + finding.record + "|" +
                        finding.id + "|" + finding.detail);
    }
    return lines;
}

std::vector<std::string> script_code_findings(CheckScope scope) {
    const auto store = fixtures::store_of(
        {message_box_script("demo_script", "Hallo", "Ja"),
         message_box_script("broken_script", "Kaputt", "Ja", "MessageBox \"Nie kompiliert\"\r\n"),
         // Changed elsewhere: the code's message lost its specifier.
         with_source_text(message_box_script("half_script", "Du hast 50 Gold", "Ja"),
                          "Du hast 50 Gold", "Du hast %g Gold")});
    return lines_of(check_plugin(store, ObjectLists{}, DatabaseInputs{}, scope));
}

TEST(ScriptCodeCheck, NamesEachScriptItCannotHandleWithTheReason) {
    EXPECT_EQ(script_code_findings(CheckScope::Everything),
              (std::vector<std::string>{
                  // Its source goes on where its code ends.
                  cp1252(u8"script-code|SCPT|broken_script|Die Texte des Skripts bleiben, wie "
                         u8"sie sind: Quelltext und kompilierter Code stimmen nicht überein, Zeile "
                         u8"5: der Code hat hier eine andere Anweisung."),
                  cp1252(u8"script-code|SCPT|half_script|Die Texte des Skripts bleiben, wie sie "
                         u8"sind: Quelltext und kompilierter Code stimmen nicht überein, Zeile 3: "
                         u8"der Text der MessageBox steht im Code anders als im Quelltext."),
                  cp1252(u8"define|SCPT|half_script|Zeile 3, MessageBox-Text 1: im Code (den das "
                         u8"Spiel zeigt) anders als im Quelltext. Der Text hat 0 Platzhalter wie "
                         u8"%g oder %s, das Original 1; ihre Zahl muss gleich bleiben.")}));
    // The save asks only about names and references before it writes.
    EXPECT_TRUE(script_code_findings(CheckScope::ScriptsAndReferences).empty());
}

// The save rewrites a renamed topic's AddTopic argument in source and code; the same name
// quoted in the message is a text, which stays the user's to change.
TEST(ScriptCodeCheck, ARenamedTopicInAMessageTextIsLeftToTheUser) {
    ObjectLists lists;
    lists.append(kTopicType, {mark::kEdited, "Fuhaven", "Fuhaven", "Fuhaven Hafen", 1});
    const auto store = fixtures::store_of({message_box_script("greeter", "Fuhaven", "Ja")});
    EXPECT_EQ(
        lines_of(check_plugin(store, lists, DatabaseInputs{}, CheckScope::ScriptsAndReferences)),
        std::vector<std::string>{
            cp1252(u8"script|SCPT|greeter|Zeile 3: „Fuhaven“ heißt nach dem Speichern "
                   u8"„Fuhaven Hafen“; den Namen im Skripttext ändern und das Skript im "
                   u8"Editor neu kompilieren")});
}

} // namespace
} // namespace orv
