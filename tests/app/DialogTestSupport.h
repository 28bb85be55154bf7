#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string_view>
#include <vector>

#include "DialogueRecords.h"
#include "MemoryFiles.h"
#include "ScriptedPlatform.h"
#include "app/CommandMenu.h"
#include "app/WindowViews.h"
#include "app/Workspace.h"
#include "fixtures/PluginBuilder.h"
#include "translation/PluginLoader.h"

namespace orv::test {

// A workspace under the program folder "prog" with a plugin loaded from `records` and shown
// in the main window's 25 object list views, where the pop-ups find their rows.
class DialogTest : public ::testing::Test, LoaderView {
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
        ASSERT_TRUE(load_plugin(fixtures::plugin(records, file_type), database, workspace.store,
                                workspace.lists, *this));
    }
    void show_progress(const Text&) override {}
    void show_rows(int list_index, const std::vector<Element>& elements) override {
        WindowLoaderView(window).show_rows(list_index, elements);
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
