#pragma once

#include <optional>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "save/ReferenceCheck.h"
#include "translation/Workspace.h"

namespace orv {

// The control number of the findings list: apart from the numbers of the other pop-ups, so
// that one dispatcher tells all controls apart.
namespace check_window {
inline constexpr int kFindingList = 1060;
} // namespace check_window

// "Datei" -> "Prüfen": runs the reference check over the loaded plugin as the next save
// would write it and shows the findings in a pop-up list. A double click on a finding about
// a row selects that row on its tab. The check changes nothing and never runs by itself.
//
// Like the other pop-ups it holds the command menu items and the column sort while it is
// open, so the rows it points to stay where they were when it checked.
class CheckWindow {
public:
    CheckWindow(Workspace& workspace, Window& window, Dialogs& dialogs, Files& files);

    // Checks and shows the findings, or a message box when there are none. Does nothing while
    // a pop-up is open or a worker owns the plugin.
    void open();
    // The findings list was double-clicked.
    void finding_chosen();
    // The close box.
    void close();

private:
    Workspace& m_workspace;
    Window& m_window;
    Dialogs& m_dialogs;
    Files& m_files;
    bool m_open = false;
    // The row of each shown finding, in list order; nothing for scripts and references.
    std::vector<std::optional<FindingRow>> m_rows;
};

} // namespace orv
