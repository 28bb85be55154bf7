#include "app/FileCommands.h"
#include "app/ConfigFile.h"
#include "app/ConfiguredFolders.h"
#include "app/LearnCommand.h"

#include <algorithm>

#include <gtest/gtest.h>

#include "AppHarness.h"
#include "app/WindowViews.h"

#include "plugin/PluginReader.h"
#include "save/CommandTexts.h"
#include "translation/DatabaseFile.h"
#include "translation/TranslationDatabase.h"
#include "translation/TranslationMemory.h"

namespace orv {
namespace {

namespace fs = std::filesystem;
using fixtures::RecordBuilder;
using test::Box;
using test::native_path;

constexpr int kWeaponList = 19;
constexpr int kWeaponView = kFirstListControl + kWeaponList;
const fs::path kProgramDir = "prog";
const fs::path kConfigPath = kProgramDir / kConfigFileName;

Bytes foo_town_plugin(std::int32_t file_type = 0, std::string_view weapon = "Club") {
    return fixtures::plugin({RecordBuilder("CELL").text("NAME", "Foo Town").bytes(),
                             RecordBuilder("WEAP").text("NAME", "w1").text("FNAM", weapon).bytes()},
                            file_type);
}

// Test paths are written with "/" and used as this system writes them.
fs::path native(std::u8string_view utf8) {
    return path_from_utf8(native_path(std::string(utf8.begin(), utf8.end())));
}

const fs::path kFooTown = native(u8"/spiele/plugins/Foo Town.esp");
const Text kFooTownStatus = "Datei : Foo Town.esp";

class FileCommands : public test::DialogTest {
protected:
    // As the event loop starts a worker; every command ends it, one already ended only that.
    void run(void (*command)(FileCommandContext&), int ended = 0) {
        workspace.worker_ended = ended;
        command(m_context);
        EXPECT_EQ(workspace.worker_ended, 1);
    }
    void open(const std::optional<fs::path>& path) {
        dialogs.next_path(path);
        run(open_command);
    }
    // Loaded, with the configuration's folders back at their defaults.
    void load_foo_town(std::int32_t file_type = 0) {
        files.put(kFooTown, foo_town_plugin(file_type));
        open(kFooTown);
        ASSERT_TRUE(workspace.store.loaded());
        ASSERT_TRUE(write_settings(files, kProgramDir, {}));
    }
    // The plugin and save folders as the configuration file holds them.
    std::pair<Text, Text> folders() {
        const Settings settings = read_settings(files, kProgramDir);
        return {settings.plugin_folder, settings.save_folder};
    }

