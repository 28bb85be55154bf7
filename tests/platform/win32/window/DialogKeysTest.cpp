// The keys a Windows user expects in a pop-up window: Tab moves between its controls, Enter
// presses the default button, Escape closes it as the close box does. And a pop-up is never
// lost behind the main window: clicks there bring it forward.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/window/Win32Remote.h"
#include "platform/win32/window/Win32Window.h"
#include "translation/dialogs/NameEditDialog.h"

namespace orv {
namespace {

using namespace name_edit;
constexpr int kMainButton = 2000;

class DialogKeys : public testing::Test, public EventSink {
protected:
    void SetUp() override {
        window.connect_events(*this, [] { return false; });
        window.create_main_window("Fenster", 400, 300);
        window.add_control(WindowId::Main,
                           {kMainButton, ControlKind::Button, "Knopf", {5, 5, 75, 24}, {}, -1});
        window.show();
        window.open_popup(WindowId::NameEdit, "Name", {10, 10, 300, 100});
    }
    void handle(const Event& event) override { events.push_back(event); }

    Win32Window window;
    std::vector<Event> events;
};

TEST_F(DialogKeys, TabEnterAndEscapeInAPopUp) {
    window.add_control(WindowId::NameEdit,
                       {kDvNameField, ControlKind::EditField, "x", {5, 5, 100, 22}, {}, -1});
    window.add_control(WindowId::NameEdit,
                       {kOkButton, ControlKind::Button, "OK", {5, 40, 75, 24}, {}, -1});
    window.add_control(WindowId::NameEdit,
                       {kCancelButton, ControlKind::Button, "Abbrechen", {90, 40, 75, 24}, {}, -1});
    Win32Remote remote(window);
    remote.press_key(kDvNameField, VK_TAB);
    EXPECT_EQ(GetFocus(), window.control_handle(kOkButton));
    events.clear();
    remote.press_key(kDvNameField, VK_RETURN);
    remote.press_key(kDvNameField, VK_ESCAPE);
    ASSERT_EQ(events.size(), std::size_t{2});
    EXPECT_EQ(std::get<ControlEvent>(events[0]).control, kOkButton);
    EXPECT_EQ(std::get<CloseRequestEvent>(events[1]).window, WindowId::NameEdit);
}

TEST_F(DialogKeys, ClicksOnTheMainWindowBringTheOpenPopUpForward) {
    const auto click = [&] {
        HWND button = window.control_handle(kMainButton);
        PostMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PostMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        while (window.run_one()) {
        }
    };
    events.clear();
    click();
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(GetActiveWindow(), window.popup_handle(WindowId::NameEdit));
    window.close_popup(WindowId::NameEdit);
    click();
    ASSERT_EQ(events.size(), std::size_t{1});
    EXPECT_EQ(std::get<ControlEvent>(events[0]).control, kMainButton);
}

} // namespace
} // namespace orv
