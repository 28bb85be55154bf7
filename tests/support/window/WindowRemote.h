#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Events.h"
#include "platform/ListRowRules.h"

namespace orv {

// The one window backend a build has: Win32 on Windows, Qt elsewhere.
#ifdef _WIN32
class Win32Window;
using RemoteWindow = Win32Window;
#else
class QtWindow;
using RemoteWindow = QtWindow;
#endif

// Drives the program's windows with the input a user's actions produce (menu commands,
// clicks, typed keys) and reads the controls' state back from the window system. Both
// backends implement these calls (tests/support/qt, tests/support/win32), each in its own
// way; their drivers add what only they have. Texts are UTF-8, as shown; menu texts as the
// window system holds them: "&" before the underlined letter, "&&" for a shown "&", and the
// shortcut's key name after a tab. For the tests and the screenshot programs, on the
// window's thread.
class WindowRemote {
public:
    // Gets a message box's title and text when it is answered.
    using Seen = std::function<void(std::string title, std::string text)>;

    explicit WindowRemote(RemoteWindow& window) : m_window(window) {}

    // Handles the pending events; waits a few milliseconds for one if there is none.
    void run_events();
    // Handles the window's events until `condition` holds; false when it still does not
    // after 30 s.
    bool run_events_until(const std::function<bool()>& condition) {
        const auto start = std::chrono::steady_clock::now();
        while (!condition()) {
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(30)) {
                return false;
            }
            run_events();
        }
        return true;
    }
    void choose_menu(int command);
    void select_tab(int page);
    // Selects the row and reports the click as the list view does.
    void click_row(int control, int row, ListEventType type);
    // Whether a right click on the row opened the popup menu (which is then closed).
    bool right_click_opens_popup_menu(int control, int row);
    void click_header(int control, int column);
    // Replaces the text of an edit field or text box by typing `text` ("\r" is Enter).
    void type_text(int control, const std::string& text);
    void press_button(int control);
    // Gives the control the focus and presses the key: "Enter", "Escape", "Tab", "F1",
    // "F2", or Ctrl and a capital letter ("Ctrl+F").
    void press_key(int control, const std::string& key);
    // Presses Alt and a character ("Alt+D") and tells which menu bar menu that opened, -1
    // for none. The menu is closed once `keep_open` (asked every few milliseconds while it
    // shows) says false; without it, at once.
    int menu_opened_by_key(int control, const std::string& key,
                           const std::function<bool()>& keep_open = {});
    // The number of the control with the keyboard focus; 0 when none of ours has it.
    int focused_control() const;
    void close_window(WindowId window);

    std::vector<std::string> menu_titles() const;
    // The items of menu bar menu `menu` ("-" for a separator), or of the popup menu for -1.
    std::vector<std::string> menu_items(int menu) const;
    bool menu_enabled(int command) const;
    // The column whose header shows the sort arrow, and whether it points up (ascending);
    // nothing when no column shows one.
    std::optional<std::pair<int, bool>> sort_arrow(int control) const;
    // The colour the list view paints behind the row's cell in `column`, beside its text.
    RowColour row_background(int control, int row, int column) const;
    std::string status_text(int field) const;
    std::string window_title(WindowId window) const;
    // The inner size, as the program gives it; empty when the window is not open.
    Rect window_rect(WindowId window) const;
    bool window_open(WindowId window) const;
    // As the control shows it; the Qt driver gives "(nothing)" where the program reads none.
    std::string control_text(int control) const;
    // The stretches of a text box's text shown highlighted, in text order.
    std::vector<std::string> marked_texts(int control) const;
    bool control_enabled(int control) const;
    std::vector<std::string> column(int control, int column) const;
    // Column titles and widths, "ID/200".
    std::vector<std::string> headers(int control) const;
    std::vector<std::string> tab_labels() const;
    int current_tab() const;

    // Answers the next message box once it shows (it runs an event loop of its own, so the
    // answer comes from a timer that loop serves): `seen` gets its title and text, then
    // `answer` is pressed.
    static void answer_next_message_box(MessageAnswer answer, Seen seen);
    // The same, answered with the Enter key: the box's default button.
    static void press_enter_on_next_message_box(Seen seen);

protected:
    RemoteWindow& m_window;
};

// What the driven windows report: each event as a short line, handed on to `next` when there
// is one. "menu 1", "control 3 2" (control, ListEventType), "close 0" (WindowId), "context 10
// 20", "column 3 2" (control, column), "resize 800 600 0" (width, height, minimised).
class EventLog final : public EventSink {
public:
    void handle(const Event& event) override {
        m_lines.push_back(std::visit(Line{}, event));
        if (next != nullptr) {
            next->handle(event);
        }
    }
    std::vector<std::string> take() { return std::exchange(m_lines, {}); }

    EventSink* next = nullptr;

private:
    struct Line {
        template <typename... Numbers>
        static std::string line(std::string text, Numbers... numbers) {
            ((text += " " + std::to_string(static_cast<int>(numbers))), ...);
            return text;
        }
        std::string operator()(const MenuCommandEvent& e) { return line("menu", e.command); }
        std::string operator()(const ControlEvent& e) { return line("control", e.control, e.type); }
        std::string operator()(const CloseRequestEvent& e) { return line("close", e.window); }
        std::string operator()(const ContextMenuEvent& e) { return line("context", e.x, e.y); }
        std::string operator()(const ColumnClickEvent& e) {
            return line("column", e.control, e.column);
        }
        std::string operator()(const ResizeEvent& e) {
            return line("resize", e.width, e.height, e.minimized);
        }
    };
    std::vector<std::string> m_lines;
};

} // namespace orv
