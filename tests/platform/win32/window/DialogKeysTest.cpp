// A pop-up window as a Windows user expects it: Tab moves between its controls (Enter and
// Escape in the name dialog are the window contract's), and it is never lost behind the main
// window: clicks there bring it forward.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/NameEditDialog.h"
#include "platform/win32/window/Win32Window.h"
#include "win32/Win32Remote.h"

namespace orv {
namespace {

using namespace name_edit;
constexpr int kMainButton = 2000;

struct Recorder final : EventSink {
    void handle(const Event& event) override { events.push_back(event); }
    std::vector<Event> events;
};

TEST(DialogKeys, TabMovesInAPopUpAndClicksOnTheMainWindowBringItForward) {
    Recorder sink;
    Win32Window window;
    window.connect_events(sink, [] { return false; });
    window.create_main_window("Fenster", 400, 300);
    window.add_control(WindowId::Main,
                       {kMainButton, ControlKind::Button, "Knopf", {5, 5, 75, 24}, {}, -1});
    window.show();
    window.open_popup(WindowId::NameEdit, "Name", {10, 10, 300, 100});
    window.add_control(WindowId::NameEdit,
                       {kDvNameField, ControlKind::EditField, "x", {5, 5, 100, 22}, {}, -1});
    window.add_control(WindowId::NameEdit,
                       {kOkButton, ControlKind::Button, "OK", {5, 40, 75, 24}, {}, -1});
    Win32Remote(window).press_key(kDvNameField, VK_TAB);
    EXPECT_EQ(GetFocus(), window.control_handle(kOkButton));

    const auto click = [&] {
        HWND button = window.control_handle(kMainButton);
        PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        while (window.run_one()) {
        }
    };
    sink.events.clear();
    click();
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ(GetActiveWindow(), window.popup_handle(WindowId::NameEdit));
    window.close_popup(WindowId::NameEdit);
    click();
    ASSERT_EQ(sink.events.size(), std::size_t{1});
    EXPECT_EQ(std::get<ControlEvent>(sink.events[0]).control, kMainButton);
}

} // namespace
} // namespace orv
