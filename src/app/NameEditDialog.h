#pragma once

#include <functional>
#include <optional>

#include "app/Popup.h"
#include "app/PopupLease.h"
#include "app/Workspace.h"
#include "platform/Dialogs.h"
#include "platform/Window.h"
#include "translation/NameEdit.h"

namespace orv {

// The row of an object list last clicked: its four cells (the mark read back from its cell)
// and its list's tab label.
struct ClickedRow {
    RowMark mark;
    Text id;
    Text ev_name;
    Text dv_name;
    Text label;
};

// The small window in which the user types the German name of one row. It has no event
// loop of its own: the application calls open() and hands it its controls' events.
class NameEditDialog final : public Popup {
public:
    // `recorded` is called with the row whose name OK recorded, after the dialog closed.
    NameEditDialog(Workspace& workspace, Window& window, Dialogs& dialogs,
                   std::function<void(const ListPosition&)> recorded = {});

    WindowId window() const override { return WindowId::NameEdit; }
    IdRange controls() const override { return name_edit::kControls; }
    // OK, Abbrechen and a double click on a suggestion.
    void on_control(const ControlEvent& event) override;
    void on_close_box() override { close_box(); }

    // Opens the dialog for `row`, the row selected in the view of object list `list_index`,
    // unless a pop-up is open already, the plugin is a master file or the row has no name.
    void open(const ClickedRow& row, int list_index);
    // OK: checks the name's length and records it (mark "*") when it differs from the
    // EV Name, then closes; a name too long keeps the dialog open. Returns the row edited
    // when the dialog closed.
    std::optional<ListPosition> ok();
    // A double click on a suggestion: its DV Name goes into the DV Name field.
    void suggestion_chosen();
    // Abbrechen: selects the row again and closes.
    void cancel();
    // The window's close box: closes without selecting the row.
    void close_box();

private:
    // Tells why OK was refused; the dialog stays open with the name as typed.
    void refuse(const Text& message);
    void close(bool select_row);

    Workspace& m_workspace;
    Window& m_window;
    Dialogs& m_dialogs;
    std::function<void(const ListPosition&)> m_recorded;
    int m_list_index = 0;
    std::size_t m_row = 0;
    // Held while the dialog is open.
    std::optional<PopupLease> m_lease;
    bool m_has_same_names_box = false;
    bool m_has_suggestions = false;
};

} // namespace orv
