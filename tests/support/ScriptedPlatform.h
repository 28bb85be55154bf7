#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Threads.h"
#include "platform/Window.h"

namespace orv::test {

// A window system for tests: it draws nothing, remembers everything the program asked for
// and lets the test play the user. Every operation takes a lock, so workers on real
// threads may call it like the real backend.
class ScriptedWindow final : public Window {
public:
    struct Control {
        WindowId window = WindowId::Main;
        ControlSpec definition;
        bool enabled = true;
        std::vector<ListRow> rows;
        std::optional<std::size_t> selected;
        // Set by the test to play a typed text that Windows-1252 cannot hold.
        bool holds_foreign_text = false;
    };
    struct Popup {
        Text title;
        Rect rect;
    };

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
    void set_rows(int control, std::vector<ListRow> rows) override;
    void set_cell(int control, std::size_t row, int column, const Text& text) override;
    std::optional<std::size_t> selected_row(int control) override;
    Text cell_text(int control, std::size_t row, int column) override;
    void select_row(int control, std::size_t row) override;

    // What the test reads. Each returns a copy taken under the lock.
    Text title() const;
    std::pair<int, int> inner_size() const;
    std::vector<Menu> menu_bar() const;
    std::vector<MenuItem> popup_menu() const;
    // Whether a menu item is enabled; items never touched count as enabled.
    bool menu_enabled(int command) const;
    std::pair<int, int> status_widths() const;
    Text status(int field) const;
    // Every text status field 1 was given, in order.
    std::vector<Text> status_history(int field) const;
    std::vector<Text> tab_pages() const;
    int selected_tab_page() const;
    std::vector<int> tab_page_selections() const;
    std::optional<Popup> popup(WindowId window) const;
    std::optional<Control> control(int number) const;
    std::vector<ListRow> rows(int control) const;
    std::vector<std::pair<int, int>> popup_menu_positions() const;
    int activations() const;

    // Playing the user.
    void set_main_window_rect(const Rect& rect);
    void user_selects_row(int control, std::optional<std::size_t> row);
    void user_types(int control, const Text& text);
    void user_types_foreign_text(int control);

private:
    Control& find(int number);

    mutable std::mutex m_mutex;
    Text m_title;
    std::pair<int, int> m_inner_size{0, 0};
    std::vector<Menu> m_menu_bar;
    std::vector<MenuItem> m_popup_menu;
    std::map<int, bool> m_menu_enabled;
    std::pair<int, int> m_status_widths{0, 0};
    std::map<int, std::vector<Text>> m_status;
    std::vector<Text> m_tab_pages;
    std::vector<int> m_tab_selections;
    Rect m_main_rect{100, 50, 816, 639};
    int m_activations = 0;
    std::vector<std::pair<int, int>> m_popup_menu_positions;
    std::map<WindowId, Popup> m_popups;
    std::map<int, Control> m_controls;
};

// Dialogs answered from a script. The test queues the answers before the program asks;
// a dialog nobody expected fails the test (and is answered as if closed or cancelled).
class ScriptedDialogs final : public Dialogs {
public:
    struct MessageBox {
        Text title;
        Text text;
        MessageButtons buttons;
        MessageIcon icon;
    };
    struct FileDialog {
        bool save;
        Text title;
        std::filesystem::path folder;
        Text filter;
    };

    MessageAnswer message_box(const Text& title, const Text& text, MessageButtons buttons,
                              MessageIcon icon) override;
    std::optional<std::filesystem::path>
    open_file(const Text& title, const std::filesystem::path& folder, const Text& filter) override;
    std::optional<std::filesystem::path>
    save_file(const Text& title, const std::filesystem::path& folder, const Text& filter) override;
    void show_help(const std::filesystem::path& help_file) override;

    void next_answer(MessageAnswer answer);
    // The path the next file dialog gives; nothing plays a cancelled dialog.
    void next_path(std::optional<std::filesystem::path> path);

    std::vector<MessageBox> message_boxes() const;
    std::vector<FileDialog> file_dialogs() const;
    std::vector<std::filesystem::path> help_requests() const;
    // Answers queued but never asked for.
    std::size_t unused_answers() const;

private:
    std::optional<std::filesystem::path> file_dialog(bool save, const Text& title,
                                                     const std::filesystem::path& folder,
                                                     const Text& filter);

    mutable std::mutex m_mutex;
    std::deque<MessageAnswer> m_answers;
    std::deque<std::optional<std::filesystem::path>> m_paths;
    std::vector<MessageBox> m_message_boxes;
    std::vector<FileDialog> m_file_dialogs;
    std::vector<std::filesystem::path> m_help;
};

// Workers on real threads. wait_until_idle() lets a test continue only once the worker
// has finished, so scenarios stay deterministic; `hold()` keeps the next worker from
// starting its work until release(), to look at the program while a worker runs.
class ScriptedThreads final : public Threads {
public:
    ~ScriptedThreads() override;

    void start(std::function<void()> work) override;
    void dispose() override;

    void wait_until_idle();
    void hold();
    void release();
    int started() const;

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
    bool m_running = false;
    bool m_held = false;
    int m_started = 0;
};

} // namespace orv::test
