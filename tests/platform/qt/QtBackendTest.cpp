// The Qt backend where the window contract does not reach: the events exactly as Qt
// reports them, the pop-up guard, the status throttle's wiring, the text edge, the model,
// the geometry the program's rects and size changes give, and the message boxes, file
// dialogs and help, shown for real and answered as a user would.
#include <algorithm>
#include <fstream>
#include <future>
#include <thread>

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QColor>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTextEdit>

#include <gtest/gtest.h>

#include "platform/qt/ListModel.h"
#include "platform/qt/ListView.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtText.h"
#include "platform/qt/QtWindow.h"
#include "qt/QtRemote.h"

// Readable failure messages for Qt's strings.
void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace orv::test {
namespace {

constexpr int kList = 3;
constexpr int kHiddenList = 4;
constexpr int kField = 1033;
constexpr int kLabel = 1034;
constexpr int kBox = 1057;
const std::vector<ListColumn> kColumns = {{"F", 20}, {"ID", 200}, {"EV Name", 248}};

using Strings = std::vector<std::string>;

TEST(QtText, ConvertsTextsAtTheEdge) {
    struct Row {
        Text given;
        QString shown;
        Text read;
    };
    for (const Row& row :
         std::vector<Row>{{"eins\rzwei", "eins\nzwei", "eins\r\nzwei"},
                          {"a\r\n\r\nb\r\n", "a\n\nb\n", "a\r\n\r\nb\r\n"},
                          {"\xA0x\xE4", QStringLiteral("\u00A0x\u00E4"), "\xA0x\xE4"}}) {
        SCOPED_TRACE(row.given);
        EXPECT_EQ(text_box_to_qstring(row.given), row.shown);
        EXPECT_EQ(
            text_box_from_qstring(QString(row.shown).replace('\n', QChar::ParagraphSeparator)),
            row.read);
    }
    // A soft line break is a line break too.
    EXPECT_EQ(text_box_from_qstring(QStringLiteral("a\u2028b")), Text("a\r\nb"));
}

TEST(QtListModel, KeepsQtsRulesAndChangesWhatItIsTold) {
    ListModel model(kColumns);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.set_rows(std::vector<ListRow>(500, ListRow{"", "id", "name"}));
    model.set_rows({{"", "a", "Alpha"}, {"", "b"}});
    EXPECT_EQ(std::tuple(resets.count(), inserted.count(), model.rowCount()), std::tuple(2, 0, 2));
    // A short row grows up to the cell written; outside the table nothing changes.
    EXPECT_TRUE(model.set_cell(1, 2, "Beta"));
    for (const auto& [row, column] : {std::pair{2, 0}, {0, 3}, {0, -1}}) {
        EXPECT_FALSE(model.set_cell(std::size_t(row), column, "x")) << row << " " << column;
    }
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][0].toModelIndex(), model.index(1, 2));
    EXPECT_EQ(changed[0][1].toModelIndex(), model.index(1, 2));
    EXPECT_EQ(model.data(model.index(1, 2)).toString(), QStringLiteral("Beta"));
    EXPECT_FALSE(model.headerData(3, Qt::Horizontal).isValid());

    // Rows are coloured by the states they come with, never by their texts: a new state
    // repaints the whole row; rows without states (pop-up lists) stay uncoloured.
    const auto background = [&](int row) {
        return model.data(model.index(row, 1), Qt::BackgroundRole);
    };
    EXPECT_FALSE(background(0).isValid());
    EXPECT_FALSE(model.set_row_state(0, RowState::Edited));
    model.set_rows({{"*", "a", "Alpha", "Alpha"}, {"", "b", "Beta", "Beta"}},
                   {RowState::Translated, RowState::ToDo});
    EXPECT_FALSE(background(0).isValid());
    changed.clear();
    EXPECT_TRUE(model.set_row_state(1, RowState::Edited));
    EXPECT_EQ(background(1).value<QColor>(),
              QColor(kEditedBackground.red, kEditedBackground.green, kEditedBackground.blue));
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed[0][1].toModelIndex(), model.index(1, model.columnCount() - 1));
}

