#include "platform/win32/window/Win32Dialogs.h"

#include <array>

#include <windows.h>

#include <commdlg.h>
#include <shellapi.h>

#include "platform/win32/window/WideText.h"
#include "platform/win32/window/Win32Window.h"

namespace orv {
namespace {

// In the order of MessageIcon.
constexpr std::array<UINT, 5> kIcons = {0, MB_ICONSTOP, MB_ICONINFORMATION, MB_ICONQUESTION,
                                        MB_ICONEXCLAMATION};

MessageAnswer to_answer(int pressed) {
    switch (pressed) {
    case IDOK:
        return MessageAnswer::Ok;
    case IDYES:
        return MessageAnswer::Yes;
    case IDNO:
        return MessageAnswer::No;
    default:
        return MessageAnswer::Closed;
    }
}

// "ESP (*.esp)|*.esp" as the common dialogs take it: NUL instead of bars, two NULs at the end.
std::wstring dialog_filter(const Text& filter) {
    std::wstring result = to_wide(filter);
    for (wchar_t& c : result) {
        if (c == L'|') {
            c = L'\0';
        }
    }
    result.push_back(L'\0');
    result.push_back(L'\0');
    return result;
}

} // namespace

MessageAnswer Win32Dialogs::message_box(const Text& title, const Text& text, MessageButtons buttons,
                                        MessageIcon icon) {
    return m_window.calls().ask<MessageAnswer>(
        [this, title, text, buttons, icon] {
            // The default button, the one Enter presses, is the first (Yes, OK) unless the
            // question asks for No.
            const UINT style =
                (buttons == MessageButtons::Ok               ? MB_OK
                 : buttons == MessageButtons::YesNoDefaultNo ? MB_YESNO | MB_DEFBUTTON2
                                                             : MB_YESNO) |
                kIcons[static_cast<std::size_t>(icon)];
            return to_answer(MessageBoxW(m_window.dialog_owner(), with_crlf(text).c_str(),
                                         to_wide(title).c_str(), style));
        },
        MessageAnswer::Closed);
}

std::optional<std::filesystem::path> Win32Dialogs::open_file(const Text& title,
                                                             const std::filesystem::path& folder,
                                                             const Text& filter) {
    return file_dialog(false, title, folder, filter);
}

std::optional<std::filesystem::path> Win32Dialogs::save_file(const Text& title,
                                                             const std::filesystem::path& folder,
                                                             const Text& filter) {
    return file_dialog(true, title, folder, filter);
}

std::optional<std::filesystem::path> Win32Dialogs::file_dialog(bool save, const Text& title,
                                                               const std::filesystem::path& folder,
                                                               const Text& filter) {
    using Answer = std::optional<std::filesystem::path>;
    return m_window.calls().ask<Answer>(
        [this, save, title, folder, filter]() -> Answer {
            {
                std::lock_guard lock(m_mutex);
                m_asked.push_back(Asked{save, title, folder, filter});
                if (!m_next_file_names.empty()) {
                    Answer prepared = m_next_file_names.front();
                    m_next_file_names.pop_front();
                    return prepared;
                }
            }
            std::wstring name(32768, L'\0');
            const std::wstring wide_title = to_wide(title);
            const std::wstring wide_filter = dialog_filter(filter);
            const std::wstring start = folder.wstring();
            OPENFILENAMEW dialog{};
            dialog.lStructSize = sizeof(dialog);
            dialog.hwndOwner = m_window.dialog_owner();
            dialog.lpstrFilter = wide_filter.c_str();
            dialog.nFilterIndex = 1;
            dialog.lpstrFile = name.data();
            dialog.nMaxFile = static_cast<DWORD>(name.size());
            dialog.lpstrInitialDir = start.c_str();
            dialog.lpstrTitle = wide_title.c_str();
            // The folder of a typed name must exist, the file need not; an existing file is
            // never questioned (the program asks its own questions).
            dialog.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
            const BOOL chosen = save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog);
            if (!chosen) {
                return std::nullopt;
            }
            name.resize(name.find(L'\0'));
            return std::filesystem::path(name);
        },
        std::nullopt);
}

void Win32Dialogs::show_help(const std::filesystem::path& page) {
    m_window.calls().post([this, page] {
        // The page in the user's browser; the program does not wait for it.
        const auto opened = reinterpret_cast<INT_PTR>(ShellExecuteW(
            m_window.dialog_owner(), L"open", page.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        if (opened <= 32) {
            const std::wstring text = L"Die Hilfe wurde nicht gefunden: " + page.wstring();
            MessageBoxW(m_window.dialog_owner(), text.c_str(), L"ORVENTAL", MB_OK | MB_ICONSTOP);
        }
    });
}

void Win32Dialogs::set_next_file_name(std::optional<std::filesystem::path> path) {
    std::lock_guard lock(m_mutex);
    m_next_file_names.push_back(std::move(path));
}

std::vector<Win32Dialogs::Asked> Win32Dialogs::asked() const {
    std::lock_guard lock(m_mutex);
    return m_asked;
}

} // namespace orv
