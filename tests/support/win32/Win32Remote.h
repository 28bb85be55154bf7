#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Events.h"
#include "platform/ListRowRules.h"

struct HMENU__;

namespace orv {

class Win32Window;

// Drives the windows of a Win32Window with the window messages a user's actions produce
// (menu commands, tab changes, list-view notifications, typed characters, button clicks),
// and reads the controls' state back from the controls themselves. Texts are UTF-8, as
// shown; menu texts as the window system holds them: "&" before the underlined letter, "&&"
// for a shown "&", and the shortcut's key name after a tab. For the tests and the screenshot
// program, on the window's thread.
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
    // The same by name: "Enter", "F1", "F2", "Escape", or Ctrl and a capital letter ("Ctrl+F").
    void press_key(int control, const std::string& key);
    // Presses Alt and a character ("Alt+D") and tells which menu bar menu that opened, -1
    // for none. The menu is closed once `keep_open` (asked every few milliseconds while it
    // shows) says false; without it, at once.
    int menu_opened_by_key(int control, const std::string& key,
                           std::function<bool()> keep_open = {});
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
    // The colour the list view paints behind the row's cell in `column`, beside its text.
    RowColour row_background(int control, int row, int column) const;
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
    // pressed. With `keep_open`, the box is answered only once it says false; it is asked
    // every few milliseconds with the box's frame on the screen, in pixels.
    static void
    answer_next_message_box(MessageAnswer answer,
                            std::function<void(std::string title, std::string text)> seen,
                            std::function<bool(const Rect& frame)> keep_open = {});
    // The same, answered with the Enter key: the box's default button.
    static void
    press_enter_on_next_message_box(std::function<void(std::string title, std::string text)> seen);
    // Once the next popup menu shows, asks `keep_open` with the menu every few milliseconds
    // and closes the menu when it says false.
    static void close_next_popup_menu(std::function<bool(HMENU__* menu)> keep_open);

private:
    Win32Window& m_window;
};

} // namespace orv