    Settings m_settings;
    ConfiguredFolders m_folders{files, kProgramDir, m_settings};
    FileCommandContext m_context{workspace, window, dialogs, files, m_folders};
};

TEST_F(FileCommands, OpenShowsTheFileAndStoresTheFolder) {
    // As read at start-up.
    m_settings = {.plugin_folder = cp1252(u8"/spiele/Plugins für Nebelhain/"),
                  .save_folder = cp1252(u8"/spiele/Übersetzt/")};
    ASSERT_TRUE(write_settings(files, kProgramDir, m_settings));
    files.put(kFooTown, foo_town_plugin());
    set_command_menu_enabled(window, false);
    // The new rows are in file order: a sorted list's arrow goes.
    window.set_sort_indicator(kWeaponView, 2, false);
    // While the plugin is read, no other command can start.
    std::vector<bool> menu_while_reading;
    window.on_status_text = [&](const test::WindowState& state) {
        menu_while_reading.push_back(state.enabled(command::kOpen));
    };
    open(kFooTown);
    window.on_status_text = nullptr;
    EXPECT_FALSE(menu_while_reading.empty());
    EXPECT_EQ(std::count(menu_while_reading.begin(), menu_while_reading.end(), true), 0);
    EXPECT_EQ(control(kWeaponView).sort_column, std::nullopt);
    // (The loader's tests own the progress field.)
    EXPECT_EQ(window.snapshot().status.at(0), kFooTownStatus);
    const std::pair stored(native_path("/spiele/plugins/"), cp1252(u8"/spiele/Übersetzt/"));
    EXPECT_EQ(folders(), stored);
    EXPECT_TRUE(command_menu_is(true));

    // Cancelled dialogs store no folder.
    open(std::nullopt);
    dialogs.next_path(std::nullopt);
    run(save_as_command);
    const auto asked = dialogs.snapshot().file_dialogs;
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_EQ(
        std::tie(asked[0].save, asked[0].title, asked[0].folder),
        std::tuple(false, cp1252(u8"ESP öffnen "), fs::path(u8"/spiele/Plugins für Nebelhain/")));
    EXPECT_EQ(std::tie(asked[2].save, asked[2].title, asked[2].folder, asked[2].filter),
              std::tuple(true, Text("ESP speichern als"), fs::path(u8"/spiele/Übersetzt/"),
                         Text("ESP (*.esp)|*.esp")));
    EXPECT_EQ(folders(), stored);

    // A folder Windows-1252 holds is stored; one it cannot hold keeps the old setting, without a
    // box (the one checked below is all there is).
    files.put(native(u8"/spiele/Neu ä/Foo Town.esp"), foo_town_plugin());
    open(native(u8"/spiele/Neu ä/Foo Town.esp"));
    const Text neu = native_path(cp1252(u8"/spiele/Neu ä/"));
    EXPECT_EQ(folders().first, neu);
    const fs::path foreign = native(u8"/spiele/Neu Ω/Foo Town.esp");
    files.put(foreign, foo_town_plugin());
    open(foreign);
    EXPECT_EQ(folders().first, neu);
    EXPECT_EQ(workspace.current_file, foreign);

    // A configuration that cannot be written is told, and the plugin loads all the same.
    files.fail_operation(1, test::FileOperation::Create);
    open(kFooTown);
    EXPECT_EQ(dialogs.boxes(), std::vector{test::stop_box(
                                   file_error(ErrorKind::CreateFailed, kConfigPath).message)});
    EXPECT_EQ(workspace.current_file, kFooTown);
}

TEST_F(FileCommands, RefusedOpenKeepsEverything) {
    const fs::path missing = native(u8"/spiele/plugins/Nebelhain.esp");
    const fs::path short_file = native(u8"/spiele/plugins/Kurz.esp");
    files.put(short_file, fixtures::bytes_of("HEDR"));
    const std::pair<fs::path, Text> cases[] = {
        {missing, file_error(ErrorKind::NotFound, missing).message},
        {short_file, read_plugin(fixtures::bytes_of("HEDR")).error().message},
    };
    for (const bool loaded : {false, true}) {
        if (loaded) {
            load_foo_town();
        }
        for (const auto& [path, message] : cases) {
            SCOPED_TRACE(path.string() + (loaded ? " loaded" : " empty"));
            const Text status = loaded ? kFooTownStatus : "Datei :";
            window.set_status_text(0, status);
            ASSERT_TRUE(write_settings(files, kProgramDir, {}));
            open(path);
            EXPECT_EQ(dialogs.boxes().back(), test::stop_box(message));
            EXPECT_EQ(workspace.store.loaded(), loaded);
            EXPECT_EQ(workspace.current_file, loaded ? kFooTown : fs::path{});
            EXPECT_EQ(window.snapshot().status[0], status);
            // The folder was chosen, so it is kept.
            EXPECT_EQ(folders().first, native_path("/spiele/plugins/"));
            // Without a plugin only "Öffnen", "Löschen" and "Aus Übersetzung lernen..." come
            // back.
            for (const int item : kCommandMenuItems) {
                EXPECT_EQ(window.snapshot().enabled(item),
                          loaded || item == 1 || item == 5 || item == 6)
                    << item;
            }
        }
    }
    // A command whose worker has already ended only ends it: no dialog or box.
    const auto asked = dialogs.snapshot().file_dialogs.size();
    for (const auto command : {open_command, save_command, save_as_command}) {
        run(command, 1);
    }
    EXPECT_EQ(dialogs.snapshot().file_dialogs.size(), asked);
    EXPECT_EQ(dialogs.boxes().size(), 4u);
}

TEST_F(FileCommands, SaveAndSaveAs) {
    const auto t = [](const char* path) { return fs::path(native_path(path)); };
    const Box master = test::stop_box(master_file_save_message());
    const Box question{"FRAGE",
                       cp1252(u8"AKTUELLE DATEI ÜBERSCHREIBEN  :") + Text(22, ' ') + "\r" +
                           native_path("/spiele/plugins/Foo Town.esp"),
                       MessageButtons::YesNo, MessageIcon::Question};
    const Box same{"INFORMATION",
                   cp1252(u8"DER NAME DER NEUEN DATEI IST IDENTISCH MIT DEM NAMEN DER AKTUELLEN "
                          u8"DATEI.\r   GIB EINEN ANDEREN NAMEN AN ODER NUTZE 'SPEICHERN' UM DIE "
                          u8"DATEI ZU ÜBERSCHREIBEN."),
                   MessageButtons::Ok, MessageIcon::Information};
    // The message names the chosen file, never the temporary file beside it.
    const Box failed = test::stop_box(
        file_error(ErrorKind::RenameFailed, t("/ziel/Nebelhain.esp"), FileErrorReason::AccessDenied)
            .message);
    // clang-format off
    const struct {
        std::int32_t file_type;
        const char* typed; // nullptr: "Speichern", answered so; else "Speichern als..."
        MessageAnswer answer;
        bool fail; // the plugin's rename, after the configuration's and the external database's
        std::vector<Box> boxes;
        const char* target;
    } cases[] = {
        {1, nullptr,                         MessageAnswer::No,  false, {master},   nullptr},
        {1, "",                              MessageAnswer::No,  false, {master},   nullptr},
        {0, nullptr,                         MessageAnswer::No,  false, {question}, nullptr},
        {0, nullptr,                         MessageAnswer::Yes, false, {question}, "/spiele/plugins/Foo Town.esp"},
        {0, "/ziel/Nebelhain",               MessageAnswer::No,  true,  {failed},   "/ziel/Nebelhain.esp"},
        {0, "/ziel/Nebelhain",               MessageAnswer::No,  false, {},         "/ziel/Nebelhain.esp"},
        {0, "/ziel/Nebelhain.esp.esp",       MessageAnswer::No,  false, {},         "/ziel/Nebelhain.esp"},
        {0, "/ziel/Nebel.esphain",           MessageAnswer::No,  false, {},         "/ziel/Nebelhain.esp"},
        {0, "/ziel/Nebelhain.ESP",           MessageAnswer::No,  false, {},         "/ziel/Nebelhain.ESP.esp"},
        {0, "/ziel.esp/Nebelhain",           MessageAnswer::No,  false, {},         "/ziel.esp/Nebelhain.esp"},
        {0, "/spiele/plugins/foo town.esp",  MessageAnswer::No,  false, {},         "/spiele/plugins/foo town.esp"},
        {0, "/spiele/plugins/Foo Town",      MessageAnswer::No,  false, {same},     nullptr},
    };
    // clang-format on
    files.put(external_database_path("prog"), encode_pair_file({{"FFFF", "FFFF"}}));
    files.put(memory_path("prog"), {});
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.file_type << (c.typed ? c.typed : "save") << c.fail);
        const std::optional<fs::path> target = c.target ? std::optional(t(c.target)) : std::nullopt;
        const auto written = c.fail ? std::nullopt : target;
        // Save-as stores the chosen folder.
        const Text save_folder =
            c.typed && target ? target->parent_path().string() + kPathSeparator : "C:\\";
        load_foo_town(c.file_type);
        workspace.lists.set_mark_and_dv_name(kWeaponList, 0, mark::kEdited, "Keule");
        workspace.stored_texts.stored(1, "Old", "Alt");
        window.set_status_text(0, "");
        window.set_rows(kWeaponView, {{"", "w1", "Club", "Keule"}}, {RowState::Translated});
        set_command_menu_enabled(window, false);
        if (!c.typed) {
            dialogs.next_answer(c.answer);
        } else if (c.file_type == 0) {
            dialogs.next_path(t(c.typed));
        }
        if (c.fail) {
            files.fail_operation(3, test::FileOperation::Rename, FileErrorReason::AccessDenied);
        }
        const auto before = dialogs.boxes().size();
        // Only a new target adds a file.
        const auto file_count = files.paths().size() + (written && !files.get(*written));
        run(c.typed ? save_as_command : save_command);

