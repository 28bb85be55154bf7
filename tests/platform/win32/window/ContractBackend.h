#pragma once

// The window contract on the Win32 backend: the real windows (Wine's null driver draws
// nothing but creates them), driven in-process with window messages.
#include "platform/win32/window/Win32Dialogs.h"
#include "platform/win32/window/Win32Window.h"
#include "win32/Win32Remote.h"

namespace orv::test {

using BackendWindow = Win32Window;
using BackendDialogs = Win32Dialogs;
using BackendRemote = Win32Remote;

} // namespace orv::test
