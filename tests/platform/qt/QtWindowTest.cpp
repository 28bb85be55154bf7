// The window backend on its own, driven through the Window interface and the mouse: the
// events it sends, the hand-over of calls from a worker thread, the status texts, the text
// conversions at its edge and the geometry it gives the controls.
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

#include "QtTestSupport.h"
#include "platform/qt/ListView.h"
#include "platform/qt/QtWindow.h"

using namespace orv;
using orv::test::RecordingSink;

namespace {

constexpr int kListOne = 3;
constexpr int kListTwo = 4;
constexpr int kPopupList = 1052;
constexpr int kTextBox = 1057;
constexpr int kEditField = 1033;

std::vector<ListColumn> columns() {
    return {{"F", 20}, {"ID", 200}, {"EV Name", 248}, {"DV Name", 248}};
}

ControlSpec definition(int number, ControlKind kind, Text text, Rect rect,
                       std::vector<ListColumn> list_columns = {}, int page = -1) {
    return ControlSpec{number, kind, std::move(text), rect, std::move(list_columns), page};
}

std::vector<ListRow> three_rows() {
    return {{"B", "a_id", "Alpha", "Alpha"}, {"", "b_id", "Beta", "Beta"}, {"E", "c_id", "", ""}};
}

} // namespace

class QtWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menusShowTheirTextsAsWrittenAndSendCommands();
    void listViewsReportClicksDoubleClicksAndRightClicks();
    void rightClicksInPopupsAreNoContextMenuRequests();
    void keyboardMovesAndHeaderClicksAreReported();
    void closeBoxesAskTheProgram();
    void clicksOnTheMainWindowBringThePopupToTheFront();
    void workerCallsRunInCallOrder();
    void statusTextsFromAWorkerAreGathered();
    void textBoxesConvertLineBreaks_data();
    void textBoxesConvertLineBreaks();
    void textsWindows1252CannotHoldAreRefused();
    void textBoxesHoldAtMost65536Characters();
    void closedWindowAnswersAWaitingWorker();
    void sizeChangesAreReportedAndNormalSizeIsKept();
    void controlsTakeTheProgramsRects();

private:
    QWidget* main() const { return m_window->main_widget(); }
    template <typename T>
    T* child(const QString& name) const {
        return main()->findChild<T*>(name);
    }
    ListView* list(int number) const {
        return child<ListView>(QStringLiteral("control-%1").arg(number));
    }
    QPoint row_centre(ListView* view, int row) const {
        return view->visualRect(view->model()->index(row, 0)).center();
    }
    void open_name_popup();

    std::unique_ptr<QtWindow> m_window;
    std::unique_ptr<RecordingSink> m_sink;
};

void QtWindowTest::init() {
    m_sink = std::make_unique<RecordingSink>();
    m_window = std::make_unique<QtWindow>();
    QtWindow& window = *m_window;
    window.connect_events(*m_sink, [] { return false; });
    window.create_main_window("Fenster", 640, 480);
    window.set_menus({{"Datei", {{1, cp1252(u8"Öffnen")}, {0, ""}, {4, "Laden & Speichern"}}},
                      {"?", {{21, cp1252(u8"Über")}}}},
                     {{25, "Bearbeiten"}});
    window.create_status_bar(160, 480);
    window.add_control(WindowId::Main,
                       definition(1, ControlKind::GroupBox, "R&D", {5, 0, 630, 440}));
    window.add_control(WindowId::Main, definition(2, ControlKind::TabBar, "", {10, 15, 620, 420}));
    window.add_tab_page("Cell");
    window.add_tab_page("Region");
    window.add_control(WindowId::Main, definition(kListOne, ControlKind::ListView, "",
                                                  {1, 1, 614, 393}, columns(), 0));
    window.add_control(WindowId::Main, definition(kListTwo, ControlKind::ListView, "",
                                                  {1, 1, 614, 393}, columns(), 1));
    window.select_tab_page(0);
    window.set_rows(kListOne, three_rows());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(main()));
}

