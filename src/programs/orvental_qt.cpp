// The desktop program: the application on the Qt window system. It takes no arguments of
// its own; every setting comes from the configuration file in the program folder.
#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QTranslator>

#include "app/Application.h"
#include "platform/CommandLine.h"
#include "platform/LocalFiles.h"
#include "platform/WorkerThreads.h"
#include "platform/qt/ProgramIcon.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtText.h"
#include "platform/qt/QtWindow.h"

int main(int argc, char** argv) {
    // Open and Save run on a worker thread; their memory comes from the one heap, in large
    // pages, as the batch tool's does.
    orv::share_one_heap_between_threads();
    orv::back_heap_with_large_pages();
    QApplication application(argc, argv);
    // Only the quit confirmation ends the program, never the last window closing.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(orv::program_icon());

    // Qt's German texts, so that standard buttons read "Ja", "Nein" and "OK".
    QTranslator translator;
    if (translator.load(QStringLiteral("qtbase_de"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&translator);
    }

    const std::filesystem::path program_dir =
        orv::qstring_to_path(QCoreApplication::applicationDirPath());
    orv::QtWindow window;
    orv::QtDialogs dialogs(window);
    orv::WorkerThreads threads;
    orv::LocalFiles files;
    orv::Application program(program_dir, window, dialogs, files, threads);
    window.connect_events(program, [&program] { return program.quit_requested(); });

    program.start();
    window.show();
    QApplication::exec();

    // Quitting does not wait for the user to see a worker's end: the windows go now, and
    // the program waits only for a worker still writing its file.
    window.close();
    program.shut_down();
    return 0;
}
