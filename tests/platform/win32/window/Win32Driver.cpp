// The window contract on the Win32 backend: the real windows (Wine's null driver draws
// nothing but creates them), driven in-process with window messages.
#include "RemoteDriver.h"
#include "platform/win32/window/Win32Dialogs.h"
#include "platform/win32/window/Win32Remote.h"
#include "platform/win32/window/Win32Window.h"

namespace orv::test {

std::unique_ptr<WindowDriver> make_window_driver() {
    return std::make_unique<RemoteDriver<Win32Window, Win32Dialogs, Win32Remote>>();
}

} // namespace orv::test
