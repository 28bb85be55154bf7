#include "ScriptedPlatform.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace orv::test {

void ScriptedWindow::set_visible_rows(int n, std::vector<std::size_t> rows) {
    on(n, [&](Control& c) {
        // A real view can show only rows it has, and has no selection on a hidden row.
        for (const std::size_t row : rows) {
            EXPECT_LT(row, c.rows.size()) << "control " << n;
        }
        if (c.selected && std::find(rows.begin(), rows.end(), *c.selected) == rows.end()) {
            c.selected.reset();
        }
        c.visible = std::move(rows);
    });
}

void ScriptedWindow::open_popup(WindowId window, const Text& title, const Rect& rect) {
    with([&](WindowState& s) {
        EXPECT_TRUE(s.popups.try_emplace(window, title, rect).second) << "opened twice";
    });
}

void ScriptedWindow::close_popup(WindowId window) {
    with([&](WindowState& s) {
        EXPECT_EQ(s.popups.erase(window), 1U) << "closing a pop-up that is not open";
        std::erase_if(s.controls, [&](const auto& entry) { return entry.second.window == window; });
    });
}

void ScriptedWindow::add_control(WindowId window, const ControlSpec& control) {
    with([&](WindowState& s) {
        Control added;
        added.window = window;
        added.definition = control;
        EXPECT_TRUE(s.controls.try_emplace(control.number, std::move(added)).second)
            << "control " << control.number << " twice";
    });
}

void PrintTo(const Box& box, std::ostream* out) {
    *out << "{" << box.title << ", \"" << box.text << "\", " << static_cast<int>(box.buttons)
         << ", " << static_cast<int>(box.icon) << "}";
}

Box stop_box(const Text& text) {
    return {"INFORMATION", text, MessageButtons::Ok, MessageIcon::Stop};
}

MessageAnswer ScriptedDialogs::message_box(const Text& title, const Text& text,
                                           MessageButtons buttons, MessageIcon icon) {
    return with([&](DialogsState& s) {
        s.boxes.push_back({title, text, buttons, icon});
        if (s.answers.empty()) {
            EXPECT_EQ(buttons, MessageButtons::Ok) << "unexpected question: " << to_utf8(text);
            return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Closed;
        }
        const auto answer = s.answers.front();
        s.answers.pop_front();
        return answer;
    });
}

std::optional<std::filesystem::path> ScriptedDialogs::file_dialog(FileDialog asked) {
    return with([&](DialogsState& s) {
        s.file_dialogs.push_back(asked);
        EXPECT_FALSE(s.paths.empty()) << "unexpected file dialog: " << to_utf8(asked.title);
        auto path = s.paths.empty() ? std::nullopt : s.paths.front();
        if (!s.paths.empty()) {
            s.paths.pop_front();
        }
        return path;
    });
}

void ScriptedThreads::start(std::function<void()> work) {
    ++started;
    m_thread = std::thread([this, work = std::move(work)] {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_held; });
        lock.unlock();
        work();
    });
}

void ScriptedThreads::set_held(bool held) {
    std::lock_guard lock(m_mutex);
    m_held = held;
    m_changed.notify_all();
}

} // namespace orv::test
