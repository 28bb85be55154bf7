// The window contract: what the user sees and does in the desktop program, written once and
// run against every window backend (see WindowDriver).
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <mutex>

#include <gtest/gtest.h>

#include "WindowDriver.h"
#include "app/ConfigFile.h"
#include "fixtures/PluginBuilder.h"
#include "platform/LocalFiles.h"
#include "plugin/PluginReader.h"
#include "plugin/RecordTypes.h"
#include "save/WindowViews.h"
#include "translation/DatabaseFile.h"
#include "translation/ExternalDatabase.h"

namespace orv::test {
namespace {

using fixtures::RecordBuilder;
using Strings = std::vector<std::string>;

constexpr int kActivatorList = 3 + 3;
constexpr int kIdField = 1033;
constexpr int kEvNameField = 1035;
constexpr int kDvNameField = 1037;
constexpr int kOkButton = 1038;
constexpr int kCancelButton = 1039;
constexpr int kEntryList = 1052;
constexpr int kStoreButton = 1053;
constexpr int kEditorCancel = 1054;
constexpr int kCopyButton = 1055;
constexpr int kOriginalBox = 1056;
constexpr int kTranslationBox = 1057;
const std::string kBookText = "Long ago the grove was a lake.\r\nNow only the mist.";

Bytes activator(std::string_view id, std::string_view name) {
    RecordBuilder record("ACTI");
    record.text("NAME", id);
    if (!name.empty()) {
        record.text("FNAM", name);
    }
    return record.bytes();
}

void write_file(const std::filesystem::path& path, const Bytes& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Bytes result(bytes.size());
    std::memcpy(result.data(), bytes.data(), bytes.size());
    return result;
}

// The local files, except that creating a file whose name ends with the gated suffix waits
// until the test opens the gate: a save can be stopped half-way, deterministically.
class GatedFiles final : public Files {
public:
    Result<Bytes> read_all(const std::filesystem::path& path) override {
        return m_files.read_all(path);
    }
    bool exists(const std::filesystem::path& path) override { return m_files.exists(path); }
    Result<std::unique_ptr<OutputFile>> create(const std::filesystem::path& path) override {
        if (!m_gated_suffix.empty() && path.filename().string().ends_with(m_gated_suffix)) {
            std::unique_lock lock(m_mutex);
            m_waiting = true;
            m_changed.wait(lock, [this] { return m_open; });
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

    void close_gate_for(const std::string& suffix) { m_gated_suffix = suffix; }
    bool waiting() {
        std::lock_guard lock(m_mutex);
        return m_waiting;
    }
    void open_gate() {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }

private:
    LocalFiles m_files;
    std::string m_gated_suffix;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_waiting = false;
    bool m_open = false;
};

class WindowContract : public testing::Test {
protected:
    void SetUp() override {
        m_dir =
            std::filesystem::temp_directory_path() /
            ("orv-contract-" + std::to_string(std::hash<std::string>{}(
                                   testing::UnitTest::GetInstance()->current_test_info()->name())));
        std::filesystem::remove_all(m_dir);
        write_file(m_dir / "data" / "Actidata.dat",
                   encode_pair_file({{"Old Well", "Alter Brunnen"}}));
        write_file(m_dir / "dataextra" / "Extradata.dat", sentinel_pair());
        m_plugin = m_dir / "plugins" / "Nebelhain.esp";
        write_file(m_plugin, fixtures::plugin({
                                 activator("act_well", "Old Well"),
                                 activator("act_gate", "Iron Gate"),
                                 activator("act_zeta", "Zeta Stone"),
                                 activator("act_alpha", "Alpha Rock"),
                                 activator("act_none", ""),
                                 RecordBuilder("BOOK")
                                     .text("NAME", "bk_tales")
                                     .text("FNAM", "Tales")
                                     .raw("TEXT", kBookText)
                                     .bytes(),
                             }));
        m_driver = make_window_driver();
    }

    void TearDown() override {
        m_driver->quit();
        m_driver.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    void start() { m_driver->start(m_dir, m_files); }

    bool command_items_are(bool enabled) {
        for (const int command : {1, 2, 3, 5, 9, 10, 11, 12, 13, 25}) {
            if (m_driver->menu_enabled(command) != enabled) {
                return false;
            }
        }
        return true;
    }

    void open_plugin(const std::filesystem::path& plugin) {
        m_driver->set_next_file_name(plugin);
        m_driver->choose_menu(1);
        // The worker greys the command items for its work and enables them at its end.
        ASSERT_TRUE(m_driver->wait_until([&] { return m_driver->menu_enabled(2); }));
        ASSERT_TRUE(command_items_are(true));
    }

    void open_name_dialog(int row) {
        m_driver->click_row(kActivatorList, row, ListEventType::DoubleClick);
        ASSERT_TRUE(
            m_driver->wait_until([&] { return m_driver->window_open(WindowId::NameEdit); }));
    }

    bool wait_closed(WindowId window) {
        return m_driver->wait_until([&] { return !m_driver->window_open(window); });
    }

    std::filesystem::path m_dir;
    std::filesystem::path m_plugin;
    GatedFiles m_files;
    std::unique_ptr<WindowDriver> m_driver;
};

TEST_F(WindowContract, StartShowsTheWindowAsBuilt) {
    start();
    WindowDriver& window = *m_driver;
    EXPECT_EQ(window.window_title(WindowId::Main), "ORVENTAL v3.03a");
    EXPECT_EQ(window.window_size(WindowId::Main), std::make_pair(800, 600));
    EXPECT_EQ(window.menu_titles(),
              Strings({"Datei", "Externe Datenbank", "Text bearbeiten", "?"}));
    const std::vector<Strings> items = {
        {"Öffnen", "Speichern", "Speichern als...", "Prüfen", "-", "Beenden"},
        {"Löschen"},
        {"Book", "Class", "Race", "Skill", "Birthsign"},
        {"Hilfe", "-", "Über"},
    };
    for (int menu = 0; menu < 4; ++menu) {
        EXPECT_EQ(window.menu_items(menu), items[static_cast<std::size_t>(menu)]) << menu;
    }
    EXPECT_EQ(window.menu_items(-1), Strings({"Bearbeiten"}));
    // Only what works without a plugin is enabled.
    for (const auto& [command, enabled] : std::vector<std::pair<int, bool>>{{1, true},
                                                                            {4, true},
                                                                            {5, true},
                                                                            {20, true},
                                                                            {21, true},
                                                                            {2, false},
                                                                            {3, false},
                                                                            {9, false},
                                                                            {13, false},
                                                                            {25, false}}) {
        EXPECT_EQ(window.menu_enabled(command), enabled) << command;
    }
    const Strings tabs = window.tab_labels();
    ASSERT_EQ(tabs.size(), std::size_t{kObjectListCount});
    EXPECT_EQ(tabs.front(), "Cell");
    EXPECT_EQ(tabs.back(), "Faction");
    EXPECT_EQ(window.current_tab(), 0);
    EXPECT_EQ(window.headers(kFirstListControl + kObjectListCount - 1),
              Strings({"F/20", "ID/200", "EV Name/248", "DV Name/248"}));
    EXPECT_TRUE(window.wait_until([&] { return window.status_text(0) == "Datei :"; }));
    EXPECT_EQ(window.status_text(1), "");
}

TEST_F(WindowContract, OpenShowsThePluginsRowsAndMarks) {
    start();
    open_plugin(m_plugin);
    const auto asked = m_driver->file_dialogs();
    ASSERT_EQ(asked.size(), std::size_t{1});
    EXPECT_EQ(asked[0].first, cp1252(u8"ESP öffnen "));
    EXPECT_EQ(asked[0].second, "ESP (*.esp)|*.esp");

    const std::vector<Strings> columns = {
        {"B", "", "", "", "E"},
        {"act_well", "act_gate", "act_zeta", "act_alpha", "act_none"},
        {"Old Well", "Iron Gate", "Zeta Stone", "Alpha Rock", ""},
        {"Alter Brunnen", "Iron Gate", "Zeta Stone", "Alpha Rock", ""},
    };
    for (int column = 0; column < 4; ++column) {
        EXPECT_EQ(m_driver->column(kActivatorList, column),
                  columns[static_cast<std::size_t>(column)]);
    }
    EXPECT_TRUE(m_driver->column(3, 1).empty());
    EXPECT_TRUE(
        m_driver->wait_until([&] { return m_driver->status_text(0) == "Datei : Nebelhain.esp"; }));
    EXPECT_TRUE(m_driver->wait_until(
        [&] { return m_driver->status_text(1) == to_utf8(cp1252(u8"übersetzt 1 von 5")); }));
    m_driver->select_tab(3);
    EXPECT_TRUE(m_driver->right_click_opens_popup_menu(kActivatorList, 1));
}

TEST_F(WindowContract, DoubleClickOpensTheNameDialogAndOkMarksTheRow) {
    start();
    open_plugin(m_plugin);
    m_driver->select_tab(3);

    // A row from the shipped database can be looked at but not changed.
    open_name_dialog(0);
    EXPECT_EQ(m_driver->window_title(WindowId::NameEdit), "Activator");
    // Taller than its fields and buttons by the list of the one suggestion.
    EXPECT_EQ(m_driver->window_size(WindowId::NameEdit), std::make_pair(360, 188));
    EXPECT_EQ(m_driver->control_text(kIdField), "act_well");
    EXPECT_EQ(m_driver->control_text(kEvNameField), "Old Well");
    EXPECT_EQ(m_driver->control_text(kDvNameField), "Alter Brunnen");
    EXPECT_FALSE(m_driver->control_enabled(kOkButton));
    EXPECT_TRUE(command_items_are(false));
    m_driver->press_button(kCancelButton);
    ASSERT_TRUE(wait_closed(WindowId::NameEdit));
    EXPECT_TRUE(command_items_are(true));

    // A new German name marks the row "*".
    open_name_dialog(1);
    EXPECT_TRUE(m_driver->control_enabled(kOkButton));
    m_driver->type_text(kDvNameField, "Eisentor am Fluß");
    m_driver->press_button(kOkButton);
    ASSERT_TRUE(wait_closed(WindowId::NameEdit));
    EXPECT_EQ(m_driver->column(kActivatorList, 0)[1], "*");
    EXPECT_EQ(m_driver->column(kActivatorList, 3)[1], "Eisentor am Fluß");
}

TEST_F(WindowContract, HeaderClicksSortThenReverse) {
    start();
    open_plugin(m_plugin);
    m_driver->select_tab(3);

    m_driver->click_header(kActivatorList, 1);
    EXPECT_TRUE(m_driver->wait_until([&] {
        return m_driver->column(kActivatorList, 1) ==
               Strings({"act_alpha", "act_gate", "act_none", "act_well", "act_zeta"});
    }));
    // Each row keeps its cells.
    EXPECT_EQ(m_driver->column(kActivatorList, 0), Strings({"", "", "E", "B", ""}));
    m_driver->click_header(kActivatorList, 1);
    EXPECT_TRUE(m_driver->wait_until([&] {
        return m_driver->column(kActivatorList, 1) ==
               Strings({"act_zeta", "act_well", "act_none", "act_gate", "act_alpha"});
    }));
}

TEST_F(WindowContract, SaveAsksOnTheWorkerAndTheUserAnswers) {
    start();
    open_plugin(m_plugin);
    const Bytes before = read_file(m_plugin);

    auto seen = std::make_shared<ShownBox>();
    m_driver->answer_next_message_box(MessageAnswer::No, seen);
    m_driver->choose_menu(2);
    ASSERT_TRUE(
        m_driver->wait_until([&] { return !seen->title.empty() && command_items_are(true); }));
    EXPECT_EQ(seen->title, "FRAGE");
    EXPECT_TRUE(seen->text.starts_with("AKTUELLE DATEI ÜBERSCHREIBEN  :")) << seen->text;
    EXPECT_TRUE(read_file(m_plugin) == before);

    // Yes writes the file; a row renamed by hand is then marked as saved ("Ü").
    m_driver->select_tab(3);
    open_name_dialog(2);
    m_driver->type_text(kDvNameField, "Zetastein");
    m_driver->press_button(kOkButton);
    ASSERT_TRUE(wait_closed(WindowId::NameEdit));
    m_driver->answer_next_message_box(MessageAnswer::Yes, std::make_shared<ShownBox>());
    m_driver->choose_menu(2);
    EXPECT_TRUE(m_driver->wait_until(
        [&] { return command_items_are(true) && m_driver->column(kActivatorList, 0)[2] == "Ü"; }));
    const Bytes after = read_file(m_plugin);
    const std::string_view text(reinterpret_cast<const char*>(after.data()), after.size());
    EXPECT_NE(text.find("Zetastein"), std::string_view::npos);
    EXPECT_EQ(text.find("Zeta Stone"), std::string_view::npos);
}

TEST_F(WindowContract, EditorCopiesAndStoresTheText) {
    start();
    open_plugin(m_plugin);

    m_driver->choose_menu(9);
    ASSERT_TRUE(m_driver->wait_until([&] { return m_driver->window_open(WindowId::TextEditor); }));
    EXPECT_EQ(m_driver->window_title(WindowId::TextEditor), "Book");
    EXPECT_EQ(m_driver->window_size(WindowId::TextEditor), std::make_pair(700, 500));
    EXPECT_EQ(m_driver->headers(kEntryList), Strings({"Id Book/350"}));
    EXPECT_EQ(m_driver->column(kEntryList, 0), Strings({"bk_tales"}));
    EXPECT_FALSE(m_driver->control_enabled(kStoreButton) || m_driver->control_enabled(kCopyButton));

    m_driver->click_row(kEntryList, 0, ListEventType::Other);
    EXPECT_TRUE(
        m_driver->wait_until([&] { return m_driver->control_text(kOriginalBox) == kBookText; }));
    EXPECT_EQ(m_driver->control_text(kTranslationBox), "");
    m_driver->press_button(kCopyButton);
    EXPECT_TRUE(
        m_driver->wait_until([&] { return m_driver->control_text(kTranslationBox) == kBookText; }));
    EXPECT_TRUE(m_driver->control_enabled(kStoreButton) && !m_driver->control_enabled(kCopyButton));

    m_driver->type_text(kTranslationBox, "Vor langer Zeit war der Hain ein See.\rNur der Nebel.");
    m_driver->press_button(kStoreButton);
    m_driver->press_button(kEditorCancel);
    ASSERT_TRUE(wait_closed(WindowId::TextEditor));
    EXPECT_TRUE(command_items_are(true));

    // The stored text is now the record's own; the close box closes the editor like
    // ABBRECHEN.
    m_driver->choose_menu(9);
    ASSERT_TRUE(m_driver->wait_until([&] { return m_driver->window_open(WindowId::TextEditor); }));
    m_driver->click_row(kEntryList, 0, ListEventType::Other);
    EXPECT_TRUE(m_driver->wait_until([&] {
        return m_driver->control_text(kOriginalBox) ==
               "Vor langer Zeit war der Hain ein See.\r\nNur der Nebel.";
    }));
    m_driver->close_window(WindowId::TextEditor);
    ASSERT_TRUE(wait_closed(WindowId::TextEditor));
    EXPECT_TRUE(command_items_are(true));
}

TEST_F(WindowContract, QuittingWhileTheWorkerSavesFinishesTheFile) {
    start();
    std::vector<Bytes> records;
    for (int record = 0; record < 2000; ++record) {
        records.push_back(
            activator("act_" + std::to_string(record), "Stone " + std::to_string(record)));
    }
    const auto large = m_dir / "plugins" / "Gross.esp";
    write_file(large, fixtures::plugin(records));
    open_plugin(large);

    const auto target = m_dir / "plugins" / "Kopie.esp";
    // The save stops where it creates the new plugin's temporary file.
    m_files.close_gate_for("Kopie.esp.orvental-tmp");
    m_driver->set_next_file_name(target);
    m_driver->choose_menu(3);
    ASSERT_TRUE(
        m_driver->wait_until([&] { return m_files.waiting() && !m_driver->menu_enabled(1); }));
    auto seen = std::make_shared<ShownBox>();
    m_driver->answer_next_message_box(MessageAnswer::Yes, seen);
    m_driver->choose_menu(4);
    EXPECT_EQ(seen->title, "BEEDEN");
    EXPECT_TRUE(m_driver->quit_requested());
    EXPECT_FALSE(std::filesystem::exists(target));
    // The save goes on while the program shuts down, which waits for it.
    m_files.open_gate();
    m_driver->quit();
    EXPECT_FALSE(m_driver->window_open(WindowId::Main));
    const auto copy = read_plugin(read_file(target));
    ASSERT_TRUE(copy.ok());
    EXPECT_EQ(copy->blocks.size(), std::size_t{2001});
}

TEST_F(WindowContract, CheckListsFindingsAndADoubleClickShowsTheRow) {
    // The shipped German name of "Zeta Stone" (row 2 of the activators) is over the limit.
    write_file(m_dir / "data" / "Actidata.dat",
               encode_pair_file({{"Zeta Stone", "Der sehr alte Zetastein am Nebelweg"}}));
    start();
    open_plugin(m_plugin);
    constexpr int kFindingList = 1060;

    m_driver->choose_menu(7);
    ASSERT_TRUE(m_driver->wait_until([&] { return m_driver->window_open(WindowId::Findings); }));
    EXPECT_EQ(m_driver->window_title(WindowId::Findings), "Prüfen : 1 Befund");
    EXPECT_EQ(m_driver->headers(kFindingList),
              Strings({"Art/100", "Typ/50", "ID/170", "Hinweis/410"}));
    EXPECT_EQ(m_driver->column(kFindingList, 2), Strings({"act_zeta"}));
    EXPECT_TRUE(command_items_are(false));

    m_driver->click_row(kFindingList, 0, ListEventType::DoubleClick);
    EXPECT_TRUE(m_driver->wait_until([&] { return m_driver->current_tab() == 3; }));
    m_driver->close_window(WindowId::Findings);
    ASSERT_TRUE(wait_closed(WindowId::Findings));
    EXPECT_TRUE(command_items_are(true));
}

constexpr int kFilterField = 28;

TEST_F(WindowContract, FilterBoxHidesRowsAndTheCountsShow) {
    start();
    open_plugin(m_plugin);
    m_driver->select_tab(3);
    EXPECT_TRUE(m_driver->wait_until([&] { return m_driver->tab_labels()[3] == "Activator (3)"; }));
    EXPECT_EQ(m_driver->window_title(WindowId::Main), "ORVENTAL v3.03a - Nebelhain.esp");

    // Each keystroke filters; what the box holds matches ID, EV Name or DV Name.
    m_driver->type_text(kFilterField, "GATE");
    EXPECT_TRUE(m_driver->wait_until(
        [&] { return m_driver->column(kActivatorList, 1) == Strings({"act_gate"}); }));
    m_driver->type_text(kFilterField, "brunnen");
    EXPECT_TRUE(m_driver->wait_until(
        [&] { return m_driver->column(kActivatorList, 1) == Strings({"act_well"}); }));
    m_driver->type_text(kFilterField, "act_");
    EXPECT_TRUE(m_driver->wait_until(
        [&] { return m_driver->column(kActivatorList, 1).size() == std::size_t{5}; }));

    // Ctrl+F from the list puts the cursor into the filter box.
    m_driver->press_key(kActivatorList, "Ctrl+F");
    EXPECT_TRUE(m_driver->wait_until([&] { return m_driver->focused_control() == kFilterField; }));
}

TEST_F(WindowContract, KeysOpenTheNameDialogAndAnswerIt) {
    start();
    open_plugin(m_plugin);
    m_driver->select_tab(3);

    // Enter on a row opens the dialog with the cursor in the DV Name field; Escape closes it.
    m_driver->click_row(kActivatorList, 1, ListEventType::Other);
    m_driver->press_key(kActivatorList, "Enter");
    ASSERT_TRUE(m_driver->wait_until([&] { return m_driver->window_open(WindowId::NameEdit); }));
    EXPECT_TRUE(m_driver->wait_until([&] { return m_driver->focused_control() == kDvNameField; }));
    m_driver->press_key(kDvNameField, "Escape");
    ASSERT_TRUE(wait_closed(WindowId::NameEdit));

    // F2 opens it too; Enter in the DV Name field presses OK.
    m_driver->click_row(kActivatorList, 2, ListEventType::Other);
    m_driver->press_key(kActivatorList, "F2");
    ASSERT_TRUE(m_driver->wait_until([&] { return m_driver->window_open(WindowId::NameEdit); }));
    m_driver->type_text(kDvNameField, "Zetastein");
    m_driver->press_key(kDvNameField, "Enter");
    ASSERT_TRUE(wait_closed(WindowId::NameEdit));
    EXPECT_EQ(m_driver->column(kActivatorList, 3)[2], "Zetastein");
    EXPECT_TRUE(m_driver->wait_until([&] {
        return m_driver->window_title(WindowId::Main) == "ORVENTAL v3.03a - Nebelhain.esp *" &&
               m_driver->tab_labels()[3] == "Activator (2)";
    }));
}

} // namespace
} // namespace orv::test