TEST(QtListView, BringingAWideCellIntoViewKeepsTheMarkColumnInView) {
    // The text editor's entry list: 198 pixels wide, its ID column 350.
    ListView list(
        1052, {{"F", 20}, {"Id Book", 350}}, ListView::Placement::PopupWindow, [](const Event&) {},
        nullptr);
    list.resize(198, 200);
    list.list_model().set_rows({{"*", "bk_a"}, {"", "bk_b"}});
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    // The list can scroll sideways at all.
    ASSERT_TRUE(QTest::qWaitFor([&] { return list.horizontalScrollBar()->maximum() > 0; }));
    // Qt brings the current cell into view, as after a click or a key; here the ID cell,
    // wider than the list.
    list.setCurrentIndex(list.model()->index(1, 1));
    list.scrollTo(list.model()->index(1, 1));
    EXPECT_EQ(list.horizontalScrollBar()->value(), 0);
}

class QtBackend : public testing::Test {
protected:
    void SetUp() override {
        m_window.connect_events(m_sink, [] { return false; });
        m_window.create_main_window("Fenster", 640, 480);
        m_window.set_menus({{"&Datei", {{1, "&Laden"}}}}, {{25, "&Bearbeiten"}});
        m_window.create_status_bar(160, 480);
        add(WindowId::Main, 1, ControlKind::GroupBox, {5, 0, 630, 440}, "R&D");
        add(WindowId::Main, 2, ControlKind::TabBar, {10, 15, 620, 420});
        for (const int page : {0, 1}) {
            m_window.add_tab_page("Cell");
            m_window.add_control(
                WindowId::Main,
                {kList + page, ControlKind::ListView, "", {1, 1, 614, 393}, kColumns, page});
        }
        m_window.select_tab_page(0);
        m_window.set_rows(kList, {{"B", "a_id"}, {"", "b_id"}, {"E", "c_id"}},
                          {RowState::FromDatabase, RowState::ToDo, RowState::Nameless});
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main()));
    }

    void add(WindowId window, int number, ControlKind kind, Rect rect, Text text = "") {
        m_window.add_control(window, {number, kind, std::move(text), rect, {}, -1});
    }
    QWidget* open_popup() {
        m_window.open_popup(WindowId::NameEdit, "Activator", {100, 80, 360, 140});
        add(WindowId::NameEdit, kLabel, ControlKind::RightAlignedLabel, {4, 36, 46, 22}, "EV Name");
        add(WindowId::NameEdit, kField, ControlKind::EditField, {55, 7, 280, 22}, "act_well");
        add(WindowId::NameEdit, kBox, ControlKind::TextBox, {55, 31, 280, 60});
        return child(QStringLiteral("popup-1"));
    }
    QWidget* main() { return m_window.main_widget(); }
    template <typename T = QWidget>
    T* child(const QString& name) {
        return main()->findChild<T*>(name);
    }
    template <typename T = QWidget>
    T* control(int number) {
        return qobject_cast<T*>(m_remote.widget(number));
    }
    QWidget* rows() { return control<ListView>(kList)->viewport(); }
    QPoint row_centre(int row) {
        auto* list = control<ListView>(kList);
        return list->visualRect(list->model()->index(row, 0)).center();
    }

    EventLog m_sink;
    QtWindow m_window;
    QtDialogs m_dialogs{m_window};
    QtRemote m_remote{m_window};
};

TEST_F(QtBackend, ReportsListEventsAsTheUserMakesThem) {
    const QPoint global = rows()->mapToGlobal(row_centre(1));
    m_remote.click_row(kList, 1, ListEventType::Other);
    // The release that ends a double click is no click of its own.
    m_remote.click_row(kList, 0, ListEventType::DoubleClick);
    EXPECT_EQ(m_sink.take(), Strings({"control 3 0", "control 3 0", "control 3 2"}));

    // A right click selects its row and, on release, asks for the context menu; Qt's own
    // context-menu event for the same click adds nothing.
    QtRemote::send_mouse(rows(), QEvent::MouseButtonPress, Qt::RightButton, row_centre(1));
    QContextMenuEvent by_mouse(QContextMenuEvent::Mouse, row_centre(1), global);
    QApplication::sendEvent(rows(), &by_mouse);
    QtRemote::send_mouse(rows(), QEvent::MouseButtonRelease, Qt::RightButton, row_centre(1));
    EXPECT_EQ(m_sink.take(), Strings({"control 3 1", "context " + std::to_string(global.x()) + " " +
                                                         std::to_string(global.y())}));
    EXPECT_EQ(m_window.selected_row(kList), std::optional<std::size_t>(1));
    // The popup menu opens once however often it is asked while open.
    auto* popup = child<QMenu>(QStringLiteral("popup-menu"));
    m_window.show_popup_menu(global.x(), global.y());
    EXPECT_TRUE(QTest::qWaitFor([&] { return popup->isVisible(); }));
    m_window.show_popup_menu(global.x() + 50, global.y());
    EXPECT_EQ(popup->pos(), global);
    popup->close();

    // A key that moves the selection is a click; one that moves nothing is no event.
    QTest::keyClick(control(kList), Qt::Key_Down);
    QTest::keyClick(control(kList), Qt::Key_Shift);
    EXPECT_EQ(m_sink.take(), Strings({"control 3 0"}));
}

