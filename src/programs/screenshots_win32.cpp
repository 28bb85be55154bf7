// Shows the Windows program's windows one after another for pictures taken from outside
// (scripts/screenshots, under Wine on a virtual X server; a program cannot photograph its
// own windows there): the main window with the demo plugin, its menu "Datei" opened from the
// keyboard, the name-edit dialog, the text editor and the check's findings. Before each
// picture it creates HANDSHAKE\<name>.ready and waits for HANDSHAKE\<name>.done.
//
//   orvental-screenshots.exe PROGRAM-FOLDER HANDSHAKE-FOLDER
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <thread>

#include "app/Application.h"
#include "platform/LocalFiles.h"
#include "platform/WorkerThreads.h"
#include "platform/win32/window/Win32Dialogs.h"
#include "platform/win32/window/Win32Remote.h"
#include "platform/win32/window/Win32Window.h"

namespace {

constexpr int kFirstList = 3;
constexpr int kListCount = 25;

int fail(const char* what) {
    std::fprintf(stderr, "orvental-screenshots: %s\n", what);
    return 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        return fail("usage: orvental-screenshots.exe PROGRAM-FOLDER HANDSHAKE-FOLDER");
    }
    const std::filesystem::path program_folder = argv[1];
    const std::filesystem::path handshake = argv[2];

    orv::Win32Window window;
    orv::Win32Dialogs dialogs(window);
    orv::WorkerThreads threads;
    orv::LocalFiles files;
    orv::Application program(program_folder, window, dialogs, files, threads);
    orv::Win32Remote remote(window);
    window.connect_events(program, [&program] { return program.quit_requested(); });
    program.start();
    window.show();

    const auto wait_until = [&window](const std::function<bool()>& condition) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!condition()) {
            if (std::chrono::steady_clock::now() > end) {
                return false;
            }
            if (!window.run_one()) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
        }
        return true;
    };
    const auto settle = [&] {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(700);
        wait_until([&] { return std::chrono::steady_clock::now() > end; });
    };
    // The .ready file holds the window's frame: left, top, width and height.
    const auto picture = [&](const wchar_t* name, orv::WindowId shown_window) {
        settle();
        const orv::Rect frame = remote.frame_rect(shown_window);
        std::ofstream(handshake / (std::wstring(name) + L".ready"))
            << frame.left << ' ' << frame.top << ' ' << frame.width << ' ' << frame.height << '\n';
        return wait_until(
            [&] { return std::filesystem::exists(handshake / (std::wstring(name) + L".done")); });
    };

    dialogs.set_next_file_name(program_folder / L"demo" / L"Demo.esp");
    remote.choose_menu(1);
    if (!wait_until([&] { return remote.menu_enabled(2); })) {
        return fail("the demo plugin did not load");
    }
    // The fullest list, and in it a row without a shipped translation to translate by hand.
    int shown = kFirstList;
    for (int list = kFirstList; list < kFirstList + kListCount; ++list) {
        if (remote.row_count(list) > remote.row_count(shown)) {
            shown = list;
        }
    }
    remote.select_tab(shown - kFirstList);
    int row = 0;
    while (row + 1 < remote.row_count(shown) && !remote.cell(shown, row, 0).empty()) {
        ++row;
    }
    remote.click_row(shown, row, orv::ListEventType::Other);
    if (!picture(L"main-window", orv::WindowId::Main)) {
        return fail("no picture of the main window");
    }

    // "Datei" opened with Alt+D: the underlined letters and the key names. The menu runs a
    // loop of its own, which asks whether to keep it open.
    const auto menu_start = std::chrono::steady_clock::now();
    bool menu_ready = false;
    const int opened = remote.menu_opened_by_key(shown, "Alt+D", [&] {
        if (!menu_ready &&
            std::chrono::steady_clock::now() - menu_start > std::chrono::milliseconds(700)) {
            const orv::Rect frame = remote.frame_rect(orv::WindowId::Main);
            std::ofstream(handshake / L"menu-datei.ready")
                << frame.left << ' ' << frame.top << ' ' << frame.width << ' ' << frame.height
                << '\n';
            menu_ready = true;
        }
        return !std::filesystem::exists(handshake / L"menu-datei.done") &&
               std::chrono::steady_clock::now() - menu_start < std::chrono::seconds(60);
    });
    if (opened != 0 || !std::filesystem::exists(handshake / L"menu-datei.done")) {
        return fail("no picture of the open menu \"Datei\"");
    }

    remote.click_row(shown, row, orv::ListEventType::DoubleClick);
    if (!wait_until([&] { return remote.window_open(orv::WindowId::NameEdit); })) {
        return fail("the name-edit dialog did not open");
    }
    remote.type_text(1037, L"Hohle Grotte");
    if (!picture(L"name-edit", orv::WindowId::NameEdit)) {
        return fail("no picture of the name-edit dialog");
    }
    remote.press_button(1039);

    remote.choose_menu(9);
    if (!wait_until([&] { return remote.window_open(orv::WindowId::TextEditor); })) {
        return fail("the text editor did not open");
    }
    if (remote.row_count(1052) > 0) {
        remote.click_row(1052, 0, orv::ListEventType::Other);
    }
    if (!picture(L"text-editor", orv::WindowId::TextEditor)) {
        return fail("no picture of the text editor");
    }
    remote.press_button(1054);
    settle();

    // "Prüfen": the demo plugin has findings.
    remote.choose_menu(7);
    if (!wait_until([&] { return remote.window_open(orv::WindowId::Findings); })) {
        return fail("the findings window did not open");
    }
    if (!picture(L"findings", orv::WindowId::Findings)) {
        return fail("no picture of the findings");
    }
    remote.close_window(orv::WindowId::Findings);
    settle();

    window.close();
    program.shut_down();
    return 0;
}
