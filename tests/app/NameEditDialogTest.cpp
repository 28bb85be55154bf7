#include "app/NameEditDialog.h"

#include <gtest/gtest.h>

#include "DialogTestSupport.h"
#include "app/Refusal.h"
#include "translation/DatabaseFile.h"
#include "translation/NameEdit.h"

namespace orv {
namespace {

using fixtures::record;
using test::DialogTest;
using namespace name_edit;

constexpr int kCell = 0;
constexpr int kPathGrid = 2;
constexpr int kActivator = 3;
constexpr int kActivatorView = kFirstListControl + kActivator;
// Rows of the Activator list, in file order.
constexpr std::size_t kUnmarkedRow = 0;
constexpr std::size_t kShippedRow = 1;
constexpr std::size_t kExternalRow = 2;

class NameEditDialogTest : public DialogTest {
protected:
    void load_plugin(std::int32_t file_type = 0) {
        files.put("prog/data/Actidata.dat", encode_pair_file({{"Door Lever", "Hebel"}}));
        files.put("prog/dataextra/Extradata.dat",
                  encode_pair_file({{"FFFF", "FFFF"}, {"Crate", "Kiste"}}));
        load({record("CELL", {{"NAME", "Nebelhain"}}), record("PGRD", {{"NAME", "Nebelhain"}}),
              record("ACTI", {{"NAME", "a_thing"}, {"FNAM", "Unknown Thing"}}),
              record("ACTI", {{"NAME", "a_lever"}, {"FNAM", "Door Lever"}}),
              record("ACTI", {{"NAME", "a_crate"}, {"FNAM", "Crate"}})},
             file_type);
    }

    // What the dispatcher does for a double click: select the row, take its cells.
    void open_row(int list, std::size_t row) {
        const int view = kFirstListControl + list;
        window.user_selects_row(view, row);
        dialog.open(ClickedRow{window.cell_text(view, row, 0), window.cell_text(view, row, 1),
                               window.cell_text(view, row, 2), window.cell_text(view, row, 3),
                               Text(kRecordTypes[static_cast<std::size_t>(list)].label)},
                    list);
    }
    void type_and_ok(const Text& name) {
        window.set_control_text(kDvNameField, name);
        dialog.ok();
    }
    ListRow shown(int list, std::size_t row) const {
        return control(kFirstListControl + list).rows.at(row);
    }

    NameEditDialog dialog{workspace, window, dialogs};
};

TEST_F(NameEditDialogTest, OpensWithTheClickedRowAndCloses) {
    // A master file is refused; without a selected row nothing opens.
    load_plugin(1);
    open_row(kActivator, kUnmarkedRow);
    load_plugin();
    window.user_selects_row(kActivatorView, std::nullopt);
    dialog.open(ClickedRow{"", "", "", "", "Activator"}, kActivator);
    EXPECT_EQ(dialogs.boxes(), std::vector{test::stop_box(master_file_edit_message())});
    EXPECT_FALSE(is_open(WindowId::NameEdit));

    // Centred as every pop-up (the text editor's test pins where); with the cursor in the DV
    // Name field (the window contract's).
    open_row(kActivator, kExternalRow);
    EXPECT_EQ(
        window.snapshot().describe(WindowId::NameEdit),
        (std::vector<std::string>{
            "1032 RightLabel \"ID\" 25,12 25x22", "1033 ReadOnlyField \"a_crate\" 55,7 280x22",
            "1034 RightLabel \"EV Name\" 4,36 46x22", "1035 ReadOnlyField \"Crate\" 55,31 280x22",
            "1036 RightLabel \"DV Name\" 4,60 46x22", "1037 EditField \"Kiste\" 55,55 280x22",
            "1038 Button \"OK\" 97,85 75x24", "1039 Button \"Abbrechen\" 220,85 75x24"}));
    // The dialog holds the pop-up lease (whose effects the text editor's test checks in full).
    EXPECT_TRUE(command_menu_is(false));
    dialog.cancel();

    // A shipped name can be looked at, not changed; Abbrechen selects the row again, the
    // close box does not.
    for (const bool close_box : {false, true}) {
        SCOPED_TRACE(close_box);
        open_row(kActivator, kShippedRow);
        EXPECT_FALSE(control(kOkButton).enabled);
        window.user_selects_row(kActivatorView, std::nullopt);
        const int activations = window.snapshot().activations;
        close_box ? dialog.close_box() : dialog.cancel();
        const auto after = window.snapshot();
        EXPECT_FALSE(after.is_open(WindowId::NameEdit));
        EXPECT_EQ(after.controls.at(kActivatorView).selected,
                  close_box ? std::nullopt : std::optional{kShippedRow});
        EXPECT_EQ(after.activations, activations + 1);
        EXPECT_EQ(workspace.dialog_open, 0);
        // A closed dialog ignores its buttons (the scripted window fails a second close).
        dialog.ok();
        dialog.cancel();
    }
}

TEST_F(NameEditDialogTest, OkShowsTheRecordedNameOrKeepsTheDialogOpenOnARefusal) {
    load_plugin();
    open_row(kActivator, kUnmarkedRow);
    // A second open while one is open does nothing (the scripted window fails a pop-up opened
    // twice).
    open_row(kActivator, kExternalRow);
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
        dialog.ok();
        EXPECT_EQ(focus_after_refusal(), kDvNameField);
        window.set_control_text(field, text_of(field)); // mended
    }
    EXPECT_EQ(dialogs.boxes(), (std::vector{test::stop_box(name_too_long_message(31)),
                                            test::stop_box(foreign_text_message()),
                                            test::stop_box(foreign_text_message())}));
    EXPECT_EQ(text_of(kDvNameField), Text(32, 'x'));
    type_and_ok("Ding");
    EXPECT_EQ(shown(kActivator, kUnmarkedRow), (ListRow{"*", "a_thing", "Unknown Thing", "Ding"}));
    EXPECT_EQ(control(kActivatorView).selected, kUnmarkedRow);

    // A path grid's edit renames its cell at once.
    open_row(kPathGrid, 0);
    type_and_ok("Hain");
    EXPECT_EQ(shown(kCell, 0), (ListRow{"*", "Nebelhain", "Nebelhain", "Hain"}));
}

} // namespace
} // namespace orv
