#include <string>
#include <vector>

#include "AppHarness.h"
#include "plugin/RecordTypes.h"

namespace orv::test {
namespace {

using StartUp = AppHarness;

std::vector<std::string> menu_lines(const std::vector<Menu>& menus) {
    std::vector<std::string> lines;
    for (const auto& menu : menus) {
        lines.push_back("[" + menu.title + "]");
        for (const auto& item : menu.items) {
            lines.push_back(std::to_string(item.command) + " " + item.text);
        }
    }
    return lines;
}

TEST_F(StartUp, WithoutConfigurationBuildsTheDefaultWindow) {
    app.start();
    EXPECT_EQ(window.title(), "ORVENTAL v3.03a");
    EXPECT_EQ(window.inner_size(), std::make_pair(800, 600));
    EXPECT_EQ(menu_lines(window.menu_bar()),
              (std::vector<std::string>{"[Datei]",
                                        "1 \xD6"
                                        "ffnen",
                                        "2 Speichern", "3 Speichern als...", "7 Pr\374fen", "0 ",
                                        "4 Beenden", "[Externe Datenbank]", "5 L\xF6schen",
                                        "[Text bearbeiten]", "9 Book", "10 Class", "11 Race",
                                        "12 Skill", "13 Birthsign", "[?]", "20 Hilfe", "0 ",
                                        "21 \xDC"
                                        "ber"}));
    EXPECT_EQ(window.popup_menu(), (std::vector<MenuItem>{{25, "Bearbeiten"}}));
    for (const int command : {1, 4, 5, 20, 21}) {
        EXPECT_TRUE(window.menu_enabled(command)) << command;
    }
    for (const int command : {2, 3, 9, 10, 11, 12, 13, 25}) {
        EXPECT_FALSE(window.menu_enabled(command)) << command;
    }
    EXPECT_EQ(window.status_widths(), std::make_pair(200, 600));
    EXPECT_EQ(window.status(0), "Datei :");

    EXPECT_EQ(window.control(1)->definition.text, "OBJEKT-FENSTER...");
    EXPECT_EQ(window.control(1)->definition.rect, (Rect{5, 0, 790, 560}));
    EXPECT_EQ(window.control(2)->definition.rect, (Rect{10, 15, 780, 540}));
    const auto tabs = window.tab_pages();
    ASSERT_EQ(tabs.size(), 25u);
    for (int k = 0; k < 25; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(tabs[static_cast<std::size_t>(k)],
                  kRecordTypes[static_cast<std::size_t>(k)].label);
        const auto view = window.control(3 + k);
        ASSERT_TRUE(view.has_value());
        EXPECT_EQ(view->definition.kind, ControlKind::ListView);
        EXPECT_EQ(view->definition.tab_page, k);
        EXPECT_EQ(view->definition.rect, (Rect{1, 1, 774, 513}));
        EXPECT_EQ(
            view->definition.columns,
            (std::vector<ListColumn>{{"F", 20}, {"ID", 200}, {"EV Name", 248}, {"DV Name", 248}}));
    }
    EXPECT_FALSE(window.control(28).has_value());
    std::vector<int> selections;
    for (int page = 0; page < 25; ++page) {
        selections.push_back(page);
    }
    selections.push_back(0);
    EXPECT_EQ(window.tab_page_selections(), selections);
    // Reading the configuration never creates it.
    EXPECT_TRUE(files.paths().empty());
}

TEST_F(StartUp, TakesTheSizeFromTheConfigurationAndNeverCreatesNegativeSizes) {
    files.put_text("prog/Kestrun.ini", "[Window]\r\nWindowWidth = 1001\r\nWindowHeight = 702\r\n");
    app.start();
    EXPECT_EQ(window.inner_size(), std::make_pair(1001, 702));
    // A quarter by integer division; the second field takes the remainder.
    EXPECT_EQ(window.status_widths(), std::make_pair(250, 751));
    EXPECT_EQ(window.control(1)->definition.rect, (Rect{5, 0, 991, 662}));
    EXPECT_EQ(window.control(2)->definition.rect, (Rect{10, 15, 981, 642}));
    EXPECT_EQ(window.control(27)->definition.rect, (Rect{1, 1, 975, 615}));

    ScriptedWindow tiny_window;
    MemoryFiles tiny_files;
    tiny_files.put_text("prog/Kestrun.ini",
                        "[Window]\r\nWindowWidth = 20\r\nWindowHeight = 50\r\n");
    Application tiny("prog", tiny_window, dialogs, tiny_files, threads);
    tiny.start();
    EXPECT_EQ(tiny_window.control(1)->definition.rect, (Rect{5, 0, 10, 10}));
    EXPECT_EQ(tiny_window.control(2)->definition.rect, (Rect{10, 15, 0, 0}));
    EXPECT_EQ(tiny_window.control(3)->definition.rect, (Rect{1, 1, 0, 0}));
}

TEST_F(StartUp, ResizeMovesFrameTabBarAndEveryListButNotWhenMinimised) {
    app.start();
    const int activations = window.activations();
    app.handle(ResizeEvent{1200, 900, false});
    EXPECT_EQ(window.activations(), activations + 1);
    EXPECT_EQ(window.control(1)->definition.rect, (Rect{5, 0, 1190, 860}));
    EXPECT_EQ(window.control(2)->definition.rect, (Rect{10, 15, 1180, 840}));
    for (int view = 3; view <= 27; ++view) {
        EXPECT_EQ(window.control(view)->definition.rect, (Rect{0, 0, 1174, 813})) << view;
    }
    // The status fields keep their start-up widths.
    EXPECT_EQ(window.status_widths(), std::make_pair(200, 600));

    const struct {
        const char* name;
        ResizeEvent resize;
        Rect list_view;
    } cases[] = {
        {"minimised", {1600, 1200, true}, {0, 0, 1174, 813}},
        {"one pixel too narrow", {25, 900, false}, {0, 0, 1174, 813}},
        {"one pixel too low", {1200, 86, false}, {0, 0, 1174, 813}},
        {"smallest applied", {26, 87, false}, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app.handle(c.resize);
        EXPECT_EQ(window.control(15)->definition.rect, c.list_view);
    }
    EXPECT_EQ(window.control(1)->definition.rect, (Rect{5, 0, 16, 47}));
    EXPECT_EQ(window.activations(), activations + 2);
}

} // namespace
} // namespace orv::test
