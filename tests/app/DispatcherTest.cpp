#include <string>
#include <vector>

#include "AppHarness.h"
#include "translation/DatabaseFile.h"
#include "translation/ExternalDatabase.h"

namespace orv::test {
namespace {

using Dispatcher = AppHarness;

const std::filesystem::path kExternal = "prog/dataextra/Extradata.dat";
const Box kQuitQuestion{"BEEDEN", "WOLLT IHR DAS PROGRAMM WIRKLICH?", MessageButtons::YesNo,
                        MessageIcon::Question};

TEST_F(Dispatcher, MenuCommandsShowTheirBoxes) {
    app.start();
    const Bytes old = encode_pair_file({{"FFFF", "FFFF"}, {"Gate", "Tor"}});
    files.put(kExternal, old);
    const struct {
        int command;
        std::optional<Box> box;
    } cases[] = {
        {command::kAbout,
         Box{cp1252(u8"ÜBER"), "ORVENTAL\rV3.03a", MessageButtons::Ok, MessageIcon::None}},
        {command::kQuit, kQuitQuestion},
        {command::kResetExternalDatabase, Box{"ACHTUNG!", reset_question(kExternal),
                                              MessageButtons::YesNo, MessageIcon::Exclamation}},
        {command::kHelp, std::nullopt},
        {6, std::nullopt}, // not a command
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        const auto before = dialogs.message_boxes().size();
        if (c.box && c.box->buttons == MessageButtons::YesNo) {
            dialogs.next_answer(MessageAnswer::No);
        }
        menu(c.command);
        const auto boxes = dialogs.message_boxes();
        ASSERT_EQ(boxes.size(), before + (c.box ? 1 : 0));
        if (c.box) {
            EXPECT_EQ(boxes.back(), *c.box);
        }
    }
    EXPECT_FALSE(app.quit_requested());
    EXPECT_EQ(files.get(kExternal), old);
    EXPECT_EQ(dialogs.help_requests(),
              std::vector<std::filesystem::path>{std::filesystem::path("prog") / "Deu.chm"});
}

TEST_F(Dispatcher, QuitNeedsAYesFromMenuOrCloseBox) {
    app.start();
    dialogs.next_answer(MessageAnswer::Yes);
    app.handle(CloseRequestEvent{WindowId::Main});
    EXPECT_TRUE(app.quit_requested());
    // Closing the box counts as No and takes a given Yes back.
    dialogs.next_answer(MessageAnswer::Closed);
    menu(command::kQuit);
    EXPECT_FALSE(app.quit_requested());
    EXPECT_EQ(dialogs.message_boxes(), (std::vector<Box>{kQuitQuestion, kQuitQuestion}));
}

TEST_F(Dispatcher, ResetOfTheExternalDatabaseReportsSuccessOrFailure) {
    app.start();
    const Bytes old = encode_pair_file({{"FFFF", "FFFF"}, {"Gate", "Tor"}});
    files.put(kExternal, old);
    dialogs.next_answer(MessageAnswer::Yes);
    menu(command::kResetExternalDatabase);
    EXPECT_EQ(files.get(kExternal),
              fixtures::bytes_of(std::string("\x04\0\0\0FFFF\x04\0\0\0FFFF", 16)));
    EXPECT_EQ(dialogs.message_boxes().back(),
              (Box{"INFORMATION", cp1252(u8"EXTERNE DATENBANK GELÖSCHT."), MessageButtons::Ok,
                   MessageIcon::Information}));

    // A failed reset is reported instead of confirmed, and the file stays.
    files.put(kExternal, old);
    files.fail_operation(1, FileOperation::Create);
    dialogs.next_answer(MessageAnswer::Yes);
    menu(command::kResetExternalDatabase);
    EXPECT_EQ(files.get(kExternal), old);
    const auto failed = dialogs.message_boxes().back();
    EXPECT_EQ(failed, stop_box(failed.text));
    EXPECT_EQ(failed.text.find("GEL"), std::string::npos);
    EXPECT_FALSE(failed.text.empty());
}

TEST_F(Dispatcher, ColumnSortAlternatesPerListAndWaitsForDialogAndWorker) {
    app.start();
    files.put("daten/Foo Town.esp", three_records());
    open("daten/Foo Town.esp");
    const std::vector<std::string> by_id = {"|w1|Club|Club", "|w2|Dagger|Dagger"};
    const std::vector<std::string> reversed = {by_id[1], by_id[0]};
    ASSERT_EQ(rows(kWeaponView), reversed);
    app.handle(ColumnClickEvent{kWeaponView, 1});
    EXPECT_EQ(rows(kWeaponView), by_id);
    // The door list has its own direction: its first sort is ascending too.
    app.handle(ColumnClickEvent{kDoorView, 1});
    app.handle(ColumnClickEvent{kWeaponView, 2});
    EXPECT_EQ(rows(kWeaponView), reversed);

    // The name-edit dialog holds its row by index: no sort while it is open.
    window.user_selects_row(kWeaponView, 0);
    control(kWeaponView, ListEventType::DoubleClick);
    app.handle(ColumnClickEvent{kWeaponView, 1});
    EXPECT_EQ(rows(kWeaponView), reversed);
    app.handle(CloseRequestEvent{WindowId::NameEdit});
    EXPECT_FALSE(is_open(WindowId::NameEdit));
    app.handle(ColumnClickEvent{kWeaponView, 1});
    EXPECT_EQ(rows(kWeaponView), by_id);

    // Nor while a worker runs; a double click then shows the wait message.
    threads.hold();
    dialogs.next_path(std::nullopt);
    menu(command::kOpen);
    app.handle(ColumnClickEvent{kWeaponView, 1});
    EXPECT_EQ(rows(kWeaponView), by_id);
    control(kWeaponView, ListEventType::DoubleClick);
    EXPECT_FALSE(is_open(WindowId::NameEdit));
    // A second file command beside the running worker is ignored.
    menu(command::kSave);
    EXPECT_EQ(threads.started(), 2);
    threads.release();
    threads.wait_until_idle();
    EXPECT_EQ(dialogs.message_boxes(),
              std::vector<Box>{stop_box("LADE/SPEICHERE DATEI.\r              Bitte warten!")});
    app.handle(ColumnClickEvent{kWeaponView, 1});
    EXPECT_EQ(rows(kWeaponView), reversed);
}

// Runs each worker to its end before start() returns: the quickest worker there can be.
class InlineThreads final : public Threads {
public:
    void start(std::function<void()> work) override { work(); }
    void dispose() override {}
};

TEST_F(Dispatcher, QuickWorkerLeavesTheBusyFlagClear) {
    InlineThreads inline_threads;
    Application quick("prog", window, dialogs, files, inline_threads);
    quick.start();
    files.put("daten/Foo Town.esp", three_records());
    dialogs.next_path("daten/Foo Town.esp");
    quick.handle(MenuCommandEvent{command::kOpen});
    window.user_selects_row(kWeaponView, 0);
    quick.handle(ControlEvent{kWeaponView, ListEventType::DoubleClick});
    EXPECT_TRUE(is_open(WindowId::NameEdit));
    EXPECT_TRUE(dialogs.message_boxes().empty());
}

TEST_F(Dispatcher, RightClickShowsThePopupOnceAndBearbeitenEditsTheClickedRow) {
    app.start();
    files.put("daten/Foo Town.esp", three_records());
    open("daten/Foo Town.esp");
    window.user_selects_row(kWeaponView, 1);
    control(kWeaponView, ListEventType::RightClick);
    app.handle(ContextMenuEvent{300, 200});
    auto s = window.snapshot();
    EXPECT_EQ(s.activations, 1);
    EXPECT_EQ(s.popup_menu_positions, (std::vector<std::pair<int, int>>{{300, 200}}));

    menu(command::kEditName);
    s = window.snapshot();
    ASSERT_TRUE(s.is_open(WindowId::NameEdit));
    EXPECT_EQ(s.popups.at(WindowId::NameEdit).title, "Weapon");
    EXPECT_EQ(s.control(name_edit::kIdField).definition.text, "w1");
    control(name_edit::kCancelButton);
    EXPECT_FALSE(is_open(WindowId::NameEdit));
}

TEST_F(Dispatcher, TextEntriesOpenTheEditorForTheirKind) {
    app.start();
    files.put("daten/Foo Town.esp", three_records());
    open("daten/Foo Town.esp");
    for (const auto& target : kTextTargets) {
        SCOPED_TRACE(target.menu_command);
        menu(target.menu_command);
        const auto s = window.snapshot();
        ASSERT_TRUE(s.is_open(WindowId::TextEditor));
        EXPECT_EQ(s.popups.at(WindowId::TextEditor).title, target.label);
        EXPECT_FALSE(s.enabled(command::kResetExternalDatabase));
        // ABBRECHEN and the close box end the editor alike.
        if (target.menu_command % 2 == 0) {
            control(text_editor::kCancelButton);
        } else {
            app.handle(CloseRequestEvent{WindowId::TextEditor});
        }
        EXPECT_FALSE(is_open(WindowId::TextEditor));
        EXPECT_TRUE(window.snapshot().enabled(command::kResetExternalDatabase));
    }
}

} // namespace
} // namespace orv::test
