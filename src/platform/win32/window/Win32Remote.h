#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Events.h"

namespace orv {

class Win32Window;

// Drives the windows of a Win32Window with the window messages a user's actions produce
// (menu commands, tab changes, list-view notifications, typed characters, button clicks),
// and reads the controls' state back from the controls themselves. Texts are UTF-8, as
// shown: the mnemonic markers of menu texts are not drawn, and "&&" is one "&". For the tests and
// the screenshot program, on the window's thread.
class Win32Remote {
public:
    explicit Win32Remote(Win32Window& window) : m_window(window) {}

    // Handles the pending window messages; waits a few milliseconds for one if there is none.
    void run_events();
    void choose_menu(int command);
    void select_tab(int page);
    // Selects the row and reports the click as the list view does.
    void click_row(int control, int row, ListEventType type);
    // Whether a right click on the row opened the popup menu (which is then closed).
    bool right_click_opens_popup_menu(int control, int row);
    void click_header(int control, int column);
    // Replaces the text of an edit field or text box by typing `text` ("\r" is Enter).
    void type_text(int control, const std::wstring& text);
    // The same, for a UTF-8 text.
    void type_text(int control, const std::string& text);
    void press_button(int control);
    void press_key(int control, unsigned virtual_key);
    // The same by name: "Enter", "F2", "Escape" or "Ctrl+F".
    void press_key(int control, const std::string& key);
    // The number of the control with the keyboard focus; 0 when none of ours has it.
    int focused_control() const;
    void close_window(WindowId window);
    // Paints whatever waits to be painted, now.
    void paint();

    std::vector<std::string> menu_titles() const;
    // The items of menu bar menu `menu` ("-" for a separator), or of the popup menu for -1.
    std::vector<std::string> menu_items(int menu) const;
    bool menu_enabled(int command) const;
    // The column whose header shows the sort arrow, and whether it points up (ascending);
    // nothing when no column shows one.
    std::optional<std::pair<int, bool>> sort_arrow(int control) const;
    std::string status_text(int field) const;
    std::string window_title(WindowId window) const;
    // The inner size, as the program gives it; empty when the window is not open.
    Rect window_rect(WindowId window) const;
    // The window's frame on the screen, in pixels.
    Rect frame_rect(WindowId window) const;
    bool window_open(WindowId window) const;
    std::string control_text(int control) const;
    bool control_enabled(int control) const;
    // The control's rect in its parent, in pixels.
    Rect control_rect(int control) const;
    int row_count(int control) const;
    std::string cell(int control, int row, int column) const;
    std::vector<std::string> column(int control, int column) const;
    std::vector<std::string> headers(int control) const;
    std::vector<std::string> tab_labels() const;
    int current_tab() const;

    // Answers the next message box once it shows (it runs its own message loop, so the
    // answer comes from a thread timer): `seen` gets its title and text, then `answer` is
    // pressed.
    static void
    answer_next_message_box(MessageAnswer answer,
                            std::function<void(std::string title, std::string text)> seen);
    // Closes the next popup menu once it shows; `shown` is called then.
    static void close_next_popup_menu(std::function<void()> shown);

private:
    Win32Window& m_window;
};

} // namespace orv
