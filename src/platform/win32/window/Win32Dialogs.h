#pragma once

#include <deque>
#include <mutex>
#include <vector>

#include "platform/Dialogs.h"

namespace orv {

class Win32Window;

// Message boxes, the common file dialogs and the help on Win32, owned by the program's
// active window. Like the window operations they may be called from the worker thread; the
// call waits for the user's answer on the window's thread.
//
// A test can give a file dialog's answer before the program asks (set_next_file_name): the
// dialog is then recorded and answered without being shown. Message boxes are always shown.
class Win32Dialogs final : public Dialogs {
public:
    // What the program asked for, as tests check it.
    struct Asked {
        bool save = false;
        Text title;
        std::filesystem::path folder;
        Text filter;
    };

    explicit Win32Dialogs(Win32Window& window) : m_window(window) {}

    MessageAnswer message_box(const Text& title, const Text& text, MessageButtons buttons,
                              MessageIcon icon) override;
    std::optional<std::filesystem::path>
    open_file(const Text& title, const std::filesystem::path& folder, const Text& filter) override;
    std::optional<std::filesystem::path>
    save_file(const Text& title, const std::filesystem::path& folder, const Text& filter) override;
    void show_help(const std::filesystem::path& page) override;

    // Nothing plays a cancelled dialog.
    void set_next_file_name(std::optional<std::filesystem::path> path);
    std::vector<Asked> asked() const;

private:
    std::optional<std::filesystem::path> file_dialog(bool save, const Text& title,
                                                     const std::filesystem::path& folder,
                                                     const Text& filter);

    Win32Window& m_window;
    mutable std::mutex m_mutex;
    std::deque<std::optional<std::filesystem::path>> m_next_file_names;
    std::vector<Asked> m_asked;
};

} // namespace orv
