#include <string>
#include <vector>

#include "AppHarness.h"
#include "app/CheckWindow.h"
#include "app/ConfigFile.h"
#include "app/SaveCheck.h"
#include "app/UnsavedWork.h"
#include "translation/DatabaseFile.h"
#include "translation/ExternalDatabase.h"
#include "translation/TranslationMemory.h"

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
        {8, std::nullopt, {}, false}, // not a command
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
    // "Hilfe" opens the page every build puts into the program folder.
    EXPECT_EQ(dialogs.snapshot().help,
              std::vector{std::filesystem::path("prog") / "help" / "index.html"});
}

// The object lists own the order, the window contract the header's arrow.
TEST_F(Dispatcher, ColumnSortWaitsForDialogAndWorker) {
    start_with_plugin();
    const Rows by_id = {"|w1|Club|Club", "|w2|Dagger|Dagger"};
    const Rows reversed = {by_id[1], by_id[0]};
    ASSERT_EQ(rows(kWeaponView), reversed);
    // A column the lists do not have sorts nothing.
    app.handle(ColumnClickEvent{kWeaponView, kColumnCount});
    EXPECT_EQ(rows(kWeaponView), reversed);
    EXPECT_EQ(shown_control(kWeaponView).sort_column, std::nullopt);

    // The name-edit dialog holds its row by index: no sort while it is open.
    on_row(kWeaponView, 0, ListEventType::DoubleClick);
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

// The folder chosen is stored in the configuration with the window size and the save folder
// read at start-up, not the size of a window maximised meanwhile (the file commands own which
// folder is stored).
TEST_F(Dispatcher, OpenStoresTheChosenFolderWithTheStartUpSize) {
    files.put_text("prog/Kestrun.ini", "[Window]\r\nWindowWidth = 1024\r\nWindowHeight = 768\r\n"
                                       "[Plugin Path]\r\nPlugPath = /alt/\r\n"
                                       "[Save Path]\r\nSavePath = /raus/\r\n");
    start_with_plugin(native_path("/daten/Foo Town.esp"));
    app.handle(ResizeEvent{1600, 1200, false});
    open(native_path("/daten/Foo Town.esp"));
    EXPECT_EQ(read_settings(files, "prog"), (Settings{.window_width = 1024,
                                                      .window_height = 768,
                                                      .plugin_folder = native_path("/daten/"),
                                                      .save_folder = "/raus/"}));
}

// The question that unsaved work of `names` and `texts` asks before `command`.
Box question(std::size_t names, std::size_t texts, DiscardingCommand command) {
    ScriptedDialogs asked;
    asked.next_answer(MessageAnswer::No);
    EXPECT_FALSE(may_discard_unsaved_work(asked, {names, texts}, command));
    return asked.boxes().at(0);
}

TEST(UnsavedWork, QuestionCountsWhatIsLostAndOnlyYesDiscardsIt) {
    const auto box = [](const char8_t* text) {
        return Box{"ACHTUNG!", cp1252(text), MessageButtons::YesNoDefaultNo,
                   MessageIcon::Exclamation};
    };
    const std::u8string names = u8" NOCH NICHT GESPEICHERT.\rDIESE ÄNDERUNGEN GEHEN VERLOREN.\r\r";
    const struct {
        std::size_t names, texts;
        DiscardingCommand command;
        std::u8string text;
    } cases[] = {
        {1, 0, DiscardingCommand::Quit,
         u8"1 GEÄNDERTER NAME (MIT „*“ MARKIERT) IST" + names + u8"TROTZDEM BEENDEN?"},
        {2, 0, DiscardingCommand::Open,
         u8"2 GEÄNDERTE NAMEN (MIT „*“ MARKIERT) SIND" + names +
             u8"TROTZDEM EINE ANDERE DATEI ÖFFNEN?"},
        {0, 1, DiscardingCommand::Quit,
         u8"NOCH NICHT GESPEICHERT:\r1 geänderter Text geht verloren.\r\rTROTZDEM BEENDEN?"},
        {1, 2, DiscardingCommand::Quit,
         u8"NOCH NICHT GESPEICHERT:\r1 geänderter Name und 2 geänderte Texte gehen "
         u8"verloren.\r\rTROTZDEM BEENDEN?"},
        {3, 1, DiscardingCommand::Quit,
         u8"NOCH NICHT GESPEICHERT:\r3 geänderte Namen und 1 geänderter Text gehen "
         u8"verloren.\r\rTROTZDEM BEENDEN?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(to_utf8(cp1252(c.text)));
        EXPECT_EQ(question(c.names, c.texts, c.command), box(c.text.c_str()));
        ScriptedDialogs dialogs;
        dialogs.next_answer(MessageAnswer::Yes);
        EXPECT_TRUE(may_discard_unsaved_work(dialogs, {c.names, c.texts}, c.command));
    }
    // Nothing unsaved: nothing to ask.
    ScriptedDialogs dialogs;
    EXPECT_TRUE(may_discard_unsaved_work(dialogs, {}, DiscardingCommand::Quit));
    EXPECT_TRUE(dialogs.boxes().empty());
}

TEST_F(Dispatcher, PopupMenuAndTextEditorsReachTheirTargets) {
    start_with_plugin();
    // A right click shows the pop-up menu once; "Bearbeiten" edits the clicked row. (The text
    // editors' menu items and buttons are reached in the next test.)
    on_row(kWeaponView, 1, ListEventType::RightClick);
    app.handle(ContextMenuEvent{300, 200});
    menu(command::kEditName);
    const auto s = window.snapshot();
    EXPECT_EQ(s.activations, 1);
    EXPECT_EQ(s.popup_menu_positions, (std::vector<std::pair<int, int>>{{300, 200}}));
    EXPECT_EQ(s.popups.at(WindowId::NameEdit).first, "Weapon");
    EXPECT_EQ(s.controls.at(name_edit::kIdField).definition.text, "w1");
}

TEST_F(Dispatcher, UnsavedNamesAndTextsAreAskedAboutUntilTheNextSave) {
    start_with_plugin();
    const Text title = "ORVENTAL v3.03a - Foo Town.esp";
    const auto choose_book = [&] {
        menu(command::edit_text(0));
        on_row(text_editor::kEntryList, 0, ListEventType::Other);
    };
    // The editor's buttons reach it: SPEICHERN stores the book's text.
    choose_book();
    window.set_control_text(text_editor::kTranslationBox, "Es war einmal");
    control(text_editor::kSaveButton);
    control(text_editor::kCancelButton);
    EXPECT_EQ(window.snapshot().title, title + " *");
    rename(kWeaponView, 0, "Neu 0");
    rename(kFirstListControl, 0, "Zett");

    // No keeps everything: no quit, no file dialog; Yes goes on to the file dialog.
    dialogs.next_answer(MessageAnswer::No);
    dialogs.next_answer(MessageAnswer::No);
    menu(command::kQuit);
    run(command::kOpen);
    EXPECT_FALSE(app.quit_requested());
    dialogs.next_answer(MessageAnswer::Yes);
    dialogs.next_path(std::nullopt);
    run(command::kOpen);
    EXPECT_EQ(dialogs.boxes(), (std::vector{question(2, 1, DiscardingCommand::Quit),
                                            question(2, 1, DiscardingCommand::Open),
                                            question(2, 1, DiscardingCommand::Open)}));
    EXPECT_EQ(dialogs.snapshot().file_dialogs.size(), 2u);

    // A save that wrote the work ends it (the file commands keep it after a failed one), and
    // the stored text joins the memory behind the names.
    dialogs.next_answer(MessageAnswer::Yes);
    run(command::kSave);
    EXPECT_EQ(window.snapshot().title, title);
    const auto memory = read_memory(files, memory_path("prog"));
    ASSERT_TRUE(memory) << memory.error().message;
    EXPECT_EQ(memory->back(),
              (MemoryEntry{kFirstTextMemory, "Es war", "Es war einmal", today_date(), ""}));

    // Another plugin's records are new: what was stored into the old ones is gone with them.
    choose_book();
    window.set_control_text(text_editor::kTranslationBox, "Es war zweimal");
    control(text_editor::kSaveButton);
    control(text_editor::kCancelButton);
    dialogs.next_answer(MessageAnswer::Yes);
    open("daten/Foo Town.esp");
    EXPECT_EQ(window.snapshot().title, title);

    // Text typed into the open editor is asked about first: No keeps it and the program; Yes
    // to it and to the names lost quits, without the plain question.
    rename(kWeaponView, 0, "Neu 0");
    choose_book();
    window.set_control_text(text_editor::kTranslationBox, "Getippt");
    const auto asked = dialogs.boxes().size();
    dialogs.next_answer(MessageAnswer::No);
    menu(command::kQuit);
    EXPECT_FALSE(app.quit_requested());
    EXPECT_NE(dialogs.boxes().back().text.find("VERWERFEN"), std::string::npos);
    dialogs.next_answer(MessageAnswer::Yes);
    dialogs.next_answer(MessageAnswer::Yes);
    menu(command::kQuit);
    EXPECT_TRUE(app.quit_requested());
    const auto boxes = dialogs.boxes();
    EXPECT_EQ(boxes.size(), asked + 3);
    EXPECT_EQ(boxes.back(), question(1, 0, DiscardingCommand::Quit));
}

using fixtures::record;
using CheckWindowTest = AppHarness;

using command::kCheck;
constexpr int kFindings = check_window::kFindingList;

TEST_F(CheckWindowTest, ShowsTheFindingsAndADoubleClickLeadsToTheirRowOrResponse) {
    files.put("prog/data/Celldata.dat", encode_pair_file({{"Old Keep", "Alte Burg"}}));
    files.put("prog/data/Weapdata.dat",
              encode_pair_file({{"Club", "Keule mit sehr langem Namen aus Eiche"}}));
    // A guide into a cell that only the shipped database names is no finding; one into a
    // cell nobody names is, without a row; a weapon whose shipped German name is over the
    // limit of 31 is one with its row; a response whose result script leaves a quotation open
    // is one that opens its editor on it.
    const auto guide = [](std::string_view cell) {
        return record("NPC_", {{"NAME", "guide"}, {"DNAM", cell}});
    };
    files.put("/p/clean.esp", fixtures::plugin({guide("Alte Burg")}));
    files.put(
        "/p/findings.esp",
        fixtures::plugin({guide("Nowhere"), record("WEAP", {{"NAME", "w2"}, {"FNAM", "Dagger"}}),
                          record("WEAP", {{"NAME", "w1"}, {"FNAM", "Club"}}), topic("Greeting"),
                          info("r_one", "Hello"), info("r_two", "Bye", "MessageBox \"open"),
                          topic("quest_a", '\4'), info("q_one", "A ring", "Say \"x")}));
    app.start();
    open("/p/clean.esp");
    menu(kCheck);
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_TRUE(dialogs.boxes()[0].text.starts_with(cp1252(u8"DIE PRÜFUNG HAT NICHTS GEFUNDEN.")));
    EXPECT_FALSE(is_open(WindowId::Findings));

    open("/p/findings.esp");
    menu(kCheck);
    const auto state = window.snapshot();
    EXPECT_EQ(state.popups.at(WindowId::Findings).first, cp1252(u8"Prüfen : 4 Befunde"));
    // The first three columns; the findings' explanations are the plugin check's.
    std::vector<std::string> shown;
    for (const auto& row : state.controls.at(kFindings).rows) {
        shown.push_back(row.at(0) + "|" + row.at(1) + "|" + row.at(2));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"Zellenverweis|NPC_|guide", "Zu lang|WEAP|w1",
                                               "Dialog|INFO|r_two", "Dialog|INFO|q_one"}));
    EXPECT_FALSE(state.enabled(kCheck));
    // Only a double-click leads there.
    window.user_selects_row(kFindings, 1);
    control(kFindings, ListEventType::RightClick);
    EXPECT_EQ(window.snapshot().tab_selections, state.tab_selections);
    app.handle(CloseRequestEvent{WindowId::Findings});

    const struct {
        std::size_t finding;
        bool selects_weapon;
        std::string editor_title; // empty: the findings stay open
        std::string original;
    } cases[] = {{0, false, "", ""},
                 {1, true, "", ""},
                 {2, false, "Dialog (2)", "Bye"},
                 {3, false, "Journal (1)", "A ring"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.finding);
        menu(kCheck);
        const auto before = window.snapshot().tab_selections.size();
        window.user_selects_row(kFindings, c.finding);
        control(kFindings, ListEventType::DoubleClick);
        const auto after = window.snapshot();
        EXPECT_EQ(after.tab_selections.size(), before + c.selects_weapon);
        if (c.selects_weapon) {
            EXPECT_EQ(after.tab_selections.back(), 19);
            EXPECT_EQ(after.controls.at(kWeaponView).selected, 1u);
        }
        EXPECT_EQ(after.is_open(WindowId::Findings), c.editor_title.empty());
        if (!c.editor_title.empty()) {
            EXPECT_EQ(after.popups.at(WindowId::TextEditor).first, c.editor_title);
            EXPECT_EQ(after.controls.at(text_editor::kOriginalBox).definition.text, c.original);
        }
        app.handle(
            CloseRequestEvent{c.editor_title.empty() ? WindowId::Findings : WindowId::TextEditor});
        EXPECT_FALSE(is_open(WindowId::Findings) || is_open(WindowId::TextEditor));
        EXPECT_TRUE(window.snapshot().enabled(kCheck));
    }
}

