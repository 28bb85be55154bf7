#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Events.h"
#include "platform/ListRowRules.h"
#include "platform/Window.h"

struct HWND__;

namespace orv {

// A report-style list view with columns, grid lines and single full-row selection shown also
// without focus. It is virtual: the control asks for the texts of the rows it draws, so
// 50,000 rows cost nothing until they are seen.
//
// What the user does reaches the program as events: a click or a keyboard move of the
// selection is a control event of type Other, a double click DoubleClick, a right click
// RightClick (followed, in the main window, by the context-menu request at the cursor, so
// that the program knows the clicked row when the popup menu opens), a header click a
// ColumnClickEvent. In the main window, Enter or F2 on the selected row is EditKey, and the
// tool tip of a row names the texts its cells show cut.
class VirtualList {
public:
    VirtualList(int number, bool in_main_window, HWND__* handle,
                const std::vector<ListColumn>& columns, const std::function<int(int)>& scaled);

    HWND__* handle() const { return m_handle; }
    // `states`, one per row, colours the main window's rows; the pop-ups' lists have none.
    void set_rows(std::vector<ListRow> rows, std::vector<RowState> states);
    void set_row_state(std::size_t row, RowState state);
    // Rows are named by their index in set_rows; the control counts only those shown.
    void set_visible_rows(std::vector<std::size_t> rows);
    void set_sort_indicator(int column, bool ascending);
    // The answer to a custom-draw notification (an NMLVCUSTOMDRAW): the main window's rows
    // get the background of their state.
    long long custom_draw(void* header) const;
    void set_cell(std::size_t row, int column, const Text& text);
    Text cell(std::size_t row, int column) const;
    std::size_t row_count() const { return m_rows.size(); }
    std::optional<std::size_t> selected() const;
    void select(std::size_t row);

    // A notification of the control (an NMHDR); the events it means, in order.
    std::vector<Event> notify(const void* header);

private:
    int m_number;
    bool m_in_main_window;
    HWND__* m_handle;
    std::vector<ListRow> m_rows;
    std::vector<RowState> m_states;
    RowVisibility m_visible;
    // The text handed to the control for the cell it asked for last.
    std::wstring m_shown;
    bool m_keyboard_move = false;
};

} // namespace orv
