#include "save/FileCommands.h"

#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "ScriptedPlatform.h"
#include "fixtures/PluginBuilder.h"
#include "platform/CommandMenu.h"
#include "plugin/PluginReader.h"
#include "save/WindowViews.h"
#include "translation/TranslationDatabase.h"

namespace orv {
namespace {

namespace fs = std::filesystem;
using fixtures::RecordBuilder;
using test::native_path;

constexpr int kWeaponList = 19;

// Remembers every call; a store may be made to fail.
class FakeFolderSettings final : public FolderSettings {
public:
    Text reread_plugin_folder() override { return called("reread plugin", plugin_folder); }
    Text reread_save_folder() override { return called("reread save", save_folder); }
    Result<void> store_plugin_folder(const Text& folder) override {
        return store("plugin " + folder);
    }
    Result<void> store_save_folder(const Text& folder) override { return store("save " + folder); }

    Text plugin_folder = "c:\\";
    Text save_folder = "C:\\";
    std::optional<Error> store_failure;
    std::vector<Text> calls;

private:
    Text called(const Text& call, const Text& result) {
        calls.push_back(call);
        return result;
    }
    Result<void> store(const Text& call) {
        calls.push_back("store " + call);
        return store_failure ? Result<void>(*store_failure) : Result<void>();
    }
};

Bytes foo_town_plugin(std::int32_t file_type = 0) {
    return fixtures::plugin({RecordBuilder("CELL").text("NAME", "Foo Town").bytes(),
                             RecordBuilder("WEAP").text("NAME", "w1").text("FNAM", "Club").bytes()},
                            file_type);
}

// Test paths are written with "/" and used as this system writes them.
fs::path native(std::u8string_view utf8) {
    return path_from_utf8(native_path(std::string(utf8.begin(), utf8.end())));
}

const fs::path kFooTown = native(u8"/spiele/plugins/Foo Town.esp");
const Text kFooTownStatus = "Datei : Foo Town.esp";

class FileCommands : public ::testing::Test {
protected:
    FileCommands() {
        m_workspace.program_dir = "prog";
        for (int list = 0; list < kObjectListCount; ++list) {
            m_window.add_control(
                WindowId::Main,
                ControlSpec{kFirstListControl + list, ControlKind::ListView, {}, {}, {}, list});
        }
    }

    // As the event loop starts a worker.
    void run(void (*command)(FileCommandContext&)) {
        m_workspace.worker_ended = 0;
        m_workspace.busy = 1;
        command(m_context);
    }

    void open(const fs::path& path) {
        m_dialogs.next_path(path);
        run(open_command);
    }

    void load_foo_town(std::int32_t file_type = 0) {
        m_files.put(kFooTown, foo_town_plugin(file_type));
        open(kFooTown);
        ASSERT_TRUE(m_workspace.store.loaded());
        m_settings.calls.clear();
    }

    void expect_ended() const {
        EXPECT_EQ(m_workspace.worker_ended, 1);
        EXPECT_EQ(m_workspace.busy, 0);
    }

    void expect_command_menu(bool enabled) const {
        const auto state = m_window.snapshot();
        for (const int command : kCommandMenuItems) {
            EXPECT_EQ(state.enabled(command), enabled) << "item " << command;
        }
    }

