#pragma once

#include <chrono>

#include "WindowDriver.h"
#include "app/Application.h"
#include "platform/WorkerThreads.h"

namespace orv::test {

// The driver of a backend whose remote (Win32Remote, QtRemote) drives its windows: the real
// application on the backend's window and dialogs.
template <typename Window, typename Dialogs, typename Remote>
class RemoteDriver final : public WindowDriver {
public:
    void start(const std::filesystem::path& program_dir, Files& files) override {
        m_window = std::make_unique<Window>();
        m_dialogs = std::make_unique<Dialogs>(*m_window);
        m_threads = std::make_unique<WorkerThreads>();
        m_program =
            std::make_unique<Application>(program_dir, *m_window, *m_dialogs, files, *m_threads);
        m_remote = std::make_unique<Remote>(*m_window);
        m_window->connect_events(*m_program, [this] { return m_program->quit_requested(); });
        m_program->start();
        m_window->show();
        m_remote->run_events();
    }
    void quit() override {
        if (m_window) {
            m_window->close();
        }
        if (m_program) {
            m_program->shut_down();
        }
    }
    bool quit_requested() override { return m_program->quit_requested(); }
    bool wait_until(const std::function<bool()>& condition) override {
        const auto start = std::chrono::steady_clock::now();
        while (!condition()) {
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(30)) {
                return false;
            }
            m_remote->run_events();
        }
        return true;
    }

    void set_next_file_name(const std::filesystem::path& path) override {
        m_dialogs->set_next_file_name(path);
    }
    std::vector<std::pair<Text, Text>> file_dialogs() override {
        std::vector<std::pair<Text, Text>> titles;
        for (const auto& asked : m_dialogs->asked()) {
            if constexpr (requires { asked.file_dialog; }) {
                if (!asked.file_dialog) {
                    continue;
                }
            }
            titles.emplace_back(asked.title, asked.filter);
        }
        return titles;
    }
    void answer_next_message_box(MessageAnswer answer, std::shared_ptr<ShownBox> seen) override {
        Remote::answer_next_message_box(answer, [seen](std::string title, std::string text) {
            *seen = {title, text};
        });
    }

    void choose_menu(int command) override { m_remote->choose_menu(command); }
    void select_tab(int page) override { m_remote->select_tab(page); }
    void click_row(int control, int row, ListEventType type) override {
        m_remote->click_row(control, row, type);
    }
    bool right_click_opens_popup_menu(int control, int row) override {
        return m_remote->right_click_opens_popup_menu(control, row);
    }
    void click_header(int control, int column) override { m_remote->click_header(control, column); }
    void type_text(int control, const std::string& text) override {
        m_remote->type_text(control, text);
    }
    void press_button(int control) override { m_remote->press_button(control); }
    void close_window(WindowId window) override { m_remote->close_window(window); }

    std::string window_title(WindowId window) override { return m_remote->window_title(window); }
    std::pair<int, int> window_size(WindowId window) override {
        const Rect rect = m_remote->window_rect(window);
        return {rect.width, rect.height};
    }
    bool window_open(WindowId window) override { return m_remote->window_open(window); }
    std::vector<std::string> menu_titles() override { return m_remote->menu_titles(); }
    std::vector<std::string> menu_items(int menu) override { return m_remote->menu_items(menu); }
    bool menu_enabled(int command) override { return m_remote->menu_enabled(command); }
    std::string status_text(int field) override { return m_remote->status_text(field); }
    std::vector<std::string> tab_labels() override { return m_remote->tab_labels(); }
    int current_tab() override { return m_remote->current_tab(); }
    std::vector<std::string> headers(int control) override { return m_remote->headers(control); }
    std::vector<std::string> column(int control, int column) override {
        return m_remote->column(control, column);
    }
    std::string control_text(int control) override { return m_remote->control_text(control); }
    bool control_enabled(int control) override { return m_remote->control_enabled(control); }
    void press_key(int control, const std::string& key) override {
        m_remote->press_key(control, key);
    }
    int focused_control() override { return m_remote->focused_control(); }

private:
    std::unique_ptr<Window> m_window;
    std::unique_ptr<Dialogs> m_dialogs;
    std::unique_ptr<WorkerThreads> m_threads;
    std::unique_ptr<Application> m_program;
    std::unique_ptr<Remote> m_remote;
};

} // namespace orv::test
