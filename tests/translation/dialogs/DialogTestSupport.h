#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "MemoryFiles.h"
#include "ScriptedPlatform.h"
#include "fixtures/PluginBuilder.h"
#include "platform/CommandMenu.h"
#include "save/WindowViews.h"
#include "translation/PluginLoader.h"
#include "translation/Workspace.h"

namespace orv::test {

// The main window's side of a loaded plugin: the 25 object list views hold the rows as the
// loader shows them, so the pop-ups find their selection and cells where the program keeps
// them.
class ListViewsShown final : public LoaderView {
public:
    explicit ListViewsShown(ScriptedWindow& window) : m_window(window) {
        for (int list = 0; list < kObjectListCount; ++list) {
            m_window.add_control(
                WindowId::Main,
                ControlSpec{kFirstListControl + list, ControlKind::ListView, "", {}, {}, list});
        }
    }
    void show_progress(const Text&) override {}
    void show_rows(int list_index, const std::vector<Element>& elements) override {
        std::vector<ListRow> rows;
        for (const auto& element : elements) {
            rows.push_back({element.mark, element.id, element.ev_name, element.dv_name});
        }
        m_window.set_rows(kFirstListControl + list_index, std::move(rows));
    }

private:
    ScriptedWindow& m_window;
};

// A workspace under the program folder "prog" with a plugin loaded from `records`.
class DialogTest : public ::testing::Test {
protected:
    void load(const std::vector<Bytes>& records, std::int32_t file_type = 0) {
        workspace.program_dir = "prog";
        TranslationDatabase database(files, workspace.program_dir);
        ASSERT_TRUE(load_plugin(fixtures::plugin(records, file_type), database, workspace.store,
                                workspace.lists, m_views));
    }

    // Every list view's rows and every element of every list, to compare before and after.
    std::pair<std::vector<std::vector<ListRow>>, std::vector<ListRow>> lists() const {
        std::pair<std::vector<std::vector<ListRow>>, std::vector<ListRow>> all;
        const auto state = window.snapshot();
        for (int list = 0; list < kObjectListCount; ++list) {
            all.first.push_back(state.control(kFirstListControl + list).rows);
            for (const auto& e : workspace.lists.list(list).elements) {
                all.second.push_back({e.mark, e.id, e.ev_name, e.dv_name, std::to_string(e.block)});
            }
        }
        return all;
    }
    // Whether all command menu items are enabled (true) or all greyed (false).
    bool command_menu_is(bool enabled) const {
        const auto state = window.snapshot();
        return std::all_of(kCommandMenuItems.begin(), kCommandMenuItems.end(),
                           [&](int item) { return state.enabled(item) == enabled; });
    }
    bool enabled(int control) const { return window.snapshot().control(control).enabled; }
    Text text_of(int control) const { return window.snapshot().control(control).definition.text; }
    bool is_open(WindowId popup) const { return window.snapshot().is_open(popup); }

    MemoryFiles files;
    Workspace workspace;
    ScriptedWindow window;
    ScriptedDialogs dialogs;

private:
    ListViewsShown m_views{window};
};

} // namespace orv::test
