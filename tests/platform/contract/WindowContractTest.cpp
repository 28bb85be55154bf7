// The window contract: what the user sees and does in the desktop program, written once and
// run against every window backend: each test program's ContractBackend.h names the backend's
// window, dialogs and remote (which drives the windows with the backend's own input and reads
// them back, texts in UTF-8).
#include <algorithm>
#include <atomic>
#include <future>
#include <random>

#include <gtest/gtest.h>

#include "ContractBackend.h"
#include "app/Application.h"
#include "app/CheckWindow.h"
#include "app/CommandMenu.h"
#include "app/MainMenu.h"
#include "app/MainWindow.h"
#include "app/NameEditDialog.h"
#include "app/TextEditor.h"
#include "app/WindowViews.h"
#include "fixtures/LargePlugin.h"
#include "fixtures/PluginBuilder.h"
#include "platform/AtomicWrite.h"
#include "platform/ListRowRules.h"
#include "platform/LocalFiles.h"
#include "platform/WorkerThreads.h"
#include "plugin/PluginReader.h"
#include "plugin/RecordTypes.h"
#include "translation/DatabaseFile.h"
#include "translation/ExternalDatabase.h"

namespace orv::test {
namespace {

using fixtures::RecordBuilder;
using Strings = std::vector<std::string>;
namespace editor = text_editor;

constexpr int kActivatorList = kFirstListControl + 3;
const int kBookCommand = command::edit_text(0);
const std::string kBookText = "Long ago the grove was a lake.\r\nNow only the mist.";

// The local files, except that creating a file whose name ends with the gated suffix waits
// until the test opens the gate: a save can be stopped half-way, deterministically.
class GatedFiles final : public Files {
public:
    Result<Bytes> read_all(const std::filesystem::path& path) override {
        return m_files.read_all(path);
    }
    bool exists(const std::filesystem::path& path) override { return m_files.exists(path); }
    Result<std::unique_ptr<OutputFile>> create(const std::filesystem::path& path) override {
        if (!m_gate.empty() && path.filename().string().ends_with(m_gate)) {
            m_waiting = true;
            m_opened.wait();
        }
        return m_files.create(path);
    }
    Result<void> rename(const std::filesystem::path& from,
                        const std::filesystem::path& to) override {
        return m_files.rename(from, to);
    }
    Result<void> remove(const std::filesystem::path& path) override { return m_files.remove(path); }
    Result<void> create_directories(const std::filesystem::path& path) override {
        return m_files.create_directories(path);
    }

    void put(const std::filesystem::path& path, const Bytes& bytes) {
        ASSERT_TRUE(m_files.create_directories(path.parent_path()).ok());
        ASSERT_TRUE(write_file_atomically(m_files, path, bytes).ok());
    }
    void close_gate_for(const std::string& suffix) { m_gate = suffix; }
    bool waiting() { return m_waiting; }
    void open_gate() { m_open.set_value(); }

private:
    LocalFiles m_files;
    std::string m_gate;
    std::atomic<bool> m_waiting = false;
    std::promise<void> m_open;
    std::shared_future<void> m_opened = m_open.get_future().share();
};

// A colour as "r,g,b".
std::string shown(RowColour colour) {
    return std::to_string(colour.red) + "," + std::to_string(colour.green) + "," +
           std::to_string(colour.blue);
}

class WindowContract : public testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("orv-contract-" + std::to_string(std::random_device{}()));
        m_files.put(m_dir / "data" / "Actidata.dat",
                    encode_pair_file({{"Old Well", "Alter Brunnen"}}));
        m_files.put(m_dir / "dataextra" / "Extradata.dat", sentinel_pair());
        m_plugin = m_dir / "plugins" / "Nebelhain.esp";
        // clang-format off
        m_files.put(m_plugin, fixtures::plugin({
            fixtures::record("ACTI", {{"NAME", "act_well"}, {"FNAM", "Old Well"}}),
            fixtures::record("ACTI", {{"NAME", "act_gate"}, {"FNAM", "Iron Gate"}}),
            fixtures::record("ACTI", {{"NAME", "act_zeta"}, {"FNAM", "Zeta Stone"}}),
            fixtures::record("ACTI", {{"NAME", "act_none"}}),
            RecordBuilder("BOOK").text("NAME", "bk_tales").text("FNAM", "Tales").raw("TEXT", kBookText).bytes(),
        }));
        // clang-format on
    }

