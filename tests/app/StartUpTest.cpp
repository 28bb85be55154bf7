#include <numeric>
#include <string>
#include <vector>

#include "AppHarness.h"
#include "app/MainWindow.h"

namespace orv::test {
namespace {

using StartUp = AppHarness;

TEST(MainLayout, FollowsTheSizeUntilAControlWouldBeNegative) {
    // The smallest size, and one pixel less each way; the start-up window shows the filter
    // row and the default sizes.
    const auto smallest = main_layout(26, 117);
    ASSERT_TRUE(smallest);
    EXPECT_EQ(std::vector({smallest->frame, smallest->tab_bar, smallest->list_view}),
              (std::vector<Rect>{{5, 30, 16, 47}, {10, 45, 6, 27}, {0, 0, 0, 0}}));
    EXPECT_FALSE(main_layout(25, 117));
    EXPECT_FALSE(main_layout(26, 116));
    // A quarter by integer division, the rest to the second field; never negative.
    for (const auto& [width, fields] : {std::pair{1001, std::pair{250, 751}}, {-5, {0, 0}}}) {
        const auto widths = status_widths(width);
        EXPECT_EQ(std::make_pair(widths.file_field, widths.progress_field), fields) << width;
    }
}

TEST_F(StartUp, WithoutConfigurationBuildsTheDefaultWindow) {
    app.start();
    auto s = window.snapshot();
    EXPECT_EQ(s.title, "ORVENTAL v3.03a");
    EXPECT_EQ(s.inner_size, std::make_pair(800, 600));
    Rows menu_lines;
    for (const auto& menu : s.menu_bar) {
        menu_lines.push_back(menu.title + ":");
        for (const auto& item : menu.items) {
            menu_lines.back() += " " + std::to_string(item.command) + " " + item.text;
            if (item.shortcut != MenuShortcut::None) {
                menu_lines.back() += " (" + shortcut_text(item.shortcut) + ")";
            }
        }
    }
    EXPECT_EQ(menu_lines,
              (Rows{cp1252(u8"&Datei: 1 Ö&ffnen (Strg+O) 2 &Speichern (Strg+S) 3 "
                           u8"Speichern &als... 7 &Prüfen 0  4 &Beenden"),
                    cp1252(u8"&Externe Datenbank: 5 &Löschen 6 &Aus Übersetzung lernen..."),
                    "&Text bearbeiten: 9 &Book 10 &Class 11 &Race 12 &Skill 13 "
                    "B&irthsign 14 &Dialog 15 &Journal 16 Scrip&t",
                    cp1252(u8"&?: 20 &Hilfe (F1) 0  21 Ü&ber")}));
    EXPECT_EQ(s.popup_menu, (std::vector<MenuItem>{{command::kEditName, "&Bearbeiten"}}));
    for (const int item : {1, 2, 3, 4, 5, 7, 9, 10, 11, 12, 13, 20, 21, 25}) {
        EXPECT_EQ(s.enabled(item), item == 1 || item == 4 || item == 5 || item == 20 || item == 21)
            << item;
    }
    EXPECT_EQ(s.status_widths, std::make_pair(200, 600));
    EXPECT_EQ(s.status[0], "Datei :");
    const Rows controls = s.describe(WindowId::Main);
    ASSERT_EQ(controls.size(), 6u + kObjectListCount);
    // Created where the layout says; the lists one pixel into their pages.
    const std::string columns = " F/20 ID/200 EV Name/248 DV Name/248";
    EXPECT_EQ(Rows(controls.begin(), controls.begin() + 3),
              (Rows{"1 GroupBox \"OBJEKT-FENSTER...\" 5,30 790x530", "2 TabBar \"\" 10,45 780x510",
                    "3 ListView \"\" 1,1 774x483" + columns + " page 0"}));
    EXPECT_EQ(controls[27], "28 ListView \"\" 1,1 774x483" + columns + " page 25");
    // The filter row: empty, only "Leere zeigen" on, so that every row is shown at first.
    EXPECT_EQ(Rows(controls.begin() + 28, controls.end()),
              (Rows{"29 SearchField \"\" 50,4 260x22",
                    cp1252(u8"30 CheckBox \"Nur unübersetzte\" 325,5 140x20"),
                    "31 CheckBox \"Leere zeigen\" 475,5 120x20 on",
                    "32 RightLabel \"Filter\" 5,8 40x20"}));
    ASSERT_EQ(s.tab_pages.size(), 26u);
    EXPECT_EQ(s.tab_pages.front() + "/" + s.tab_pages.back(), "Cell/Topic");
    // Every page is shown once, then the first.
    std::vector<int> selections(26);
    std::iota(selections.begin(), selections.end(), 0);
    selections.push_back(0);
    EXPECT_EQ(s.tab_selections, selections);
    // Reading the configuration never creates it.
    EXPECT_TRUE(files.paths().empty());
}

TEST_F(StartUp, SizeComesFromTheConfigurationAndFollowsResizes) {
    files.put_text("prog/Kestrun.ini", "[Window]\r\nWindowWidth = 20\r\nWindowHeight = 50\r\n");
    app.start();
    auto s = window.snapshot();
    EXPECT_EQ(s.inner_size, std::make_pair(20, 50));
    EXPECT_EQ(s.status_widths, std::make_pair(5, 15));
    // Too small for the formulas: the controls are created empty, not negative.
    const Rows controls = s.describe(WindowId::Main);
    EXPECT_EQ(Rows(controls.begin(), controls.begin() + 3),
              (Rows{"1 GroupBox \"OBJEKT-FENSTER...\" 5,30 10x0", "2 TabBar \"\" 10,45 0x0",
                    "3 ListView \"\" 1,1 0x0 F/20 ID/200 EV Name/248 DV Name/248 page 0"}));

    app.handle(ResizeEvent{1200, 900, false});
    s = window.snapshot();
    EXPECT_EQ(s.activations, 1);
    const MainLayout layout = *main_layout(1200, 900);
    EXPECT_EQ(s.controls.at(1).definition.rect, layout.frame);
    EXPECT_EQ(s.controls.at(2).definition.rect, layout.tab_bar);
    for (const int view : {kFirstListControl, kLastListControl}) {
        EXPECT_EQ(s.controls.at(view).definition.rect, layout.list_view) << view;
    }
    // The status fields keep their start-up widths.
    EXPECT_EQ(s.status_widths, std::make_pair(5, 15));
    // Minimised or too small: nothing moves.
    app.handle(ResizeEvent{1600, 1200, true});
    app.handle(ResizeEvent{25, 900, false});
    EXPECT_EQ(window.snapshot().describe(WindowId::Main), s.describe(WindowId::Main));
    EXPECT_EQ(window.snapshot().activations, 1);
}

} // namespace
} // namespace orv::test