        const auto shown = dialogs.boxes();
        EXPECT_EQ(std::vector(shown.begin() + long(before), shown.end()), c.boxes);
        EXPECT_EQ(folders().second, save_folder);
        EXPECT_EQ(files.get(kFooTown) == foo_town_plugin(c.file_type), written != kFooTown);
        EXPECT_EQ(files.paths().size(), file_count);
        EXPECT_TRUE(!written || files.get(*written) == foo_town_plugin(0, "Keule"));
        EXPECT_EQ(workspace.current_file, written && c.typed ? *written : kFooTown);
        EXPECT_EQ(window.snapshot().status[0],
                  written ? "Datei : " + workspace.current_file.filename().string() : "");
        // A saved row is marked in its view; a failed save leaves it, and the stored text,
        // unsaved, and says so where the save's progress stood.
        EXPECT_EQ(window.cell_text(kWeaponView, 0, 0), written ? "\xDC" : c.fail ? "*" : "");
        EXPECT_EQ(workspace.stored_texts.unsaved_count(), written ? 0u : 1u);
        EXPECT_EQ(window.snapshot().status[1] == "Speichern fehlgeschlagen", c.fail);
        EXPECT_TRUE(command_menu_is(c.file_type == 0 && c.boxes != std::vector{same}));
        workspace.lists.set_mark_and_dv_name(kWeaponList, 0, mark::kNone, "Club");
        workspace.stored_texts.clear();
    }
}

