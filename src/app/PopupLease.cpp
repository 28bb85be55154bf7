#include "app/PopupLease.h"

#include <utility>

#include "app/CommandMenu.h"

namespace orv {

std::optional<PopupLease> PopupLease::take(Workspace& workspace, Window& window) {
    // One pop-up at a time: another one may be editing the same blocks and lists.
    if (workspace.dialog_open != 0) {
        return std::nullopt;
    }
    return PopupLease(workspace, window);
}

PopupLease::PopupLease(Workspace& workspace, Window& window)
    : m_workspace(&workspace), m_window(&window) {
    m_workspace->dialog_open = 1;
    set_command_menu_enabled(*m_window, false);
}

PopupLease::PopupLease(PopupLease&& other) noexcept
    : m_workspace(std::exchange(other.m_workspace, nullptr)),
      m_window(std::exchange(other.m_window, nullptr)) {}

PopupLease& PopupLease::operator=(PopupLease&& other) noexcept {
    if (this != &other) {
        release();
        m_workspace = std::exchange(other.m_workspace, nullptr);
        m_window = std::exchange(other.m_window, nullptr);
    }
    return *this;
}

PopupLease::~PopupLease() {
    release();
}

void PopupLease::release() {
    if (m_workspace == nullptr) {
        return;
    }
    m_workspace->dialog_open = 0;
    set_command_menu_enabled(*m_window, true);
    m_workspace = nullptr;
    m_window = nullptr;
}

} // namespace orv
