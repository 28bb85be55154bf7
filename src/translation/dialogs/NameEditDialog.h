#pragma once

#include "platform/Dialogs.h"
#include "platform/Window.h"
#include "translation/Workspace.h"
#include "translation/dialogs/NameEdit.h"

namespace orv {

// Control numbers of the name-edit dialog, in the order it creates them.
namespace name_edit {
inline constexpr int kIdLabel = 1032;
inline constexpr int kIdField = 1033;
inline constexpr int kEvNameLabel = 1034;
inline constexpr int kEvNameField = 1035;
inline constexpr int kDvNameLabel = 1036;
inline constexpr int kDvNameField = 1037;
inline constexpr int kOkButton = 1038;
inline constexpr int kCancelButton = 1039;
// "Für alle gleichen Namen übernehmen (N weitere)", only when other rows share the EV Name.
inline constexpr int kSameNamesBox = 1040;
// Up to five suggested DV Names with their source, only when there are any.
inline constexpr int kSuggestionList = 1041;
} // namespace name_edit

// The row of an object list last clicked: its four cells and its list's tab label.
struct ClickedRow {
    Text mark;
    Text id;
    Text ev_name;
    Text dv_name;
    Text label;
};

// The small window in which the user types the German name of one row. It has no event
// loop of its own: the dispatcher calls open() and the handlers of its buttons.
class NameEditDialog {
public:
    NameEditDialog(Workspace& workspace, Window& window, Dialogs& dialogs);

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
    int m_list_index = 0;
    std::size_t m_row = 0;
    // Whether this dialog is the open pop-up; the workspace's flag also covers the editor.
    bool m_open = false;
    bool m_has_same_names_box = false;
    bool m_has_suggestions = false;
};

} // namespace orv