    void TearDown() override {
        quit();
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    // Starts the program on the files and shows its main window.
    void start() {
        m_program = std::make_unique<Application>(m_dir, m_window, m_dialogs, m_files, m_threads);
        m_events.next = m_program.get();
        m_window.connect_events(m_events, [this] { return m_program->quit_requested(); });
        m_program->start();
        m_window.show();
        m_remote.run_events();
    }

    // The main window as the program builds it, without the program: its events are only
    // logged.
    void show_main_window_alone() {
        m_window.connect_events(m_events, [] { return false; });
        build_main_window(m_window, Settings{});
        m_window.show();
        events();
    }

    // Handles the pending events and takes the lines they logged.
    Strings events() {
        m_remote.run_events();
        return m_events.take();
    }

    // What the desktop program does after its event loop: closes the windows, waits for a
    // worker still writing.
    void quit() {
        m_window.close();
        if (m_program) {
            m_program->shut_down();
        }
    }

    bool wait_until(const std::function<bool()>& condition) {
        return m_remote.run_events_until(condition);
    }

    // The next message box's title and text, once it is answered with `answer`, or with Enter
    // (its default button) when none is given.
    static std::shared_ptr<Strings> next_message_box(std::optional<MessageAnswer> answer) {
        auto seen = std::make_shared<Strings>();
        const auto tell = [seen](std::string title, std::string text) { *seen = {title, text}; };
        answer ? BackendRemote::answer_next_message_box(*answer, tell)
               : BackendRemote::press_enter_on_next_message_box(tell);
        return seen;
    }

    // The command menu items, greyed together while a worker or a pop-up works.
    bool command_items_are(bool enabled) {
        return std::ranges::all_of(
            kCommandMenuItems, [&](int item) { return m_remote.menu_enabled(item) == enabled; });
    }

    void open_plugin(const std::filesystem::path& plugin) {
        m_dialogs.set_next_file_name(plugin);
        m_remote.choose_menu(command::kOpen);
        // The worker enables the items one by one, each through the window's own thread:
        // the last may come after the one looked at first.
        ASSERT_TRUE(wait_until([&] { return command_items_are(true); }));
    }

    bool wait_open(WindowId window, bool open = true) {
        return wait_until([&] { return m_remote.window_open(window) == open; });
    }
    bool wait_closed(WindowId window) { return wait_open(window, false); }
    bool wait_for_focus(int control) {
        return wait_until([&] { return m_remote.focused_control() == control; });
    }

    // Selects the activator row and opens it in the name dialog with `key`.
    bool open_name_dialog(int row, const std::string& key) {
        m_remote.click_row(kActivatorList, row, ListEventType::Other);
        m_remote.press_key(kActivatorList, key);
        return wait_open(WindowId::NameEdit);
    }

    bool wait_for_text(int control, const std::string& text) {
        return wait_until([&] { return m_remote.control_text(control) == text; });
    }

    // The list's rows as shown, cells joined by "|".
    Strings rows(int control = kActivatorList) {
        Strings shown = m_remote.column(control, 0);
        for (int column = 1; column < static_cast<int>(m_remote.headers(control).size());
             ++column) {
            const Strings cells = m_remote.column(control, column);
            for (std::size_t row = 0; row < shown.size() && row < cells.size(); ++row) {
                shown[row] += "|" + cells[row];
            }
        }
        return shown;
    }

    // A pop-up as shown: title, inner size, and the given controls' texts ("-" when greyed).
    std::string popup(WindowId window, std::initializer_list<int> controls) {
        const Rect size = m_remote.window_rect(window);
        std::string shown = m_remote.window_title(window) + " " + std::to_string(size.width) + "x" +
                            std::to_string(size.height);
        for (const int control : controls) {
            shown += " [" + (m_remote.control_enabled(control) ? "" : std::string("-")) +
                     m_remote.control_text(control) + "]";
        }
        return shown;
    }

    std::filesystem::path m_dir;
    std::filesystem::path m_plugin;
    GatedFiles m_files;
    BackendWindow m_window;
    BackendDialogs m_dialogs{m_window};
    WorkerThreads m_threads;
    std::unique_ptr<Application> m_program;
    EventLog m_events;
    BackendRemote m_remote{m_window};
};

// Menu items as the window system holds them: separators as "-", the key name after a tab.
Strings shown(const std::vector<MenuItem>& items) {
    Strings texts;
    for (const MenuItem& item : items) {
        texts.push_back(item.command == 0 ? "-" : to_utf8(item.text));
        if (item.shortcut != MenuShortcut::None) {
            texts.back() += "\t" + shortcut_text(item.shortcut);
        }
    }
    return texts;
}

TEST_F(WindowContract, StartShowsTheWindowAsBuilt) {
    start();
    EXPECT_EQ(m_remote.window_title(WindowId::Main), "ORVENTAL v3.03a");
    const Rect size = m_remote.window_rect(WindowId::Main);
    EXPECT_EQ(std::pair(size.width, size.height), std::pair(800, 600));
    const std::vector<Menu> bar = main_menu_bar();
    ASSERT_EQ(m_remote.menu_titles().size(), bar.size());
    for (std::size_t menu = 0; menu < bar.size(); ++menu) {
        SCOPED_TRACE(menu);
        EXPECT_EQ(m_remote.menu_titles()[menu], to_utf8(bar[menu].title));
        EXPECT_EQ(m_remote.menu_items(static_cast<int>(menu)), shown(bar[menu].items));
    }
    EXPECT_EQ(m_remote.menu_items(-1), shown(list_popup_menu()));
    // One tab per list (the program names them).
    EXPECT_EQ(m_remote.tab_labels().size(), kRecordTypes.size());
    EXPECT_EQ(m_remote.tab_labels()[3], "Activator");
    EXPECT_EQ(m_remote.current_tab(), 0);
    EXPECT_EQ(m_remote.headers(kFirstListControl + kObjectListCount - 1),
              Strings({"F/20", "ID/200", "EV Name/248", "DV Name/248"}));
    EXPECT_TRUE(wait_until([&] { return m_remote.status_text(0) == "Datei :"; }));
}

TEST_F(WindowContract, OpenShowsThePluginsRowsAndMarksAndHeaderClicksSortThem) {
    start();
    open_plugin(m_plugin);
    EXPECT_EQ(rows(), Strings({"B|act_well|Old Well|Alter Brunnen", "|act_gate|Iron Gate|Iron Gate",
                               "|act_zeta|Zeta Stone|Zeta Stone", "E|act_none||"}));
    EXPECT_TRUE(wait_until(
        [&] { return m_remote.status_text(1) == to_utf8(cp1252(u8"übersetzt 1 von 4")); }));
    m_remote.select_tab(3);
    EXPECT_TRUE(m_remote.right_click_opens_popup_menu(kActivatorList, 1));

    // Header clicks sort, then reverse (the object lists own the order); the arrow follows.
    const Strings ascending = {"act_gate", "act_none", "act_well", "act_zeta"};
    for (const bool up : {true, false}) {
        const Strings sorted = up ? ascending : Strings(ascending.rbegin(), ascending.rend());
        m_remote.click_header(kActivatorList, 1);
        EXPECT_TRUE(wait_until([&] { return m_remote.column(kActivatorList, 1) == sorted; }));
        EXPECT_EQ(m_remote.sort_arrow(kActivatorList), std::pair(1, up));
    }
    // Back in file order, no column shows an arrow.
    m_window.set_sort_indicator(kActivatorList, -1, true);
    EXPECT_TRUE(wait_until([&] { return !m_remote.sort_arrow(kActivatorList); }));
}

TEST_F(WindowContract, MenusOpenWithAltAndTheirLetterAndShortcutKeysChooseEnabledItems) {
    show_main_window_alone();
    const std::vector<Menu> bar = main_menu_bar();
    // From a list of the main window, Alt and the title's marked character open the menu.
    for (std::size_t menu = 0; menu < bar.size(); ++menu) {
        const std::string title = to_utf8(bar[menu].title);
        const std::string key = "Alt+" + title.substr(title.find('&') + 1, 1);
        EXPECT_EQ(m_remote.menu_opened_by_key(kFirstListControl, key), static_cast<int>(menu))
            << key;
    }
    // A shortcut key chooses its item, unless the item is greyed.
    struct Row {
        std::string key;
        bool save_enabled;
        Strings events;
    };
    for (const Row& row : std::vector<Row>{{"Ctrl+O", false, {"menu 1"}},
                                           {"F1", false, {"menu 20"}},
                                           {"Ctrl+S", false, {}},
                                           {"Ctrl+S", true, {"menu 2"}}}) {
        m_window.set_menu_item_enabled(command::kSave, row.save_enabled);
        events();
        m_remote.press_key(kFirstListControl, row.key);
        EXPECT_EQ(events(), row.events) << row.key << " " << row.save_enabled;
    }
}

TEST_F(WindowContract, ATextBoxReportsWhatTheUserTypesButNotWhatTheProgramSets) {
    show_main_window_alone();
    m_window.open_popup(WindowId::TextEditor, "Book", {100, 100, 700, 500});
    struct Row {
        int control;
        ControlKind kind;
        bool reports;
    };
    const std::vector<Row> boxes = {{editor::kTranslationBox, ControlKind::TextBox, true},
                                    {editor::kOriginalBox, ControlKind::ReadOnlyTextBox, false}};
    for (const Row& row : boxes) {
        m_window.add_control(WindowId::TextEditor,
                             {row.control, row.kind, "Es war einmal.", {10, 10, 300, 200}, {}, -1});
    }
    events();
    for (const Row& row : boxes) {
        SCOPED_TRACE(row.control);
        m_window.set_control_text(row.control, "Vor langer Zeit.\r\nEnde.");
        EXPECT_EQ(events(), Strings{});
        m_remote.type_text(row.control, "Nebel");
        const Strings typed = events();
        EXPECT_EQ(!typed.empty(), row.reports);
        const std::string event = "control " + std::to_string(row.control) + " 0";
        EXPECT_EQ(std::ranges::count(typed, event), static_cast<long>(typed.size()));
    }
}

TEST_F(WindowContract, KeysAndClicksFilterAndOpenTheNameDialogWhoseRowStaysSelectedAndSaveAsks) {
    start();
    open_plugin(m_plugin);
    const Bytes before = m_files.read_all(m_plugin).value();
    m_remote.select_tab(3);

    // Each keystroke filters (the row filter owns which rows match): rows hide and come back.
    for (const auto& [typed, ids] : std::vector<std::pair<std::string, Strings>>{
             {"GATE", {"act_gate"}}, {"act_", {"act_well", "act_gate", "act_zeta", "act_none"}}}) {
        m_remote.type_text(kFilterField, typed);
        const Strings& shown = ids;
        EXPECT_TRUE(wait_until([&] { return m_remote.column(kActivatorList, 1) == shown; }))
            << typed;
    }
    // Ctrl+F from the list puts the cursor into the filter box.
    m_remote.press_key(kActivatorList, "Ctrl+F");
    EXPECT_TRUE(wait_for_focus(kFilterField));

    // A double click opens the dialog; a row from the shipped database can be looked at but
    // not changed.
    m_remote.click_row(kActivatorList, 0, ListEventType::DoubleClick);
    ASSERT_TRUE(wait_open(WindowId::NameEdit));
    // Taller than its fields and buttons by the list of the one suggestion.
    EXPECT_EQ(popup(WindowId::NameEdit, {name_edit::kIdField, name_edit::kEvNameField,
                                         name_edit::kDvNameField, name_edit::kOkButton}),
              "Activator 360x188 [act_well] [Old Well] [Alter Brunnen] [-OK]");
    m_remote.press_button(name_edit::kCancelButton);
    ASSERT_TRUE(wait_closed(WindowId::NameEdit));

    // Enter on a row opens it with the cursor in the DV Name field; Escape closes it.
    ASSERT_TRUE(open_name_dialog(2, "Enter"));
    EXPECT_TRUE(wait_for_focus(name_edit::kDvNameField));
    m_remote.press_key(name_edit::kDvNameField, "Escape");
    ASSERT_TRUE(wait_closed(WindowId::NameEdit));

    // F2 opens it too. The edited row, still to do, shows the selection while the list has no
    // focus: neither its state's colour (row 2 is to do too) nor a plain row's background
    // (row 0).
    ASSERT_TRUE(open_name_dialog(1, "F2"));
    const std::string edited = shown(m_remote.row_background(kActivatorList, 1, 1));
    EXPECT_EQ(shown(m_remote.row_background(kActivatorList, 2, 1)), shown(kToDoBackground));
    EXPECT_NE(edited, shown(kToDoBackground));
    EXPECT_NE(edited, shown(m_remote.row_background(kActivatorList, 0, 1)));

    // Enter answers a box with its default button; afterwards the program puts the cursor
    // back into the DV Name field, and the keys go there.
    for (const auto& [buttons, enter] : std::vector<std::pair<MessageButtons, MessageAnswer>>{
             {MessageButtons::Ok, MessageAnswer::Ok},
             {MessageButtons::YesNo, MessageAnswer::Yes},
             {MessageButtons::YesNoDefaultNo, MessageAnswer::No}}) {
        SCOPED_TRACE(static_cast<int>(buttons));
        m_window.focus_control(name_edit::kIdField);
        const auto seen = next_message_box(std::nullopt);
        EXPECT_EQ(m_dialogs.message_box("FRAGE", "Wirklich?", buttons, MessageIcon::Question),
                  enter);
        EXPECT_EQ(*seen, Strings({"FRAGE", "Wirklich?"}));
        m_window.focus_control(name_edit::kDvNameField);
        EXPECT_TRUE(wait_for_focus(name_edit::kDvNameField));
    }
    // Enter in the DV Name field presses OK. The new name marks the row "*".
    m_remote.type_text(name_edit::kDvNameField, "Eisentor am Fluß");
    m_remote.press_key(name_edit::kDvNameField, "Enter");
    ASSERT_TRUE(wait_closed(WindowId::NameEdit));
    EXPECT_EQ(rows()[1], "*|act_gate|Iron Gate|Eisentor am Fluß");
    EXPECT_TRUE(wait_until([&] {
        return m_remote.window_title(WindowId::Main) == "ORVENTAL v3.03a - Nebelhain.esp *" &&
               m_remote.tab_labels()[3] == "Activator (1)";
    }));

    // The save asks from the worker (the file commands own its text): No keeps the file, Yes
    // writes it.
    for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        const auto seen = next_message_box(answer);
        m_remote.choose_menu(command::kSave);
        ASSERT_TRUE(wait_until([&] { return !seen->empty() && command_items_are(true); }));
        EXPECT_EQ(seen->at(0), "FRAGE");
        EXPECT_EQ(m_files.read_all(m_plugin).value() == before, answer == MessageAnswer::No);
    }
}