TEST(SaveFindingsQuestion, CountsReferencesAndScriptsButNotNames) {
    struct Case {
        int references, scripts, names;
        std::optional<std::string> question;
    };
    const std::vector<Case> cases = {
        {3, 0, 1, "3 Verweise zeigen auf keine Zelle. Trotzdem speichern?"},
        {1, 0, 0, "1 Verweis zeigt auf keine Zelle. Trotzdem speichern?"},
        {0, 1, 0,
         "1 Skriptstelle nennt einen Namen, den das Speichern ändert. Trotzdem speichern?"},
        {2, 2, 0,
         "2 Verweise zeigen auf keine Zelle. 2 Skriptstellen nennen einen Namen, den das "
         "Speichern ändert. Trotzdem speichern?"},
        {0, 0, 4, std::nullopt},
    };
    for (const auto& c : cases) {
        std::vector<Finding> findings;
        for (const auto& [count, kind] : {std::pair{c.names, FindingKind::NameTooLong},
                                          {c.scripts, FindingKind::ScriptNamesRenamed},
                                          {c.references, FindingKind::ReferenceToNoCell}}) {
            findings.insert(findings.end(), static_cast<std::size_t>(count),
                            Finding{kind, {}, {}, {}, std::nullopt});
        }
        const auto question = save_findings_question(findings);
        EXPECT_EQ(question ? std::optional(to_utf8(*question)) : std::nullopt, c.question);
    }
}

