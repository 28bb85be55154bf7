// The keys a Windows user expects in a pop-up window: Tab moves between its controls, Enter
// presses the default button, Escape closes it as the close box does. And a pop-up is never
// lost behind the main window: clicks there bring it forward.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/window/Win32Remote.h"
#include "platform/win32/window/Win32Window.h"

namespace orv {
namespace {

class Recorder final : public EventSink {
public:
    void handle(const Event& event) override { events.push_back(event); }
    std::vector<Event> events;
};

TEST(DialogKeys, TabEnterAndEscapeInAPopUp) {
    Win32Window window;
    Recorder sink;
    window.connect_events(sink, [] { return false; });
    window.create_main_window("Fenster", 400, 300);
    window.open_popup(WindowId::NameEdit, "Name", {10, 10, 300, 100});
    window.add_control(WindowId::NameEdit,
                       {1037, ControlKind::EditField, "x", {5, 5, 100, 22}, {}, -1});
    window.add_control(WindowId::NameEdit,
                       {1038, ControlKind::Button, "OK", {5, 40, 75, 24}, {}, -1});
    window.add_control(WindowId::NameEdit,
                       {1039, ControlKind::Button, "Abbrechen", {90, 40, 75, 24}, {}, -1});
    Win32Remote remote(window);

    remote.press_key(1037, VK_TAB);
    EXPECT_EQ(GetFocus(), window.control_handle(1038));
    sink.events.clear();
    remote.press_key(1037, VK_RETURN);
    ASSERT_EQ(sink.events.size(), std::size_t{1});
    EXPECT_EQ(std::get<ControlEvent>(sink.events[0]).control, 1038);
    sink.events.clear();
    remote.press_key(1037, VK_ESCAPE);
    ASSERT_EQ(sink.events.size(), std::size_t{1});
    EXPECT_EQ(std::get<CloseRequestEvent>(sink.events[0]).window, WindowId::NameEdit);
}

TEST(DialogKeys, ClicksOnTheMainWindowBringTheOpenPopUpForward) {
    Win32Window window;
    Recorder sink;
    window.connect_events(sink, [] { return false; });
    window.create_main_window("Fenster", 400, 300);
    window.add_control(WindowId::Main,
                       {2000, ControlKind::Button, "Knopf", {5, 5, 75, 24}, {}, -1});
    window.show();
    const auto click = [&] {
        HWND button = window.control_handle(2000);
        PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        while (window.run_one()) {
        }
    };
    window.open_popup(WindowId::NameEdit, "Name", {10, 10, 300, 100});
    click();
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ(GetActiveWindow(), window.popup_handle(WindowId::NameEdit));

    window.close_popup(WindowId::NameEdit);
    click();
    ASSERT_EQ(sink.events.size(), std::size_t{1});
    EXPECT_EQ(std::get<ControlEvent>(sink.events[0]).control, 2000);
}

} // namespace
} // namespace orv
