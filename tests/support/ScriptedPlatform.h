#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "platform/Dialogs.h"
#include "platform/Threads.h"
#include "platform/Window.h"

namespace orv::test {

// A state that workers on real threads may change like the real backend's: every change
// takes the lock, and the test reads one snapshot of it all.
template <class State>
class Scripted {
public:
    State snapshot() const {
        std::lock_guard lock(m_mutex);
        return m_state;
    }

protected:
    template <class F>
    auto with(F change) {
        std::lock_guard lock(m_mutex);
        return change(m_state);
    }
    template <class T>
    void set(T State::*member, std::type_identity_t<T> value) {
        with([&](State& s) { s.*member = std::move(value); });
    }
    template <class C>
    void add(C State::*member, typename C::value_type value) {
        with([&](State& s) { (s.*member).push_back(std::move(value)); });
    }

private:
    mutable std::mutex m_mutex;
    State m_state;
};

struct WindowState {
    struct Control {
        WindowId window = WindowId::Main;
        ControlSpec definition;
        bool enabled = true;
        std::vector<ListRow> rows;
        // One per row for the object lists; none for the pop-ups' lists.
        std::vector<RowState> states;
        std::optional<std::size_t> selected;
        // Set by the test to play a typed text that Windows-1252 cannot hold.
        bool foreign_text = false;
        // The rows shown (set_visible_rows); nothing while all are.
        std::optional<std::vector<std::size_t>> visible;
        bool checked = false;
        std::optional<int> sort_column;
    };
    Text title;
    std::pair<int, int> inner_size{0, 0};
    std::pair<int, int> status_widths{0, 0};
    std::vector<Menu> menu_bar;
    std::vector<MenuItem> popup_menu;
    std::map<int, bool> menu_enabled;
    std::map<int, Text> status;
    std::vector<Text> tab_pages;
    std::vector<int> tab_selections;
    Rect main_rect{100, 50, 816, 639};
    int activations = 0;
    std::vector<std::pair<int, int>> popup_menu_positions;
    // Title and rect of each open pop-up.
    std::map<WindowId, std::pair<Text, Rect>> popups;
    // A missing control throws, which fails the test.
    std::map<int, Control> controls;
    // The control that got the focus last through focus_control.
    int focused = 0;

    // Items never touched count as enabled.
    bool enabled(int item) const { return menu_enabled.count(item) == 0 || menu_enabled.at(item); }
    bool is_open(WindowId window) const { return popups.count(window) > 0; }
};

// A window system for tests: it draws nothing, remembers everything the program asked for
// and lets the test play the user.
class ScriptedWindow final : public Window, public Scripted<WindowState> {
    using Control = WindowState::Control;

    template <class F>
    auto on(int n, F change) {
        return with([&](auto& s) { return change(s.controls.at(n)); });
    }
    template <class T>
    void put(int n, T Control::*member, std::type_identity_t<T> value) {
        on(n, [&](auto& c) { c.*member = std::move(value); });
    }

public:
    void create_main_window(const Text& title, int width, int height) override {
        set(&WindowState::title, title);
        set(&WindowState::inner_size, std::pair{width, height});
    }
    void set_menus(const std::vector<Menu>& bar, const std::vector<MenuItem>& popup) override {
        set(&WindowState::menu_bar, bar);
        set(&WindowState::popup_menu, popup);
    }
    void set_menu_item_enabled(int item, bool on) override {
        with([&](auto& s) { s.menu_enabled[item] = on; });
    }
    void create_status_bar(int w0, int w1) override {
        set(&WindowState::status_widths, std::pair{w0, w1});
    }
    void set_status_text(int field, const Text& text) override {
        with([&](auto& s) { s.status[field] = text; });
        if (on_status_text) {
            on_status_text(snapshot());
        }
    }
    // Called with the window as it is whenever a status text is shown: a test sees the
    // window in the middle of a command, while progress is reported.
    std::function<void(const WindowState&)> on_status_text;
    void add_tab_page(const Text& label) override { add(&WindowState::tab_pages, label); }
    void select_tab_page(int page) override { add(&WindowState::tab_selections, page); }
    Rect main_window_rect() override { return snapshot().main_rect; }
    void activate_main_window() override {
        with([](auto& s) { ++s.activations; });
    }
    void show_popup_menu(int x, int y) override {
        add(&WindowState::popup_menu_positions, std::pair{x, y});
    }
    void open_popup(WindowId window, const Text& title, const Rect& rect) override;
    void close_popup(WindowId window) override;
    void add_control(WindowId window, const ControlSpec& control) override;
    void move_control(int n, const Rect& rect) override {
        on(n, [&](auto& c) { c.definition.rect = rect; });
    }
    void set_control_enabled(int n, bool enabled) override { put(n, &Control::enabled, enabled); }
    void set_control_text(int n, const Text& text) override {
        on(n, [&](auto& c) {
            c.definition.text = text;
            c.foreign_text = false;
        });
    }
    // Which stretches are marked is the window contract's to see; a control that does not
    // exist is still refused.
    void set_text_marks(int n, std::vector<TextMark>) override {
        on(n, [](auto&) {});
    }
    std::optional<Text> control_text(int n) override {
        const auto c = snapshot().controls.at(n);
        return c.foreign_text ? std::nullopt : std::optional(c.definition.text);
    }
    void set_rows(int n, std::vector<ListRow> rows, std::vector<RowState> states) override {
        on(n, [&](auto& c) {
            c.rows = std::move(rows), c.states = std::move(states);
            c.selected.reset(), c.visible.reset();
        });
    }
    void set_row_state(int n, std::size_t row, RowState state) override {
        on(n, [&](auto& c) { c.states.at(row) = state; });
    }
    void set_cell(int n, std::size_t row, int column, const Text& text) override {
        on(n, [&](auto& c) { c.rows.at(row).at(std::size_t(column)) = text; });
    }
    std::optional<std::size_t> selected_row(int n) override {
        return snapshot().controls.at(n).selected;
    }
    Text cell_text(int n, std::size_t row, int column) override {
        return snapshot().controls.at(n).rows.at(row).at(std::size_t(column));
    }
    void select_row(int n, std::size_t row) override { put(n, &Control::selected, row); }
    void set_main_window_title(const Text& title) override { set(&WindowState::title, title); }
    void set_popup_title(WindowId window, const Text& title) override {
        with([&](auto& s) {
            if (const auto found = s.popups.find(window); found != s.popups.end()) {
                found->second.first = title;
            }
        });
    }
    void set_tab_page_text(int page, const Text& text) override {
        with([&](auto& s) { s.tab_pages.at(std::size_t(page)) = text; });
    }
    void set_visible_rows(int n, std::vector<std::size_t> rows) override;
    // Column -1 takes the arrow away; its direction is the window contract's to see.
    void set_sort_indicator(int n, int column, bool) override {
        put(n, &Control::sort_column, column < 0 ? std::nullopt : std::optional(column));
    }
    void set_control_checked(int n, bool checked) override { put(n, &Control::checked, checked); }
    bool control_checked(int n) override { return snapshot().controls.at(n).checked; }
    void focus_control(int n) override {
        on(n, [](auto&) {});
        set(&WindowState::focused, n);
    }

