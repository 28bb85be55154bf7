#include <string>
#include <vector>

#include "AppHarness.h"
#include "DialogTestSupport.h"
#include "app/CheckWindow.h"
#include "app/SaveCheck.h"
#include "translation/DatabaseFile.h"

namespace orv::test {
namespace {

using fixtures::record;
using CheckWindowTest = AppHarness;

using command::kCheck;
constexpr int kFindings = check_window::kFindingList;

TEST_F(CheckWindowTest, ShowsTheFindingsAndADoubleClickLeadsToTheirRowOrResponse) {
    files.put("prog/data/Celldata.dat", encode_pair_file({{"Old Keep", "Alte Burg"}}));
    files.put("prog/data/Weapdata.dat",
              encode_pair_file({{"Club", "Keule mit sehr langem Namen aus Eiche"}}));
    // A guide into a cell that only the shipped database names is no finding; one into a
    // cell nobody names is, without a row; a weapon whose shipped German name is over the
    // limit of 31 is one with its row; a response whose result script leaves a quotation open
    // is one that opens its editor on it.
    const auto guide = [](std::string_view cell) {
        return record("NPC_", {{"NAME", "guide"}, {"DNAM", cell}});
    };
    files.put("/p/clean.esp", fixtures::plugin({guide("Alte Burg")}));
    files.put(
        "/p/findings.esp",
        fixtures::plugin({guide("Nowhere"), record("WEAP", {{"NAME", "w2"}, {"FNAM", "Dagger"}}),
                          record("WEAP", {{"NAME", "w1"}, {"FNAM", "Club"}}), topic("Greeting"),
                          info("r_one", "Hello"), info("r_two", "Bye", "MessageBox \"open"),
                          topic("quest_a", '\4'), info("q_one", "A ring", "Say \"x")}));
    app.start();
    open("/p/clean.esp");
    menu(kCheck);
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_TRUE(dialogs.boxes()[0].text.starts_with(cp1252(u8"DIE PRÜFUNG HAT NICHTS GEFUNDEN.")));
    EXPECT_FALSE(is_open(WindowId::Findings));

    open("/p/findings.esp");
    menu(kCheck);
    const auto state = window.snapshot();
    EXPECT_EQ(state.popups.at(WindowId::Findings).first, cp1252(u8"Prüfen : 4 Befunde"));
    std::vector<std::string> shown;
    for (const auto& row : state.controls.at(kFindings).rows) {
        shown.push_back(row.at(0) + "|" + row.at(1) + "|" + row.at(2));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"Zellenverweis|NPC_|guide", "Zu lang|WEAP|w1",
                                               "Dialog|INFO|r_two", "Dialog|INFO|q_one"}));
    EXPECT_FALSE(state.enabled(kCheck));
    // Only a double-click leads there.
    window.user_selects_row(kFindings, 1);
    control(kFindings, ListEventType::RightClick);
    EXPECT_EQ(window.snapshot().tab_selections, state.tab_selections);
    app.handle(CloseRequestEvent{WindowId::Findings});

    const struct {
        std::size_t finding;
        bool selects_weapon;
        std::string editor_title; // empty: the findings stay open
        std::string original;
    } cases[] = {{0, false, "", ""},
                 {1, true, "", ""},
                 {2, false, "Dialog (2)", "Bye"},
                 {3, false, "Journal (1)", "A ring"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.finding);
        menu(kCheck);
        const auto before = window.snapshot().tab_selections.size();
        window.user_selects_row(kFindings, c.finding);
        control(kFindings, ListEventType::DoubleClick);
        const auto after = window.snapshot();
        EXPECT_EQ(after.tab_selections.size(), before + c.selects_weapon);
        if (c.selects_weapon) {
            EXPECT_EQ(after.tab_selections.back(), 19);
            EXPECT_EQ(after.controls.at(kWeaponView).selected, 1u);
        }
        EXPECT_EQ(after.is_open(WindowId::Findings), c.editor_title.empty());
        if (!c.editor_title.empty()) {
            EXPECT_EQ(after.popups.at(WindowId::TextEditor).first, c.editor_title);
            EXPECT_EQ(after.controls.at(text_editor::kOriginalBox).definition.text, c.original);
        }
        app.handle(
            CloseRequestEvent{c.editor_title.empty() ? WindowId::Findings : WindowId::TextEditor});
        EXPECT_FALSE(is_open(WindowId::Findings) || is_open(WindowId::TextEditor));
        EXPECT_TRUE(window.snapshot().enabled(kCheck));
    }
}

TEST(SaveFindingsQuestion, CountsReferencesAndScriptsButNotNames) {
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
        std::vector<Finding> findings;
        for (const auto& [count, kind] : {std::pair{c.names, FindingKind::NameTooLong},
                                          {c.scripts, FindingKind::ScriptNamesRenamed},
                                          {c.references, FindingKind::ReferenceToNoCell}}) {
            findings.insert(findings.end(), static_cast<std::size_t>(count),
                            Finding{kind, {}, {}, {}, std::nullopt});
        }
        const auto question = save_findings_question(findings);
        EXPECT_EQ(question ? std::optional(to_utf8(*question)) : std::nullopt, c.question);
    }
}

// Save and Save-as check the plugin first and ask before writing references that lead to no
// cell or scripts the save leaves on an old name. A plugin whose guide leads to a cell nobody
// names: "Nein" shows the findings and writes nothing (Save-as shows no file dialog either),
// "Ja" saves as before.
TEST_F(CheckWindowTest, SaveAsksBeforeSavingAndNoShowsTheFindingsInstead) {
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
