#include "app/WindowViews.h"

namespace orv {
namespace {

// Status field 1 carries the progress of loads and saves; field 0 the file name.
constexpr int kProgressField = 1;

} // namespace

void WindowLoaderView::show_progress(const Text& text) {
    m_window.set_status_text(kProgressField, text);
}

void WindowLoaderView::show_rows(int list_index, const std::vector<Element>& elements) {
    std::vector<ListRow> rows;
    std::vector<RowState> states;
    rows.reserve(elements.size());
    states.reserve(elements.size());
    for (const Element& element : elements) {
        // The cells follow the column order of orv::Column.
        rows.push_back({element.mark.text(), element.id, element.ev_name, element.dv_name});
        states.push_back(row_state(element));
    }
    m_window.set_rows(list_view_of(list_index), std::move(rows), std::move(states));
}

void WindowSaveView::show_progress(const Text& text) {
    m_window.set_status_text(kProgressField, text);
}

void WindowSaveView::show_mark(int list_index, std::size_t row, const Element& element) {
    show_row_mark(m_window, list_index, row, element);
}

void show_row_mark(Window& window, int list_index, std::size_t row, const Element& element) {
    window.set_cell(list_view_of(list_index), row, static_cast<int>(Column::Mark),
                    element.mark.text());
    window.set_row_state(list_view_of(list_index), row, row_state(element));
}

} // namespace orv