void QtWindowTest::cleanup() {
    m_window.reset();
    m_sink.reset();
}

void QtWindowTest::open_name_popup() {
    m_window->open_popup(WindowId::NameEdit, "Activator", {100, 80, 360, 140});
    m_window->add_control(WindowId::NameEdit, definition(1034, ControlKind::RightAlignedLabel,
                                                         "EV Name", {4, 36, 46, 22}));
    m_window->add_control(WindowId::NameEdit, definition(kEditField, ControlKind::EditField,
                                                         "act_well", {55, 7, 280, 22}));
    m_window->add_control(WindowId::NameEdit,
                          definition(kTextBox, ControlKind::TextBox, "", {55, 31, 280, 60}));
    m_window->add_control(WindowId::NameEdit,
                          definition(kPopupList, ControlKind::ListView, "", {5, 0, 40, 100},
                                     {ListColumn{"Id Book", 350}}));
    m_window->set_rows(kPopupList, {{"bk_one"}, {"bk_two"}});
}

void QtWindowTest::menusShowTheirTextsAsWrittenAndSendCommands() {
    QMenuBar* bar = static_cast<QMainWindow*>(main())->menuBar();
    QStringList titles;
    for (QAction* action : bar->actions()) {
        titles << action->text();
    }
    QCOMPARE(titles, QStringList({"Datei", "?"}));

    auto* file_menu = child<QMenu>(QStringLiteral("menu-title-0"));
    QVERIFY(file_menu != nullptr);
    QStringList items;
    for (QAction* action : file_menu->actions()) {
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    // "&" is doubled so that Qt shows it instead of underlining the next letter.
    QCOMPARE(items, QStringList({"Öffnen", "-", "Laden && Speichern"}));
    for (QAction* action : file_menu->actions()) {
        QVERIFY(action->shortcut().isEmpty());
    }
    QCOMPARE(child<QGroupBox>("control-1")->title(), QStringLiteral("R&&D"));

    auto* open = child<QAction>(QStringLiteral("menu-1"));
    auto* edit = child<QAction>(QStringLiteral("menu-25"));
    QVERIFY(open != nullptr && edit != nullptr);
    QVERIFY(child<QMenu>(QStringLiteral("popup-menu"))->actions().contains(edit));
    m_window->set_menu_item_enabled(25, false);
    QVERIFY(!edit->isEnabled());
    QVERIFY(open->isEnabled());
    m_window->set_menu_item_enabled(25, true);
    QVERIFY(edit->isEnabled());

    open->trigger();
    edit->trigger();
    QCOMPARE(m_sink->lines(), QStringList({"menu 1", "menu 25"}));
}

void QtWindowTest::listViewsReportClicksDoubleClicksAndRightClicks() {
    ListView* view = list(kListOne);
    QWidget* rows = view->viewport();
    const QPoint second = row_centre(view, 1);
    const QPoint global = rows->mapToGlobal(second);

    orv::test::click(rows, second);
    QCOMPARE(m_window->selected_row(kListOne), std::optional<std::size_t>(1));
    QCOMPARE(m_sink->lines(), QStringList({"control 3 other"}));

    // The release that ends a double click is no click of its own.
    m_sink->clear();
    orv::test::double_click(rows, row_centre(view, 0));
    QCOMPARE(m_sink->lines(), QStringList({"control 3 other", "control 3 double"}));
    QCOMPARE(m_window->selected_row(kListOne), std::optional<std::size_t>(0));

    // A right click selects its row and, on release, is a RightClick followed by the
    // context-menu request at the mouse position. Qt's own context-menu event for the same
    // click adds nothing.
    m_sink->clear();
    orv::test::send_mouse(rows, QEvent::MouseButtonPress, Qt::RightButton, second);
    QContextMenuEvent by_mouse(QContextMenuEvent::Mouse, second, global);
    QApplication::sendEvent(rows, &by_mouse);
    orv::test::send_mouse(rows, QEvent::MouseButtonRelease, Qt::RightButton, second);
    QCOMPARE(m_sink->lines(),
             QStringList({"control 3 right",
                          QStringLiteral("context %1 %2").arg(global.x()).arg(global.y())}));
    QCOMPARE(m_window->selected_row(kListOne), std::optional<std::size_t>(1));
    QCOMPARE(m_window->cell_text(kListOne, 1, 2), Text("Beta"));

    // The popup menu opens once however often it is asked while open.
    auto* popup = child<QMenu>(QStringLiteral("popup-menu"));
    m_window->show_popup_menu(global.x(), global.y());
    QTRY_VERIFY(popup->isVisible());
    m_window->show_popup_menu(global.x() + 50, global.y());
    QCOMPARE(popup->pos(), global);
    popup->close();
}

void QtWindowTest::rightClicksInPopupsAreNoContextMenuRequests() {
    open_name_popup();
    auto* popup_list = m_window->main_widget()->findChild<ListView*>("control-1052");
    QVERIFY(popup_list != nullptr);
    const QPoint first = row_centre(popup_list, 0);
    orv::test::click(popup_list->viewport(), first, Qt::RightButton);
    orv::test::click(popup_list->viewport(), row_centre(popup_list, 1));
    QCOMPARE(m_sink->lines(), QStringList({"control 1052 right", "control 1052 other"}));
    QCOMPARE(m_window->selected_row(kPopupList), std::optional<std::size_t>(1));
    QCOMPARE(popup_list->horizontalHeader()->sectionSize(0), 350);
}

void QtWindowTest::keyboardMovesAndHeaderClicksAreReported() {
    ListView* view = list(kListOne);
    m_window->select_row(kListOne, 0);
    QVERIFY(m_sink->lines().isEmpty());
    QTest::keyClick(view, Qt::Key_Down);
    QCOMPARE(m_window->selected_row(kListOne), std::optional<std::size_t>(1));
    // A key that moves nothing is no event.
    QTest::keyClick(view, Qt::Key_Shift);
    QCOMPARE(m_sink->lines(), QStringList({"control 3 other"}));

    m_sink->clear();
    QHeaderView* header = view->horizontalHeader();
    const int column = 2;
    const QPoint on_title(header->sectionViewportPosition(column) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, on_title);
    QCOMPARE(m_sink->lines(), QStringList({"column 3 2"}));
    // The view never sorts by itself: the rows keep the order they were given.
    QCOMPARE(m_window->cell_text(kListOne, 0, 1), Text("a_id"));
    QVERIFY(!view->isSortingEnabled());
}

void QtWindowTest::clicksOnTheMainWindowBringThePopupToTheFront() {
    open_name_popup();
    QWidget* popup = main()->findChild<QWidget*>("popup-1");
    QVERIFY(popup != nullptr);
    QCOMPARE(popup->parentWidget(), main());
    ListView* view = list(kListOne);
    main()->activateWindow();
    QTRY_VERIFY(main()->isActiveWindow());
    m_sink->clear();

    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, row_centre(view, 1));
    QTRY_VERIFY(popup->isActiveWindow());
    QCOMPARE(m_sink->lines(), QStringList());
    QCOMPARE(m_window->selected_row(kListOne), std::nullopt);

    // Once it is closed, the clicks reach the list again.
    m_window->close_popup(WindowId::NameEdit);
    QTRY_VERIFY(main()->findChild<QWidget*>("popup-1") == nullptr);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, row_centre(view, 1));
    QCOMPARE(m_window->selected_row(kListOne), std::optional<std::size_t>(1));
}