TEST_F(FileCommands, LearningAsksForBothFilesAndSumsUpOrSaysWhatFailed) {
    const auto guard = [](std::string_view name) {
        return fixtures::plugin({fixtures::record("NPC_", {{"NAME", "guard"}, {"FNAM", name}})});
    };
    const fs::path english = native(u8"/spiele/plugins/Wache.esp");
    const fs::path german = native(u8"/spiele/deutsch/Wache.esp");
    files.put(english, guard("Guard"));
    files.put(german, guard("Wache"));
    const fs::path external = "prog/dataextra/Extradata.dat";
    const fs::path memory = "prog/dataextra/Memory.tsv";
    const auto learn = [&](const std::optional<fs::path>& second) {
        dialogs.next_path(english);
        dialogs.next_path(second);
        run(learn_command);
    };

    // Cancelling the second dialog learns nothing.
    learn(std::nullopt);
    EXPECT_FALSE(files.get(external) || files.get(memory));
    const auto asked = dialogs.snapshot().file_dialogs;
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(std::tie(asked[0].title, asked[0].filter),
              std::tuple(cp1252(u8"Englische Datei wählen"), Text("ESP/ESM|*.esp;*.esm")));
    EXPECT_EQ(
        std::tie(asked[1].title, asked[1].folder),
        std::tuple(cp1252(u8"Deutsche Fassung derselben Datei wählen"), english.parent_path()));

    // Learned into the program folder's database and memory, then summed up in a box; the
    // command menu items come back as they were (no plugin is loaded).
    learn(german);
    const auto names = parse_pair_file(*files.get(external));
    ASSERT_FALSE(names.entries.empty());
    EXPECT_EQ(names.entries.back(), (PairEntry{"Guard", "Wache"}));
    // (The learning's report owns the text.)
    ASSERT_EQ(dialogs.boxes().size(), 1u);
    EXPECT_EQ(dialogs.boxes()[0].icon, MessageIcon::Information);
    EXPECT_TRUE(window.snapshot().enabled(command::kLearnFromTranslation));
    EXPECT_FALSE(window.snapshot().enabled(command::kSave));

    // A German file that is cut short is refused in a box (the learning's own tests own that
    // nothing is written then).
    Bytes cut = guard("Wache");
    cut.resize(cut.size() - 3);
    files.put(german, cut);
    learn(german);
    ASSERT_EQ(dialogs.boxes().size(), 2u);
    EXPECT_EQ(dialogs.boxes()[1].icon, MessageIcon::Stop);
}

using fixtures::bytes_of;

Settings parse(std::string_view text) {
    return parse_settings(bytes_of(text));
}

TEST(ConfigFile, ReadsDefaultsWritesExactLayoutAndReadsItBack) {
    test::MemoryFiles files;
    EXPECT_EQ(reread_plugin_folder(files, kProgramDir), "c:\\");
    EXPECT_EQ(reread_save_folder(files, kProgramDir), "C:\\");

    files.put_text(kConfigPath, "[Block size save]\r\nBank = 7\r\n");
    files.fail_operation(1, test::FileOperation::Read);
    EXPECT_EQ(read_settings(files, kProgramDir), Settings{});
    EXPECT_EQ(read_settings(files, kProgramDir).bank, 7);

    files.put_text(kConfigPath, "old contents that are longer than nothing");
    const Settings settings{.window_width = -5,
                            .window_height = 2147483647,
                            .bank = 0,
                            .plugin_folder = "/home/nutzer/Data Files/",
                            .save_folder = ""};
    const Bytes written = bytes_of(";Plorvane Init file\r\n;\r\nPreferenceVersion = 1\r\n;\r\n"
                                   "[Block size save]\r\nBank = 0\r\n;\r\n[Window]\r\n"
                                   "WindowWidth = -5\r\nWindowHeight = 2147483647\r\n;\r\n"
                                   "[Plugin Path]\r\nPlugPath = /home/nutzer/Data Files/\r\n;\r\n"
                                   "[Save Path]\r\nSavePath = \r\n");
    ASSERT_TRUE(write_settings(files, kProgramDir, settings));
    EXPECT_EQ(files.get(kConfigPath), written);
    EXPECT_EQ(read_settings(files, kProgramDir), settings);
}

