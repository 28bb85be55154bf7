#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Threads.h"
#include "platform/Window.h"

namespace orv::test {

// A value reached under its owner's lock, held for as long as this lives (to the end of
// the statement, for a temporary).
template <class T>
struct Locked {
    std::unique_lock<std::mutex> lock;
    T& value;
    T* operator->() const { return &value; }
    T& operator*() const { return value; }
};

// A window system for tests: it draws nothing, remembers everything the program asked for
// and lets the test play the user. Every operation takes a lock, so workers on real
// threads may call it like the real backend; the test reads one snapshot of it all.
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
    // Everything the program asked for so far.
    struct State {
        Text title;
        std::pair<int, int> inner_size{0, 0};
        std::vector<Menu> menu_bar;
        std::vector<MenuItem> popup_menu;
        std::map<int, bool> menu_enabled;
        std::pair<int, int> status_widths{0, 0};
        // Every text each status field was given, in order.
        std::map<int, std::vector<Text>> status;
        std::vector<Text> tab_pages;
        std::vector<int> tab_selections;
        Rect main_rect{100, 50, 816, 639};
        int activations = 0;
        std::vector<std::pair<int, int>> popup_menu_positions;
        std::map<WindowId, Popup> popups;
        std::map<int, Control> controls;

        // Items never touched count as enabled.
        bool enabled(int command) const;
        // The text a status field shows now.
        Text status_text(int field) const;
        bool is_open(WindowId window) const { return popups.count(window) > 0; }
        // The control, or a failed test and an empty control.
        const Control& control(int number) const;
        // One line per control of `window`, in number order: number, kind, text, rect, and
        // "off", columns and tab page where they apply.
        std::vector<std::string> describe(WindowId window) const;
    };

    void create_main_window(const Text& title, int width, int height) override {
        auto state = access();
        state->title = title;
        state->inner_size = {width, height};
    }
    void set_menus(const std::vector<Menu>& menu_bar, const std::vector<MenuItem>& popup) override {
        auto state = access();
        state->menu_bar = menu_bar;
        state->popup_menu = popup;
    }
    void set_menu_item_enabled(int command, bool on) override {
        access()->menu_enabled[command] = on;
    }
    void create_status_bar(int width0, int width1) override {
        access()->status_widths = {width0, width1};
    }
    void set_status_text(int field, const Text& text) override {
        access()->status[field].push_back(text);
    }
    void add_tab_page(const Text& label) override { access()->tab_pages.push_back(label); }
    void select_tab_page(int page) override { access()->tab_selections.push_back(page); }
    Rect main_window_rect() override { return access()->main_rect; }
    void activate_main_window() override { ++access()->activations; }
    void show_popup_menu(int x, int y) override {
        access()->popup_menu_positions.emplace_back(x, y);
    }
    void open_popup(WindowId window, const Text& title, const Rect& rect) override;
    void close_popup(WindowId window) override;
    void add_control(WindowId window, const ControlSpec& control) override;
    void move_control(int control, const Rect& rect) override {
        locked_control(control)->definition.rect = rect;
    }
    void set_control_enabled(int control, bool on) override {
        locked_control(control)->enabled = on;
    }
    void set_control_text(int control, const Text& text) override { user_types(control, text); }
    std::optional<Text> control_text(int control) override;
    void set_rows(int control, std::vector<ListRow> rows) override;
    void set_cell(int control, std::size_t row, int column, const Text& text) override;
    std::optional<std::size_t> selected_row(int control) override {
        return locked_control(control)->selected;
    }
    Text cell_text(int control, std::size_t row, int column) override;
    void select_row(int control, std::size_t row) override { user_selects_row(control, row); }

    // A copy of the whole state, taken under the lock.
    State snapshot() const {
        std::lock_guard lock(m_mutex);
        return m_state;
    }

    // Playing the user.
    void set_main_window_rect(const Rect& rect) { access()->main_rect = rect; }
    void user_selects_row(int control, std::optional<std::size_t> row) {
        locked_control(control)->selected = row;
    }
    void user_types(int control, const Text& text);
    void user_types_foreign_text(int control) {
        locked_control(control)->holds_foreign_text = true;
    }

private:
    Locked<State> access() { return {std::unique_lock(m_mutex), m_state}; }
    // The control, or a failed test and a throwaway control.
    Locked<Control> locked_control(int number);

    mutable std::mutex m_mutex;
    State m_state;
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

        bool operator==(const MessageBox&) const = default;
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
    void show_help(const std::filesystem::path& help_file) override {
        locked(m_help)->push_back(help_file);
    }

    void next_answer(MessageAnswer answer) { locked(m_answers)->push_back(answer); }
    // The path the next file dialog gives; nothing plays a cancelled dialog.
    void next_path(std::optional<std::filesystem::path> path) { locked(m_paths)->push_back(path); }

    std::vector<MessageBox> message_boxes() const { return *locked(m_message_boxes); }
    std::vector<FileDialog> file_dialogs() const { return *locked(m_file_dialogs); }
    std::vector<std::filesystem::path> help_requests() const { return *locked(m_help); }
    // Answers queued but never asked for.
    std::size_t unused_answers() const;

private:
    template <class T>
    Locked<T> locked(T& member) const {
        return {std::unique_lock(m_mutex), member};
    }
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

void PrintTo(const ScriptedDialogs::MessageBox& box, std::ostream* out);

// A refusal: an "INFORMATION" box with an OK button and the stop icon.
ScriptedDialogs::MessageBox stop_box(const Text& text);

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