TEST_F(QtBackend, PopUpStaysInFrontOnlyTheProgramClosesAndTextsPassTheEdge) {
    QWidget* popup = open_popup();
    ASSERT_NE(popup, nullptr);
    main()->activateWindow();
    QTest::mouseDClick(rows(), Qt::LeftButton, {}, row_centre(1));
    EXPECT_TRUE(QTest::qWaitFor([&] { return popup->isActiveWindow(); }));
    EXPECT_EQ(m_window.selected_row(kList), std::nullopt);

    main()->close();
    popup->close();
    EXPECT_EQ(m_sink.take(), Strings({"close 0", "close 1"}));
    EXPECT_TRUE(main()->isVisible() && popup->isVisible());

    // Control texts pass the edge (a group box's "&" is no mnemonic); a text box holds at
    // most 65536 characters.
    EXPECT_EQ(control<QGroupBox>(1)->title(), QStringLiteral("R&&D"));
    control<QLineEdit>(kField)->setText(QStringLiteral("Ωmega"));
    EXPECT_EQ(m_window.control_text(kField), std::nullopt);
    for (const auto& [given, typed] :
         {std::pair{70000, Text()}, {65536, Text()}, {65535, Text("y")}}) {
        SCOPED_TRACE(given);
        m_window.set_control_text(kBox, Text(std::size_t(given), 'x'));
        control<QTextEdit>(kBox)->moveCursor(QTextCursor::End);
        control<QTextEdit>(kBox)->insertPlainText(QStringLiteral("yz"));
        EXPECT_EQ(m_window.control_text(kBox), Text(std::min(given, 65536), 'x') + typed);
    }

    // Nobody serves a worker's question, as when the event loop has ended: closing answers it.
    auto answer = std::async(std::launch::async, [this] { return m_window.control_text(kField); });
    EXPECT_EQ(answer.wait_for(std::chrono::milliseconds(100)), std::future_status::timeout);
    m_window.close();
    EXPECT_EQ(answer.get(), std::nullopt);
    EXPECT_FALSE(main()->isVisible());
}

TEST_F(QtBackend, StatusTextsAreThrottledControlsTakeTheProgramsRectsAndSizesAreReported) {
    // Status texts from a worker are gathered into few redraws.
    EXPECT_EQ(child(QStringLiteral("status-0"))->width(), 160);
    EXPECT_EQ(child(QStringLiteral("status-1"))->width(), 480);
    const int redraws_before = m_window.status_redraws();
    QElapsedTimer timer;
    timer.start();
    std::thread([this] {
        const Text blocks = cp1252(u8"Blöcke : ");
        for (int block = 1; block <= 100000; ++block) {
            m_window.set_status_text(1, blocks + std::to_string(block));
        }
        m_window.set_status_text(2, "nowhere");
    }).join();
    auto* progress = child<QLabel>(QStringLiteral("status-1"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return progress->text() == QStringLiteral("Blöcke : 100000"); }));
    // At most one redraw per 50 ms, plus the first and the last.
    EXPECT_LE(m_window.status_redraws() - redraws_before, 2 + timer.elapsed() / 50);

    EXPECT_EQ(control(2)->geometry(), QRect(10, 15, 620, 420));
    EXPECT_EQ(control(kHiddenList)->parentWidget()->objectName(), QStringLiteral("tab-page-1"));
    // Negative sizes (a minimised window's formulas) are never applied as such.
    m_window.move_control(1, {5, 0, -10, -40});
    EXPECT_EQ(control(1)->geometry(), QRect(5, 0, 0, 0));
    m_window.move_control(kHiddenList, {0, 0, 600, 380});
    EXPECT_EQ(control(kHiddenList)->geometry(), QRect(0, 0, 600, 380));
    EXPECT_EQ(child(QStringLiteral("status-bar"))->geometry().bottom(),
              child(QStringLiteral("client-area"))->height() - 1);
    const QRect frame = main()->frameGeometry();
    EXPECT_EQ(m_window.main_window_rect(),
              (Rect{frame.x(), frame.y(), frame.width(), frame.height()}));

    // The pop-up's size is the window contract's.
    EXPECT_EQ(open_popup()->frameGeometry().topLeft(), QPoint(100, 80));
    // A right-aligned label keeps its right edge and shows its whole text.
    auto* label = control<QLabel>(kLabel);
    EXPECT_EQ(label->geometry().right(), 4 + 46 - 1);
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
    // A check box keeps its rect and shows its whole text there (the name dialog's longest).
    constexpr int kCheckBox = 1040;
    add(WindowId::NameEdit, kCheckBox, ControlKind::CheckBox, {55, 97, 280, 20},
        cp1252(u8"Für alle gleichen Namen übernehmen (15 weitere)"));
    auto* box = control<QCheckBox>(kCheckBox);
    EXPECT_EQ(box->geometry(), QRect(55, 97, 280, 20));
    EXPECT_LE(box->sizeHint().width(), box->width());
    // Closed by the program, the pop-up takes its controls along (the window contract clicks
    // the list again after a pop-up).
    m_window.close_popup(WindowId::NameEdit);
    EXPECT_TRUE(QTest::qWaitFor([&] { return child(QStringLiteral("popup-1")) == nullptr; }));
    EXPECT_EQ(m_window.control_text(kField), std::nullopt);

    // Showing at the built size is no change; maximising is; the normal size springs back.
    EXPECT_EQ(m_sink.take(), Strings{});
    const auto reported = [&](QSize size) {
        return QTest::qWaitFor([&] {
            const Strings events = m_sink.take();
            return std::ranges::count(events, "resize " + std::to_string(size.width()) + " " +
                                                  std::to_string(size.height()) + " 0") > 0;
        });
    };
    main()->showMaximized();
    EXPECT_TRUE(QTest::qWaitFor([&] { return main()->width() > 640; }));
    EXPECT_TRUE(reported(main()->size()));
    main()->showNormal();
    EXPECT_TRUE(reported(QSize(640, 480)));
    main()->resize(700, 520);
    EXPECT_TRUE(reported(QSize(640, 480)));
    EXPECT_EQ(main()->size(), QSize(640, 480));
}

