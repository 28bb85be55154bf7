#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Events.h"
#include "platform/Files.h"

namespace orv::test {

// What a message box showed.
struct ShownBox {
    std::string title;
    std::string text;
};

// A window backend as a user sees it: the real application on the backend's windows, driven
// with the backend's own input (clicks, menu commands, keys) and read back from its controls.
// Texts are UTF-8 as shown. One driver per backend; the contract suite runs on each.
class WindowDriver {
public:
    virtual ~WindowDriver() = default;

    // Starts the program in `program_dir` on `files` and shows its main window.
    virtual void start(const std::filesystem::path& program_dir, Files& files) = 0;
    // What the desktop program does after its event loop: closes the windows, waits for
    // a worker still writing.
    virtual void quit() = 0;
    virtual bool quit_requested() = 0;
    // Handles the window's events until `condition` holds (false after 30 s).
    virtual bool wait_until(const std::function<bool()>& condition) = 0;

    // The next file dialog chooses `path` without being shown.
    virtual void set_next_file_name(const std::filesystem::path& path) = 0;
    // Titles and filters of the file dialogs asked so far.
    virtual std::vector<std::pair<Text, Text>> file_dialogs() = 0;
    // The next message box shown is read into `seen` and answered with `answer`.
    virtual void answer_next_message_box(MessageAnswer answer, std::shared_ptr<ShownBox> seen) = 0;

    virtual void choose_menu(int command) = 0;
    virtual void select_tab(int page) = 0;
    virtual void click_row(int control, int row, ListEventType type) = 0;
    // Whether the right click on a row opened the popup menu (which is then closed).
    virtual bool right_click_opens_popup_menu(int control, int row) = 0;
    virtual void click_header(int control, int column) = 0;
    // Replaces the field's text by typing; "\r" is the Enter key.
    virtual void type_text(int control, const std::string& text) = 0;
    virtual void press_button(int control) = 0;
    virtual void close_window(WindowId window) = 0;

    virtual std::string window_title(WindowId window) = 0;
    // Inner width and height (the main window's with its menu bar).
    virtual std::pair<int, int> window_size(WindowId window) = 0;
    virtual bool window_open(WindowId window) = 0;
    virtual std::vector<std::string> menu_titles() = 0;
    // Items of menu bar menu `menu`, or of the popup menu for -1; "-" is a separator.
    virtual std::vector<std::string> menu_items(int menu) = 0;
    virtual bool menu_enabled(int command) = 0;
    virtual std::string status_text(int field) = 0;
    virtual std::vector<std::string> tab_labels() = 0;
    virtual int current_tab() = 0;
    // Column titles and widths, "ID/200".
    virtual std::vector<std::string> headers(int control) = 0;
    virtual std::vector<std::string> column(int control, int column) = 0;
    virtual std::string control_text(int control) = 0;
    virtual bool control_enabled(int control) = 0;

    // Gives the control the focus and presses a key on it: "Enter", "F2", "Escape" or
    // "Ctrl+F".
    virtual void press_key(int control, const std::string& key) = 0;
    // The number of the control that has the keyboard focus, 0 when none of ours has it.
    virtual int focused_control() = 0;
};

// The driver of the backend this test program is built for.
std::unique_ptr<WindowDriver> make_window_driver();

} // namespace orv::test
