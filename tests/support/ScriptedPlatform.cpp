#include "ScriptedPlatform.h"

#include <gtest/gtest.h>

namespace orv::test {

using Lock = std::lock_guard<std::mutex>;

// ScriptedWindow::State

bool ScriptedWindow::State::enabled(int command) const {
    const auto found = menu_enabled.find(command);
    return found == menu_enabled.end() || found->second;
}

Text ScriptedWindow::State::status_text(int field) const {
    const auto found = status.find(field);
    return found == status.end() || found->second.empty() ? Text{} : found->second.back();
}

const ScriptedWindow::Control& ScriptedWindow::State::control(int number) const {
    static const Control nowhere;
    const auto found = controls.find(number);
    EXPECT_TRUE(found != controls.end()) << "no control " << number;
    return found == controls.end() ? nowhere : found->second;
}

std::vector<std::string> ScriptedWindow::State::describe(WindowId window) const {
    static const char* const kKinds[] = {"GroupBox", "TabBar",     "ListView",
                                         "Label",    "RightLabel", "EditField",
                                         "Button",   "TextBox",    "ReadOnlyTextBox"};
    std::vector<std::string> lines;
    for (const auto& [number, control] : controls) {
        if (control.window != window) {
            continue;
        }
        const auto& spec = control.definition;
        const Rect& r = spec.rect;
        std::string line = std::to_string(number) + " " + kKinds[static_cast<int>(spec.kind)] +
                           " \"" + spec.text + "\" " + std::to_string(r.left) + "," +
                           std::to_string(r.top) + " " + std::to_string(r.width) + "x" +
                           std::to_string(r.height);
        for (const auto& column : spec.columns) {
            line += " " + column.title + "/" + std::to_string(column.width);
        }
        line += spec.tab_page >= 0 ? " page " + std::to_string(spec.tab_page) : "";
        lines.push_back(line + (control.enabled ? "" : " off"));
    }
    return lines;
}

// ScriptedWindow

void ScriptedWindow::open_popup(WindowId window, const Text& title, const Rect& rect) {
    Lock lock(m_mutex);
    EXPECT_EQ(m_state.popups.count(window), 0U) << "pop-up opened twice";
    m_state.popups[window] = Popup{title, rect};
}

void ScriptedWindow::close_popup(WindowId window) {
    Lock lock(m_mutex);
    EXPECT_EQ(m_state.popups.count(window), 1U) << "closing a pop-up that is not open";
    m_state.popups.erase(window);
    // A closed window's controls are gone.
    std::erase_if(m_state.controls,
                  [&](const auto& entry) { return entry.second.window == window; });
}

void ScriptedWindow::add_control(WindowId window, const ControlSpec& control) {
    Lock lock(m_mutex);
    EXPECT_EQ(m_state.controls.count(control.number), 0U)
        << "control " << control.number << " twice";
    m_state.controls[control.number] = Control{window, control, true, {}, std::nullopt, false};
}

Locked<ScriptedWindow::Control> ScriptedWindow::locked_control(int number) {
    std::unique_lock lock(m_mutex);
    const auto found = m_state.controls.find(number);
    if (found == m_state.controls.end()) {
        ADD_FAILURE() << "no control " << number;
        static Control nowhere;
        nowhere = Control{};
        return {std::move(lock), nowhere};
    }
    return {std::move(lock), found->second};
}

std::optional<Text> ScriptedWindow::control_text(int control) {
    const auto found = locked_control(control);
    if (found->holds_foreign_text) {
        return std::nullopt;
    }
    return found->definition.text;
}

void ScriptedWindow::set_rows(int control, std::vector<ListRow> rows) {
    const auto found = locked_control(control);
    found->rows = std::move(rows);
    found->selected.reset();
}

void ScriptedWindow::set_cell(int control, std::size_t row, int column, const Text& text) {
    const auto found = locked_control(control);
    if (row >= found->rows.size() || column < 0 ||
        static_cast<std::size_t>(column) >= found->rows[row].size()) {
        ADD_FAILURE() << "no cell " << row << "/" << column << " in control " << control;
        return;
    }
    found->rows[row][static_cast<std::size_t>(column)] = text;
}

Text ScriptedWindow::cell_text(int control, std::size_t row, int column) {
    const auto found = locked_control(control);
    if (row >= found->rows.size() || column < 0 ||
        static_cast<std::size_t>(column) >= found->rows[row].size()) {
        return {};
    }
    return found->rows[row][static_cast<std::size_t>(column)];
}

void ScriptedWindow::user_types(int control, const Text& text) {
    const auto found = locked_control(control);
    found->definition.text = text;
    found->holds_foreign_text = false;
}

// ScriptedDialogs

void PrintTo(const ScriptedDialogs::MessageBox& box, std::ostream* out) {
    *out << "{" << box.title << ", \"" << box.text << "\", " << static_cast<int>(box.buttons)
         << ", " << static_cast<int>(box.icon) << "}";
}

ScriptedDialogs::MessageBox stop_box(const Text& text) {
    return {"INFORMATION", text, MessageButtons::Ok, MessageIcon::Stop};
}

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
