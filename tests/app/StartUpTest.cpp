#include <string>
#include <vector>

#include "AppHarness.h"
#include "app/MainWindow.h"

namespace orv::test {
namespace {

using StartUp = AppHarness;

// What the backends show of it (title, size, tabs, headers) is the window contract's; here
// the menus' texts, keys and enabled items, the places of the controls and the filter row.
TEST_F(StartUp, WithoutConfigurationBuildsTheDefaultWindow) {
    app.start();
    const auto s = window.snapshot();
    // The only place the menus' texts are pinned: no two items of a menu share their "&" key.
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
    // Reading the configuration never creates it.
    EXPECT_TRUE(files.paths().empty());
}

// The controls follow the size until one would be negative; the status fields keep the widths
// of the start-up size: a quarter by integer division and the rest, never negative.
TEST_F(StartUp, SizeComesFromTheConfigurationAndFollowsResizes) {
    files.put_text("prog/Kestrun.ini", "[Window]\r\nWindowWidth = 21\r\nWindowHeight = 50\r\n");
    app.start();
    EXPECT_EQ(window.snapshot().inner_size, std::make_pair(21, 50));
    EXPECT_EQ(window.snapshot().status_widths, std::make_pair(5, 16));
    EXPECT_EQ(status_widths(-5).progress_field, 0);
    // Frame, tab bar, first and last list view.
    const auto rects = [&] {
        std::vector<Rect> placed;
        for (const int control : {1, 2, kFirstListControl, kLastListControl}) {
            placed.push_back(window.snapshot().controls.at(control).definition.rect);
        }
        return placed;
    };
    // Too small for the formulas: the controls are created empty, not negative.
    EXPECT_EQ(rects(),
              (std::vector<Rect>{{5, 30, 11, 0}, {10, 45, 1, 0}, {1, 1, 0, 0}, {1, 1, 0, 0}}));
    // The smallest size that fits; minimised or one pixel less either way, nothing moves.
    app.handle(ResizeEvent{26, 117, false});
    const auto smallest = rects();
    EXPECT_EQ(smallest,
              (std::vector<Rect>{{5, 30, 16, 47}, {10, 45, 6, 27}, {0, 0, 0, 0}, {0, 0, 0, 0}}));
    for (const auto& [width, height, minimised] :
         {std::tuple{1600, 1200, true}, {25, 117, false}, {26, 116, false}}) {
        app.handle(ResizeEvent{width, height, minimised});
        EXPECT_EQ(rects(), smallest) << width << "x" << height;
    }
    EXPECT_EQ(window.snapshot().status_widths, std::make_pair(5, 16));
}

} // namespace
} // namespace orv::test
