#pragma once

#include <atomic>
#include <filesystem>
#include <memory>

#include "platform/Dialogs.h"
#include "platform/Events.h"
#include "platform/Files.h"
#include "platform/Threads.h"
#include "platform/Window.h"

namespace orv {

// The whole program above the platform: start-up, the shell state, and the dispatcher that
// turns every window event into the command or handler that owns it.
class Application final : public EventSink {
public:
    Application(std::filesystem::path program_dir, Window& window, Dialogs& dialogs, Files& files,
                Threads& threads);
    ~Application() override;

    // Everything before the first event: configuration, block store, lists, the main window
    // with menus, status bar, frame, tab bar and the list views.
    void start();
    void handle(const Event& event) override;
    // Set once the user confirmed quitting; the caller then leaves its event loop.
    bool quit_requested() const;
    // Waits for a running worker, so that no file is left half written; call before exit.
    void shut_down();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace orv
