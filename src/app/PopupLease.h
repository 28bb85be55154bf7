#pragma once

#include <optional>

#include "app/Workspace.h"
#include "platform/Window.h"

namespace orv {

// What an open pop-up holds while it is open: the dialog-open flag, which refuses a second
// pop-up, the name dialog from the main window's lists and the column sort (the pop-up
// holds rows by their index), and the command menu items, greyed. Ending the lease gives
// both back, by whatever way the pop-up closes.
class PopupLease {
public:
    // The lease, or nothing while another pop-up holds it.
    static std::optional<PopupLease> take(Workspace& workspace, Window& window);

    PopupLease(PopupLease&& other) noexcept;
    PopupLease& operator=(PopupLease&& other) noexcept;
    PopupLease(const PopupLease&) = delete;
    PopupLease& operator=(const PopupLease&) = delete;
    ~PopupLease();

private:
    PopupLease(Workspace& workspace, Window& window);
    // Gives the flag and the menu back, once.
    void release();

    Workspace* m_workspace;
    Window* m_window;
};

} // namespace orv
