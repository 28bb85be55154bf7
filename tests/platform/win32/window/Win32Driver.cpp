// The window contract on the Win32 backend: the real windows (Wine's null driver draws
// nothing but creates them), driven in-process with window messages.
#include <windows.h>

#include "WindowDriver.h"
#include "app/Application.h"
#include "platform/WorkerThreads.h"
#include "platform/win32/window/Win32Dialogs.h"
#include "platform/win32/window/Win32Remote.h"
#include "platform/win32/window/Win32Window.h"

namespace orv::test {
namespace {

std::string utf8(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        length, nullptr, nullptr);
    return result;
}

std::wstring wide(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(),
                        length);
    return result;
}

std::vector<std::string> utf8(const std::vector<std::wstring>& texts) {
    std::vector<std::string> result;
    for (const std::wstring& text : texts) {
        result.push_back(utf8(text));
    }
    return result;
}

// A menu text as shown: the mnemonic marker "&" is not drawn, "&&" is one "&".
std::string shown(const std::wstring& menu_text) {
    std::wstring text;
    for (std::size_t i = 0; i < menu_text.size(); ++i) {
        if (menu_text[i] == L'&' && i + 1 < menu_text.size()) {
            ++i;
        }
        text += menu_text[i];
    }
    return utf8(text);
}

class Win32Driver final : public WindowDriver {
public:
    void start(const std::filesystem::path& program_dir, Files& files) override {
        m_window = std::make_unique<Win32Window>();
        m_dialogs = std::make_unique<Win32Dialogs>(*m_window);
        m_threads = std::make_unique<WorkerThreads>();
        m_program =
            std::make_unique<Application>(program_dir, *m_window, *m_dialogs, files, *m_threads);
        m_remote = std::make_unique<Win32Remote>(*m_window);
        m_window->connect_events(*m_program, [this] { return m_program->quit_requested(); });
        m_program->start();
        m_window->show();
        while (m_window->run_one()) {
        }
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
        const DWORD start = GetTickCount();
        while (!condition()) {
            if (GetTickCount() - start > 30000) {
                return false;
            }
            if (!m_window->run_one()) {
                MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            }
        }
        return true;
    }

    void set_next_file_name(const std::filesystem::path& path) override {
        m_dialogs->set_next_file_name(path);
    }
    std::vector<std::pair<Text, Text>> file_dialogs() override {
        std::vector<std::pair<Text, Text>> titles;
        for (const auto& asked : m_dialogs->asked()) {
            titles.emplace_back(asked.title, asked.filter);
        }
        return titles;
    }
    void answer_next_message_box(MessageAnswer answer, std::shared_ptr<ShownBox> seen) override {
        Win32Remote::answer_next_message_box(answer, [seen](std::wstring title, std::wstring text) {
            seen->title = utf8(title);
            seen->text = utf8(text);
        });
    }

    void choose_menu(int command) override { m_remote->choose_menu(command); }
    void select_tab(int page) override { m_remote->select_tab(page); }
    void click_row(int control, int row, ListEventType type) override {
        m_remote->click_row(control, row, type);
    }
    bool right_click_opens_popup_menu(int control, int row) override {
        auto shown = std::make_shared<bool>(false);
        Win32Remote::close_next_popup_menu([shown] { *shown = true; });
        m_remote->click_row(control, row, ListEventType::RightClick);
        return *shown;
    }
    void click_header(int control, int column) override { m_remote->click_header(control, column); }
    void type_text(int control, const std::string& text) override {
        m_remote->type_text(control, wide(text));
    }
    void press_button(int control) override { m_remote->press_button(control); }
    void close_window(WindowId window) override { m_remote->close_window(window); }

    std::string window_title(WindowId window) override {
        return utf8(m_remote->window_title(window));
    }
    std::pair<int, int> window_size(WindowId window) override {
        const Rect rect = m_remote->window_rect(window);
        return {rect.width, rect.height};
    }
    bool window_open(WindowId window) override { return m_remote->window_open(window); }
    std::vector<std::string> menu_titles() override {
        std::vector<std::string> titles;
        for (const std::wstring& title : m_remote->menu_titles()) {
            titles.push_back(shown(title));
        }
        return titles;
    }
    std::vector<std::string> menu_items(int menu) override {
        std::vector<std::string> items;
        for (const std::wstring& item : m_remote->menu_items(menu)) {
            items.push_back(shown(item));
        }
        return items;
    }
    bool menu_enabled(int command) override { return m_remote->menu_enabled(command); }
    std::string status_text(int field) override { return utf8(m_remote->status_text(field)); }
    std::vector<std::string> tab_labels() override { return utf8(m_remote->tab_labels()); }
    int current_tab() override { return m_remote->current_tab(); }
    std::vector<std::string> headers(int control) override {
        return utf8(m_remote->headers(control));
    }
    std::vector<std::string> column(int control, int column) override {
        return utf8(m_remote->column(control, column));
    }
    std::string control_text(int control) override { return utf8(m_remote->control_text(control)); }
    bool control_enabled(int control) override { return m_remote->control_enabled(control); }

    void press_key(int control, const std::string& key) override {
        if (key == "Ctrl+F") {
            // The window reads the Ctrl key's state, which a posted key does not set.
            BYTE state[256];
            GetKeyboardState(state);
            const BYTE before = state[VK_CONTROL];
            state[VK_CONTROL] = 0x80;
            SetKeyboardState(state);
            m_remote->press_key(control, 'F');
            state[VK_CONTROL] = before;
            SetKeyboardState(state);
            return;
        }
        const std::map<std::string, unsigned> keys = {
            {"Enter", VK_RETURN}, {"F2", VK_F2}, {"Escape", VK_ESCAPE}};
        m_remote->press_key(control, keys.at(key));
    }
    int focused_control() override {
        const HWND focus = GetFocus();
        const int number = focus != nullptr ? GetDlgCtrlID(focus) : 0;
        return number != 0 && m_window->control_handle(number) == focus ? number : 0;
    }

private:
    std::unique_ptr<Win32Window> m_window;
    std::unique_ptr<Win32Dialogs> m_dialogs;
    std::unique_ptr<WorkerThreads> m_threads;
    std::unique_ptr<Application> m_program;
    std::unique_ptr<Win32Remote> m_remote;
};

} // namespace

std::unique_ptr<WindowDriver> make_window_driver() {
    return std::make_unique<Win32Driver>();
}

} // namespace orv::test
