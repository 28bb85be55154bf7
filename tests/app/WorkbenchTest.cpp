// The translator's workbench in the window: the filter row, the keys and the name-edit
// dialog's help, through the whole program.
#include <numeric>
#include <string>
#include <vector>

#include "AppHarness.h"
#include "app/MainWindow.h"
#include "translation/DatabaseFile.h"

namespace orv::test {
namespace {

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
        const auto list = window.snapshot().controls.at(view);
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
    filter("", true, true);
    on_row(kWeaponView, 0, ListEventType::EditKey);
    window.set_control_text(name_edit::kDvNameField, "Eisendolch");
    window.set_control_checked(name_edit::kSameNamesBox, false);
    control(name_edit::kOkButton);
    EXPECT_EQ(window.snapshot().controls.at(kWeaponView).selected, std::optional<std::size_t>(3));
    EXPECT_EQ(shown(kWeaponView), (Indices{3, 4}));
}

TEST_F(Workbench, NameDialogOffersSameNamesAndSuggestions) {
    using namespace name_edit;
    on_row(kWeaponView, 0, ListEventType::DoubleClick);
    auto dialog = window.snapshot();
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
    EXPECT_TRUE(dialogs.boxes().empty());
    files.put_text("prog/dataextra/Memory.tsv", "broken line\n");
    EXPECT_EQ(suggested(4), std::vector<Text>{});
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(suggested(4), std::vector<Text>{});
    EXPECT_EQ(dialogs.boxes().size(), 1u);
}

} // namespace
} // namespace orv::test
