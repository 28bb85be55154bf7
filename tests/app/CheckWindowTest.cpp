#include <string>
#include <vector>

#include "AppHarness.h"
#include "DialogTestSupport.h"
#include "app/CheckWindow.h"
#include "translation/DatabaseFile.h"

namespace orv::test {
namespace {

using fixtures::record;
using CheckWindowTest = AppHarness;

using command::kCheck;
constexpr int kFindings = check_window::kFindingList;

TEST_F(CheckWindowTest, ShowsTheFindingsAndADoubleClickSelectsTheirRow) {
    files.put("prog/data/Celldata.dat", encode_pair_file({{"Old Keep", "Alte Burg"}}));
    files.put("prog/data/Weapdata.dat",
              encode_pair_file({{"Club", "Keule mit sehr langem Namen aus Eiche"}}));
    // A guide into a cell that only the shipped database names is no finding; one into a
    // cell nobody names is, without a row; a weapon whose shipped German name is over the
    // limit of 31 is one with its row.
    const auto guide = [](std::string_view cell) {
        return record("NPC_", {{"NAME", "guide"}, {"DNAM", cell}});
    };
    files.put("/p/clean.esp", fixtures::plugin({guide("Alte Burg")}));
    files.put(
        "/p/findings.esp",
        fixtures::plugin({guide("Nowhere"), record("WEAP", {{"NAME", "w2"}, {"FNAM", "Dagger"}}),
                          record("WEAP", {{"NAME", "w1"}, {"FNAM", "Club"}})}));
    app.start();
    open("/p/clean.esp");
    menu(kCheck);
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_TRUE(dialogs.boxes()[0].text.starts_with(cp1252(u8"DIE PRÜFUNG HAT NICHTS GEFUNDEN.")));
    EXPECT_FALSE(is_open(WindowId::Findings));

    // The script finding has no row to select; the name finding selects its weapon.
    open("/p/findings.esp");
    for (const std::size_t clicked : {0u, 1u}) {
        SCOPED_TRACE(clicked);
        menu(kCheck);
        auto state = window.snapshot();
        ASSERT_TRUE(state.is_open(WindowId::Findings));
        EXPECT_EQ(state.popups.at(WindowId::Findings),
                  std::pair(cp1252(u8"Prüfen : 2 Befunde"), Rect{128, 189, 760, 360}));
        std::vector<std::string> shown;
        for (const auto& row : state.controls.at(kFindings).rows) {
            shown.push_back(row.at(0) + "|" + row.at(1) + "|" + row.at(2));
        }
        EXPECT_EQ(shown, (std::vector<std::string>{"Zellenverweis|NPC_|guide", "Zu lang|WEAP|w1"}));
        EXPECT_FALSE(state.enabled(kCheck));

        window.user_selects_row(kFindings, clicked);
        control(kFindings, ListEventType::DoubleClick);
        const auto after = window.snapshot();
        EXPECT_EQ(after.tab_selections.size(), state.tab_selections.size() + clicked);
        if (clicked == 1) {
            EXPECT_EQ(after.tab_selections.back(), 19);
            EXPECT_EQ(after.controls.at(kWeaponView).selected, 1u);
        }
        app.handle(CloseRequestEvent{WindowId::Findings});
        EXPECT_FALSE(is_open(WindowId::Findings));
        EXPECT_TRUE(window.snapshot().enabled(kCheck));
    }
}

TEST_F(CheckWindowTest, ADoubleClickOnAResponseFindingOpensItsEditorOnTheResponse) {
    // Two responses whose result scripts leave a quotation open: one finding each.
    files.put("/p/talk.esp",
              fixtures::plugin({topic_record("Greeting", '\0'), response_record("r_one", "Hello"),
                                response_record("r_two", "Bye", "MessageBox \"open"),
                                topic_record("quest_a", '\4'),
                                response_record("q_one", "A ring", "Say \"x")}));
    app.start();
    open("/p/talk.esp");
    struct Case {
        std::size_t finding;
        std::string editor_title;
        std::string original;
    };
    for (const Case& chosen : {Case{0, "Dialog (2)", "Bye"}, Case{1, "Journal (1)", "A ring"}}) {
        SCOPED_TRACE(chosen.finding);
        menu(kCheck);
        ASSERT_TRUE(is_open(WindowId::Findings));
        window.user_selects_row(kFindings, chosen.finding);
        control(kFindings, ListEventType::DoubleClick);
        const auto state = window.snapshot();
        EXPECT_FALSE(state.is_open(WindowId::Findings));
        ASSERT_TRUE(state.is_open(WindowId::TextEditor));
        EXPECT_EQ(state.popups.at(WindowId::TextEditor).first, chosen.editor_title);
        EXPECT_EQ(state.controls.at(text_editor::kOriginalBox).definition.text, chosen.original);
        app.handle(CloseRequestEvent{WindowId::TextEditor});
        EXPECT_FALSE(is_open(WindowId::TextEditor));
    }
}

} // namespace
} // namespace orv::test
