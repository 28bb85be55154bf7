// The Qt tests' program: Qt's offscreen platform and German standard buttons.
#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <gtest/gtest.h>

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