void QtWindowTest::closeBoxesAskTheProgram() {
    open_name_popup();
    QWidget* popup = main()->findChild<QWidget*>("popup-1");
    QVERIFY(popup != nullptr);
    QCOMPARE(popup->windowTitle(), QStringLiteral("Activator"));

    main()->close();
    popup->close();
    QCOMPARE(m_sink->lines(), QStringList({"close 0", "close 1"}));
    // Only the program closes windows.
    QVERIFY(main()->isVisible());
    QVERIFY(popup->isVisible());

    m_window->close_popup(WindowId::NameEdit);
    QVERIFY(!popup->isVisible());
    QTRY_VERIFY(main()->findChild<QWidget*>("popup-1") == nullptr);
    // Its controls went with it; the main window's stay.
    QCOMPARE(m_window->control_text(kEditField), std::nullopt);
    QCOMPARE(m_window->cell_text(kPopupList, 0, 0), Text());
    QCOMPARE(m_window->cell_text(kListOne, 0, 1), Text("a_id"));
}

void QtWindowTest::workerCallsRunInCallOrder() {
    open_name_popup();
    struct Seen {
        Text cell;
        std::optional<std::size_t> selected;
        std::optional<Text> field;
        Rect rect;
    };
    std::promise<Seen> promise;
    auto seen = promise.get_future();
    std::thread worker([this, &promise] {
        std::vector<ListRow> rows;
        for (int row = 0; row < 1000; ++row) {
            rows.push_back({"", "id" + std::to_string(row), "EV", "DV"});
        }
        m_window->set_rows(kListTwo, std::move(rows));
        m_window->set_cell(kListTwo, 999, 0, "*");
        m_window->select_row(kListTwo, 998);
        m_window->set_control_text(kEditField, "Stra\xDF"
                                               "e");
        // Each answer sees every change handed over before it.
        Seen answers;
        answers.cell = m_window->cell_text(kListTwo, 999, 0);
        answers.selected = m_window->selected_row(kListTwo);
        answers.field = m_window->control_text(kEditField);
        answers.rect = m_window->main_window_rect();
        promise.set_value(answers);
    });
    QTRY_VERIFY(seen.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    worker.join();
    const Seen answers = seen.get();
    QCOMPARE(answers.cell, Text("*"));
    QCOMPARE(answers.selected, std::optional<std::size_t>(998));
    QCOMPARE(answers.field, std::optional<Text>("Stra\xDF"
                                                "e"));
    QCOMPARE(child<QLineEdit>("control-1033")->text(), QStringLiteral("Straße"));
    const QRect frame = main()->frameGeometry();
    QCOMPARE(answers.rect, (Rect{frame.x(), frame.y(), frame.width(), frame.height()}));
}

void QtWindowTest::statusTextsFromAWorkerAreGathered() {
    auto* progress = child<QLabel>("status-1");
    auto* file = child<QLabel>("status-0");
    QCOMPARE(progress->width(), 480);
    QCOMPARE(file->width(), 160);

    const int redraws_before = m_window->status_redraws();
    QElapsedTimer timer;
    timer.start();
    std::atomic<bool> done{false};
    constexpr int kTexts = 100000;
    std::thread worker([this, &done] {
        m_window->set_status_text(0, "Datei : gro\xDF.esp");
        for (int block = 1; block <= kTexts; ++block) {
            m_window->set_status_text(1, "Bl\xF6"
                                         "cke gelesen : " +
                                             std::to_string(block) + " / 100000");
        }
        done = true;
    });
    QTRY_VERIFY(done);
    worker.join();
    QTRY_COMPARE(progress->text(), QStringLiteral("Blöcke gelesen : 100000 / 100000"));
    QCOMPARE(file->text(), QStringLiteral("Datei : groß.esp"));
    // At most one redraw per 50 ms, plus the first and the last.
    const int redraws = m_window->status_redraws() - redraws_before;
    QVERIFY2(redraws <= 2 + timer.elapsed() / 50,
             qPrintable(QStringLiteral("%1 redraws in %2 ms").arg(redraws).arg(timer.elapsed())));
    // A field the window does not have is ignored.
    m_window->set_status_text(2, "nowhere");
    m_window->set_status_text(-1, "nowhere");
}

void QtWindowTest::textBoxesConvertLineBreaks_data() {
    QTest::addColumn<QByteArray>("given");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QByteArray>("read");
    QTest::newRow("CR LF") << QByteArray("eins\r\nzwei") << QStringLiteral("eins\nzwei")
                           << QByteArray("eins\r\nzwei");
    QTest::newRow("lone CR") << QByteArray("eins\rzwei") << QStringLiteral("eins\nzwei")
                             << QByteArray("eins\r\nzwei");
    QTest::newRow("lone LF") << QByteArray("eins\nzwei") << QStringLiteral("eins\nzwei")
                             << QByteArray("eins\r\nzwei");
    QTest::newRow("empty lines") << QByteArray("a\r\n\r\nb\r\n") << QStringLiteral("a\n\nb\n")
                                 << QByteArray("a\r\n\r\nb\r\n");
    QTest::newRow("no-break space kept")
        << QByteArray("\xA0x\xE4") << QStringLiteral("\u00A0xä") << QByteArray("\xA0x\xE4");
}

void QtWindowTest::textBoxesConvertLineBreaks() {
    QFETCH(QByteArray, given);
    QFETCH(QString, shown);
    QFETCH(QByteArray, read);
    open_name_popup();
    m_window->set_control_text(kTextBox, given.toStdString());
    auto* box = main()->findChild<QTextEdit*>("control-1057");
    QCOMPARE(box->document()->toRawText().replace(QChar::ParagraphSeparator, QLatin1Char('\n')),
             shown);
    QCOMPARE(m_window->control_text(kTextBox), std::optional<Text>(read.toStdString()));
}

void QtWindowTest::textsWindows1252CannotHoldAreRefused() {
    open_name_popup();
    auto* field = main()->findChild<QLineEdit*>("control-1033");
    auto* box = main()->findChild<QTextEdit*>("control-1057");
    field->setText(QStringLiteral("Ωmega"));
    box->setPlainText(QStringLiteral("a\nπ"));
    QCOMPARE(m_window->control_text(kEditField), std::nullopt);
    QCOMPARE(m_window->control_text(kTextBox), std::nullopt);
    // Typed characters Windows-1252 holds, beyond Latin-1 too, come through as its bytes.
    field->setText(QStringLiteral("€ „Zitat“ – Ÿ"));
    QCOMPARE(m_window->control_text(kEditField),
             std::optional<Text>("\x80 \x84Zitat\x93 \x96 \x9F"));
    // A control that does not exist has no text.
    QCOMPARE(m_window->control_text(4711), std::nullopt);
}

void QtWindowTest::textBoxesHoldAtMost65536Characters() {
    open_name_popup();
    auto* box = main()->findChild<QTextEdit*>("control-1057");
    m_window->set_control_text(kTextBox, Text(65536, 'x'));
    QCOMPARE(m_window->control_text(kTextBox)->size(), std::size_t{65536});
    // Typing at the end of a full box adds nothing; a shorter text takes a character more.
    box->moveCursor(QTextCursor::End);
    box->insertPlainText(QStringLiteral("y"));
    QCOMPARE(m_window->control_text(kTextBox)->size(), std::size_t{65536});
    QVERIFY(!m_window->control_text(kTextBox)->ends_with('y'));

    m_window->set_control_text(kTextBox, Text(65535, 'x'));
    box->moveCursor(QTextCursor::End);
    box->insertPlainText(QStringLiteral("yz"));
    QCOMPARE(*m_window->control_text(kTextBox), Text(65535, 'x') + "y");

    m_window->set_control_text(kTextBox, Text(70000, 'x'));
    QCOMPARE(m_window->control_text(kTextBox)->size(), std::size_t{65536});
}

void QtWindowTest::closedWindowAnswersAWaitingWorker() {
    open_name_popup();
    // The worker asks while the GUI thread serves no events, as when the event loop has
    // ended; closing the window must release it.
    auto answer =
        std::async(std::launch::async, [this] { return m_window->control_text(kEditField); });
    QVERIFY(answer.wait_for(std::chrono::milliseconds(200)) == std::future_status::timeout);
    m_window->close();
    QVERIFY(answer.wait_for(std::chrono::seconds(10)) == std::future_status::ready);
    QCOMPARE(answer.get(), std::nullopt);
    QVERIFY(!main()->isVisible());

    // Later questions get their fallback at once, and changes are dropped.
    auto rect = std::async(std::launch::async, [this] { return m_window->main_window_rect(); });
    QVERIFY(rect.wait_for(std::chrono::seconds(10)) == std::future_status::ready);
    QCOMPARE(rect.get(), Rect{});
    std::thread([this] { m_window->set_control_text(kEditField, "later"); }).join();
    QCoreApplication::processEvents();
    QCOMPARE(main()->findChild<QLineEdit*>("control-1033")->text(), QStringLiteral("act_well"));
}

void QtWindowTest::sizeChangesAreReportedAndNormalSizeIsKept() {
    // Showing the window at the size it was built for is no size change.
    QVERIFY(m_sink->lines().isEmpty());
    QCOMPARE(main()->size(), QSize(640, 480));

    main()->showMaximized();
    QTRY_VERIFY(main()->width() > 640);
    const QSize maximised = main()->size();
    QTRY_COMPARE(m_sink->lines().value(0),
                 QStringLiteral("resize %1 %2").arg(maximised.width()).arg(maximised.height()));

    m_sink->clear();
    main()->showNormal();
    QTRY_COMPARE(main()->size(), QSize(640, 480));
    QTRY_VERIFY(m_sink->lines().contains(QStringLiteral("resize 640 480")));

    // Dragging an edge in the normal state springs back.
    main()->resize(700, 520);
    QTRY_COMPARE(main()->size(), QSize(640, 480));
    QCOMPARE(m_sink->lines().last(), QStringLiteral("resize 640 480"));
}

void QtWindowTest::controlsTakeTheProgramsRects() {
    QCOMPARE(child<QGroupBox>("control-1")->geometry(), QRect(5, 0, 630, 440));
    QCOMPARE(child<QTabWidget>("control-2")->geometry(), QRect(10, 15, 620, 420));
    QCOMPARE(list(kListTwo)->geometry(), QRect(1, 1, 614, 393));
    QCOMPARE(list(kListTwo)->parentWidget()->objectName(), QStringLiteral("tab-page-1"));

    // A minimised window's formulas give negative sizes; they are never applied as such.
    m_window->move_control(1, {5, 0, -10, -40});
    QCOMPARE(child<QGroupBox>("control-1")->geometry(), QRect(5, 0, 0, 0));
    m_window->move_control(kListTwo, {0, 0, 600, 380});
    QCOMPARE(list(kListTwo)->geometry(), QRect(0, 0, 600, 380));

    // The status fields sit on the bottom edge over everything else.
    auto* status = child<QWidget>("status-bar");
    QCOMPARE(status->geometry().bottom(), child<QWidget>("client-area")->height() - 1);
    QCOMPARE(status->width(), 640);

    open_name_popup();
    QWidget* popup = main()->findChild<QWidget*>("popup-1");
    QCOMPARE(popup->size(), QSize(360, 140));
    QCOMPARE(popup->frameGeometry().topLeft(), QPoint(100, 80));
    // A right-aligned label keeps its right edge and shows its whole text.
    auto* label = popup->findChild<QLabel*>("control-1034");
    QCOMPARE(label->geometry().right(), 4 + 46 - 1);
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    QCOMPARE(label->text(), QStringLiteral("EV Name"));
}

QTEST_MAIN(QtWindowTest)
#include "QtWindowTest.moc"
