// The check names every compiled script whose texts the program cannot reach, with the
// reason, and leaves the others and the save's own narrower check alone.
#include <gtest/gtest.h>

#include "ScriptRecords.h"
#include "fixtures/PluginBuilder.h"
#include "save/ReferenceCheck.h"

namespace orv {
namespace {

using test::message_box_script;

std::vector<std::string> script_code_findings(CheckScope scope) {
    const auto store = fixtures::store_of(
        {message_box_script("demo_script", "Hallo", "Ja"),
         message_box_script("broken_script", "Kaputt", "Ja", "MessageBox \"Nie kompiliert\"\r\n"),
         fixtures::RecordBuilder("SCPT")
             .raw("SCHD", std::string(52, '\0'))
             .raw("SCTX", "End")
             .bytes()});
    std::vector<std::string> lines;
    for (const auto& finding : check_plugin(store, ObjectLists{}, DatabaseInputs{}, scope)) {
        EXPECT_EQ(finding.kind, FindingKind::ScriptCode);
        lines.push_back(finding.record + "|" + finding.id + "|" + finding.detail);
    }
    return lines;
}

TEST(ScriptCodeCheck, NamesEachScriptItCannotHandleWithTheReason) {
    EXPECT_EQ(script_code_findings(CheckScope::Everything),
              (std::vector<std::string>{
                  // Its source goes on where its code ends.
                  cp1252(u8"SCPT|broken_script|Die Texte des Skripts bleiben, wie sie sind: "
                         u8"Quelltext und kompilierter Code stimmen nicht überein, Zeile 5: der "
                         u8"Code hat hier eine andere Anweisung."),
                  cp1252(u8"SCPT||Die Texte des Skripts bleiben, wie sie sind: Das Skript hat "
                         u8"keinen kompilierten Code (SCDT).")}));
    EXPECT_EQ(finding_kind_word(FindingKind::ScriptCode), "script-code");
    // The save asks only about names and references before it writes.
    EXPECT_TRUE(script_code_findings(CheckScope::ScriptsAndReferences).empty());
}

} // namespace
} // namespace orv
