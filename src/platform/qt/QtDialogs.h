#pragma once

#include <deque>
#include <mutex>
#include <optional>
#include <vector>

#include <QPointer>
#include <QString>
#include <QTextBrowser>

#include "platform/Dialogs.h"

namespace orv {

class QtWindow;

// Message boxes, file dialogs and the help on Qt Widgets, owned by the program's active
// window. Like the window operations they may be called from the worker thread; the call
// waits for the user's answer on the GUI thread.
//
// Every dialog goes through here, so a test can give the answer before the program asks
// (set_next_answer, set_next_file_name): the dialog is then recorded and answered without
// being shown.
class QtDialogs final : public Dialogs {
public:
    // What the program asked, as tests check it.
    struct Asked {
        bool file_dialog = false;
        bool save = false;
        Text title;
        Text text;
        MessageButtons buttons = MessageButtons::Ok;
        MessageIcon icon = MessageIcon::None;
        std::filesystem::path folder;
        Text filter;
        // Whether the dialog ran on the GUI thread, whichever thread asked.
        bool on_gui_thread = false;
    };

    explicit QtDialogs(QtWindow& window);
    ~QtDialogs() override;

    MessageAnswer message_box(const Text& title, const Text& text, MessageButtons buttons,
                              MessageIcon icon) override;
    std::optional<std::filesystem::path>
    open_file(const Text& title, const std::filesystem::path& folder, const Text& filter) override;
    std::optional<std::filesystem::path>
    save_file(const Text& title, const std::filesystem::path& folder, const Text& filter) override;
    void show_help(const std::filesystem::path& page) override;

    void set_next_answer(MessageAnswer answer);
    // Nothing plays a cancelled dialog.
    void set_next_file_name(std::optional<std::filesystem::path> path);
    std::vector<Asked> asked() const;

    // The built-in help window, when the help was shown there (GUI thread only).
    QTextBrowser* help_browser() const { return m_help_browser; }

private:
    std::optional<std::filesystem::path> file_dialog(bool save, const Text& title,
                                                     const std::filesystem::path& folder,
                                                     const Text& filter);
    void record(Asked asked);

    QtWindow& m_window;
    QPointer<QTextBrowser> m_help_browser;

    mutable std::mutex m_mutex;
    std::deque<MessageAnswer> m_next_answers;
    std::deque<std::optional<std::filesystem::path>> m_next_file_names;
    std::vector<Asked> m_asked;
};

// The filter of a file dialog in Qt's form: the program writes pairs of a shown name and a
// pattern separated by bars ("ESP (*.esp)|*.esp"); Qt wants "ESP (*.esp)".
QString file_dialog_filter(const Text& filter);

} // namespace orv
