// Message boxes, file dialogs and the help, shown for real on the offscreen platform and
// answered by the test as a user would, or answered in advance through the test hooks.
#include <future>
#include <memory>

#include <QAbstractButton>
#include <QFile>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTranslator>

#include "QtTestSupport.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtText.h"
#include "platform/qt/QtWindow.h"

using namespace orv;
using orv::test::shown_dialog;
using orv::test::when_shown;

namespace {

QStringList button_texts(const QMessageBox& box) {
    QStringList texts;
    for (QAbstractButton* button : box.buttons()) {
        texts << button->text().remove(QLatin1Char('&'));
    }
    texts.sort();
    return texts;
}

} // namespace

class QtDialogsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void filtersTakeQtsForm_data();
    void filtersTakeQtsForm();
    void messageBoxesFromAWorkerShowTitleTextButtonsAndIcon_data();
    void messageBoxesFromAWorkerShowTitleTextButtonsAndIcon();
    void closingAQuestionAnswersNo();
    void preparedAnswersAreRecordedInsteadOfShown();
    void fileDialogsStartInTheFolderWithTheFilter();
    void helpWithoutViewerOpensTheProgramsOwnPage();

private:
    QTranslator m_translator;
    std::unique_ptr<QtWindow> m_window;
    std::unique_ptr<QtDialogs> m_dialogs;
};

