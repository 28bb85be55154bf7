#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "app/Popup.h"
#include "app/PopupLease.h"
#include "app/Workspace.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/Window.h"
#include "save/ReferenceCheck.h"

namespace orv {

// "Datei" -> "Prüfen": runs the reference check over the loaded plugin as the next save
// would write it and shows the findings in a pop-up list. A double click on a finding about
// a row selects that row on its tab; one about a response closes the findings and has the
// text editor show that response. The check changes nothing and never runs by itself.
//
// Like the other pop-ups it holds the command menu items and the column sort while it is
// open, so the rows it points to stay where they were when it checked.
class CheckWindow final : public Popup {
public:
    // `open_response` opens the editor on a response (its place in the lists' responses).
    CheckWindow(Workspace& workspace, Window& window, Dialogs& dialogs, Files& files,
                std::function<void(std::size_t)> open_response = {});

    WindowId window() const override { return WindowId::Findings; }
    IdRange controls() const override { return check_window::kControls; }
    // A double click on a finding.
    void on_control(const ControlEvent& event) override;
    void on_close_box() override { close(); }

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
    // Held while the findings are shown.
    std::optional<PopupLease> m_lease;
    std::function<void(std::size_t)> m_open_response;
    // What each shown finding is about, in list order: a row, a response, or neither (scripts
    // and references).
    std::vector<std::optional<FindingRow>> m_rows;
    std::vector<std::optional<std::size_t>> m_responses;
};

} // namespace orv
