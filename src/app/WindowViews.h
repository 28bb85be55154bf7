#pragma once

#include <cstddef>
#include <vector>

#include "app/CommandIds.h"
#include "platform/Window.h"
#include "save/SavePipeline.h"
#include "translation/PluginLoader.h"

namespace orv {

// Shows a load in the main window: progress in status field 1, each list's rows in its list
// view as the four cells mark, ID, EV Name, DV Name, with each row's state.
class WindowLoaderView final : public LoaderView {
public:
    explicit WindowLoaderView(Window& window) : m_window(window) {}

    void show_progress(const Text& text) override;
    void show_rows(int list_index, const std::vector<Element>& elements) override;

private:
    Window& m_window;
};

// Shows a save in the main window: progress in status field 1, new marks in column "F" and
// the rows' new states.
class WindowSaveView final : public SaveView {
public:
    explicit WindowSaveView(Window& window) : m_window(window) {}

    void show_progress(const Text& text) override;
    void show_mark(int list_index, std::size_t row, const Element& element) override;

private:
    Window& m_window;
};

// Shows a row's new mark and the state that goes with it.
void show_row_mark(Window& window, int list_index, std::size_t row, const Element& element);

} // namespace orv
