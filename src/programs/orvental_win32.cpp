// The desktop program on Windows: the application on the Win32 window. It takes no arguments
// of its own; every setting comes from the configuration file in the program folder.
#include "app/Application.h"
#include "platform/CommandLine.h"
#include "platform/LocalFiles.h"
#include "platform/WorkerThreads.h"
#include "platform/win32/window/Win32Dialogs.h"
#include "platform/win32/window/Win32Window.h"

// The Unicode entry point of a Windows program (windows.h stays inside the backend).
extern "C" int __stdcall wWinMain(struct HINSTANCE__*, struct HINSTANCE__*, wchar_t*, int) {
    orv::Win32Window window;
    orv::Win32Dialogs dialogs(window);
    orv::WorkerThreads threads;
    orv::LocalFiles files;
    orv::Application program(orv::executable_folder(nullptr), window, dialogs, files, threads);
    window.connect_events(program, [&program] { return program.quit_requested(); });

    program.start();
    window.show();
    window.run();

    // Quitting does not wait for the user to see a worker's end: the windows go now, and the
    // program waits only for a worker still writing its file.
    window.close();
    program.shut_down();
    return 0;
}
