#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "AppHarness.h"
#include "app/CheckWindow.h"
#include "translation/DatabaseFile.h"

namespace orv::test {
namespace {

using fixtures::RecordBuilder;
using CheckWindowTest = AppHarness;

using command::kCheck;
constexpr int kFindings = check_window::kFindingList;

// A script that follows the player into `cell`, beside the cell "Old Keep" that the shipped
// database renames, and weapons of which the shipped German name of "Club" is over the limit
// of 31.
Bytes plugin(std::string_view cell, std::string_view second_weapon) {
    std::string header("Follow");
    header.resize(32, '\0');
    header += std::string(20, '\x01');
    return fixtures::plugin({
        RecordBuilder("CELL").text("NAME", "Old Keep").bytes(),
        RecordBuilder("SCPT")
            .raw("SCHD", header)
            .raw("SCTX", "AIFollowCell \"" + std::string(cell) + "\"")
            .bytes(),
        RecordBuilder("WEAP").text("NAME", "w2").text("FNAM", "Dagger").bytes(),
        RecordBuilder("WEAP").text("NAME", "w1").text("FNAM", second_weapon).bytes(),
    });
}

TEST_F(CheckWindowTest, ShowsTheFindingsAndADoubleClickSelectsTheirRow) {
    files.put("prog/data/Celldata.dat", encode_pair_file({{"Old Keep", "Alte Burg"}}));
    files.put("prog/data/Weapdata.dat",
              encode_pair_file({{"Club", "Keule mit sehr langem Namen aus Eiche"}}));
    files.put("/p/clean.esp", plugin("Alte Burg", "Mace"));
    files.put("/p/findings.esp", plugin("Old Keep", "Club"));
    app.start();
    const auto file_menu = window.snapshot().menu_bar.at(0).items;
    EXPECT_EQ(file_menu.at(3), (MenuItem{kCheck, cp1252(u8"Prüfen")}));
    EXPECT_FALSE(window.snapshot().enabled(kCheck));

    struct Case {
        const char* plugin;
        // Kind, record and ID of each finding; none shows a message box instead.
        std::vector<std::string> findings;
        // The finding double-clicked, and the tab page and row it selects, if any.
        std::size_t clicked;
        std::optional<std::pair<int, std::size_t>> selected;
    };
    const std::vector<Case> cases = {
        {"/p/clean.esp", {}, 0, std::nullopt},
        {"/p/findings.esp", {"Skript|SCPT|Follow", "Zu lang|WEAP|w1"}, 0, std::nullopt},
        {"/p/findings.esp", {"Skript|SCPT|Follow", "Zu lang|WEAP|w1"}, 1, {{19, 1}}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(std::string(test.plugin) + " " + std::to_string(test.clicked));
        open(test.plugin);
        ASSERT_TRUE(window.snapshot().enabled(kCheck));
        const auto boxes = dialogs.boxes().size();
        const auto tab_changes = window.snapshot().tab_selections.size();
        menu(kCheck);
        if (test.findings.empty()) {
            ASSERT_EQ(dialogs.boxes().size(), boxes + 1);
            EXPECT_TRUE(dialogs.boxes().back().text.starts_with(
                cp1252(u8"DIE PRÜFUNG HAT NICHTS GEFUNDEN.")));
            EXPECT_FALSE(window.snapshot().is_open(WindowId::Findings));
            continue;
        }
        ASSERT_TRUE(window.snapshot().is_open(WindowId::Findings));
        EXPECT_EQ(window.snapshot().popups.at(WindowId::Findings).first,
                  cp1252(u8"Prüfen : 2 Befunde"));
        std::vector<std::string> shown;
        const auto state = window.snapshot();
        for (const auto& row : state.controls.at(kFindings).rows) {
            shown.push_back(row.at(0) + "|" + row.at(1) + "|" + row.at(2));
        }
        EXPECT_EQ(shown, test.findings);
        EXPECT_FALSE(window.snapshot().enabled(kCheck));

        window.user_selects_row(kFindings, test.clicked);
        control(kFindings, ListEventType::DoubleClick);
        if (test.selected) {
            EXPECT_EQ(window.snapshot().tab_selections.back(), test.selected->first);
            EXPECT_EQ(window.snapshot().controls.at(3 + test.selected->first).selected,
                      test.selected->second);
        } else {
            EXPECT_EQ(window.snapshot().tab_selections.size(), tab_changes);
        }
        app.handle(CloseRequestEvent{WindowId::Findings});
        EXPECT_FALSE(window.snapshot().is_open(WindowId::Findings));
        EXPECT_TRUE(window.snapshot().enabled(kCheck));
    }
}

} // namespace
} // namespace orv::test
