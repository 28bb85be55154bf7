#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "MemoryFiles.h"
#include "ScriptedPlatform.h"
#include "fixtures/PluginBuilder.h"
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
            m_window.add_control(WindowId::Main,
                                 ControlSpec{list + 3, ControlKind::ListView, "", {}, {}, list});
        }
    }
    void show_progress(const Text&) override {}
    void show_rows(int list_index, const std::vector<Element>& elements) override {
        std::vector<ListRow> rows;
        for (const auto& element : elements) {
            rows.push_back({element.mark, element.id, element.ev_name, element.dv_name});
        }
        m_window.set_rows(list_index + 3, std::move(rows));
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
    std::vector<std::vector<ListRow>> shown_rows() const {
        std::vector<std::vector<ListRow>> all;
        for (int list = 0; list < kObjectListCount; ++list) {
            all.push_back(window.rows(list + 3));
        }
        return all;
    }
    std::vector<std::vector<Text>> element_texts() const {
        std::vector<std::vector<Text>> all;
        for (int list = 0; list < kObjectListCount; ++list) {
            for (const auto& element : workspace.lists.list(list).elements) {
                all.push_back({std::to_string(list), element.mark, element.id, element.ev_name,
                               element.dv_name, std::to_string(element.block)});
            }
        }
        return all;
    }

    // Whether all ten command menu items are enabled (true) or all greyed (false).
    bool command_menu_is(bool enabled) const {
        for (const int command : {1, 2, 3, 5, 9, 10, 11, 12, 13, 25}) {
            if (window.menu_enabled(command) != enabled) {
                return false;
            }
        }
        return true;
    }

    bool enabled(int control) const {
        const auto found = window.control(control);
        return found && found->enabled;
    }
    Text text_of(int control) const {
        const auto found = window.control(control);
        return found ? found->definition.text : Text{};
    }

    MemoryFiles files;
    Workspace workspace;
    ScriptedWindow window;
    ScriptedDialogs dialogs;

private:
    ListViewsShown m_views{window};
};

} // namespace orv::test