TEST_F(WindowContract, AFindingSelectsItsTabAndTheEditorCopiesTheTextAndTakesLineBreaks) {
    // The shipped German name of "Zeta Stone" (row 2 of the activators) is over the limit: one
    // finding (the check window's test owns what it lists).
    m_files.put(m_dir / "data" / "Actidata.dat",
                encode_pair_file({{"Zeta Stone", "Der sehr alte Zetastein am Nebelweg"}}));
    start();
    open_plugin(m_plugin);
    m_remote.choose_menu(command::kCheck);
    ASSERT_TRUE(wait_open(WindowId::Findings));
    m_remote.click_row(check_window::kFindingList, 0, ListEventType::DoubleClick);
    EXPECT_TRUE(wait_until([&] { return m_remote.current_tab() == 3; }));
    m_remote.close_window(WindowId::Findings);
    ASSERT_TRUE(wait_closed(WindowId::Findings));

    m_remote.choose_menu(kBookCommand);
    ASSERT_TRUE(wait_open(WindowId::TextEditor));
    // Only the main window's lists have the popup menu.
    EXPECT_FALSE(m_remote.right_click_opens_popup_menu(editor::kEntryList, 0));

    m_remote.click_row(editor::kEntryList, 0, ListEventType::Other);
    EXPECT_TRUE(wait_for_text(editor::kOriginalBox, kBookText));
    m_remote.press_button(editor::kCopyButton);
    EXPECT_TRUE(wait_for_text(editor::kTranslationBox, kBookText));
    EXPECT_EQ(popup(WindowId::TextEditor, {editor::kSaveButton, editor::kCopyButton}),
              "Book (1) 900x620 [SPEICHERN] [-KOPIEREN]");

    // A typed line break reads back as CR LF.
    m_remote.type_text(editor::kTranslationBox,
                       "Vor langer Zeit war der Hain ein See.\rNur der Nebel.");
    EXPECT_EQ(m_window.control_text(editor::kTranslationBox),
              Text("Vor langer Zeit war der Hain ein See.\r\nNur der Nebel."));
}

