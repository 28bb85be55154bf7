#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/Events.h"
#include "platform/SizeReport.h"
#include "platform/StatusThrottle.h"
#include "platform/Window.h"
#include "platform/WindowCalls.h"

// The handle types of windows.h, spelled out so that this header does not need it.
struct HWND__;
struct HMENU__;
struct HFONT__;
struct HACCEL__;
using WindowHandle = HWND__*;

namespace orv {

class VirtualList;

// The program's windows on the Win32 API and its common controls: the main window with menu
// bar, two-part status bar, group box, tab control and one virtual list view per page, and
// the two pop-up windows (owned by the main window, so they stay above it) with their
// controls. Every operation may be called from any thread (see WindowCalls); events go to the
// EventSink on the thread that created this object, one at a time.
class Win32Window final : public Window {
public:
    Win32Window();
    ~Win32Window() override;
    Win32Window(const Win32Window&) = delete;
    Win32Window& operator=(const Win32Window&) = delete;

    // Where the events go. After each event the window asks `quit_requested` and, once it
    // says yes, delivers nothing more and ends the message loop.
    void connect_events(EventSink& sink, std::function<bool()> quit_requested);
    void show();
    // The message loop, until the program quits. Dialog keys (Tab, Enter, Escape) work in
    // the pop-up windows, the menu items' shortcut keys in the main window.
    void run();
    // Handles one waiting message, if any, the way run() does; false when none was waiting.
    bool run_one();
    // The loop has ended: the windows disappear, later changes are dropped and questions
    // from a worker are answered with nothing.
    void close();

    WindowCalls& calls() { return *m_calls; }
    // The window that owns message boxes and file dialogs: the active one of ours, else the
    // main window.
    WindowHandle dialog_owner() const;

    // For tests and tools: the windows and controls by number.
    WindowHandle main_handle() const { return m_main; }
    WindowHandle popup_handle(WindowId window) const;
    WindowHandle control_handle(int number) const;
    WindowHandle status_handle() const { return m_status; }
    // How often the status fields were redrawn; texts arriving faster than every 50 ms
    // are gathered.
    int status_redraws() const { return m_status_throttle.redraws(); }
    HMENU__* popup_menu() const { return m_popup_menu; }

    // Window
    void create_main_window(const Text& title, int inner_width, int inner_height) override;
    void set_menus(const std::vector<Menu>& menu_bar, const std::vector<MenuItem>& popup) override;
    void set_menu_item_enabled(int command, bool enabled) override;
    void create_status_bar(int field0_width, int field1_width) override;
    void set_status_text(int field, const Text& text) override;
    void add_tab_page(const Text& label) override;
    void select_tab_page(int page) override;
    Rect main_window_rect() override;
    void activate_main_window() override;
    void show_popup_menu(int x, int y) override;
    void open_popup(WindowId window, const Text& title, const Rect& rect) override;
    void close_popup(WindowId window) override;
    void add_control(WindowId window, const ControlSpec& control) override;
    void move_control(int control, const Rect& rect) override;
    void set_control_enabled(int control, bool enabled) override;
    void set_control_text(int control, const Text& text) override;
    std::optional<Text> control_text(int control) override;
    void set_rows(int control, std::vector<ListRow> rows, std::vector<RowState> states) override;
    void set_cell(int control, std::size_t row, int column, const Text& text) override;
    void set_row_state(int control, std::size_t row, RowState state) override;
    std::optional<std::size_t> selected_row(int control) override;
    Text cell_text(int control, std::size_t row, int column) override;
    void select_row(int control, std::size_t row) override;
    void set_main_window_title(const Text& title) override;
    void set_popup_title(WindowId window, const Text& title) override;
    void set_text_marks(int control, std::vector<TextMark> marks) override;
    void set_tab_page_text(int page, const Text& text) override;
    void set_visible_rows(int control, std::vector<std::size_t> rows) override;
    void set_sort_indicator(int control, int column, bool ascending) override;
    void set_control_checked(int control, bool checked) override;
    bool control_checked(int control) override;
    void focus_control(int control) override;

    // The window procedure's work, for the one window class of our frames.
    long long handle_message(WindowHandle window, unsigned message, unsigned long long wparam,
                             long long lparam);

private:
    struct Control {
        WindowId window = WindowId::Main;
        ControlKind kind = ControlKind::Label;
        WindowHandle handle = nullptr;
        std::unique_ptr<VirtualList> list;
        Rect rect;
        bool pick_keys = false;
    };

    void deliver(const Event& event);
    void report_size();
    void flush_status();
    void place(const Control& control);
    void place_pages();
    void show_page(int page);
    void remove_control(int number);
    // Ctrl+F: the filter box of `window`, if it has one, gets the focus with its text selected.
    bool focus_search_field(WindowId window);
    bool menu_item_enabled(int command) const;
    Control* find(int number);
    VirtualList* find_list(int number);
    WindowHandle parent_for(WindowId window, const ControlSpec& control) const;
    long long handle_notify(WindowHandle frame, const void* header);
    std::optional<WindowId> popup_of(WindowHandle handle) const;
    int scaled(int value) const;
    int unscaled(int value) const;

    std::unique_ptr<WindowCalls> m_calls;
    WindowHandle m_messages = nullptr;
    EventSink* m_sink = nullptr;
    std::function<bool()> m_quit_requested;
    bool m_quitting = false;
    bool m_closed = false;
    int m_dpi = 96;

    WindowHandle m_main = nullptr;
    WindowHandle m_status = nullptr;
    WindowHandle m_tabs = nullptr;
    std::vector<WindowHandle> m_pages;
    HMENU__* m_menu_bar = nullptr;
    HMENU__* m_popup_menu = nullptr;
    bool m_popup_menu_open = false;
    // The menu items' shortcut keys.
    HACCEL__* m_shortcuts = nullptr;
    // The program is setting a control's text: the change is not the user's.
    bool m_setting_text = false;
    HFONT__* m_font = nullptr;
    HFONT__* m_text_box_font = nullptr;
    std::map<WindowId, WindowHandle> m_popups;
    std::map<int, Control> m_controls;
    SizeReport m_size_report;
    StatusThrottle m_status_throttle;
};

} // namespace orv
