// The Win32 window where the window contract does not reach: the colours of the selected
// row, which Wine does not show the contract; the keys and clicks around a pop-up as a
// Windows user expects them; "Hilfe" when the page cannot be opened; how often the status
// bar is redrawn, and which size changes are reported.
#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "app/NameEditDialog.h"
#include "platform/ListRowRules.h"
#include "platform/win32/window/WideText.h"
#include "platform/win32/window/Win32Dialogs.h"
#include "platform/win32/window/Win32Window.h"
#include "win32/Win32Remote.h"

namespace orv {
namespace {

class Win32Backend : public testing::Test {
protected:
    void SetUp() override {
        m_window.connect_events(m_events, [] { return false; });
        m_window.create_main_window("Fenster", 400, 300);
    }
    void add(WindowId window, int number, ControlKind kind, Rect rect, Text text = "",
             std::vector<ListColumn> columns = {}) {
        m_window.add_control(window, {number, kind, std::move(text), rect, std::move(columns), -1});
    }

    EventLog m_events;
    Win32Window m_window;
    Win32Remote m_remote{m_window};
};

// A main-window list view paints a selected row with its selection colours only when the
// program leaves that row's background alone; Windows then keeps the selection visible also
// while another window (the name dialog editing that row) has the focus. Wine always paints
// the selection, so here the custom-draw answers are read directly.
TEST_F(Win32Backend, TheSelectedRowKeepsTheSelectionsColoursAndTheOthersTheirStates) {
    constexpr int kList = 3;
    constexpr COLORREF kUntouched = CLR_DEFAULT;
    add(WindowId::Main, kList, ControlKind::ListView, {5, 5, 380, 200}, "",
        {{"F", 20}, {"ID", 100}});
    m_window.set_rows(kList,
                      {{"", "a", "Alpha", "Alpha"},
                       {"", "b", "Beta", "Beta"},
                       {"*", "c", "Gamma", "Gammastrahl"},
                       {"*", "d", "Delta", "Deltaflug"},
                       {"B", "e", "Eta", "Etage"}},
                      {RowState::ToDo, RowState::ToDo, RowState::Edited, RowState::Edited,
                       RowState::FromDatabase});
    // The background the window hands back for the row when the list view is about to paint it.
    const auto painted_background = [&](int row) {
        HWND list = m_window.control_handle(kList);
        NMLVCUSTOMDRAW draw{};
        draw.nmcd.hdr = {list, static_cast<UINT_PTR>(kList), static_cast<UINT>(NM_CUSTOMDRAW)};
        draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
        draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
        draw.clrTextBk = kUntouched;
        SendMessageW(GetParent(list), WM_NOTIFY, kList, reinterpret_cast<LPARAM>(&draw));
        return draw.clrTextBk;
    };
    const COLORREF to_do = RGB(kToDoBackground.red, kToDoBackground.green, kToDoBackground.blue);
    const COLORREF edited =
        RGB(kEditedBackground.red, kEditedBackground.green, kEditedBackground.blue);
    for (const auto& [selected, backgrounds] : std::vector<std::pair<int, std::vector<COLORREF>>>{
             {0, {kUntouched, to_do, edited, edited, kUntouched}},
             {3, {to_do, to_do, edited, kUntouched, kUntouched}}}) {
        SCOPED_TRACE(selected);
        m_window.select_row(kList, static_cast<std::size_t>(selected));
        // The focus elsewhere, as while the name dialog is open.
        SetFocus(nullptr);
        for (int row = 0; row < 5; ++row) {
            EXPECT_EQ(painted_background(row), backgrounds[row]) << row;
        }
    }
}

// Tab moves between a pop-up's controls (Enter and Escape in the name dialog are the window
// contract's), and the pop-up is never lost behind the main window: clicks there bring it
// forward.
TEST_F(Win32Backend, TabMovesInAPopUpAndClicksOnTheMainWindowBringItForward) {
    constexpr int kMainButton = 2000;
    add(WindowId::Main, kMainButton, ControlKind::Button, {5, 5, 75, 24}, "Knopf");
    m_window.show();
    m_window.open_popup(WindowId::NameEdit, "Name", {10, 10, 300, 100});
    add(WindowId::NameEdit, name_edit::kDvNameField, ControlKind::EditField, {5, 5, 100, 22}, "x");
    add(WindowId::NameEdit, name_edit::kOkButton, ControlKind::Button, {5, 40, 75, 24}, "OK");
    m_remote.press_key(name_edit::kDvNameField, "Tab");
    EXPECT_EQ(m_remote.focused_control(), name_edit::kOkButton);

    const auto click = [&] {
        HWND button = m_window.control_handle(kMainButton);
        PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        while (m_window.run_one()) {
        }
    };
    m_events.take();
    click();
    EXPECT_EQ(m_events.take(), std::vector<std::string>{});
    EXPECT_EQ(GetActiveWindow(), m_window.popup_handle(WindowId::NameEdit));
    m_window.close_popup(WindowId::NameEdit);
    click();
    EXPECT_EQ(m_events.take(), std::vector<std::string>{"control 2000 0"});
}

// The window opens the page the program names in the user's browser, and when it cannot, a
// box names that page. The path is used as given; the window derives no other file from it.
TEST_F(Win32Backend, AHelpPageThatCannotBeOpenedIsNamedInARefusal) {
    m_window.show();
    Win32Dialogs dialogs(m_window);
    const std::filesystem::path page =
        std::filesystem::temp_directory_path() / L"orvental-ohne-hilfe" / L"Seite.html";
    ASSERT_FALSE(std::filesystem::exists(page));

    std::vector<std::string> seen;
    Win32Remote::answer_next_message_box(MessageAnswer::Ok,
                                         [&](std::string title, std::string text) {
                                             seen = {title, text};
                                         });
    dialogs.show_help(page);
    // The page is opened on the window's thread, soon.
    m_remote.run_events_until([&] { return !seen.empty(); });
    EXPECT_EQ(seen, std::vector<std::string>(
                        {"ORVENTAL", "Die Hilfe wurde nicht gefunden: " + page.string()}));
}

// Status texts from a worker (the loader sends one per block) are gathered into a redraw at
// most every 50 ms, and the last one is shown.
TEST_F(Win32Backend, StatusTextsFromAWorkerAreGatheredIntoFewRedraws) {
    m_window.create_status_bar(160, 480);
    m_window.show();
    const int redraws_before = m_window.status_redraws();
    const auto start = std::chrono::steady_clock::now();
    std::atomic<bool> sent = false;
    std::thread worker([&] {
        for (int block = 1; block <= 100000; ++block) {
            m_window.set_status_text(1, "Block " + std::to_string(block));
        }
        sent = true;
    });
    EXPECT_TRUE(m_remote.run_events_until(
        [&] { return sent && m_remote.status_text(1) == "Block 100000"; }));
    worker.join();
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    // At most one redraw per 50 ms, plus the first and the last.
    EXPECT_LE(m_window.status_redraws() - redraws_before, 2 + elapsed.count() / 50);
}

// Showing the window at its built size is no change; maximising is one, and so is the way
// back, each reported once with the inner size.
TEST_F(Win32Backend, SizeChangesOfTheMainWindowAreReported) {
    m_window.show();
    m_remote.run_events();
    EXPECT_EQ(m_events.take(), std::vector<std::string>{});
    const auto resizes = [&] {
        m_remote.run_events();
        std::vector<std::string> seen;
        for (const std::string& event : m_events.take()) {
            if (event.starts_with("resize")) {
                seen.push_back(event);
            }
        }
        return seen;
    };
    ShowWindow(m_window.main_handle(), SW_MAXIMIZE);
    const auto maximised = resizes();
    ASSERT_EQ(maximised.size(), 1u);
    EXPECT_NE(maximised[0], "resize 400 300 0");
    ShowWindow(m_window.main_handle(), SW_RESTORE);
    EXPECT_EQ(resizes(), std::vector<std::string>{"resize 400 300 0"});
}

// Texts cross into the window system as UTF-16 and come back as Windows-1252.
TEST(WideText, ConversionsAtTheEdge) {
    Text all;
    for (int byte = 1; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    // Windows-1252 at the edges of its table, and an undefined byte as its control character.
    const std::wstring wide = to_wide(all);
    EXPECT_EQ(wide.substr(0x7F, 2) + wide[0x9F - 1] + wide[0xFC - 1], L"\u20AC\u0081\u0178\u00FC");
    EXPECT_EQ(from_wide(wide), all);
    for (const auto& [typed, text] : std::vector<std::pair<std::wstring, std::optional<Text>>>{
             {L"\xD800", std::nullopt}, {L"", Text{}}}) {
        SCOPED_TRACE(text.value_or("(nothing)"));
        EXPECT_EQ(from_wide(typed), text);
    }
    EXPECT_EQ(with_crlf("a\rb\nc\r\nd"), L"a\r\nb\r\nc\r\nd");
    EXPECT_EQ(without_mnemonics("Salz & Pfeffer"), L"Salz && Pfeffer");
}

} // namespace
} // namespace orv
