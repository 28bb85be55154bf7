#include "app/Workbench.h"

#include "app/MainWindow.h"
#include "app/UnsavedWork.h"

namespace orv {
namespace {

// Status field 1 shows the progress of loads and saves, and after them the counts.
constexpr int kCountField = 1;

} // namespace

RowFilter Workbench::current_filter() {
    return RowFilter(m_window.control_text(kFilterField).value_or(Text{}),
                     {.only_untranslated = m_window.control_checked(kOnlyUntranslatedBox),
                      .show_nameless = m_window.control_checked(kShowNamelessBox)});
}

void Workbench::apply_filter() {
    const RowFilter filter = current_filter();
    for (int list_index = 0; list_index < kObjectListCount; ++list_index) {
        apply_filter(filter, list_index);
    }
}

void Workbench::apply_filter(int list_index) {
    apply_filter(current_filter(), list_index);
}

void Workbench::apply_filter(const RowFilter& filter, int list_index) {
    // Only the indices travel: the views keep their rows' texts.
    m_window.set_visible_rows(kFirstListControl + list_index,
                              filter.visible_rows(m_workspace.lists.list(list_index)));
}

void Workbench::show_counts() {
    const TranslationCounts counts = count_translations(m_workspace.lists);
    for (int list_index = 0; list_index < kObjectListCount; ++list_index) {
        m_window.set_tab_page_text(
            list_index, tab_title(list_index, counts.to_do[static_cast<std::size_t>(list_index)]));
    }
    m_window.set_status_text(kCountField, translated_status(counts));
    m_window.set_main_window_title(main_window_title(
        m_workspace.current_file, unsaved_work(m_workspace.lists, m_workspace.stored_texts).any()));
}

std::optional<std::size_t> Workbench::next_row_to_do(int list_index, std::size_t row) {
    const RowFilter filter = current_filter();
    const auto& elements = m_workspace.lists.list(list_index).elements;
    for (std::size_t next = row + 1; next < elements.size(); ++next) {
        if (needs_translation(elements[next]) && filter.matches(elements[next])) {
            return next;
        }
    }
    return std::nullopt;
}

} // namespace orv
