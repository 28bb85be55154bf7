// "Hilfe" on Windows: the window opens the page the program names in the user's browser,
// and when it cannot, a box names that page. The path is used as given; the window derives
// no other file from it.
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "platform/win32/window/Win32Dialogs.h"
#include "platform/win32/window/Win32Window.h"
#include "win32/Win32Remote.h"

namespace orv {
namespace {

TEST(HelpPage, APageThatCannotBeOpenedIsNamedInARefusal) {
    Win32Window window;
    window.create_main_window("Fenster", 400, 300);
    window.show();
    Win32Dialogs dialogs(window);
    Win32Remote remote(window);
    const std::filesystem::path page =
        std::filesystem::temp_directory_path() / L"orvental-ohne-hilfe" / L"Seite.html";
    ASSERT_FALSE(std::filesystem::exists(page));

    std::optional<std::string> title;
    std::optional<std::string> text;
    Win32Remote::answer_next_message_box(MessageAnswer::Ok,
                                         [&](std::string shown_title, std::string shown_text) {
                                             title = std::move(shown_title);
                                             text = std::move(shown_text);
                                         });
    dialogs.show_help(page);
    // The page is opened on the window's thread; a few rounds of its messages at most.
    for (int round = 0; round < 1000 && !text; ++round) {
        remote.run_events();
    }
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(title, "ORVENTAL");
    EXPECT_EQ(text, "Die Hilfe wurde nicht gefunden: " + page.string());
}

} // namespace
} // namespace orv