TEST_F(WindowContract, TheDialogEditorsKeysReachItsControlsAndItsLinkedTopicStandsOut) {
    const auto dialogue = m_dir / "plugins" / "Gespraech.esp";
    // clang-format off
    m_files.put(m_dir / "dataextra" / "Memory.tsv",
                encode_memory({{kDialogMemory, "Come back here now", cp1252(u8"Komm zurück"),
                                "2024-01-01", {}}}));
    m_files.put(dialogue, fixtures::plugin({
        RecordBuilder("DIAL").text("NAME", "Greeting").raw("DATA", std::string(1, '\0')).bytes(),
        RecordBuilder("INFO").text("INAM", "r_one").raw("NAME", "Go away\r\nnow, greeting.").bytes(),
        RecordBuilder("INFO").text("INAM", "r_two").raw("NAME", "Come back").bytes(),
        RecordBuilder("DIAL").text("NAME", "Trade").raw("DATA", std::string(1, '\0')).bytes(),
        RecordBuilder("INFO").text("INAM", "r_three").raw("NAME", "Come and see").bytes(),
        RecordBuilder("DIAL").text("NAME", "quest_a").raw("DATA", std::string(1, '\4')).bytes(),
        RecordBuilder("INFO").text("INAM", "q_one").raw("NAME", "A ring").bytes(),
    }));
    // clang-format on
    start();
    open_plugin(dialogue);
    m_remote.choose_menu(command::edit_text(5));
    ASSERT_TRUE(wait_open(WindowId::TextEditor));
    // Ctrl+F from the list puts the cursor into the editor's own filter box.
    m_window.focus_control(editor::kEntryList);
    ASSERT_TRUE(wait_for_focus(editor::kEntryList));
    m_remote.press_key(editor::kEntryList, "Ctrl+F");
    EXPECT_TRUE(wait_for_focus(editor::kEntryFilterField));

    // The linked topic stands out, behind a line break (the core owns which names link).
    m_remote.click_row(editor::kEntryList, 0, ListEventType::Other);
    EXPECT_TRUE(wait_for_text(editor::kOriginalBox, "Go away\r\nnow, greeting."));
    EXPECT_TRUE(wait_until(
        [&] { return m_remote.marked_texts(editor::kOriginalBox) == Strings{"greeting"}; }));
    m_remote.type_text(editor::kTranslationBox, "Geh weg.");
    // Typed without the linked topic's name: the line under the box names it.
    EXPECT_TRUE(wait_for_text(editor::kMissingNamesLine, "Fehlende Themen: Greeting"));
    // Ctrl+Enter in the translation box stores, without a line break, and the next entry
    // still to do is chosen.
    m_remote.press_key(editor::kTranslationBox, "Ctrl+Enter");
    EXPECT_TRUE(wait_for_text(editor::kOriginalBox, "Come back"));
    // The memory's translation of a like response is offered; Alt+1 from the translation box
    // takes it (the core owns which suggestions there are).
    EXPECT_EQ(rows(editor::kSuggestionList), Strings({"Komm zurück|Gedächtnis|ähnlich 66 %"}));
    m_remote.press_key(editor::kTranslationBox, "Alt+1");
    EXPECT_TRUE(wait_for_text(editor::kTranslationBox, "Komm zurück"));
    m_remote.press_key(editor::kTranslationBox, "Ctrl+Enter");
    EXPECT_EQ(m_remote.column(editor::kEntryList, 0), Strings({"*", "*", ""}));
}

