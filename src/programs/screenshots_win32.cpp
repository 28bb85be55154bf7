// Shows the Windows program's windows one after another for pictures taken from outside
// (scripts/screenshots, under Wine on a virtual X server; a program cannot photograph its
// own windows there): the main window with the demo plugin, its menu "Datei" opened from the
// keyboard, the name-edit dialog, the text editor with a translation stored but not yet saved,
// the Dialog editor with a highlighted topic and a translation lacking its name, the Script
// editor with a stored message, the question
// that "Öffnen" then asks, and the check's findings. Before each picture it
// creates HANDSHAKE\<name>.ready and waits for HANDSHAKE\<name>.done.
//
//   orvental-screenshots.exe PROGRAM-FOLDER HANDSHAKE-FOLDER
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <thread>

#include "ScreenshotTexts.h"
#include "app/Application.h"
#include "app/CommandIds.h"
#include "platform/LocalFiles.h"
#include "platform/WorkerThreads.h"
#include "platform/win32/window/Win32Dialogs.h"
#include "platform/win32/window/Win32Window.h"
#include "win32/Win32Remote.h"

namespace {

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
    // The .ready file holds the frame of what to take: left, top, width and height.
    const auto announce = [&](const wchar_t* name, const orv::Rect& frame) {
        std::ofstream(handshake / (std::wstring(name) + L".ready"))
            << frame.left << ' ' << frame.top << ' ' << frame.width << ' ' << frame.height << '\n';
    };
    const auto taken = [&](const wchar_t* name) {
        return std::filesystem::exists(handshake / (std::wstring(name) + L".done"));
    };
    const auto picture = [&](const wchar_t* name, orv::WindowId shown_window) {
        settle();
        announce(name, remote.frame_rect(shown_window));
        return wait_until([&] { return taken(name); });
    };

    // A translation memory with a response like the demo's, so that the Dialog editor has a
    // suggestion to show (the folder is a copy).
    if (const auto memory = program_folder / L"dataextra" / L"Memory.tsv";
        !std::filesystem::exists(memory)) {
        std::ofstream(memory, std::ios::binary) << kRememberedResponse;
    }
    dialogs.set_next_file_name(program_folder / L"demo" / L"Demo.esp");
    remote.choose_menu(orv::command::kOpen);
    if (!wait_until([&] { return remote.menu_enabled(orv::command::kSave); })) {
        return fail("the demo plugin did not load");
    }
    // The fullest list, and in it a row without a shipped translation to translate by hand.
    int shown = orv::kFirstListControl;
    for (int list = orv::kFirstListControl; list <= orv::kLastListControl; ++list) {
        if (remote.row_count(list) > remote.row_count(shown)) {
            shown = list;
        }
    }
    remote.select_tab(shown - orv::kFirstListControl);
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
            announce(L"menu-datei", remote.frame_rect(orv::WindowId::Main));
            menu_ready = true;
        }
        return !taken(L"menu-datei") &&
               std::chrono::steady_clock::now() - menu_start < std::chrono::seconds(60);
    });
    if (opened != 0 || !taken(L"menu-datei")) {
        return fail("no picture of the open menu \"Datei\"");
    }

    remote.click_row(shown, row, orv::ListEventType::DoubleClick);
    if (!wait_until([&] { return remote.window_open(orv::WindowId::NameEdit); })) {
        return fail("the name-edit dialog did not open");
    }
    remote.type_text(orv::name_edit::kDvNameField, "Hohle Grotte");
    if (!picture(L"name-edit", orv::WindowId::NameEdit)) {
        return fail("no picture of the name-edit dialog");
    }
    remote.press_button(orv::name_edit::kCancelButton);

    // The text editor after a German translation was typed into the translation box and
    // stored with SPEICHERN: the original box still shows the record's English text, the
    // entry is marked "*" as unsaved work.
    remote.choose_menu(orv::command::edit_text(0));
    if (!wait_until([&] { return remote.window_open(orv::WindowId::TextEditor); })) {
        return fail("the text editor did not open");
    }
    if (remote.row_count(orv::text_editor::kEntryList) == 0) {
        return fail("the text editor has no entries");
    }
    remote.click_row(orv::text_editor::kEntryList, 0, orv::ListEventType::Other);
    remote.type_text(orv::text_editor::kTranslationBox, kTypedTranslation);
    remote.press_button(orv::text_editor::kSaveButton);
    if (!picture(L"text-editor", orv::WindowId::TextEditor)) {
        return fail("no picture of the text editor");
    }
    remote.press_button(orv::text_editor::kCancelButton);
    settle();

    // The Dialog editor on the demo's response: its linked topic highlighted, a translation
    // that still lacks the topic's German name, the memory's close suggestion and the texts
    // of the response's script.
    remote.choose_menu(orv::command::edit_text(5));
    if (!wait_until([&] { return remote.window_open(orv::WindowId::TextEditor); })) {
        return fail("the Dialog editor did not open");
    }
    remote.click_row(orv::text_editor::kEntryList, kLinkingResponse, orv::ListEventType::Other);
    remote.type_text(orv::text_editor::kTranslationBox, kTypedResponse);
    if (!picture(L"dialog-editor", orv::WindowId::TextEditor)) {
        return fail("no picture of the Dialog editor");
    }
    remote.type_text(orv::text_editor::kTranslationBox, "");
    remote.press_button(orv::text_editor::kCancelButton);
    settle();

    // The Script editor after the demo script's message was translated and stored: source
    // and compiled code now hold it, the entry is marked "*".
    remote.choose_menu(orv::command::edit_text(7));
    if (!wait_until([&] { return remote.window_open(orv::WindowId::TextEditor); })) {
        return fail("the Script editor did not open");
    }
    remote.click_row(orv::text_editor::kEntryList, 0, orv::ListEventType::Other);
    remote.type_text(orv::text_editor::kTranslationBox, kTypedScriptText);
    remote.press_button(orv::text_editor::kSaveButton);
    if (!picture(L"script-editor", orv::WindowId::TextEditor)) {
        return fail("no picture of the Script editor");
    }
    remote.press_button(orv::text_editor::kCancelButton);
    settle();

    // "Datei" → "Öffnen" with that text not saved yet: the question before it is lost. The
    // box runs a loop of its own, which asks whether to keep it open; then No is pressed.
    const auto question_start = std::chrono::steady_clock::now();
    bool question_ready = false;
    bool question_answered = false;
    orv::Win32Remote::answer_next_message_box(
        orv::MessageAnswer::No, [&](std::string, std::string) { question_answered = true; },
        [&](const orv::Rect& frame) {
            if (!question_ready && std::chrono::steady_clock::now() - question_start >
                                       std::chrono::milliseconds(700)) {
                announce(L"open-question", frame);
                question_ready = true;
            }
            return !taken(L"open-question") &&
                   std::chrono::steady_clock::now() - question_start < std::chrono::seconds(60);
        });
    remote.choose_menu(orv::command::kOpen);
    if (!wait_until([&] { return question_answered; }) || !taken(L"open-question")) {
        return fail("no picture of the question before opening another plugin");
    }
    settle();

    // "Prüfen": the demo plugin has findings.
    remote.choose_menu(orv::command::kCheck);
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
