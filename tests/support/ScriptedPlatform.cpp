#include "ScriptedPlatform.h"

#include <gtest/gtest.h>

namespace orv::test {

using Lock = std::lock_guard<std::mutex>;

// ScriptedWindow

void ScriptedWindow::create_main_window(const Text& title, int inner_width, int inner_height) {
    Lock lock(m_mutex);
    m_title = title;
    m_inner_size = {inner_width, inner_height};
}

void ScriptedWindow::set_menus(const std::vector<Menu>& menu_bar,
                               const std::vector<MenuItem>& popup) {
    Lock lock(m_mutex);
    m_menu_bar = menu_bar;
    m_popup_menu = popup;
}

void ScriptedWindow::set_menu_item_enabled(int command, bool enabled) {
    Lock lock(m_mutex);
    m_menu_enabled[command] = enabled;
}

void ScriptedWindow::create_status_bar(int field0_width, int field1_width) {
    Lock lock(m_mutex);
    m_status_widths = {field0_width, field1_width};
}

void ScriptedWindow::set_status_text(int field, const Text& text) {
    Lock lock(m_mutex);
    m_status[field].push_back(text);
}

void ScriptedWindow::add_tab_page(const Text& label) {
    Lock lock(m_mutex);
    m_tab_pages.push_back(label);
}

void ScriptedWindow::select_tab_page(int page) {
    Lock lock(m_mutex);
    m_tab_selections.push_back(page);
}

Rect ScriptedWindow::main_window_rect() {
    Lock lock(m_mutex);
    return m_main_rect;
}

void ScriptedWindow::activate_main_window() {
    Lock lock(m_mutex);
    ++m_activations;
}

void ScriptedWindow::show_popup_menu(int x, int y) {
    Lock lock(m_mutex);
    m_popup_menu_positions.emplace_back(x, y);
}

void ScriptedWindow::open_popup(WindowId window, const Text& title, const Rect& rect) {
    Lock lock(m_mutex);
    EXPECT_EQ(m_popups.count(window), 0U) << "pop-up opened twice";
    m_popups[window] = Popup{title, rect};
}

void ScriptedWindow::close_popup(WindowId window) {
    Lock lock(m_mutex);
    EXPECT_EQ(m_popups.count(window), 1U) << "closing a pop-up that is not open";
    m_popups.erase(window);
    // A closed window's controls are gone.
    for (auto it = m_controls.begin(); it != m_controls.end();) {
        it = it->second.window == window ? m_controls.erase(it) : std::next(it);
    }
}

void ScriptedWindow::add_control(WindowId window, const ControlSpec& control) {
    Lock lock(m_mutex);
    EXPECT_EQ(m_controls.count(control.number), 0U) << "control " << control.number << " twice";
    m_controls[control.number] = Control{window, control, true, {}, std::nullopt, false};
}

ScriptedWindow::Control& ScriptedWindow::find(int number) {
    const auto found = m_controls.find(number);
    if (found == m_controls.end()) {
        ADD_FAILURE() << "no control " << number;
        static Control nowhere;
        nowhere = Control{};
        return nowhere;
    }
    return found->second;
}

void ScriptedWindow::move_control(int control, const Rect& rect) {
    Lock lock(m_mutex);
    find(control).definition.rect = rect;
}

void ScriptedWindow::set_control_enabled(int control, bool enabled) {
    Lock lock(m_mutex);
    find(control).enabled = enabled;
}

void ScriptedWindow::set_control_text(int control, const Text& text) {
    Lock lock(m_mutex);
    auto& found = find(control);
    found.definition.text = text;
    found.holds_foreign_text = false;
}

std::optional<Text> ScriptedWindow::control_text(int control) {
    Lock lock(m_mutex);
    const auto& found = find(control);
    if (found.holds_foreign_text) {
        return std::nullopt;
    }
    return found.definition.text;
}

void ScriptedWindow::set_rows(int control, std::vector<ListRow> rows) {
    Lock lock(m_mutex);
    auto& found = find(control);
    found.rows = std::move(rows);
    found.selected.reset();
}

void ScriptedWindow::set_cell(int control, std::size_t row, int column, const Text& text) {
    Lock lock(m_mutex);
    auto& found = find(control);
    if (row >= found.rows.size() || column < 0 ||
        static_cast<std::size_t>(column) >= found.rows[row].size()) {
        ADD_FAILURE() << "no cell " << row << "/" << column << " in control " << control;
        return;
    }
    found.rows[row][static_cast<std::size_t>(column)] = text;
}

std::optional<std::size_t> ScriptedWindow::selected_row(int control) {
    Lock lock(m_mutex);
    return find(control).selected;
}

Text ScriptedWindow::cell_text(int control, std::size_t row, int column) {
    Lock lock(m_mutex);
    const auto& found = find(control);
    if (row >= found.rows.size() || column < 0 ||
        static_cast<std::size_t>(column) >= found.rows[row].size()) {
        return {};
    }
    return found.rows[row][static_cast<std::size_t>(column)];
}

void ScriptedWindow::select_row(int control, std::size_t row) {
    Lock lock(m_mutex);
    find(control).selected = row;
}

Text ScriptedWindow::title() const {
    Lock lock(m_mutex);
    return m_title;
}

std::pair<int, int> ScriptedWindow::inner_size() const {
    Lock lock(m_mutex);
    return m_inner_size;
}

std::vector<Menu> ScriptedWindow::menu_bar() const {
    Lock lock(m_mutex);
    return m_menu_bar;
}

std::vector<MenuItem> ScriptedWindow::popup_menu() const {
    Lock lock(m_mutex);
    return m_popup_menu;
}

bool ScriptedWindow::menu_enabled(int command) const {
    Lock lock(m_mutex);
    const auto found = m_menu_enabled.find(command);
    return found == m_menu_enabled.end() || found->second;
}

std::pair<int, int> ScriptedWindow::status_widths() const {
    Lock lock(m_mutex);
    return m_status_widths;
}

Text ScriptedWindow::status(int field) const {
    Lock lock(m_mutex);
    const auto found = m_status.find(field);
    return found == m_status.end() || found->second.empty() ? Text{} : found->second.back();
}

std::vector<Text> ScriptedWindow::status_history(int field) const {
    Lock lock(m_mutex);
    const auto found = m_status.find(field);
    return found == m_status.end() ? std::vector<Text>{} : found->second;
}

std::vector<Text> ScriptedWindow::tab_pages() const {
    Lock lock(m_mutex);
    return m_tab_pages;
}

int ScriptedWindow::selected_tab_page() const {
    Lock lock(m_mutex);
    return m_tab_selections.empty() ? -1 : m_tab_selections.back();
}

std::vector<int> ScriptedWindow::tab_page_selections() const {
    Lock lock(m_mutex);
    return m_tab_selections;
}

std::optional<ScriptedWindow::Popup> ScriptedWindow::popup(WindowId window) const {
    Lock lock(m_mutex);
    const auto found = m_popups.find(window);
    if (found == m_popups.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<ScriptedWindow::Control> ScriptedWindow::control(int number) const {
    Lock lock(m_mutex);
    const auto found = m_controls.find(number);
    if (found == m_controls.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::vector<ListRow> ScriptedWindow::rows(int control) const {
    Lock lock(m_mutex);
    const auto found = m_controls.find(control);
    return found == m_controls.end() ? std::vector<ListRow>{} : found->second.rows;
}

std::vector<std::pair<int, int>> ScriptedWindow::popup_menu_positions() const {
    Lock lock(m_mutex);
    return m_popup_menu_positions;
}

int ScriptedWindow::activations() const {
    Lock lock(m_mutex);
    return m_activations;
}

void ScriptedWindow::set_main_window_rect(const Rect& rect) {
    Lock lock(m_mutex);
    m_main_rect = rect;
}

void ScriptedWindow::user_selects_row(int control, std::optional<std::size_t> row) {
    Lock lock(m_mutex);
    find(control).selected = row;
}

void ScriptedWindow::user_types(int control, const Text& text) {
    Lock lock(m_mutex);
    auto& found = find(control);
    found.definition.text = text;
    found.holds_foreign_text = false;
}

void ScriptedWindow::user_types_foreign_text(int control) {
    Lock lock(m_mutex);
    find(control).holds_foreign_text = true;
}

// ScriptedDialogs

MessageAnswer ScriptedDialogs::message_box(const Text& title, const Text& text,
                                           MessageButtons buttons, MessageIcon icon) {
    Lock lock(m_mutex);
    m_message_boxes.push_back({title, text, buttons, icon});
    if (m_answers.empty()) {
        if (buttons != MessageButtons::Ok) {
            ADD_FAILURE() << "unexpected question: " << to_utf8(title) << ": " << to_utf8(text);
            return MessageAnswer::Closed;
        }
        return MessageAnswer::Ok;
    }
    const auto answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

std::optional<std::filesystem::path>
ScriptedDialogs::file_dialog(bool save, const Text& title, const std::filesystem::path& folder,
                             const Text& filter) {
    Lock lock(m_mutex);
    m_file_dialogs.push_back({save, title, folder, filter});
    if (m_paths.empty()) {
        ADD_FAILURE() << "unexpected file dialog: " << to_utf8(title);
        return std::nullopt;
    }
    auto path = m_paths.front();
    m_paths.pop_front();
    return path;
}

std::optional<std::filesystem::path> ScriptedDialogs::open_file(const Text& title,
                                                                const std::filesystem::path& folder,
                                                                const Text& filter) {
    return file_dialog(false, title, folder, filter);
}

std::optional<std::filesystem::path> ScriptedDialogs::save_file(const Text& title,
                                                                const std::filesystem::path& folder,
                                                                const Text& filter) {
    return file_dialog(true, title, folder, filter);
}

void ScriptedDialogs::show_help(const std::filesystem::path& help_file) {
    Lock lock(m_mutex);
    m_help.push_back(help_file);
}

void ScriptedDialogs::next_answer(MessageAnswer answer) {
    Lock lock(m_mutex);
    m_answers.push_back(answer);
}

void ScriptedDialogs::next_path(std::optional<std::filesystem::path> path) {
    Lock lock(m_mutex);
    m_paths.push_back(std::move(path));
}

std::vector<ScriptedDialogs::MessageBox> ScriptedDialogs::message_boxes() const {
    Lock lock(m_mutex);
    return m_message_boxes;
}

std::vector<ScriptedDialogs::FileDialog> ScriptedDialogs::file_dialogs() const {
    Lock lock(m_mutex);
    return m_file_dialogs;
}

std::vector<std::filesystem::path> ScriptedDialogs::help_requests() const {
    Lock lock(m_mutex);
    return m_help;
}

std::size_t ScriptedDialogs::unused_answers() const {
    Lock lock(m_mutex);
    return m_answers.size() + m_paths.size();
}

// ScriptedThreads

ScriptedThreads::~ScriptedThreads() {
    release();
    dispose();
}

void ScriptedThreads::start(std::function<void()> work) {
    std::unique_lock lock(m_mutex);
    EXPECT_FALSE(m_thread.joinable()) << "a worker was started before the last was disposed of";
    if (m_thread.joinable()) {
        lock.unlock();
        dispose();
        lock.lock();
    }
    m_running = true;
    ++m_started;
    m_thread = std::thread([this, work = std::move(work)] {
        {
            std::unique_lock inner(m_mutex);
            m_changed.wait(inner, [this] { return !m_held; });
        }
        work();
        std::lock_guard inner(m_mutex);
        m_running = false;
        m_changed.notify_all();
    });
}

void ScriptedThreads::dispose() {
    std::thread finished;
    {
        Lock lock(m_mutex);
        finished = std::move(m_thread);
    }
    if (finished.joinable()) {
        finished.join();
    }
}

void ScriptedThreads::wait_until_idle() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_running; });
}

void ScriptedThreads::hold() {
    Lock lock(m_mutex);
    m_held = true;
}

void ScriptedThreads::release() {
    Lock lock(m_mutex);
    m_held = false;
    m_changed.notify_all();
}

int ScriptedThreads::started() const {
    Lock lock(m_mutex);
    return m_started;
}

} // namespace orv::test
