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
    rows.reserve(elements.size());
    for (const Element& element : elements) {
        // The cells follow the column order of orv::Column.
        rows.push_back({element.mark, element.id, element.ev_name, element.dv_name});
    }
    m_window.set_rows(kFirstListControl + list_index, std::move(rows));
}

void WindowSaveView::show_progress(const Text& text) {
    m_window.set_status_text(kProgressField, text);
}

void WindowSaveView::show_mark(int list_index, std::size_t row, const Text& mark) {
    m_window.set_cell(kFirstListControl + list_index, row, static_cast<int>(Column::Mark), mark);
}

} // namespace orv
