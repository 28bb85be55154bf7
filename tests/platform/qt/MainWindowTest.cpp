// The desktop program on Qt where the window contract (tests/platform/contract) does not
// reach: maximising and restoring the real main window. Everything else the user sees and
// does is the contract's.
#include <fstream>
#include <memory>

#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "app/Application.h"
#include "app/ConfigFile.h"
#include "app/MainWindow.h"
#include "platform/LocalFiles.h"
#include "platform/WorkerThreads.h"
#include "platform/qt/ListView.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtText.h"
#include "platform/qt/QtWindow.h"

using namespace orv;

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void maximisingAndRestoringReLaysOutEveryList();

private:
    // Where the program's layout puts control `number` for a window of this size.
    static QRect laid_out(int width, int height, Rect MainLayout::*control) {
        const Rect rect = (*main_layout(width, height)).*control;
        return QRect(rect.left, rect.top, rect.width, rect.height);
    }
    QMainWindow* main() const { return static_cast<QMainWindow*>(m_window->main_widget()); }
    template <typename T>
    T* child(const QString& name) const {
        return main()->findChild<T*>(name);
    }

    std::unique_ptr<QtWindow> m_window;
};

void MainWindowTest::maximisingAndRestoringReLaysOutEveryList() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const std::filesystem::path program_dir = qstring_to_path(folder.path());
    Settings settings;
    settings.window_width = 640;
    settings.window_height = 480;
    const Bytes ini = render_settings(settings);
    std::ofstream(program_dir / "Kestrun.ini", std::ios::binary)
        .write(reinterpret_cast<const char*>(ini.data()), static_cast<std::streamsize>(ini.size()));

    m_window = std::make_unique<QtWindow>();
    QtDialogs dialogs(*m_window);
    WorkerThreads threads;
    LocalFiles files;
    Application program(program_dir, *m_window, dialogs, files, threads);
    m_window->connect_events(program, [&program] { return program.quit_requested(); });
    program.start();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(main()));
    QCOMPARE(main()->size(), QSize(640, 480));
    QCOMPARE(child<QGroupBox>("control-1")->geometry(), laid_out(640, 480, &MainLayout::frame));

    main()->showMaximized();
    QTRY_VERIFY(main()->width() > 640 && main()->height() > 480);
    const int width = main()->width();
    const int height = main()->height();
    QTRY_COMPARE(child<QGroupBox>("control-1")->geometry(),
                 laid_out(width, height, &MainLayout::frame));
    QCOMPARE(child<QTabWidget>("control-2")->geometry(),
             laid_out(width, height, &MainLayout::tab_bar));
    // Every list follows, those on hidden pages too, at 0, 0 of its page.
    for (int number = 3; number <= 27; ++number) {
        QCOMPARE(child<ListView>(QStringLiteral("control-%1").arg(number))->geometry(),
                 laid_out(width, height, &MainLayout::list_view));
    }
    // The status fields keep their start-up widths.
    QCOMPARE(child<QLabel>("status-0")->width(), 160);

    main()->showNormal();
    QTRY_COMPARE(main()->size(), QSize(640, 480));
    QTRY_COMPARE(child<QGroupBox>("control-1")->geometry(), laid_out(640, 480, &MainLayout::frame));

    m_window->close();
    program.shut_down();
    m_window.reset();
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