TEST_F(WindowContract, QuittingWhileTheWorkerSavesFinishesTheFile) {
    start();
    const auto large = m_dir / "plugins" / "Gross.esp";
    m_files.put(large, fixtures::make_large_set({.records = 2000, .database_entries = 1}).plugin);
    open_plugin(large);

    // The save stops where it creates the new plugin's temporary file.
    const auto target = m_dir / "plugins" / "Kopie.esp";
    m_files.close_gate_for(temporary_path_for(target).filename().string());
    m_dialogs.set_next_file_name(target);
    m_remote.choose_menu(command::kSaveAs);
    ASSERT_TRUE(
        wait_until([&] { return m_files.waiting() && !m_remote.menu_enabled(command::kOpen); }));
    const auto seen = next_message_box(MessageAnswer::Yes);
    m_remote.choose_menu(command::kQuit);
    EXPECT_EQ(seen->at(0), "BEEDEN");
    EXPECT_TRUE(m_program->quit_requested());
    EXPECT_FALSE(std::filesystem::exists(target));
    // The save goes on while the program shuts down, which waits for it.
    m_files.open_gate();
    quit();
    EXPECT_FALSE(m_remote.window_open(WindowId::Main));
    const auto copy = read_plugin(m_files.read_all(target).value());
    ASSERT_TRUE(copy.ok());
    EXPECT_EQ(copy->blocks.size(), std::size_t{2001});
}

} // namespace
} // namespace orv::test
