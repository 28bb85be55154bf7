// Save and Save-as check the plugin first and ask before writing references that lead to no
// cell or scripts the save leaves on an old name.
#include <string>
#include <vector>

#include "AppHarness.h"
#include "app/SaveCheck.h"

namespace orv::test {
namespace {

using fixtures::record;
using fixtures::RecordBuilder;
using SaveCheckTest = AppHarness;

TEST(SaveFindingsQuestion, CountsReferencesAndScriptsButNotNames) {
    const auto findings = [](int references, int scripts, int names) {
        std::vector<Finding> all;
        const auto add = [&all](int count, FindingKind kind) {
            all.insert(all.end(), static_cast<std::size_t>(count),
                       Finding{kind, {}, {}, {}, std::nullopt});
        };
        add(names, FindingKind::NameTooLong);
        add(scripts, FindingKind::ScriptNamesRenamed);
        add(references, FindingKind::ReferenceToNoCell);
        return all;
    };
    struct Case {
        int references, scripts, names;
        std::optional<std::string> question;
    };
    const std::vector<Case> cases = {
        {3, 0, 1, "3 Verweise zeigen auf keine Zelle. Trotzdem speichern?"},
        {1, 0, 0, "1 Verweis zeigt auf keine Zelle. Trotzdem speichern?"},
        {0, 1, 0,
         "1 Skriptstelle nennt einen Namen, den das Speichern ändert. Trotzdem speichern?"},
        {2, 2, 0,
         "2 Verweise zeigen auf keine Zelle. 2 Skriptstellen nennen einen Namen, den das "
         "Speichern ändert. Trotzdem speichern?"},
        {0, 0, 4, std::nullopt},
    };
    for (const auto& c : cases) {
        const auto question = save_findings_question(findings(c.references, c.scripts, c.names));
        EXPECT_EQ(question ? std::optional(to_utf8(*question)) : std::nullopt, c.question);
    }
}

// A plugin whose guide leads to a cell nobody names: "Nein" shows the findings and writes
// nothing (Save-as shows no file dialog either), "Ja" saves as before.
TEST_F(SaveCheckTest, AsksBeforeSavingAndNoShowsTheFindingsInstead) {
    const Bytes guide = record("NPC_", {{"NAME", "guide"}, {"DNAM", "Nowhere"}});
    const Bytes plugin = fixtures::plugin({guide});
    files.put("/p/guide.esp", plugin);
    app.start();
    open("/p/guide.esp");
    const Box question{"FRAGE", "1 Verweis zeigt auf keine Zelle. Trotzdem speichern?",
                       MessageButtons::YesNoDefaultNo, MessageIcon::Exclamation};

    for (const int command : {command::kSave, command::kSaveAs}) {
        SCOPED_TRACE(command);
        const auto boxes = dialogs.boxes().size();
        dialogs.next_answer(MessageAnswer::No);
        run(command);
        ASSERT_EQ(dialogs.boxes().size(), boxes + 1);
        EXPECT_EQ(dialogs.boxes().back(), question);
        EXPECT_TRUE(is_open(WindowId::Findings));
        app.handle(CloseRequestEvent{WindowId::Findings});
    }
    EXPECT_EQ(files.get("/p/guide.esp"), plugin);

    dialogs.next_answer(MessageAnswer::Yes);
    dialogs.next_path("/p/saved.esp");
    run(command::kSaveAs);
    EXPECT_EQ(dialogs.boxes().back(), question);
    EXPECT_FALSE(is_open(WindowId::Findings));
    EXPECT_TRUE(files.get("/p/saved.esp"));
}

} // namespace
} // namespace orv::test
