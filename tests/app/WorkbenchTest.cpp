// The main window at start-up and as the translator's workbench: the filter row, the keys
// and the name-edit dialog's help, through the whole program.
#include <numeric>
#include <string>
#include <vector>

#include "AppHarness.h"
#include "app/MainWindow.h"
#include "app/Refusal.h"
#include "translation/DatabaseFile.h"
#include "translation/NameEdit.h"

namespace orv::test {
namespace {

using StartUp = AppHarness;

// What the backends show of it (title, size, tabs, headers, greyed items) is the window
// contract's; here the menus' texts and commands and the filter row.
TEST_F(StartUp, WithoutConfigurationBuildsTheDefaultWindow) {
    app.start();
    const auto s = window.snapshot();
    // The only place the menus' texts and commands are pinned (no two items of a menu share
    // their "&" key); the popup menu's too.
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
    // Without a plugin only what needs none can be chosen.
    for (const int item : kCommandMenuItems) {
        EXPECT_EQ(s.enabled(item), !needs_plugin(item)) << item;
    }
    // The filter row starts with only "Leere zeigen" on, so that every row is shown at first.
    EXPECT_EQ(window.control_text(kFilterField).value_or(""), "");
    EXPECT_FALSE(window.control_checked(kOnlyUntranslatedBox));
    EXPECT_TRUE(window.control_checked(kShowNamelessBox));
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
            placed.push_back(shown_control(control).definition.rect);
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

using Indices = std::vector<std::size_t>;

class Workbench : public AppHarness {
protected:
    // Five weapons (one with the shipped name "Club", one nameless, two named alike) and a
    // door, opened.
    void SetUp() override {
        using fixtures::record;
        const auto weapon = [](std::string_view id, std::string_view name) {
            return record("WEAP", {{"NAME", id}, {"FNAM", name}});
        };
        files.put("prog/data/Weapdata.dat", encode_pair_file({{"Club", "Keule"}}));
        // The memory knows no name of the plugin exactly: a name it knows is translated at
        // Open and no longer to do.
        files.put_text("prog/dataextra/Memory.tsv",
                       "Weapon\tIron Daggers\tEisendolche\t2024-01-01\n"
                       "Weapon\tIron Sword\tEisenschwert\t2024-01-01\n");
        files.put("daten/Foo.esp",
                  fixtures::plugin({weapon("w_dag", "Iron Dagger"), weapon("w_club", "Club"),
                                    record("WEAP", {{"NAME", "w_none"}}),
                                    weapon("w_ir2", "Iron Dagger"), weapon("w_axe", "Axe"),
                                    record("DOOR", {{"NAME", "d1"}, {"FNAM", "Gate"}})}));
        app.start();
        open("daten/Foo.esp");
    }
    // As the user sets the filter row: each control that changes, then its own event, one
    // after the other, so that each control's event must apply the filter by itself.
    void filter(const Text& query, bool only_untranslated, bool show_nameless) {
        if (window.control_text(kFilterField).value_or("") != query) {
            window.set_control_text(kFilterField, query);
            control(kFilterField);
        }
        for (const auto& [box, checked] : {std::pair(kOnlyUntranslatedBox, only_untranslated),
                                           std::pair(kShowNamelessBox, show_nameless)}) {
            if (window.control_checked(box) != checked) {
                window.set_control_checked(box, checked);
                control(box);
            }
        }
    }
    // The rows shown, by their indices.
    Indices shown(int view) const {
        const auto list = shown_control(view);
        Indices all(list.rows.size());
        std::iota(all.begin(), all.end(), std::size_t{0});
        return list.visible.value_or(all);
    }
};

TEST_F(Workbench, FilterHidesRowsWithoutMovingThem) {
    const Rows before = rows(kWeaponView);
    const struct {
        const char* query;
        bool only_untranslated;
        bool show_nameless;
        Indices shown;
    } cases[] = {
        // Each field reaches the filter, whose rules the row filter's own table owns.
        {"", false, false, {0, 1, 3, 4}},
        {"iRON", false, true, {0, 3}},
        {"", true, false, {0, 3, 4}},
        // Cleared: every row again, in its order.
        {"", false, true, {0, 1, 2, 3, 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query);
        filter(c.query, c.only_untranslated, c.show_nameless);
        EXPECT_EQ(shown(kWeaponView), c.shown);
        EXPECT_EQ(rows(kWeaponView), before);
    }
    // A sort keeps the filter, now over the sorted rows (the iron ones move from 0 and 3 to 2
    // and 3).
    filter("iron", false, true);
    app.handle(ColumnClickEvent{kWeaponView, 1});
    EXPECT_EQ(shown(kWeaponView), (Indices{2, 3}));
}

// Enter on a row opens the dialog as a double click does; after OK the next row still to do
// is selected, among those the filter shows. (The counts that follow the edit are the
// window contract's, their rules the object lists'.)
TEST_F(Workbench, AfterOkTheNextShownRowStillToDoIsSelected) {
    const auto name_alone = [&](std::size_t row) {
        on_row(kWeaponView, row, ListEventType::EditKey);
        window.set_control_text(name_edit::kDvNameField, "Eisendolch");
        window.set_control_checked(name_edit::kSameNamesBox, false);
        control(name_edit::kOkButton);
        return shown_control(kWeaponView).selected;
    };
    // The shipped and the nameless row in between are shown, but not to do.
    filter("", false, true);
    EXPECT_EQ(name_alone(0), std::optional<std::size_t>(3));
    filter("", true, true);
    EXPECT_EQ(name_alone(3), std::optional<std::size_t>(4));
    EXPECT_EQ(shown(kWeaponView), (Indices{4}));
}

TEST_F(Workbench, NameDialogOffersSameNamesAndSuggestions) {
    using namespace name_edit;
    on_row(kWeaponView, 0, ListEventType::DoubleClick);
    auto dialog = window.snapshot();
    // Both make room for themselves: nothing covers another or leaves the dialog.
    EXPECT_EQ(misplaced_controls(dialog, WindowId::NameEdit), Rows{});
    EXPECT_EQ(dialog.controls.at(kSameNamesBox).definition.text,
              cp1252(u8"Für alle gleichen Namen übernehmen (1 weitere)"));
    const Text memory = cp1252(u8"Gedächtnis");
    // Each says its source and how well it matches: "Iron Daggers" keeps 91 % of "Iron
    // Dagger", "Iron Sword" 45 %.
    EXPECT_EQ(dialog.controls.at(kSuggestionList).rows,
              (std::vector<ListRow>{{"Eisendolche", memory, cp1252(u8"ähnlich 91 %")},
                                    {"Eisenschwert", memory, cp1252(u8"ähnlich 45 %")}}));

    // A double click on a suggestion takes it; OK gives it to both rows named alike.
    on_row(kSuggestionList, 1, ListEventType::DoubleClick);
    control(kOkButton);
    // The closed dialog's suggestions are gone: a late double click reaches nothing (the
    // scripted window fails on the missing list).
    control(kSuggestionList, ListEventType::DoubleClick);
    EXPECT_EQ(rows(kWeaponView)[0], "*|w_dag|Iron Dagger|Eisenschwert");
    EXPECT_EQ(rows(kWeaponView)[3], "*|w_ir2|Iron Dagger|Eisenschwert");

    // Nothing named alike and nothing to suggest: neither is shown.
    on_row(kWeaponView, 4, ListEventType::DoubleClick);
    dialog = window.snapshot();
    EXPECT_EQ(dialog.controls.count(kSameNamesBox) + dialog.controls.count(kSuggestionList), 0u);
}

TEST_F(Workbench, SuggestionsAreReadOnTheDialogsFirstUseAfterAnOpenOrASave) {
    using namespace name_edit;
    const auto suggested = [&](std::size_t row) {
        on_row(kWeaponView, row, ListEventType::DoubleClick);
        const auto dialog = window.snapshot();
        std::vector<Text> names;
        if (dialog.controls.count(kSuggestionList) != 0) {
            for (const auto& list_row : dialog.controls.at(kSuggestionList).rows) {
                names.push_back(list_row.at(0));
            }
        }
        control(kCancelButton);
        return names;
    };
    // The Open read nothing for the dialog yet: a memory written after it still counts.
    files.put_text("prog/dataextra/Memory.tsv", "Weapon\tAxe\tAxt\t2024-01-01\n");
    EXPECT_EQ(suggested(4), std::vector<Text>{"Axt"});
    // Read once, then kept until the next Open or Save.
    files.put_text("prog/dataextra/Memory.tsv", "Weapon\tAxe\tBeil\t2024-01-01\n");
    EXPECT_EQ(suggested(4), std::vector<Text>{"Axt"});
    open("daten/Foo.esp");
    EXPECT_EQ(suggested(4), std::vector<Text>{"Beil"});

    // A memory that cannot be read is said when the dialog is first opened, once; the
    // database files still suggest.
    open("daten/Foo.esp");
    files.put_text("prog/dataextra/Memory.tsv", "broken line\n");
    EXPECT_EQ(suggested(4), std::vector<Text>{});
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(suggested(4), std::vector<Text>{});
    EXPECT_EQ(dialogs.boxes().size(), 1u);
}

// The name-edit dialog, as a double click on a row opens it.
using fixtures::record;
using namespace name_edit;

constexpr int kCellView = kFirstListControl;
constexpr int kPathGridView = kFirstListControl + 2;
constexpr int kActivatorView = kFirstListControl + 3;
// Rows of the Activator list, in file order.
constexpr std::size_t kUnmarkedRow = 0;
constexpr std::size_t kShippedRow = 1;
constexpr std::size_t kExternalRow = 2;

class NameEditDialogTest : public AppHarness {
protected:
    void SetUp() override {
        files.put("prog/data/Actidata.dat", encode_pair_file({{"Door Lever", "Hebel"}}));
        files.put("prog/dataextra/Extradata.dat",
                  encode_pair_file({{"FFFF", "FFFF"}, {"Crate", "Kiste"}}));
        app.start();
    }
    void open_plugin(std::int32_t file_type = 0) {
        files.put(
            "daten/Hain.esp",
            fixtures::plugin({record("CELL", {{"NAME", "Nebelhain"}}),
                              record("PGRD", {{"NAME", "Nebelhain"}}),
                              record("ACTI", {{"NAME", "a_thing"}, {"FNAM", "Unknown Thing"}}),
                              record("ACTI", {{"NAME", "a_lever"}, {"FNAM", "Door Lever"}}),
                              record("ACTI", {{"NAME", "a_crate"}, {"FNAM", "Crate"}})},
                             file_type));
        open("daten/Hain.esp");
    }
    void type_and_ok(const Text& name) {
        window.set_control_text(kDvNameField, name);
        control(kOkButton);
    }
};

TEST_F(NameEditDialogTest, OpensWithTheClickedRowAndCloses) {
    // A master file is refused; without a selected row nothing opens.
    open_plugin(1);
    on_row(kActivatorView, kUnmarkedRow, ListEventType::DoubleClick);
    open_plugin();
    window.user_selects_row(kActivatorView, std::nullopt);
    control(kActivatorView, ListEventType::DoubleClick);
    EXPECT_EQ(dialogs.boxes(), std::vector{stop_box(master_file_edit_message())});
    EXPECT_FALSE(is_open(WindowId::NameEdit));

    // The clicked row's cells, the DV Name ready to be changed; centred as every pop-up (the
    // text editor's test checks where), the cursor in the DV Name field (the window contract's).
    on_row(kActivatorView, kExternalRow, ListEventType::DoubleClick);
    EXPECT_EQ(text_of(kIdField) + "|" + text_of(kEvNameField) + "|" + text_of(kDvNameField),
              "a_crate|Crate|Kiste");
    EXPECT_TRUE(shown_control(kOkButton).enabled);
    control(kCancelButton);

    // A shipped name can be looked at, not changed; Abbrechen selects the row again, the
    // close box does not.
    for (const bool close_box : {false, true}) {
        SCOPED_TRACE(close_box);
        on_row(kActivatorView, kShippedRow, ListEventType::DoubleClick);
        EXPECT_FALSE(shown_control(kOkButton).enabled);
        window.user_selects_row(kActivatorView, std::nullopt);
        const int activations = window.snapshot().activations;
        close_box ? app.handle(CloseRequestEvent{WindowId::NameEdit}) : control(kCancelButton);
        const auto after = window.snapshot();
        EXPECT_FALSE(after.is_open(WindowId::NameEdit));
        EXPECT_EQ(after.controls.at(kActivatorView).selected,
                  close_box ? std::nullopt : std::optional{kShippedRow});
        EXPECT_EQ(after.activations, activations + 1);
        // A closed dialog ignores its buttons (the scripted window fails a second close).
        control(kOkButton);
        control(kCancelButton);
    }
}

TEST_F(NameEditDialogTest, OkShowsTheRecordedNameOrKeepsTheDialogOpenOnARefusal) {
    open_plugin();
    // Typed back to the EV Name: nothing is recorded (the name rules' outcome), so the row
    // shows nothing new.
    const Rows before = rows(kActivatorView);
    rename(kActivatorView, kExternalRow, "Crate");
    EXPECT_EQ(rows(kActivatorView), before);

    on_row(kActivatorView, kUnmarkedRow, ListEventType::DoubleClick);
    // A second open while one is open does nothing (the scripted window fails a pop-up opened
    // twice).
    on_row(kActivatorView, kExternalRow, ListEventType::DoubleClick);
    EXPECT_EQ(text_of(kIdField), "a_thing");
    // Refused, the dialog stays open as typed: one name over the limit (the name rules own the
    // limits) and a text Windows-1252 cannot hold in either name field.
    // After each refusal the keys go to the DV Name again, not to the list behind.
    const auto focus_after_refusal = [&] {
        const int focused = window.snapshot().focused;
        window.focus_control(kActivatorView);
        return focused;
    };
    window.focus_control(kActivatorView);
    type_and_ok(Text(32, 'x'));
    EXPECT_EQ(focus_after_refusal(), kDvNameField);
    for (const int field : {kDvNameField, kEvNameField}) {
        window.user_types_foreign_text(field);
        control(kOkButton);
        EXPECT_EQ(focus_after_refusal(), kDvNameField);
        window.set_control_text(field, text_of(field)); // mended
    }
    EXPECT_EQ(dialogs.boxes(),
              (std::vector{stop_box(name_too_long_message(31)), stop_box(foreign_text_message()),
                           stop_box(foreign_text_message())}));
    EXPECT_EQ(text_of(kDvNameField), Text(32, 'x'));
    type_and_ok("Ding");
    EXPECT_EQ(rows(kActivatorView)[kUnmarkedRow], "*|a_thing|Unknown Thing|Ding");
    EXPECT_EQ(shown_control(kActivatorView).selected, kUnmarkedRow);

    // A path grid's edit renames its cell at once.
    rename(kPathGridView, 0, "Hain");
    EXPECT_EQ(rows(kCellView)[0], "*|Nebelhain|Nebelhain|Hain");
}

} // namespace
} // namespace orv::test
