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
        const auto state = window.snapshot();
        ASSERT_TRUE(state.is_open(WindowId::Findings));
        EXPECT_EQ(state.popups.at(WindowId::Findings),
                  std::pair(cp1252(u8"Prüfen : 4 Befunde"), Rect{128, 189, 760, 360}));
        std::vector<std::string> shown;
        for (const auto& row : state.controls.at(kFindings).rows) {
            shown.push_back(row.at(0) + "|" + row.at(1) + "|" + row.at(2));
        }
        EXPECT_EQ(shown, (std::vector<std::string>{"Zellenverweis|NPC_|guide", "Zu lang|WEAP|w1",
                                                   "Dialog|INFO|r_two", "Dialog|INFO|q_one"}));
        EXPECT_FALSE(state.enabled(kCheck));

        window.user_selects_row(kFindings, c.finding);
        // Only a double-click leads there.
        control(kFindings, ListEventType::RightClick);
        EXPECT_EQ(window.snapshot().tab_selections.size(), state.tab_selections.size());
        EXPECT_TRUE(window.snapshot().is_open(WindowId::Findings));
        control(kFindings, ListEventType::DoubleClick);
        const auto after = window.snapshot();
        EXPECT_EQ(after.tab_selections.size(), state.tab_selections.size() + c.selects_weapon);
        if (c.selects_weapon) {
            EXPECT_EQ(after.tab_selections.back(), 19);
            EXPECT_EQ(after.controls.at(kWeaponView).selected, 1u);
        }
        EXPECT_EQ(after.is_open(WindowId::Findings), c.editor_title.empty());
        if (c.editor_title.empty()) {
            app.handle(CloseRequestEvent{WindowId::Findings});
        } else {
            ASSERT_TRUE(after.is_open(WindowId::TextEditor));
            EXPECT_EQ(after.popups.at(WindowId::TextEditor).first, c.editor_title);
            EXPECT_EQ(after.controls.at(text_editor::kOriginalBox).definition.text, c.original);
            app.handle(CloseRequestEvent{WindowId::TextEditor});
        }
        EXPECT_FALSE(is_open(WindowId::Findings) || is_open(WindowId::TextEditor));
        EXPECT_TRUE(window.snapshot().enabled(kCheck));
    }
}

} // namespace
} // namespace orv::test