void QtDialogsTest::initTestCase() {
    QVERIFY(m_translator.load(QStringLiteral("qtbase_de"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QApplication::installTranslator(&m_translator);
}

void QtDialogsTest::init() {
    m_window = std::make_unique<QtWindow>();
    m_dialogs = std::make_unique<QtDialogs>(*m_window);
    m_window->create_main_window("Fenster", 640, 480);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window->main_widget()));
}

void QtDialogsTest::cleanup() {
    m_dialogs.reset();
    m_window.reset();
}

void QtDialogsTest::filtersTakeQtsForm_data() {
    QTest::addColumn<QByteArray>("given");
    QTest::addColumn<QString>("expected");
    QTest::newRow("program's filter")
        << QByteArray("ESP (*.esp)|*.esp") << QStringLiteral("ESP (*.esp)");
    QTest::newRow("name without pattern")
        << QByteArray("Plugins|*.esp") << QStringLiteral("Plugins (*.esp)");
    QTest::newRow("two patterns") << QByteArray("Texte|*.txt;*.text")
                                  << QStringLiteral("Texte (*.txt *.text)");
    QTest::newRow("two filters") << QByteArray("ESP (*.esp)|*.esp|Alle|*")
                                 << QStringLiteral("ESP (*.esp);;Alle (*)");
}

void QtDialogsTest::filtersTakeQtsForm() {
    QFETCH(QByteArray, given);
    QFETCH(QString, expected);
    QCOMPARE(file_dialog_filter(given.toStdString()), expected);
}

void QtDialogsTest::messageBoxesFromAWorkerShowTitleTextButtonsAndIcon_data() {
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("qt_icon");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("press");
    QTest::addColumn<int>("answer");
    const auto yes_no = static_cast<int>(MessageButtons::YesNo);
    const auto ok = static_cast<int>(MessageButtons::Ok);
    QTest::newRow("question, Ja") << yes_no << static_cast<int>(MessageIcon::Question)
                                  << static_cast<int>(QMessageBox::Question)
                                  << QStringList({"Ja", "Nein"}) << "Ja"
                                  << static_cast<int>(MessageAnswer::Yes);
    QTest::newRow("exclamation, Nein")
        << yes_no << static_cast<int>(MessageIcon::Exclamation)
        << static_cast<int>(QMessageBox::Warning) << QStringList({"Ja", "Nein"}) << "Nein"
        << static_cast<int>(MessageAnswer::No);
    QTest::newRow("stop") << ok << static_cast<int>(MessageIcon::Stop)
                          << static_cast<int>(QMessageBox::Critical) << QStringList({"OK"}) << "OK"
                          << static_cast<int>(MessageAnswer::Ok);
    QTest::newRow("information") << ok << static_cast<int>(MessageIcon::Information)
                                 << static_cast<int>(QMessageBox::Information)
                                 << QStringList({"OK"}) << "OK"
                                 << static_cast<int>(MessageAnswer::Ok);
    QTest::newRow("no icon") << ok << static_cast<int>(MessageIcon::None)
                             << static_cast<int>(QMessageBox::NoIcon) << QStringList({"OK"}) << "OK"
                             << static_cast<int>(MessageAnswer::Ok);
}

void QtDialogsTest::messageBoxesFromAWorkerShowTitleTextButtonsAndIcon() {
    QFETCH(int, buttons);
    QFETCH(int, icon);
    QFETCH(int, qt_icon);
    QFETCH(QStringList, texts);
    QFETCH(QString, press);
    QFETCH(int, answer);

    struct Seen {
        QString title;
        QString text;
        int icon = -1;
        QStringList buttons;
        QWidget* owner = nullptr;
    };
    auto seen = std::make_shared<Seen>();
    when_shown<QMessageBox>([seen, press](QMessageBox* box) {
        *seen = Seen{box->windowTitle(), box->text(), static_cast<int>(box->icon()),
                     button_texts(*box), box->parentWidget()};
        for (QAbstractButton* button : box->buttons()) {
            if (button->text().remove(QLatin1Char('&')) == press) {
                button->click();
            }
        }
    });
    auto asked = std::async(std::launch::async, [&] {
        return m_dialogs->message_box(cp1252(u8"ÜBER"), "LADE/SPEICHERE DATEI.\r   Bitte warten!",
                                      static_cast<MessageButtons>(buttons),
                                      static_cast<MessageIcon>(icon));
    });
    QTRY_VERIFY(asked.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    QCOMPARE(static_cast<int>(asked.get()), answer);
    QCOMPARE(seen->title, QStringLiteral("ÜBER"));
    QCOMPARE(seen->text, QStringLiteral("LADE/SPEICHERE DATEI.\n   Bitte warten!"));
    QCOMPARE(seen->icon, qt_icon);
    QCOMPARE(seen->buttons, texts);
    QCOMPARE(seen->owner, m_window->main_widget());
    QCOMPARE(m_dialogs->asked().size(), std::size_t{1});
    QVERIFY(m_dialogs->asked()[0].on_gui_thread);
}

void QtDialogsTest::closingAQuestionAnswersNo() {
    // Escape, or the close box, on a Yes/No question is No; on a notice it is OK.
    auto yes_is_default = std::make_shared<bool>(false);
    when_shown<QMessageBox>([yes_is_default](QMessageBox* box) {
        *yes_is_default = box->defaultButton() == box->button(QMessageBox::Yes);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    auto question = std::async(std::launch::async, [&] {
        return m_dialogs->message_box("BEEDEN", "WOLLT IHR DAS PROGRAMM WIRKLICH?",
                                      MessageButtons::YesNo, MessageIcon::Question);
    });
    QTRY_VERIFY(question.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    QCOMPARE(question.get(), MessageAnswer::No);
    QVERIFY(*yes_is_default);

    when_shown<QMessageBox>([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    auto notice = std::async(std::launch::async, [&] {
        return m_dialogs->message_box("INFORMATION", "EXTERNE DATENBANK GEL\xD6SCHT.",
                                      MessageButtons::Ok, MessageIcon::Information);
    });
    QTRY_VERIFY(notice.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    QCOMPARE(notice.get(), MessageAnswer::Ok);
}

void QtDialogsTest::preparedAnswersAreRecordedInsteadOfShown() {
    m_dialogs->set_next_answer(MessageAnswer::Yes);
    m_dialogs->set_next_file_name(std::filesystem::path("/daten/neu.esp"));
    m_dialogs->set_next_file_name(std::nullopt);

    QCOMPARE(
        m_dialogs->message_box("FRAGE", "Weiter?", MessageButtons::YesNo, MessageIcon::Question),
        MessageAnswer::Yes);
    QCOMPARE(m_dialogs->open_file(cp1252(u8"ESP öffnen "), "/daten/", "ESP (*.esp)|*.esp"),
             std::optional<std::filesystem::path>("/daten/neu.esp"));
    QCOMPARE(m_dialogs->save_file("ESP speichern als", "/ablage/", "ESP (*.esp)|*.esp"),
             std::nullopt);

    const auto asked = m_dialogs->asked();
    QCOMPARE(asked.size(), std::size_t{3});
    QCOMPARE(asked[0].title, Text("FRAGE"));
    QCOMPARE(asked[0].text, Text("Weiter?"));
    QCOMPARE(asked[0].buttons, MessageButtons::YesNo);
    QCOMPARE(asked[0].icon, MessageIcon::Question);
    QVERIFY(asked[1].file_dialog && !asked[1].save);
    QCOMPARE(asked[1].title, cp1252(u8"ESP öffnen "));
    QCOMPARE(asked[1].folder, std::filesystem::path("/daten/"));
    QCOMPARE(asked[1].filter, Text("ESP (*.esp)|*.esp"));
    QVERIFY(asked[2].file_dialog && asked[2].save);

    // With nothing prepared, the box is shown again.
    auto shown = std::make_shared<bool>(false);
    when_shown<QMessageBox>([shown](QMessageBox* box) {
        *shown = true;
        box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(m_dialogs->message_box("A", "B", MessageButtons::Ok, MessageIcon::None),
             MessageAnswer::Ok);
    QVERIFY(*shown);
}

void QtDialogsTest::fileDialogsStartInTheFolderWithTheFilter() {
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QFile existing(folder.filePath(QStringLiteral("alt.esp")));
    QVERIFY(existing.open(QIODevice::WriteOnly));
    existing.close();
    const std::filesystem::path base = qstring_to_path(folder.path());

    struct Seen {
        QString folder;
        QStringList filters;
        QString title;
        QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
        QFileDialog::FileMode file_mode = QFileDialog::ExistingFile;
        bool confirms_overwrite = true;
    };
    for (const bool save : {false, true}) {
        // An existing file for saving is not questioned; a new name for opening is taken.
        const QString name = save ? QStringLiteral("alt.esp") : QStringLiteral("neu.esp");
        auto seen = std::make_shared<Seen>();
        when_shown<QFileDialog>([seen, name](QFileDialog* dialog) {
            *seen = Seen{dialog->directory().absolutePath(),
                         dialog->nameFilters(),
                         dialog->windowTitle(),
                         dialog->acceptMode(),
                         dialog->fileMode(),
                         !dialog->testOption(QFileDialog::DontConfirmOverwrite)};
            // Typed, as a user does: selecting an existing file depends on the folder's
            // listing, which Qt reads in the background.
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(name);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const auto chosen =
            save ? m_dialogs->save_file("ESP speichern als", base, "ESP (*.esp)|*.esp")
                 : m_dialogs->open_file(cp1252(u8"ESP öffnen "), base, "ESP (*.esp)|*.esp");
        QCOMPARE(chosen,
                 std::optional<std::filesystem::path>(qstring_to_path(folder.filePath(name))));
        QCOMPARE(seen->folder, QDir(folder.path()).absolutePath());
        QCOMPARE(seen->filters, QStringList({"ESP (*.esp)"}));
        QCOMPARE(seen->title,
                 save ? QStringLiteral("ESP speichern als") : QStringLiteral("ESP öffnen "));
        QCOMPARE(seen->mode, save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        QCOMPARE(seen->file_mode, QFileDialog::AnyFile);
        QVERIFY(!seen->confirms_overwrite);
    }

    // From the worker, at a folder this system does not have, cancelled: the dialog starts
    // at home with an empty name.
    auto unknown = std::make_shared<Seen>();
    auto typed = std::make_shared<QStringList>();
    when_shown<QFileDialog>([unknown, typed](QFileDialog* dialog) {
        unknown->folder = dialog->directory().absolutePath();
        for (const QLineEdit* field : dialog->findChildren<QLineEdit*>()) {
            *typed << field->text();
        }
        dialog->reject();
    });
    auto cancelled = std::async(std::launch::async, [&] {
        return m_dialogs->open_file("ESP", "C:\\", "ESP (*.esp)|*.esp");
    });
    QTRY_VERIFY(cancelled.wait_for(std::chrono::seconds(0)) == std::future_status::ready);
    QCOMPARE(cancelled.get(), std::nullopt);
    QCOMPARE(unknown->folder, QDir::home().absolutePath());
    QVERIFY(!typed->contains(QStringLiteral("C:\\")));
}

void QtDialogsTest::helpWithoutViewerOpensTheProgramsOwnPage() {
    QTemporaryDir program;
    QVERIFY(QDir(program.path()).mkdir(QStringLiteral("help")));
    QFile page(program.filePath(QStringLiteral("help/index.html")));
    QVERIFY(page.open(QIODevice::WriteOnly));
    page.write("<html><body><h1>Hilfe</h1><p>Ein Plugin \xC3\xB6"
               "ffnen</p></body></html>");
    page.close();

    // No compiled help file and no browser on this platform: the program's own window
    // shows the page from the program folder.
    m_dialogs->show_help(qstring_to_path(program.filePath(QStringLiteral("Deu.chm"))));
    QTRY_VERIFY(m_dialogs->help_browser() != nullptr && m_dialogs->help_browser()->isVisible());
    QCOMPARE(m_dialogs->help_browser()->source(), QUrl::fromLocalFile(page.fileName()));
    QVERIFY(m_dialogs->help_browser()->toPlainText().contains(QStringLiteral("Plugin öffnen")));

    m_dialogs->show_help(qstring_to_path(program.filePath(QStringLiteral("fehlt/Deu.chm"))));
    QTRY_VERIFY(
        m_dialogs->help_browser()->toPlainText().startsWith(QStringLiteral("Die Hilfe wurde")));
}

QTEST_MAIN(QtDialogsTest)
#include "QtDialogsTest.moc"