    test::ScriptedWindow m_window;
    test::ScriptedDialogs m_dialogs;
    test::MemoryFiles m_files;
    FakeFolderSettings m_settings;
    Workspace m_workspace;
    FileCommandContext m_context{m_workspace, m_window, m_dialogs, m_files, m_settings};
};

TEST_F(FileCommands, CancelledDialogsShowTitleFolderAndFilterAndKeepEverything) {
    m_settings.plugin_folder = cp1252(u8"/spiele/Plugins für Nebelhain/");
    m_settings.save_folder = cp1252(u8"/spiele/Übersetzt/");
    load_foo_town();
    m_dialogs.next_path(std::nullopt);
    run(open_command);
    expect_ended();
    m_dialogs.next_path(std::nullopt);
    run(save_as_command);
    expect_ended();

    const auto dialogs = m_dialogs.snapshot().file_dialogs;
    ASSERT_EQ(dialogs.size(), 3u);
    EXPECT_FALSE(dialogs[1].save);
    EXPECT_EQ(dialogs[1].title, cp1252(u8"ESP öffnen "));
    EXPECT_EQ(dialogs[1].folder, fs::path(u8"/spiele/Plugins für Nebelhain/"));
    EXPECT_TRUE(dialogs[2].save);
    EXPECT_EQ(dialogs[2].title, "ESP speichern als");
    EXPECT_EQ(dialogs[2].folder, fs::path(u8"/spiele/Übersetzt/"));
    EXPECT_EQ(dialogs[2].filter, "ESP (*.esp)|*.esp");
    // Cancelled dialogs store no folder, and the plugin stays.
    EXPECT_EQ(m_settings.calls, (std::vector<Text>{"reread plugin", "reread save"}));
    EXPECT_EQ(m_workspace.current_file, kFooTown);
    EXPECT_EQ(m_workspace.store.record_count(), 2);
    EXPECT_EQ(m_window.snapshot().controls.at(kFirstListControl + kWeaponList).rows.size(), 1u);
}

TEST_F(FileCommands, OpenShowsRowsAndStoresFoldersThatFitTheConfiguration) {
    m_files.put(kFooTown, foo_town_plugin());
    set_command_menu_enabled(m_window, false);
    open(kFooTown);
    const auto s = m_window.snapshot();
    EXPECT_EQ(s.controls.at(kFirstListControl).rows,
              (std::vector<ListRow>{{"", "Foo Town", "Foo Town", "Foo Town"}}));
    EXPECT_EQ(s.controls.at(kFirstListControl + kWeaponList).rows,
              (std::vector<ListRow>{{"", "w1", "Club", "Club"}}));
    EXPECT_EQ(s.status.at(0), kFooTownStatus);
    EXPECT_EQ(s.status.at(1), cp1252(u8"Blöcke gelesen : 2 / 2"));
    EXPECT_EQ(
        m_settings.calls,
        (std::vector<Text>{"reread plugin", "store plugin " + native_path("/spiele/plugins/")}));
    EXPECT_TRUE(m_dialogs.boxes().empty());
    expect_command_menu(true);
    expect_ended();

    // A folder that Windows-1252 holds is stored; one it cannot hold keeps the old setting,
    // and the plugin still loads.
    m_files.put(native(u8"/spiele/Neu ä/Foo Town.esp"), foo_town_plugin());
    open(native(u8"/spiele/Neu ä/Foo Town.esp"));
    EXPECT_EQ(m_settings.calls.back(), native_path(cp1252(u8"store plugin /spiele/Neu ä/")));
    const fs::path foreign = native(u8"/spiele/Neu Ω/Foo Town.esp");
    m_files.put(foreign, foo_town_plugin());
    m_settings.calls.clear();
    open(foreign);
    EXPECT_EQ(m_settings.calls, (std::vector<Text>{"reread plugin"}));
    EXPECT_EQ(m_workspace.current_file, foreign);

    // A configuration that cannot be written is told, and the plugin loads all the same.
    m_settings.store_failure = Error{ErrorKind::CreateFailed, 0, cp1252(u8"Kestrun.ini kaputt")};
    open(kFooTown);
    EXPECT_EQ(m_dialogs.boxes(), std::vector{test::stop_box(cp1252(u8"Kestrun.ini kaputt"))});
    EXPECT_EQ(m_workspace.current_file, kFooTown);
    expect_ended();
}

TEST_F(FileCommands, RefusedOpenKeepsEverything) {
    const fs::path missing = native(u8"/spiele/plugins/Nebelhain.esp");
    const fs::path short_file = native(u8"/spiele/plugins/Kurz.esp");
    const Bytes short_bytes = fixtures::bytes_of("HEDR");
    m_files.put(short_file, short_bytes);
    struct Case {
        const char* name;
        fs::path path;
        Text message;
    };
    const Case cases[] = {
        {"missing", missing, file_error(ErrorKind::NotFound, missing).message},
        {"refused", short_file, read_plugin(short_bytes).error().message},
    };
    for (const bool loaded_before : {false, true}) {
        if (loaded_before) {
            load_foo_town();
        }
        for (const auto& test_case : cases) {
            SCOPED_TRACE(std::string(test_case.name) + (loaded_before ? " loaded" : " empty"));
            m_window.set_status_text(0, loaded_before ? kFooTownStatus : "Datei :");
            const auto boxes_before = m_dialogs.boxes().size();
            m_settings.calls.clear();
            open(test_case.path);

            ASSERT_EQ(m_dialogs.boxes().size(), boxes_before + 1);
            EXPECT_EQ(m_dialogs.boxes().back(), test::stop_box(test_case.message));
            EXPECT_EQ(m_workspace.store.loaded(), loaded_before);
            EXPECT_EQ(m_workspace.current_file, loaded_before ? kFooTown : fs::path{});
            EXPECT_EQ(m_window.snapshot().status[0], loaded_before ? kFooTownStatus : "Datei :");
            EXPECT_EQ(m_window.snapshot().controls.at(kFirstListControl + kWeaponList).rows.size(),
                      loaded_before ? 1u : 0u);
            EXPECT_EQ(m_workspace.lists.list(kWeaponList).elements.size(), loaded_before ? 1u : 0u);
            // The folder was chosen, so it is kept.
            EXPECT_EQ(m_settings.calls.back(), "store plugin " + native_path("/spiele/plugins/"));
            // Without a plugin only "Öffnen" and "Löschen" come back.
            for (const int command : kCommandMenuItems) {
                EXPECT_EQ(m_window.snapshot().enabled(command),
                          loaded_before || command == 1 || command == 5)
                    << "item " << command;
            }
            expect_ended();
        }
    }
}

TEST_F(FileCommands, SaveRefusedOrAnsweredNoChangesNothing) {
    const test::Box question{
        "FRAGE",
        native_path("AKTUELLE DATEI \xDC"
                    "BERSCHREIBEN  :                      \r/spiele/plugins/Foo Town.esp"),
        MessageButtons::YesNo, MessageIcon::Question};
    const auto master =
        test::stop_box(cp1252(u8"DIES IST EINE ESM-DATEI. FUNKTION NICHT VERFÜGBAR."));
    const struct {
        std::int32_t file_type;
        void (*command)(FileCommandContext&);
        test::Box box;
    } cases[] = {
        {1, save_command, master}, {1, save_as_command, master}, {0, save_command, question}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box.title);
        load_foo_town(c.file_type);
        m_workspace.lists.set_mark_and_dv_name(kWeaponList, 0, "*", "Keule");
        const auto files_before = m_files.paths();
        const auto dialogs_before = m_dialogs.snapshot().file_dialogs.size();
        set_command_menu_enabled(m_window, c.file_type == 0);
        m_dialogs.next_answer(MessageAnswer::No);
        run(c.command);
        EXPECT_EQ(m_dialogs.boxes().back(), c.box);
        EXPECT_EQ(m_dialogs.snapshot().file_dialogs.size(), dialogs_before);
        EXPECT_TRUE(m_settings.calls.empty());
        EXPECT_EQ(m_files.paths(), files_before);
        EXPECT_EQ(m_files.get(kFooTown), foo_town_plugin(c.file_type));
        EXPECT_EQ(m_workspace.lists.list(kWeaponList).elements[0].mark, "*");
        expect_command_menu(c.file_type == 0);
        expect_ended();
        m_workspace.lists.set_mark_and_dv_name(kWeaponList, 0, "", "Club");
    }
}

TEST_F(FileCommands, SaveWritesPluginAndExternalDatabase) {
    load_foo_town();
    m_workspace.lists.set_mark_and_dv_name(kWeaponList, 0, "*", "Keule");
    m_window.set_status_text(0, "");
    m_dialogs.next_answer(MessageAnswer::Yes);
    run(save_command);

    const auto saved = m_files.get(kFooTown);
    ASSERT_TRUE(saved);
    const std::string text(reinterpret_cast<const char*>(saved->data()), saved->size());
    EXPECT_NE(text.find("Keule"), std::string::npos);
    EXPECT_EQ(text.find("Club"), std::string::npos);
    const auto external = m_files.get(external_database_path("prog"));
    ASSERT_TRUE(external);
    const std::string pairs(reinterpret_cast<const char*>(external->data()), external->size());
    EXPECT_NE(pairs.find("Keule"), std::string::npos);
    // The saved row is marked in its view.
    EXPECT_EQ(m_window.cell_text(kFirstListControl + kWeaponList, 0, 0), "\xDC");
    EXPECT_EQ(m_window.snapshot().status[0], kFooTownStatus);
    EXPECT_TRUE(m_settings.calls.empty());
    expect_command_menu(true);
    expect_ended();
}

TEST_F(FileCommands, SaveAsAppliesTheNameRules) {
    struct Case {
        const char* typed;
        const char* target;
    };
    const Case accepted[] = {
        {"/ziel/Nebelhain", "/ziel/Nebelhain.esp"},
        {"/ziel/Nebelhain.esp", "/ziel/Nebelhain.esp"},
        {"/ziel/Nebelhain.esp.esp", "/ziel/Nebelhain.esp"},
        {"/ziel/Nebel.esphain", "/ziel/Nebelhain.esp"},
        {"/ziel/Nebelhain.ESP", "/ziel/Nebelhain.ESP.esp"},
        {"/ziel.esp/Nebelhain", "/ziel.esp/Nebelhain.esp"},
        {"/spiele/plugins/foo town.esp", "/spiele/plugins/foo town.esp"},
    };
    load_foo_town();
    for (const auto& test_case : accepted) {
        SCOPED_TRACE(test_case.typed);
        const fs::path target = native_path(test_case.target);
        m_workspace.current_file = kFooTown;
        m_settings.calls.clear();
        m_dialogs.next_path(fs::path(native_path(test_case.typed)));
        run(save_as_command);
        EXPECT_TRUE(m_files.get(target));
        EXPECT_EQ(m_workspace.current_file, target);
        EXPECT_EQ(m_window.snapshot().status[0], "Datei : " + target.filename().string());
        EXPECT_EQ(m_settings.calls,
                  (std::vector<Text>{"reread save", "store save " + target.parent_path().string() +
                                                        kPathSeparator}));
        expect_command_menu(true);
        expect_ended();
    }
    EXPECT_TRUE(m_dialogs.boxes().empty());

    // The current file's own name, typed with or without the extension, is refused.
    m_workspace.current_file = kFooTown;
    m_window.set_status_text(0, kFooTownStatus);
    set_command_menu_enabled(m_window, false);
    const auto files_before = m_files.paths();
    for (const char* typed : {"/spiele/plugins/Foo Town", "/spiele/plugins/Foo Town.esp"}) {
        SCOPED_TRACE(typed);
        m_settings.calls.clear();
        m_dialogs.next_path(fs::path(native_path(typed)));
        run(save_as_command);
        EXPECT_EQ(m_dialogs.boxes().back(),
                  (test::Box{"INFORMATION",
                             cp1252(u8"DER NAME DER NEUEN DATEI IST IDENTISCH MIT DEM NAMEN DER "
                                    u8"AKTUELLEN DATEI.\r   GIB EINEN ANDEREN NAMEN AN ODER NUTZE "
                                    u8"'SPEICHERN' UM DIE DATEI ZU ÜBERSCHREIBEN."),
                             MessageButtons::Ok, MessageIcon::Information}));
        EXPECT_EQ(m_settings.calls, (std::vector<Text>{"reread save"}));
        expect_ended();
    }
    EXPECT_EQ(m_files.paths(), files_before);
    expect_command_menu(false);
}

TEST_F(FileCommands, FailedSaveLeavesTheOldFile) {
    load_foo_town();
    const fs::path other = native(u8"/ziel/Nebelhain.esp");
    m_files.put(other, fixtures::bytes_of("altes Nebelhain"));
    m_workspace.lists.set_mark_and_dv_name(kWeaponList, 0, "*", "Keule");
    for (const bool save_as : {false, true}) {
        SCOPED_TRACE(save_as ? "save as" : "save");
        const fs::path target = save_as ? other : kFooTown;
        const Bytes before = *m_files.get(target);
        m_settings.calls.clear();
        if (save_as) {
            m_dialogs.next_path(native(u8"/ziel/Nebelhain"));
        } else {
            m_dialogs.next_answer(MessageAnswer::Yes);
        }
        // The plugin is the last file written, after the external database.
        m_files.fail_operation(2, test::FileOperation::Rename, FileErrorReason::AccessDenied);
        run(save_as ? save_as_command : save_command);

        // The message names the file the user chose, never the temporary file beside it.
        EXPECT_EQ(m_dialogs.boxes().back(),
                  test::stop_box(cp1252(u8"Die Datei „") + display_path(target) +
                                 cp1252(u8"“ konnte nicht ersetzt werden: der Zugriff wurde "
                                        u8"verweigert.")));
        EXPECT_EQ(m_files.get(target), before);
        EXPECT_EQ(m_workspace.current_file, kFooTown);
        EXPECT_EQ(m_window.snapshot().status[0], kFooTownStatus);
        if (save_as) {
            // The folder is stored before the save runs.
            EXPECT_EQ(m_settings.calls.back(), "store save " + native_path("/ziel/"));
        }
        expect_command_menu(true);
        expect_ended();
    }
}

TEST_F(FileCommands, EndedWorkerOnlyEnds) {
    load_foo_town();
    for (const auto command : {open_command, save_command, save_as_command}) {
        m_workspace.worker_ended = 1;
        m_workspace.busy = 1;
        command(m_context);
        expect_ended();
    }
    EXPECT_EQ(m_dialogs.snapshot().file_dialogs.size(), 1u); // only the Open that loaded
    EXPECT_TRUE(m_dialogs.boxes().empty());
    EXPECT_TRUE(m_settings.calls.empty());
}

} // namespace
} // namespace orv