TEST(ConfigParser, FindsTextValuesByTheLineRules) {
    const struct {
        const char* name;
        std::string_view file;
        Text plugin;
    } cases[] = {
        {"capitals and no spaces", "[PLUGIN PATH]\r\nplugPATH=D:\\x\\\r\n", "D:\\x\\"},
        {"empty value", "[Plugin Path]\r\nPlugPath =\r\n", ""},
        {"outer spaces", "[Plugin Path]\r\nPlugPath =   a b  \r\n", "a b  "},
        {"spaces around key", "[Plugin Path]\r\n   PlugPath   =x\r\n", "x"},
        {"LF only, no last LF", "[Plugin Path]\nPlugPath = x", "x"},
        {"CR after LF skipped", "[Plugin Path]\n\rPlugPath = x\n\r", "x"},
        {"CR ends the text", "[Plugin Path]\nPlugPath = a\rb\n", "a"},
        {"group without ]", "[Plugin Path\r\nPlugPath = x\r\n", "x"},
        {"indented [ is no group", "[Plugin Path]\r\n [Save Path]=\r\nPlugPath = x\r\n", "x"},
        {"comments skipped", "[Plugin Path]\r\n  ;PlugPath = a\r\nPlugPath = x\r\n", "x"},
        {"first key wins", "[Plugin Path]\r\nPlugPath = x\r\nPlugPath = y\r\n", "x"},
        {"= on its own line", "[Plugin Path]\r\nPlugPath\r\n= a\r\nPlugPath = x\r\n", "x"},
        {"longer key", "[Plugin Path]\r\nPlugPaths = a\r\nPlug Path = b\r\n", "C:\\"},
        {"key after next group", "[Plugin Path]\r\n[Save Path]\r\nPlugPath = a\r\n", "C:\\"},
        {"key in other group", "[Save Path]\r\nPlugPath = a\r\n", "C:\\"},
        {"key before any group", "PlugPath = a\r\n[Plugin Path]\r\n", "C:\\"},
        {"group name prefix", "[Plugin]\r\nPlugPath = a\r\n", "C:\\"},
        {"longer group name", "[Plugin Paths]\r\nPlugPath = a\r\n", "C:\\"},
        {"first group line used", "[Plugin Path]\r\n[Plugin Path]\r\nPlugPath = a\r\n", "C:\\"},
        {"groups in any order", "[Save Path]\r\nSavePath=s\r\n[Plugin Path]\r\nPlugPath=x", "x"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parse(c.file).plugin_folder, c.plugin);
    }
    EXPECT_EQ(parse("[save path]\r\n SAVEPATH= D:\\s \r\n").save_folder, "D:\\s ");
    EXPECT_EQ(reread_plugin_folder(bytes_of("[Plugin Path]\r\nPlugPath=\r\n")), "");
    EXPECT_EQ(reread_save_folder(bytes_of("[Save Path]\r\nSavePath=s\r\n")), "s");
}

TEST(ConfigParser, ConvertsIntegersLikeDecimalNumbers) {
    const struct {
        std::string_view value;
        std::int32_t bank;
    } cases[] = {// clang-format off
        {"123", 123}, {"-42", -42}, {"+7", 7}, {"007x", 7}, {"12abc", 12}, {"abc", 0}, {"", 0},
        {"- 5", 0}, {"+-1", 0}, {"2147483647", 2147483647}, {"2147483648", 2147483647},
        {"-2147483648", -2147483647 - 1}, {"-2147483649", -2147483647 - 1},
        {"99999999999999999999999", 2147483647}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(parse("[Block size save]\r\nBank = " + std::string(c.value) + "\r\n").bank,
                  c.bank);
    }
    const auto window = parse("[WINDOW]\nwindowheight=1024\nWINDOWWIDTH  =  1280");
    EXPECT_EQ(window, (Settings{.window_width = 1280, .window_height = 1024}));
}

} // namespace
} // namespace orv