const Text kEspFilter = "ESP (*.esp)|*.esp";

// Runs `ask` on a worker thread, as the program does, and serves the GUI until it returns.
template <typename Ask>
auto from_worker(Ask ask) {
    auto asked = std::async(std::launch::async, ask);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        30000));
    return asked.get();
}

TEST_F(QtBackend, MessageBoxesFromAWorkerShowTitleTextButtonsAndIcon) {
    // A prepared answer is given instead of a box, once: the boxes below are shown. (Which
    // button Enter presses is the window contract's.)
    m_dialogs.set_next_answer(MessageAnswer::Yes);
    EXPECT_EQ(m_dialogs.message_box("FRAGE", "?", MessageButtons::YesNo, MessageIcon::Question),
              MessageAnswer::Yes);
    struct Row {
        MessageButtons buttons;
        MessageIcon icon;
        QMessageBox::Icon shown;
        QString press; // empty: Escape, as the close box
        MessageAnswer answer;
    };
    const auto yes_no = MessageButtons::YesNo;
    const auto ok = MessageButtons::Ok;
    for (const Row& row : std::vector<Row>{
             {yes_no, MessageIcon::Exclamation, QMessageBox::Warning, "Nein", MessageAnswer::No},
             {yes_no, MessageIcon::Question, QMessageBox::Question, "", MessageAnswer::No},
             {ok, MessageIcon::Stop, QMessageBox::Critical, "OK", MessageAnswer::Ok},
             {ok, MessageIcon::Information, QMessageBox::Information, "", MessageAnswer::Ok},
             {ok, MessageIcon::None, QMessageBox::NoIcon, "OK", MessageAnswer::Ok}}) {
        SCOPED_TRACE(static_cast<int>(row.icon));
        auto seen = std::make_shared<QStringList>();
        QtRemote::when_shown<QMessageBox>([seen, row, owner = main()](QMessageBox* box) {
            *seen << box->windowTitle() << box->text() << QString::number(box->icon())
                  << QString::number(box->parentWidget() == owner);
            for (QAbstractButton* button : box->buttons()) {
                *seen << button->text().remove(QLatin1Char('&'));
                if (seen->last() == row.press) {
                    button->click();
                }
            }
            if (row.press.isEmpty()) {
                QTest::keyClick(box, Qt::Key_Escape);
            }
        });
        const MessageAnswer answer = from_worker([&] {
            return m_dialogs.message_box(cp1252(u8"ÜBER"), "LADE DATEI.\r   Bitte warten!",
                                         row.buttons, row.icon);
        });
        EXPECT_EQ(answer, row.answer);
        QStringList expected = {QStringLiteral("ÜBER"), "LADE DATEI.\n   Bitte warten!",
                                QString::number(row.shown), "1"};
        expected << (row.buttons == yes_no ? QStringList{"Ja", "Nein"} : QStringList{"OK"});
        std::sort(seen->begin() + 4, seen->end());
        EXPECT_EQ(*seen, expected);
    }
}

