#include <string>
#include <vector>

#include "AppHarness.h"
#include "translation/DatabaseFile.h"
#include "translation/ExternalDatabase.h"

namespace orv::test {
namespace {

using Dispatcher = AppHarness;

const std::filesystem::path kExternal = "prog/dataextra/Extradata.dat";

TEST_F(Dispatcher, QuitNeedsAYesFromMenuOrCloseBox) {
    app.start();
    dialogs.next_answer(MessageAnswer::No);
    menu(4);
    EXPECT_FALSE(app.quit_requested());
    dialogs.next_answer(MessageAnswer::Yes);
    app.handle(CloseRequestEvent{WindowId::Main});
    EXPECT_TRUE(app.quit_requested());
    // Closing the box counts as No and takes a given Yes back.
    dialogs.next_answer(MessageAnswer::Closed);
    menu(4);
    EXPECT_FALSE(app.quit_requested());
    const auto boxes = dialogs.message_boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[1].title, "BEEDEN");
    EXPECT_EQ(boxes[1].text, "WOLLT IHR DAS PROGRAMM WIRKLICH?");
    EXPECT_EQ(boxes[1].buttons, MessageButtons::YesNo);
    EXPECT_EQ(boxes[1].icon, MessageIcon::Question);
}

TEST_F(Dispatcher, AboutBoxAndHelp) {
    app.start();
    menu(21);
    menu(20);
    menu(6); // not a command: ignored
    const auto boxes = dialogs.message_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "\xDC"
                              "BER");
    EXPECT_EQ(boxes[0].text, "ORVENTAL\rV3.03a");
    EXPECT_EQ(boxes[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(boxes[0].icon, MessageIcon::None);
    EXPECT_EQ(dialogs.help_requests(),
              std::vector<std::filesystem::path>{std::filesystem::path("prog") / "Deu.chm"});
}

TEST_F(Dispatcher, ResetOfTheExternalDatabaseAsksAndReports) {
    app.start();
    const Bytes old = encode_pair_file({{"FFFF", "FFFF"}, {"Gate", "Tor"}});
    files.put(kExternal, old);
    dialogs.next_answer(MessageAnswer::No);
    menu(5);
    EXPECT_EQ(files.get(kExternal), old);
    ASSERT_EQ(dialogs.message_boxes().size(), 1u);
    EXPECT_EQ(dialogs.message_boxes()[0].title, "ACHTUNG!");
    EXPECT_EQ(dialogs.message_boxes()[0].text, reset_question(kExternal));
    EXPECT_EQ(dialogs.message_boxes()[0].icon, MessageIcon::Exclamation);

    dialogs.next_answer(MessageAnswer::Yes);
    menu(5);
    EXPECT_EQ(files.get(kExternal),
              fixtures::bytes_of(std::string("\x04\0\0\0FFFF\x04\0\0\0FFFF", 16)));
    auto boxes = dialogs.message_boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[2].title, "INFORMATION");
    EXPECT_EQ(boxes[2].text, "EXTERNE DATENBANK GEL\xD6SCHT.");
    EXPECT_EQ(boxes[2].icon, MessageIcon::Information);

    // A failed reset is reported instead of confirmed, and the file stays.
    files.put(kExternal, old);
    files.fail_operation(1, FileOperation::Create);
    dialogs.next_answer(MessageAnswer::Yes);
    menu(5);
    EXPECT_EQ(files.get(kExternal), old);
    boxes = dialogs.message_boxes();
    ASSERT_EQ(boxes.size(), 5u);
    EXPECT_EQ(boxes[4].title, "INFORMATION");
    EXPECT_NE(boxes[4].text, "EXTERNE DATENBANK GEL\xD6SCHT.");
    EXPECT_FALSE(boxes[4].text.empty());
    EXPECT_EQ(boxes[4].icon, MessageIcon::Stop);
}

TEST_F(Dispatcher, ColumnSortAlternatesPerListAndWaitsForDialogAndWorker) {
    app.start();
    files.put("daten/Foo Town.esp", three_records());
    open("daten/Foo Town.esp");
    ASSERT_EQ(rows(kWeaponView), (std::vector<std::string>{"|w2|Dagger|Dagger", "|w1|Club|Club"}));

    app.handle(ColumnClickEvent{kWeaponView, 1});
    EXPECT_EQ(rows(kWeaponView), (std::vector<std::string>{"|w1|Club|Club", "|w2|Dagger|Dagger"}));
    // The door list has its own direction: its first sort is ascending too.
    app.handle(ColumnClickEvent{kDoorView, 1});
    app.handle(ColumnClickEvent{kWeaponView, 2});
    EXPECT_EQ(rows(kWeaponView), (std::vector<std::string>{"|w2|Dagger|Dagger", "|w1|Club|Club"}));

    // The name-edit dialog holds its row by index: no sort while it is open.
    window.user_selects_row(kWeaponView, 0);
    control(kWeaponView, ListEventType::DoubleClick);
    ASSERT_TRUE(window.popup(WindowId::NameEdit).has_value());
    app.handle(ColumnClickEvent{kWeaponView, 1});
    EXPECT_EQ(rows(kWeaponView)[0], "|w2|Dagger|Dagger");
    app.handle(CloseRequestEvent{WindowId::NameEdit});
    EXPECT_FALSE(window.popup(WindowId::NameEdit).has_value());
    EXPECT_TRUE(window.menu_enabled(1));
    app.handle(ColumnClickEvent{kWeaponView, 1});
    EXPECT_EQ(rows(kWeaponView)[0], "|w1|Club|Club");

    // Nor while a worker runs; a double click then shows the wait message.
    threads.hold();
    dialogs.next_path(std::nullopt);
    menu(1);
    app.handle(ColumnClickEvent{kWeaponView, 1});
    EXPECT_EQ(rows(kWeaponView)[0], "|w1|Club|Club");
    window.user_selects_row(kWeaponView, 1);
    control(kWeaponView, ListEventType::DoubleClick);
    EXPECT_FALSE(window.popup(WindowId::NameEdit).has_value());
    // A second file command beside the running worker is ignored.
    menu(2);
    EXPECT_EQ(threads.started(), 2);
    threads.release();
    threads.wait_until_idle();
    const auto boxes = dialogs.message_boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "INFORMATION");
    EXPECT_EQ(boxes[0].text, "LADE/SPEICHERE DATEI.\r              Bitte warten!");
    EXPECT_EQ(boxes[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(boxes[0].icon, MessageIcon::Stop);
    app.handle(ColumnClickEvent{kWeaponView, 1});
    EXPECT_EQ(rows(kWeaponView)[0], "|w2|Dagger|Dagger");
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
    quick.handle(MenuCommandEvent{1});
    window.user_selects_row(kWeaponView, 0);
    quick.handle(ControlEvent{kWeaponView, ListEventType::DoubleClick});
    EXPECT_TRUE(window.popup(WindowId::NameEdit).has_value());
    EXPECT_TRUE(dialogs.message_boxes().empty());
}

TEST_F(Dispatcher, RightClickShowsThePopupOnceAndBearbeitenEditsTheClickedRow) {
    app.start();
    files.put("daten/Foo Town.esp", three_records());
    open("daten/Foo Town.esp");
    window.user_selects_row(kWeaponView, 1);
    const int activations = window.activations();
    control(kWeaponView, ListEventType::RightClick);
    app.handle(ContextMenuEvent{300, 200});
    EXPECT_EQ(window.activations(), activations + 1);
    EXPECT_EQ(window.popup_menu_positions(), (std::vector<std::pair<int, int>>{{300, 200}}));

    menu(25);
    const auto popup = window.popup(WindowId::NameEdit);
    ASSERT_TRUE(popup.has_value());
    EXPECT_EQ(popup->title, "Weapon");
    EXPECT_EQ(window.control(1033)->definition.text, "w1");
    control(1039);
    EXPECT_FALSE(window.popup(WindowId::NameEdit).has_value());
}

TEST_F(Dispatcher, TextEntriesOpenTheEditorForTheirKind) {
    app.start();
    files.put("daten/Foo Town.esp", three_records());
    open("daten/Foo Town.esp");
    const struct {
        int command;
        const char* label;
    } cases[] = {{9, "Book"}, {10, "Class"}, {11, "Race"}, {12, "Skill"}, {13, "Birthsign"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        menu(c.command);
        const auto popup = window.popup(WindowId::TextEditor);
        ASSERT_TRUE(popup.has_value());
        EXPECT_EQ(popup->title, c.label);
        EXPECT_FALSE(window.menu_enabled(5));
        // ABBRECHEN and the close box end the editor alike.
        if (c.command % 2 == 0) {
            control(1054);
        } else {
            app.handle(CloseRequestEvent{WindowId::TextEditor});
        }
        EXPECT_FALSE(window.popup(WindowId::TextEditor).has_value());
        EXPECT_TRUE(window.menu_enabled(5));
    }
}

} // namespace
} // namespace orv::test
