#pragma once

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "DialogueRecords.h"
#include "MemoryFiles.h"
#include "ScriptedPlatform.h"
#include "app/Application.h"
#include "app/CommandMenu.h"
#include "app/MainMenu.h"
#include "app/NameEditDialog.h"
#include "app/TextEditor.h"
#include "app/WindowViews.h"
#include "app/Workspace.h"
#include "fixtures/PluginBuilder.h"
#include "translation/PluginLoader.h"

namespace orv::test {

using Rows = std::vector<std::string>;

// Two weapons, a door, a book and two cells, none of them translated in the plugin.
inline Bytes sample_plugin() {
    using fixtures::RecordBuilder;
    return fixtures::plugin({
        fixtures::record("CELL", {{"NAME", "Zeta"}}),
        fixtures::record("CELL", {{"NAME", "Alpha"}}),
        RecordBuilder("WEAP").text("NAME", "w2").text("FNAM", "Dagger").bytes(),
        RecordBuilder("DOOR").text("NAME", "d1").text("FNAM", "Gate").bytes(),
        RecordBuilder("WEAP").text("NAME", "w1").text("FNAM", "Club").bytes(),
        RecordBuilder("BOOK").text("NAME", "bk").text("FNAM", "Buch").raw("TEXT", "Es war").bytes(),
    });
}

// The controls of `popup` that overlap another or reach outside it, as "a and b" or "a
// outside". (A label's box may reach into the control it names.)
inline Rows misplaced_controls(const WindowState& state, WindowId popup) {
    std::vector<std::pair<int, Rect>> placed;
    for (const auto& [number, control] : state.controls) {
        if (control.window == popup && control.definition.kind != ControlKind::Label) {
            placed.emplace_back(number, control.definition.rect);
        }
    }
    const Rect& window = state.popups.at(popup).second;
    Rows misplaced;
    for (std::size_t a = 0; a < placed.size(); ++a) {
        const auto& [number, x] = placed[a];
        if (x.left + x.width > window.width || x.top + x.height > window.height) {
            misplaced.push_back(std::to_string(number) + " outside");
        }
        for (std::size_t b = a + 1; b < placed.size(); ++b) {
            const Rect& y = placed[b].second;
            if (x.left < y.left + y.width && y.left < x.left + x.width &&
                x.top < y.top + y.height && y.top < x.top + x.height) {
                misplaced.push_back(std::to_string(number) + " and " +
                                    std::to_string(placed[b].first));
            }
        }
    }
    return misplaced;
}

// The whole program on the scripted platform, with its program folder "prog" in memory.
class AppHarness : public ::testing::Test {
protected:
    static constexpr int kWeaponView = kFirstListControl + 19;

    void menu(int command) { app.handle(MenuCommandEvent{command}); }
    void control(int number, ListEventType type = ListEventType::Other) {
        app.handle(ControlEvent{number, type});
    }
    // The user selects a row, then acts on it: a double click, a key, a right click.
    void on_row(int view, std::size_t row, ListEventType type) {
        window.user_selects_row(view, row);
        control(view, type);
    }
    // A file command, waited for until its worker is done.
    void run(int command) {
        menu(command);
        threads.wait_until_idle();
    }
    void open(const std::filesystem::path& plugin_path) {
        dialogs.next_path(plugin_path);
        run(command::kOpen);
    }
    // Starts the program and opens a plugin of `sample_plugin()` at `path`.
    void start_with_plugin(const std::filesystem::path& path = "daten/Foo Town.esp") {
        files.put(path, sample_plugin());
        app.start();
        open(path);
    }
    // Double-clicks a row and types a new DV Name into the name-edit dialog; OK closes it.
    void rename(int view, std::size_t row, const Text& name) {
        on_row(view, row, ListEventType::DoubleClick);
        window.set_control_text(name_edit::kDvNameField, name);
        control(name_edit::kOkButton);
    }
    // The cells of a list view's rows, joined by "|", one text per row.
    Rows rows(int view) const {
        Rows joined;
        const auto state = window.snapshot();
        for (const auto& row : state.controls.at(view).rows) {
            joined.push_back(row.at(0) + "|" + row.at(1) + "|" + row.at(2) + "|" + row.at(3));
        }
        return joined;
    }
    bool is_open(WindowId popup) const { return window.snapshot().is_open(popup); }
    // A control as the window shows it now, and its text.
    WindowState::Control shown_control(int number) const {
        return window.snapshot().controls.at(number);
    }
    Text text_of(int number) const { return shown_control(number).definition.text; }

    MemoryFiles files;
    ScriptedWindow window;
    ScriptedDialogs dialogs;
    // Declared before the application, which waits for its worker when it goes.
    ScriptedThreads threads;
    Application app{"prog", window, dialogs, files, threads};
};

// A workspace under the program folder "prog" with a plugin loaded from `records` and shown
// in the main window's 25 object list views, where the pop-ups find their rows.
class DialogTest : public ::testing::Test {
protected:
    DialogTest() {
        workspace.program_dir = "prog";
        for (int list = 0; list < kObjectListCount; ++list) {
            window.add_control(
                WindowId::Main,
                ControlSpec{kFirstListControl + list, ControlKind::ListView, "", {}, {}, list});
        }
    }
    void load(const std::vector<Bytes>& records, std::int32_t file_type = 0) {
        TranslationDatabase database(files, workspace.program_dir);
        WindowLoaderView view(window);
        ASSERT_TRUE(load_plugin(fixtures::plugin(records, file_type), database, workspace.store,
                                workspace.lists, view));
    }
    // Whether all command menu items are enabled (true) or all greyed (false).
    bool command_menu_is(bool enabled) const {
        const auto state = window.snapshot();
        return std::all_of(kCommandMenuItems.begin(), kCommandMenuItems.end(),
                           [&](int item) { return state.enabled(item) == enabled; });
    }
    WindowState::Control control(int number) const { return window.snapshot().controls.at(number); }
    Text text_of(int number) const { return control(number).definition.text; }
    bool is_open(WindowId popup) const { return window.snapshot().is_open(popup); }

    MemoryFiles files;
    Workspace workspace;
    ScriptedWindow window;
    ScriptedDialogs dialogs;
};

// A book, with its long text in TEXT if it has one, and a subrecord behind the text that a
// replacement must move along.
inline Bytes book(std::string_view id, std::optional<std::string_view> text) {
    fixtures::RecordBuilder record("BOOK");
    record.text("NAME", id).text("FNAM", "Buch");
    if (text) {
        record.raw("TEXT", *text);
    }
    return record.raw("DATA", "1234").bytes();
}

} // namespace orv::test