// Save and Save-as check the plugin first and ask before writing references that lead to no
// cell or scripts the save leaves on an old name. A plugin whose guide leads to a cell nobody
// names: "Nein" shows the findings and writes nothing (Save-as shows no file dialog either),
// "Ja" saves as before.
TEST_F(CheckWindowTest, SaveAsksBeforeSavingAndNoShowsTheFindingsInstead) {
    const Bytes guide = record("NPC_", {{"NAME", "guide"}, {"DNAM", "Nowhere"}});
    const Bytes plugin = fixtures::plugin({guide});
    files.put("/p/guide.esp", plugin);
    app.start();
    open("/p/guide.esp");
    const Box question{"FRAGE", "1 Verweis zeigt auf keine Zelle. Trotzdem speichern?",
                       MessageButtons::YesNoDefaultNo, MessageIcon::Exclamation};

    for (const int command : {command::kSave, command::kSaveAs}) {
        SCOPED_TRACE(command);
        const auto boxes = dialogs.boxes().size();
        dialogs.next_answer(MessageAnswer::No);
        run(command);
        ASSERT_EQ(dialogs.boxes().size(), boxes + 1);
        EXPECT_EQ(dialogs.boxes().back(), question);
        EXPECT_TRUE(is_open(WindowId::Findings));
        app.handle(CloseRequestEvent{WindowId::Findings});
    }
    EXPECT_EQ(files.get("/p/guide.esp"), plugin);

    dialogs.next_answer(MessageAnswer::Yes);
    dialogs.next_path("/p/saved.esp");
    run(command::kSaveAs);
    EXPECT_EQ(dialogs.boxes().back(), question);
    EXPECT_FALSE(is_open(WindowId::Findings));
    EXPECT_TRUE(files.get("/p/saved.esp"));
}

} // namespace
} // namespace orv::test
