#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MemoryFiles.h"
#include "ScriptedPlatform.h"
#include "app/Application.h"
#include "app/MainMenu.h"
#include "fixtures/PluginBuilder.h"
#include "save/WindowViews.h"
#include "translation/dialogs/NameEditDialog.h"
#include "translation/dialogs/TextEditor.h"

namespace orv::test {

using Box = ScriptedDialogs::MessageBox;

// The whole program on the scripted platform, with its program folder "prog" in memory.
class AppHarness : public ::testing::Test {
protected:
    static constexpr int kDoorView = kFirstListControl + 9;
    static constexpr int kWeaponView = kFirstListControl + 19;

    void menu(int command) { app.handle(MenuCommandEvent{command}); }
    void control(int number, ListEventType type = ListEventType::Other) {
        app.handle(ControlEvent{number, type});
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
    // Double-clicks a row and types a new DV Name into the name-edit dialog; OK closes it.
    void rename(int view, std::size_t row, const Text& name) {
        window.user_selects_row(view, row);
        control(view, ListEventType::DoubleClick);
        window.user_types(name_edit::kDvNameField, name);
        control(name_edit::kOkButton);
    }
    // The cells of a list view's rows, joined by "|", one text per row.
    std::vector<std::string> rows(int view) const {
        std::vector<std::string> joined;
        const auto state = window.snapshot();
        for (const auto& row : state.control(view).rows) {
            std::string text;
            for (std::size_t cell = 0; cell < row.size(); ++cell) {
                text += (cell == 0 ? "" : "|") + row[cell];
            }
            joined.push_back(text);
        }
        return joined;
    }
    bool is_open(WindowId popup) const { return window.snapshot().is_open(popup); }
    // Two weapons and a door, none of them translated in the plugin.
    static Bytes three_records() {
        using fixtures::RecordBuilder;
        return fixtures::plugin({
            RecordBuilder("WEAP").text("NAME", "w2").text("FNAM", "Dagger").bytes(),
            RecordBuilder("DOOR").text("NAME", "d1").text("FNAM", "Gate").bytes(),
            RecordBuilder("WEAP").text("NAME", "w1").text("FNAM", "Club").bytes(),
        });
    }

    MemoryFiles files;
    ScriptedWindow window;
    ScriptedDialogs dialogs;
    // Declared before the application, which waits for its worker when it goes.
    ScriptedThreads threads;
    Application app{"prog", window, dialogs, files, threads};
};

} // namespace orv::test
