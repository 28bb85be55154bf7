// Message boxes, file dialogs and the help, shown for real on the offscreen platform and
// answered as a user would, or answered in advance through the test hooks.
#include <algorithm>
#include <fstream>
#include <future>

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtRemote.h"
#include "platform/qt/QtText.h"
#include "platform/qt/QtWindow.h"

namespace orv::test {
namespace {

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

class QtDialogsTest : public testing::Test {
protected:
    void SetUp() override {
        m_window.create_main_window("Fenster", 640, 480);
        m_window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.main_widget()));
    }

    QtWindow m_window;
    QtDialogs m_dialogs{m_window};
};

TEST_F(QtDialogsTest, MessageBoxesFromAWorkerShowTitleTextButtonsAndIcon) {
    // A prepared answer is recorded instead of shown, once: the boxes below are shown.
    m_dialogs.set_next_answer(MessageAnswer::Yes);
    EXPECT_EQ(
        m_dialogs.message_box("FRAGE", "Weiter?", MessageButtons::YesNo, MessageIcon::Question),
        MessageAnswer::Yes);
    const auto prepared = m_dialogs.asked();
    ASSERT_EQ(prepared.size(), std::size_t{1});
    EXPECT_TRUE(prepared[0].text == "Weiter?" && prepared[0].buttons == MessageButtons::YesNo);
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
        QtRemote::when_shown<QMessageBox>(
            [seen, row, owner = m_window.main_widget()](QMessageBox* box) {
                *seen << box->windowTitle() << box->text() << QString::number(box->icon())
                      << QString::number(box->defaultButton() == box->button(QMessageBox::Yes))
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
                                QString::number(row.shown), "1", "1"};
        expected << (row.buttons == yes_no ? QStringList{"Ja", "Nein"} : QStringList{"OK"});
        std::sort(seen->begin() + 5, seen->end());
        EXPECT_EQ(*seen, expected);
        EXPECT_TRUE(m_dialogs.asked().back().on_gui_thread);
    }
}

TEST_F(QtDialogsTest, FileDialogsStartInTheFolderWithTheFilter) {
    // Filters take Qt's form.
    for (const auto& [given, expected] : std::vector<std::pair<Text, QString>>{
             {kEspFilter, "ESP (*.esp)"},
             {"Plugins|*.esp", "Plugins (*.esp)"},
             {"Texte|*.txt;*.text", "Texte (*.txt *.text)"},
             {"ESP (*.esp)|*.esp|Alle|*", "ESP (*.esp);;Alle (*)"}}) {
        EXPECT_EQ(file_dialog_filter(given), expected) << given;
    }

    // Prepared names (nothing: cancelled) are recorded instead of shown, once each.
    m_dialogs.set_next_file_name(std::filesystem::path("/daten/neu.esp"));
    m_dialogs.set_next_file_name(std::nullopt);
    EXPECT_EQ(m_dialogs.open_file("ESP", "/daten/", kEspFilter),
              std::optional<std::filesystem::path>("/daten/neu.esp"));
    EXPECT_EQ(m_dialogs.save_file("ESP als", "/ablage/", kEspFilter), std::nullopt);
    const auto asked = m_dialogs.asked();
    ASSERT_EQ(asked.size(), std::size_t{2});
    EXPECT_TRUE(asked[0].file_dialog && !asked[0].save && asked[1].save);
    EXPECT_EQ(asked[0].folder, std::filesystem::path("/daten/"));

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

TEST_F(QtDialogsTest, HelpWithoutViewerOpensTheProgramsOwnPage) {
    QTemporaryDir program;
    const std::filesystem::path page = qstring_to_path(program.path()) / "help" / "index.html";
    ASSERT_TRUE(std::filesystem::create_directory(page.parent_path()));
    std::ofstream(page) << "<html><body><p>Ein Plugin \xC3\xB6"
                           "ffnen</p></body></html>";
    // No compiled help and no browser here: the program's own window shows its page.
    m_dialogs.show_help(qstring_to_path(program.filePath(QStringLiteral("Deu.chm"))));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return m_dialogs.help_browser() && m_dialogs.help_browser()->isVisible(); }));
    EXPECT_EQ(m_dialogs.help_browser()->source(), QUrl::fromLocalFile(path_to_qstring(page)));
    EXPECT_TRUE(m_dialogs.help_browser()->toPlainText().contains(QStringLiteral("Plugin öffnen")));
    m_dialogs.show_help(qstring_to_path(program.filePath(QStringLiteral("fehlt/Deu.chm"))));
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return m_dialogs.help_browser()->toPlainText().startsWith(QStringLiteral("Die Hilfe"));
    }));
}

} // namespace
} // namespace orv::test
