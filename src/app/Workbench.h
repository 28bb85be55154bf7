#pragma once

#include <cstddef>
#include <optional>

#include "app/Workspace.h"
#include "platform/Window.h"
#include "translation/RowFilter.h"

namespace orv {

// The translator's view of the loaded plugin: which rows the filter row lets the list views
// show, and what is left to do, in the tab titles ("Cell (454)"), in status field 1
// ("übersetzt 2.251 von 3.908") and in the main window's title ("*" while names or texts are not
// saved). It reads the lists; the caller makes sure no worker writes them meanwhile (a
// worker calls it as its own last step, the event thread otherwise).
class Workbench {
public:
    Workbench(Workspace& workspace, Window& window) : m_workspace(workspace), m_window(window) {}

    // The filter as the filter row shows it now.
    RowFilter current_filter();
    // Shows in every list view the rows the filter row keeps.
    void apply_filter();
    // The same for one list, after its rows were shown anew (a column sort).
    void apply_filter(int list_index);
    // Tab titles, status field 1 and the window title, from the lists as they are.
    void show_counts();
    // The first row after `row` of list `list_index` that is still to do and shown by the
    // filter, if any.
    std::optional<std::size_t> next_row_to_do(int list_index, std::size_t row);

private:
    void apply_filter(const RowFilter& filter, int list_index);

    Workspace& m_workspace;
    Window& m_window;
};

} // namespace orv
