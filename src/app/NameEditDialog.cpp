#include "app/NameEditDialog.h"

#include <string>
#include <utility>

#include "app/Refusal.h"
#include "app/WindowViews.h"
#include "translation/NameEdit.h"

namespace orv {
namespace {

constexpr int kWidth = 360;
// The window reaches this far below its buttons' top.
constexpr int kBelowButtons = 55;
// Where the buttons sit when nothing lies between them and the edit fields.
constexpr int kButtonsTop = 85;
constexpr int kSuggestionRowHeight = 18;

} // namespace

NameEditDialog::NameEditDialog(Workspace& workspace, Window& window, Dialogs& dialogs,
                               std::function<void(const ListPosition&)> recorded)
    : m_workspace(workspace), m_window(window), m_dialogs(dialogs),
      m_recorded(std::move(recorded)) {}

void NameEditDialog::open(const ClickedRow& row, int list_index) {
    // One pop-up at a time: the other one may be editing the same blocks and lists.
    if (m_workspace.dialog_open != 0) {
        return;
    }
    if (const auto refusal = name_edit_refusal(m_workspace.store.is_master_file(), row.mark)) {
        show_refusal(m_dialogs, *refusal);
        return;
    }
    if (list_index < 0 || list_index >= kObjectListCount) {
        return;
    }
    // The dialog edits the row the view shows selected; without one there is nothing to
    // write the new name into.
    const auto selected = m_window.selected_row(list_view_of(list_index));
    if (!selected) {
        return;
    }
    // The suggestions are read on the first use after an Open or a Save; a file that could
    // not be read is said before the dialog opens, and the others still suggest.
    std::optional<Error> problem;
    const SuggestionIndex& index = m_workspace.suggestions.index(problem);
    if (problem) {
        show_refusal(m_dialogs, problem->message);
    }
    m_lease = PopupLease::take(m_workspace, m_window);
    if (!m_lease) {
        return;
    }
    m_list_index = list_index;
    m_row = *selected;

    // Between the fields and the buttons: the check box for the rows named alike and the
    // suggestions, each only when it has something to offer.
    const std::size_t same_names = count_same_name_rows(m_workspace.lists, list_index, m_row);
    const auto suggestions = index.suggest(row.ev_name, list_index);
    m_has_same_names_box = same_names > 0;
    m_has_suggestions = !suggestions.empty();
    int buttons_top = kButtonsTop;
    const Rect same_names_rect{55, buttons_top - 3, 280, 20};
    buttons_top += m_has_same_names_box ? same_names_rect.height + 4 : 0;
    const Rect suggestions_rect{55, buttons_top - 3, 280,
                                kSuggestionRowHeight * (static_cast<int>(suggestions.size()) + 1) +
                                    6};
    buttons_top += m_has_suggestions ? suggestions_rect.height + 6 : 0;
    const int height = buttons_top + kBelowButtons;

    open_centred_popup(m_window, WindowId::NameEdit, row.label, kWidth, height);

    using namespace name_edit;
    const auto add = [this](int number, ControlKind kind, const Text& text, Rect rect,
                            std::vector<ListColumn> columns = {}) {
        m_window.add_control(WindowId::NameEdit,
                             ControlSpec{number, kind, text, rect, std::move(columns), -1});
    };
    // ID and EV Name are shown to be read and copied; only the DV Name is typed.
    add(kIdLabel, ControlKind::RightAlignedLabel, "ID", {25, 12, 25, 22});
    add(kIdField, ControlKind::ReadOnlyEditField, row.id, {55, 7, 280, 22});
    add(kEvNameLabel, ControlKind::RightAlignedLabel, "EV Name", {4, 36, 46, 22});
    add(kEvNameField, ControlKind::ReadOnlyEditField, row.ev_name, {55, 31, 280, 22});
    add(kDvNameLabel, ControlKind::RightAlignedLabel, "DV Name", {4, 60, 46, 22});
    add(kDvNameField, ControlKind::EditField, row.dv_name, {55, 55, 280, 22});
    add(kOkButton, ControlKind::Button, "OK", {97, buttons_top, 75, 24});
    add(kCancelButton, ControlKind::Button, "Abbrechen", {220, buttons_top, 75, 24});
    if (m_has_same_names_box) {
        add(kSameNamesBox, ControlKind::CheckBox,
            cp1252(u8"Für alle gleichen Namen übernehmen (") + std::to_string(same_names) +
                " weitere)",
            same_names_rect);
        m_window.set_control_checked(kSameNamesBox, true);
    }
    if (m_has_suggestions) {
        add(kSuggestionList, ControlKind::ListView, {}, suggestions_rect,
            {{"DV Name", 122}, {"Quelle", 84}, {"Treffer", 70}});
        // Each says where it comes from and how well it matches: a close match must not
        // pass for an exact one.
        std::vector<ListRow> rows;
        for (const Suggestion& suggestion : suggestions) {
            rows.push_back(
                {suggestion.dv_name, suggestion.source, suggestion_match_text(suggestion)});
        }
        m_window.set_rows(kSuggestionList, std::move(rows), {});
    }

    // A name from the shipped database may be looked at but not changed.
    m_window.set_control_enabled(kOkButton, row.mark != mark::kShipped);
    m_window.focus_control(kDvNameField);
}

void NameEditDialog::on_control(const ControlEvent& event) {
    switch (event.control) {
    case name_edit::kOkButton:
        if (const auto edited = ok(); edited && m_recorded) {
            m_recorded(*edited);
        }
        return;
    case name_edit::kCancelButton:
        cancel();
        return;
    case name_edit::kSuggestionList:
        if (event.type == ListEventType::DoubleClick) {
            suggestion_chosen();
        }
        return;
    default:
        return;
    }
}

void NameEditDialog::suggestion_chosen() {
    if (!m_lease || !m_has_suggestions) {
        return;
    }
    const auto chosen = m_window.selected_row(name_edit::kSuggestionList);
    if (!chosen) {
        return;
    }
    m_window.set_control_text(name_edit::kDvNameField,
                              m_window.cell_text(name_edit::kSuggestionList, *chosen, 0));
    m_window.focus_control(name_edit::kDvNameField);
}

std::optional<ListPosition> NameEditDialog::ok() {
    if (!m_lease) {
        return std::nullopt;
    }
    // Only the DV Name is taken over; the EV Name field's text is what the new name is
    // compared with.
    const auto dv_name = m_window.control_text(name_edit::kDvNameField);
    const auto ev_name = m_window.control_text(name_edit::kEvNameField);
    if (!dv_name || !ev_name) {
        refuse(foreign_text_message());
        return std::nullopt;
    }
    // The rows to redraw: row r of a view is element r.
    std::vector<ListPosition> changed;
    if (m_has_same_names_box && m_window.control_checked(name_edit::kSameNamesBox)) {
        auto all =
            apply_name_to_same_names(m_workspace.lists, m_list_index, m_row, *ev_name, *dv_name);
        if (!all) {
            // Too long: the dialog stays open with the text as typed, to be shortened.
            refuse(all.error().message);
            return std::nullopt;
        }
        changed = std::move(*all);
    } else {
        const auto outcome = apply_name_edit(m_workspace.lists, m_list_index, m_row, *ev_name,
                                             *dv_name, m_workspace.topic_database);
        if (!outcome) {
            refuse(outcome.error().message);
            return std::nullopt;
        }
        if (*outcome == NameEditOutcome::Recorded) {
            changed.push_back({m_list_index, m_row});
            for (const auto& linked : spread_cell_name(m_workspace.lists, m_list_index, m_row)) {
                changed.push_back(linked);
            }
        }
    }
    for (const auto& [list_index, row] : changed) {
        const int control = list_view_of(list_index);
        m_window.set_cell(control, row, static_cast<int>(Column::DvName), *dv_name);
        show_row_mark(m_window, list_index, row, m_workspace.lists.list(list_index).elements[row]);
    }
    close(true);
    return ListPosition{m_list_index, m_row};
}

void NameEditDialog::refuse(const Text& message) {
    show_refusal(m_dialogs, message);
    // The box took the focus; the name is to be corrected where it was typed, and keys must
    // not go to the main list behind the dialog.
    m_window.focus_control(name_edit::kDvNameField);
}

void NameEditDialog::cancel() {
    close(true);
}

void NameEditDialog::close_box() {
    close(false);
}

void NameEditDialog::close(bool select_row) {
    if (!m_lease) {
        return;
    }
    if (select_row) {
        m_window.select_row(list_view_of(m_list_index), m_row);
    }
    m_window.close_popup(WindowId::NameEdit);
    m_window.activate_main_window();
    m_lease.reset();
}

} // namespace orv
