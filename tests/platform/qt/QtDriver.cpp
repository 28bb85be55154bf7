// The window contract on the Qt backend, on Qt's offscreen platform: the real widgets,
// driven with mouse and key events.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <gtest/gtest.h>

#include "RemoteDriver.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtRemote.h"
#include "platform/qt/QtWindow.h"

namespace orv::test {

std::unique_ptr<WindowDriver> make_window_driver() {
    return std::make_unique<RemoteDriver<QtWindow, QtDialogs, QtRemote>>();
}

} // namespace orv::test

int main(int argc, char** argv) {
    // Also when CTest lists the tests at build time, without the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    // Qt's German texts, so that standard buttons read "Ja", "Nein" and "OK".
    QTranslator translator;
    if (translator.load(QStringLiteral("qtbase_de"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&translator);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