    // Playing the user.
    void set_main_window_rect(const Rect& rect) { set(&WindowState::main_rect, rect); }
    void user_selects_row(int n, std::optional<std::size_t> row) {
        put(n, &Control::selected, row);
    }
    void user_types_foreign_text(int n) { put(n, &Control::foreign_text, true); }
};

struct Box {
    Text title;
    Text text;
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;

    bool operator==(const Box&) const = default;
};
void PrintTo(const Box& box, std::ostream* out);
// A refusal: an "INFORMATION" box with an OK button and the stop icon.
Box stop_box(const Text& text);

struct FileDialog {
    bool save = false;
    Text title;
    std::filesystem::path folder;
    Text filter;
};

struct DialogsState {
    // Queued by the test before the program asks; nothing plays a cancelled file dialog.
    std::deque<MessageAnswer> answers;
    std::deque<std::optional<std::filesystem::path>> paths;
    std::vector<Box> boxes;
    std::vector<FileDialog> file_dialogs;
    std::vector<std::filesystem::path> help;
};

// Dialogs answered from a script. A question or file dialog nobody expected fails the test
// and is answered as if closed or cancelled.
class ScriptedDialogs final : public Dialogs, public Scripted<DialogsState> {
public:
    MessageAnswer message_box(const Text& title, const Text& text, MessageButtons buttons,
                              MessageIcon icon) override;
    std::optional<std::filesystem::path>
    open_file(const Text& title, const std::filesystem::path& folder, const Text& filter) override {
        return file_dialog({false, title, folder, filter});
    }
    std::optional<std::filesystem::path>
    save_file(const Text& title, const std::filesystem::path& folder, const Text& filter) override {
        return file_dialog({true, title, folder, filter});
    }
    void show_help(const std::filesystem::path& page) override { add(&DialogsState::help, page); }

    void next_answer(MessageAnswer answer) { add(&DialogsState::answers, answer); }
    void next_path(std::optional<std::filesystem::path> path) { add(&DialogsState::paths, path); }
    std::vector<Box> boxes() const { return snapshot().boxes; }

private:
    std::optional<std::filesystem::path> file_dialog(FileDialog asked);
};

// Workers on real threads. wait_until_idle() lets a test go on only once the worker has
// finished; hold() keeps the next worker from starting its work until release(), to look
// at the program while a worker runs.
class ScriptedThreads final : public Threads {
public:
    ~ScriptedThreads() override {
        release();
        dispose();
    }
    void start(std::function<void()> work) override;
    void dispose() override {
        if (m_thread.joinable()) {
            m_thread.join();
        }
    }
    void wait_until_idle() { dispose(); }
    void hold() { set_held(true); }
    void release() { set_held(false); }

    int started = 0;

private:
    void set_held(bool held);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_thread;
    bool m_held = false;
};

} // namespace orv::test
