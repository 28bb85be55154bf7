#include <string>
#include <vector>

#include "AppHarness.h"
#include "app/ConfigFile.h"
#include "translation/DatabaseFile.h"
#include "translation/ExternalDatabase.h"

namespace orv::test {
namespace {

using Dispatcher = AppHarness;

const std::filesystem::path kExternal = "prog/dataextra/Extradata.dat";
const Box kQuitQuestion{"BEEDEN", "WOLLT IHR DAS PROGRAMM WIRKLICH?", MessageButtons::YesNo,
                        MessageIcon::Question};

TEST_F(Dispatcher, MenuCommandsAndTheCloseBoxAskTheirQuestions) {
    app.start();
    files.put(kExternal, encode_pair_file({{"FFFF", "FFFF"}, {"Gate", "Tor"}}));
    // Yes to the reset destroys the user's translations: Enter must answer No.
    const Box reset{"ACHTUNG!", reset_question(kExternal), MessageButtons::YesNoDefaultNo,
                    MessageIcon::Exclamation};
    const Box about{cp1252(u8"ÜBER"), "ORVENTAL\rV3.03a", MessageButtons::Ok, MessageIcon::None};
    // A failed reset is reported instead of confirmed.
    const Box failed =
        stop_box(file_error(ErrorKind::CreateFailed, native_path(kExternal.string())).message);
    const Box done{"INFORMATION", cp1252(u8"EXTERNE DATENBANK GELÖSCHT."), MessageButtons::Ok,
                   MessageIcon::Information};
    const struct {
        int command; // 0: the main window's close box
        std::optional<MessageAnswer> answer;
        std::vector<Box> boxes;
        bool quit;
        bool write_fails = false;
    } cases[] = {
        {command::kAbout, std::nullopt, {about}, false},
        {command::kHelp, std::nullopt, {}, false},
        {6, std::nullopt, {}, false}, // not a command
        {command::kResetExternalDatabase, MessageAnswer::No, {reset}, false},
        {command::kResetExternalDatabase, MessageAnswer::Yes, {reset, failed}, false, true},
        {command::kResetExternalDatabase, MessageAnswer::Yes, {reset, done}, false},
        // Closing the box counts as No.
        {command::kQuit, MessageAnswer::Closed, {kQuitQuestion}, false},
        {0, MessageAnswer::Yes, {kQuitQuestion}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        const auto before = dialogs.boxes().size();
        if (c.answer) {
            dialogs.next_answer(*c.answer);
        }
        if (c.write_fails) {
            files.fail_operation(1, FileOperation::Create);
        }
        c.command == 0 ? app.handle(CloseRequestEvent{WindowId::Main}) : menu(c.command);
        const auto boxes = dialogs.boxes();
        EXPECT_EQ(std::vector(boxes.begin() + static_cast<long>(before), boxes.end()), c.boxes);
        EXPECT_EQ(app.quit_requested(), c.quit);
    }
    EXPECT_EQ(files.get(kExternal), encode_pair_file({{"FFFF", "FFFF"}}));
    // "Hilfe" opens the page every build puts into the program folder.
    EXPECT_EQ(dialogs.snapshot().help,
              std::vector{std::filesystem::path("prog") / "help" / "index.html"});
}

TEST_F(Dispatcher, ColumnSortAlternatesAndWaitsForDialogAndWorker) {
    start_with_plugin();
    const Rows by_id = {"|w1|Club|Club", "|w2|Dagger|Dagger"};
    const Rows reversed = {by_id[1], by_id[0]};
    ASSERT_EQ(rows(kWeaponView), reversed);
    app.handle(ColumnClickEvent{kWeaponView, 1});
    EXPECT_EQ(rows(kWeaponView), by_id);
    app.handle(ColumnClickEvent{kWeaponView, 2});
    // A column the lists do not have sorts nothing.
    app.handle(ColumnClickEvent{kWeaponView, kColumnCount});
    EXPECT_EQ(rows(kWeaponView), reversed);

    // The name-edit dialog holds its row by index: no sort while it is open.
    window.user_selects_row(kWeaponView, 0);
    control(kWeaponView, ListEventType::DoubleClick);
    app.handle(ColumnClickEvent{kWeaponView, 1});
    EXPECT_EQ(rows(kWeaponView), reversed);
    app.handle(CloseRequestEvent{WindowId::NameEdit});

    // Nor while a worker runs; a double click then shows the wait message.
    threads.hold();
    dialogs.next_path(std::nullopt);
    menu(command::kOpen);
    app.handle(ColumnClickEvent{kWeaponView, 1});
    EXPECT_EQ(rows(kWeaponView), reversed);
    control(kWeaponView, ListEventType::DoubleClick);
    // A second file command beside the running worker is ignored.
    menu(command::kSave);
    EXPECT_EQ(threads.started, 2);
    threads.release();
    threads.wait_until_idle();
    EXPECT_EQ(dialogs.boxes(),
              std::vector{stop_box("LADE/SPEICHERE DATEI.\r              Bitte warten!")});
    // The dialog closed and the worker ended, a click sorts again.
    app.handle(ColumnClickEvent{kWeaponView, 1});
    EXPECT_EQ(rows(kWeaponView), by_id);

    // The first list edits and sorts by mark like the others.
    rename(kFirstListControl, 0, "Zett");
    app.handle(ColumnClickEvent{kFirstListControl, 0});
    EXPECT_EQ(rows(kFirstListControl), (Rows{"|Alpha|Alpha|Alpha", "*|Zeta|Zeta|Zett"}));
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
    files.put("daten/Foo Town.esp", sample_plugin());
    dialogs.next_path("daten/Foo Town.esp");
    quick.handle(MenuCommandEvent{command::kOpen});
    quick.handle(ColumnClickEvent{kWeaponView, 1});
    EXPECT_EQ(rows(kWeaponView)[0], "|w1|Club|Club");
}

TEST_F(Dispatcher, OpenEditSaveAndOpenAgain) {
    files.put_text("prog/Kestrun.ini", "[Window]\r\nWindowWidth = 1024\r\nWindowHeight = 768\r\n"
                                       "[Plugin Path]\r\nPlugPath = /alt/\r\n");
    files.put("prog/data/Weapdata.dat", encode_pair_file({{"Club", "Keule"}}));
    files.put(kExternal, encode_pair_file({{"FFFF", "FFFF"}, {"Gate", "Tor"}}));
    files.put(native_path("/daten/Nebelhain.esp"), sample_plugin());
    // Maximised meanwhile: the configuration keeps the size read at start-up.
    start_with_plugin(native_path("/daten/Foo Town.esp"));
    app.handle(ResizeEvent{1600, 1200, false});
    EXPECT_EQ(dialogs.snapshot().file_dialogs.at(0).folder, std::filesystem::path("/alt/"));
    EXPECT_EQ(rows(kWeaponView), (Rows{"|w2|Dagger|Dagger", "B|w1|Club|Keule"}));

    rename(kWeaponView, 0, "Dolch");
    // Saving asks from the worker's thread.
    dialogs.next_answer(MessageAnswer::Yes);
    run(command::kSave);
    EXPECT_EQ(files.get(native_path("/daten/Foo Town.esp")),
              sample_plugin("Dolch", "Tor", "Keule"));

    // The next plugin picks the user's name up from the external database the save wrote.
    open(native_path("/daten/Nebelhain.esp"));
    EXPECT_EQ(rows(kWeaponView)[0], "\xDC|w2|Dagger|Dolch");
    EXPECT_EQ(read_settings(files, "prog"), (Settings{.window_width = 1024,
                                                      .window_height = 768,
                                                      .plugin_folder = native_path("/daten/")}));
    EXPECT_EQ(threads.started, 3);
}

TEST_F(Dispatcher, PopupMenuTextEditorsAndQuestionsBeforeEditsAreLost) {
    start_with_plugin();
    // A right click shows the pop-up menu once; "Bearbeiten" edits the clicked row.
    window.user_selects_row(kWeaponView, 1);
    control(kWeaponView, ListEventType::RightClick);
    app.handle(ContextMenuEvent{300, 200});
    menu(command::kEditName);
    const auto s = window.snapshot();
    EXPECT_EQ(s.activations, 1);
    EXPECT_EQ(s.popup_menu_positions, (std::vector<std::pair<int, int>>{{300, 200}}));
    EXPECT_EQ(s.popups.at(WindowId::NameEdit).first, "Weapon");
    EXPECT_EQ(s.controls.at(name_edit::kIdField).definition.text, "w1");
    control(name_edit::kCancelButton);

    // A text entry opens its editor; ABBRECHEN and the close box end it alike.
    menu(command::edit_text(0));
    EXPECT_EQ(window.snapshot().popups.at(WindowId::TextEditor).first, kTextTargets[0].label);
    control(text_editor::kCancelButton);
    menu(command::edit_text(1));
    EXPECT_EQ(window.snapshot().popups.at(WindowId::TextEditor).first, kTextTargets[1].label);
    app.handle(CloseRequestEvent{WindowId::TextEditor});

    // Names edited but not saved are asked about.
    rename(kWeaponView, 0, "Neu 0");
    rename(kWeaponView, 1, "Neu 1");
    // No keeps everything: no quit, no file dialog.
    dialogs.next_answer(MessageAnswer::No);
    dialogs.next_answer(MessageAnswer::No);
    menu(command::kQuit);
    run(command::kOpen);
    EXPECT_FALSE(app.quit_requested());
    const std::string lost = "2 GE\xC4NDERTE NAMEN (MIT \x84*\x93 MARKIERT) SIND NOCH NICHT "
                             "GESPEICHERT.\rDIESE \xC4NDERUNGEN GEHEN VERLOREN.\r\r";
    const auto question = [&](const std::string& ending) {
        return Box{"ACHTUNG!", lost + ending, MessageButtons::YesNoDefaultNo,
                   MessageIcon::Exclamation};
    };
    auto boxes = dialogs.boxes();
    EXPECT_EQ(boxes, (std::vector{question("TROTZDEM BEENDEN?"),
                                  question(cp1252(u8"TROTZDEM EINE ANDERE DATEI ÖFFNEN?"))}));

    // Yes goes on to the file dialog.
    dialogs.next_answer(MessageAnswer::Yes);
    dialogs.next_path(std::nullopt);
    run(command::kOpen);
    EXPECT_EQ(dialogs.snapshot().file_dialogs.size(), 2u);

    // The editor's buttons reach it: KOPIEREN copies the chosen book's text. Text typed
    // into it is asked about first: No keeps it and the program.
    menu(command::edit_text(0));
    window.user_selects_row(text_editor::kEntryList, 0);
    control(text_editor::kEntryList);
    control(text_editor::kCopyButton);
    EXPECT_EQ(window.control_text(text_editor::kTranslationBox), "Es war");
    window.set_control_text(text_editor::kTranslationBox, "Getippt");
    dialogs.next_answer(MessageAnswer::No);
    menu(command::kQuit);
    EXPECT_FALSE(app.quit_requested());
    EXPECT_NE(dialogs.boxes().back().text.find("VERWERFEN"), std::string::npos);
    // Yes to it and to the names quits, without the usual question.
    dialogs.next_answer(MessageAnswer::Yes);
    dialogs.next_answer(MessageAnswer::Yes);
    menu(command::kQuit);
    EXPECT_TRUE(app.quit_requested());
    boxes = dialogs.boxes();
    EXPECT_EQ(boxes.size(), 6u);
    EXPECT_EQ(boxes.back(), question("TROTZDEM BEENDEN?"));
}

TEST_F(Dispatcher, StoredTextsAreUnsavedWorkUntilTheNextSave) {
    start_with_plugin();
    const Text title = "ORVENTAL v3.03a - Foo Town.esp";
    // Open's question, answered No (the file dialog then never shows).
    const auto open_question = [&] {
        dialogs.next_answer(MessageAnswer::No);
        run(command::kOpen);
        return dialogs.boxes().back().text;
    };
    const auto question = [](const char8_t* lost, const char8_t* ending) {
        return cp1252(u8"NOCH NICHT GESPEICHERT:\r") + cp1252(lost) + "\r\r" + cp1252(ending);
    };

    // The book's text typed into the editor and stored with SPEICHERN.
    menu(command::edit_text(0));
    window.user_selects_row(text_editor::kEntryList, 0);
    control(text_editor::kEntryList);
    window.set_control_text(text_editor::kTranslationBox, "Es war einmal");
    control(text_editor::kTranslationBox);
    control(text_editor::kSaveButton);
    control(text_editor::kCancelButton);
    EXPECT_EQ(window.snapshot().title, title + " *");
    EXPECT_EQ(open_question(), question(u8"1 geänderter Text geht verloren.",
                                        u8"TROTZDEM EINE ANDERE DATEI ÖFFNEN?"));

    rename(kWeaponView, 0, "Neu 0");
    rename(kWeaponView, 1, "Neu 1");
    rename(kFirstListControl, 0, "Zett");
    dialogs.next_answer(MessageAnswer::No);
    menu(command::kQuit);
    EXPECT_FALSE(app.quit_requested());
    EXPECT_EQ(dialogs.boxes().back(),
              (Box{"ACHTUNG!",
                   question(u8"3 geänderte Namen und 1 geänderter Text gehen verloren.",
                            u8"TROTZDEM BEENDEN?"),
                   MessageButtons::YesNoDefaultNo, MessageIcon::Exclamation}));

    // A failed save keeps the text unsaved; a save that wrote it ends that.
    files.fail_operation(2, FileOperation::Rename);
    dialogs.next_answer(MessageAnswer::Yes);
    run(command::kSave);
    EXPECT_EQ(window.snapshot().title, title + " *");
    dialogs.next_answer(MessageAnswer::Yes);
    run(command::kSave);
    EXPECT_EQ(window.snapshot().title, title);

    // Another plugin's records are new: what was stored into the old ones is gone with them.
    menu(command::edit_text(0));
    window.user_selects_row(text_editor::kEntryList, 0);
    control(text_editor::kEntryList);
    EXPECT_EQ(window.control_text(text_editor::kOriginalBox), "Es war");
    window.set_control_text(text_editor::kTranslationBox, "Es war zweimal");
    control(text_editor::kSaveButton);
    control(text_editor::kCancelButton);
    dialogs.next_answer(MessageAnswer::Yes);
    open("daten/Foo Town.esp");
    EXPECT_EQ(window.snapshot().title, title);
    // Nothing is left to ask about.
    const auto asked = dialogs.boxes().size();
    open("daten/Foo Town.esp");
    EXPECT_EQ(dialogs.boxes().size(), asked);
}

} // namespace
} // namespace orv::test