TEST_F(QtBackend, FileDialogsStartInTheFolderWithTheFilter) {
    // Filters take Qt's form: a name without its patterns gets them (a name with them, as
    // kEspFilter's, is the dialogs' below).
    for (const auto& [given, expected] : std::vector<std::pair<Text, QString>>{
             {"Texte|*.txt;*.text", "Texte (*.txt *.text)"},
             {"ESP (*.esp)|*.esp|Alle|*", "ESP (*.esp);;Alle (*)"}}) {
        EXPECT_EQ(file_dialog_filter(given), expected) << given;
    }

    // (A prepared name, given instead of a dialog, is the window contract's: it opens and
    // saves with one.)
    QTemporaryDir folder;
    const std::filesystem::path base = qstring_to_path(folder.path());
    ASSERT_TRUE(std::ofstream(base / "alt.esp"));
    for (const bool save : {false, true}) {
        // An existing file for saving is not questioned; a new name for opening is taken.
        const QString name = save ? QStringLiteral("alt.esp") : QStringLiteral("neu.esp");
        auto seen = std::make_shared<QStringList>();
        QtRemote::when_shown<QFileDialog>([seen, name](QFileDialog* dialog) {
            *seen << dialog->directory().absolutePath() << dialog->nameFilters()
                  << dialog->windowTitle() << QString::number(dialog->acceptMode())
                  << QString::number(dialog->fileMode())
                  << QString::number(dialog->testOption(QFileDialog::DontConfirmOverwrite));
            // Typed, as a user does: selecting depends on Qt's background listing.
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const Text title = save ? "ESP speichern als" : cp1252(u8"ESP öffnen ");
        const auto chosen = save ? m_dialogs.save_file(title, base, kEspFilter)
                                 : m_dialogs.open_file(title, base, kEspFilter);
        EXPECT_EQ(chosen, qstring_to_path(folder.filePath(name)));
        // clang-format off
        EXPECT_EQ(*seen, QStringList({QDir(folder.path()).absolutePath(), "ESP (*.esp)", to_qstring(title),
                                      QString::number(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen),
                                      QString::number(QFileDialog::AnyFile), "1"}));
        // clang-format on
    }

    // From the worker, at a folder this system does not have, cancelled: the dialog starts
    // at home with an empty name.
    auto seen = std::make_shared<QStringList>();
    QtRemote::when_shown<QFileDialog>([seen](QFileDialog* dialog) {
        *seen << dialog->directory().absolutePath();
        for (const QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
            *seen << field->text();
        }
        dialog->reject();
    });
    EXPECT_EQ(from_worker([&] { return m_dialogs.open_file("ESP", "C:\\", kEspFilter); }),
              std::nullopt);
    EXPECT_EQ(seen->value(0), QDir::home().absolutePath());
    EXPECT_FALSE(seen->contains(QStringLiteral("C:\\")));
}

TEST_F(QtBackend, HelpWithoutBrowserShowsTheGivenPageInItsOwnWindow) {
    QTemporaryDir folder;
    // Any page, named as the caller names it: the window derives no other path from it.
    const std::filesystem::path page = qstring_to_path(folder.path()) / "Seite.html";
    std::ofstream(page) << "<html><body><p>Ein Plugin \xC3\xB6"
                           "ffnen</p></body></html>";
    // No browser here: the program's own window shows the page.
    m_dialogs.show_help(page);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return m_dialogs.help_browser() && m_dialogs.help_browser()->isVisible(); }));
    EXPECT_EQ(m_dialogs.help_browser()->source(), QUrl::fromLocalFile(path_to_qstring(page)));
    EXPECT_TRUE(m_dialogs.help_browser()->toPlainText().contains(QStringLiteral("Plugin öffnen")));
    const std::filesystem::path missing = qstring_to_path(folder.path()) / "fehlt.html";
    m_dialogs.show_help(missing);
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return m_dialogs.help_browser()->toPlainText() ==
               QStringLiteral("Die Hilfe wurde nicht gefunden: ") + path_to_qstring(missing);
    }));
}

} // namespace
} // namespace orv::test
