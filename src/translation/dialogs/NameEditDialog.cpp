#include "translation/dialogs/NameEditDialog.h"

#include "platform/CommandMenu.h"
#include "translation/dialogs/NameEdit.h"
#include "translation/dialogs/Refusal.h"

namespace orv {
namespace {

constexpr int kWidth = 360;
constexpr int kHeight = 140;
// Object list k is shown by the list view with control number k + 3.
constexpr int kFirstListControl = 3;

int list_control(int list_index) {
    return list_index + kFirstListControl;
}

} // namespace

NameEditDialog::NameEditDialog(Workspace& workspace, Window& window, Dialogs& dialogs)
    : m_workspace(workspace), m_window(window), m_dialogs(dialogs) {}

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
    const auto selected = m_window.selected_row(list_control(list_index));
    if (!selected) {
        return;
    }
    m_workspace.dialog_open = 1;
    m_list_index = list_index;
    m_row = *selected;

    // Centred on the main window, with integer halves.
    const Rect main = m_window.main_window_rect();
    m_window.open_popup(WindowId::NameEdit, row.label,
                        Rect{main.left + main.width / 2 - kWidth / 2,
                             main.top + main.height / 2 - kHeight / 2, kWidth, kHeight});

    using namespace name_edit;
    const auto add = [this](int number, ControlKind kind, const Text& text, Rect rect) {
        m_window.add_control(WindowId::NameEdit, ControlSpec{number, kind, text, rect, {}, -1});
    };
    add(kIdLabel, ControlKind::RightAlignedLabel, "ID", {25, 12, 25, 22});
    add(kIdField, ControlKind::EditField, row.id, {55, 7, 280, 22});
    add(kEvNameLabel, ControlKind::RightAlignedLabel, "EV Name", {4, 36, 46, 22});
    add(kEvNameField, ControlKind::EditField, row.ev_name, {55, 31, 280, 22});
    add(kDvNameLabel, ControlKind::RightAlignedLabel, "DV Name", {4, 60, 46, 22});
    add(kDvNameField, ControlKind::EditField, row.dv_name, {55, 55, 280, 22});
    add(kOkButton, ControlKind::Button, "OK", {97, 85, 75, 24});
    add(kCancelButton, ControlKind::Button, "Abbrechen", {220, 85, 75, 24});

    // A name from the shipped database may be looked at but not changed.
    m_window.set_control_enabled(kOkButton, row.mark != mark::kShipped);
    set_command_menu_enabled(m_window, false);
    m_open = true;
}

void NameEditDialog::ok() {
    if (!m_open) {
        return;
    }
    // Only the DV Name is taken over; the EV Name field, editable too, is what the new name
    // is compared with.
    const auto dv_name = m_window.control_text(name_edit::kDvNameField);
    const auto ev_name = m_window.control_text(name_edit::kEvNameField);
    if (!dv_name || !ev_name) {
        show_refusal(m_dialogs, foreign_text_message());
        return;
    }
    const auto outcome =
        apply_name_edit(m_workspace.lists, m_list_index, m_row, *ev_name, *dv_name);
    if (!outcome) {
        // Too long: the dialog stays open with the text as typed, to be shortened.
        show_refusal(m_dialogs, outcome.error().message);
        return;
    }
    if (*outcome == NameEditOutcome::Recorded) {
        // The views show the elements' new state; row r of a view is element r.
        std::vector<ListPosition> changed{{m_list_index, m_row}};
        for (const auto& linked : spread_cell_name(m_workspace.lists, m_list_index, m_row)) {
            changed.push_back(linked);
        }
        for (const auto& [list_index, row] : changed) {
            const int control = list_control(list_index);
            m_window.set_cell(control, row, static_cast<int>(Column::Mark), mark::kEdited);
            m_window.set_cell(control, row, static_cast<int>(Column::DvName), *dv_name);
        }
    }
    close(true);
}

void NameEditDialog::cancel() {
    close(true);
}

void NameEditDialog::close_box() {
    close(false);
}

void NameEditDialog::close(bool select_row) {
    if (!m_open) {
        return;
    }
    if (select_row) {
        m_window.select_row(list_control(m_list_index), m_row);
    }
    m_window.close_popup(WindowId::NameEdit);
    m_window.activate_main_window();
    m_open = false;
    m_workspace.dialog_open = 0;
    set_command_menu_enabled(m_window, true);
}

} // namespace orv
