#include "platform/qt/QtDialogs.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTextBrowser>
#include <QUrl>

#include "platform/qt/ProgramIcon.h"
#include "platform/qt/QtText.h"
#include "platform/qt/QtWindow.h"

namespace orv {
namespace {

QMessageBox::Icon to_qt_icon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Stop:
        return QMessageBox::Critical;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Exclamation:
        return QMessageBox::Warning;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString file_dialog_filter(const Text& filter) {
    const QStringList parts = to_qstring(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& name = parts[i];
        QString pattern = parts[i + 1];
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the parentheses of the shown name.
        filters << (name.contains(QLatin1Char('(') + pattern + QLatin1Char(')'))
                        ? name
                        : name + QStringLiteral(" (") + pattern + QLatin1Char(')'));
    }
    if (parts.size() % 2 == 1 && !parts.last().isEmpty()) {
        filters << parts.last();
    }
    return filters.join(QStringLiteral(";;"));
}

QtDialogs::QtDialogs(QtWindow& window) : m_window(window) {}

QtDialogs::~QtDialogs() {
    delete m_help_browser;
}

void QtDialogs::record(Asked asked) {
    std::lock_guard lock(m_mutex);
    m_asked.push_back(std::move(asked));
}

MessageAnswer QtDialogs::message_box(const Text& title, const Text& text, MessageButtons buttons,
                                     MessageIcon icon) {
    return m_window.gui_thread().ask<MessageAnswer>(
        [this, title, text, buttons, icon] {
            Asked asked;
            asked.title = title;
            asked.text = text;
            asked.buttons = buttons;
            asked.icon = icon;
            asked.on_gui_thread = m_window.gui_thread().is_current();
            std::optional<MessageAnswer> prepared;
            {
                std::lock_guard lock(m_mutex);
                m_asked.push_back(asked);
                if (!m_next_answers.empty()) {
                    prepared = m_next_answers.front();
                    m_next_answers.pop_front();
                }
            }
            if (prepared) {
                return *prepared;
            }

            QMessageBox box(m_window.dialog_owner());
            box.setObjectName(QStringLiteral("message-box"));
            box.setWindowTitle(to_qstring(title));
            box.setTextFormat(Qt::PlainText);
            box.setText(message_to_qstring(text));
            box.setIcon(to_qt_icon(icon));
            if (buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoDefaultNo) {
                // The default button is the one Enter presses.
                box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
                box.setDefaultButton(buttons == MessageButtons::YesNo ? QMessageBox::Yes
                                                                      : QMessageBox::No);
            } else {
                box.setStandardButtons(QMessageBox::Ok);
            }
            box.exec();
            switch (box.standardButton(box.clickedButton())) {
            case QMessageBox::Ok:
                return MessageAnswer::Ok;
            case QMessageBox::Yes:
                return MessageAnswer::Yes;
            case QMessageBox::No:
                return MessageAnswer::No;
            default:
                return MessageAnswer::Closed;
            }
        },
        MessageAnswer::Closed);
}

std::optional<std::filesystem::path>
QtDialogs::open_file(const Text& title, const std::filesystem::path& folder, const Text& filter) {
    return file_dialog(false, title, folder, filter);
}

std::optional<std::filesystem::path>
QtDialogs::save_file(const Text& title, const std::filesystem::path& folder, const Text& filter) {
    return file_dialog(true, title, folder, filter);
}

std::optional<std::filesystem::path> QtDialogs::file_dialog(bool save, const Text& title,
                                                            const std::filesystem::path& folder,
                                                            const Text& filter) {
    using Answer = std::optional<std::filesystem::path>;
    return m_window.gui_thread().ask<Answer>(
        [this, save, title, folder, filter]() -> Answer {
            Asked asked;
            asked.file_dialog = true;
            asked.save = save;
            asked.title = title;
            asked.folder = folder;
            asked.filter = filter;
            asked.on_gui_thread = m_window.gui_thread().is_current();
            std::optional<Answer> prepared;
            {
                std::lock_guard lock(m_mutex);
                m_asked.push_back(asked);
                if (!m_next_file_names.empty()) {
                    prepared = m_next_file_names.front();
                    m_next_file_names.pop_front();
                }
            }
            if (prepared) {
                return *prepared;
            }

            // A folder that does not exist here (the configuration's first default is a
            // drive letter) starts the dialog in the user's home folder; Qt would otherwise
            // put the folder's text into the file name field.
            QString start = path_to_qstring(folder);
            if (!QFileInfo(start).isDir()) {
                start = QDir::homePath();
            }
            QFileDialog dialog(m_window.dialog_owner(), to_qstring(title), start,
                               file_dialog_filter(filter));
            dialog.setObjectName(QStringLiteral("file-dialog"));
            // Qt's own dialog on every desktop: it follows the options below everywhere and
            // speaks the loaded German translation.
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            // Saving over an existing file is never questioned here; the program asks its
            // own questions.
            dialog.setOption(QFileDialog::DontConfirmOverwrite);
            // A typed name need not exist yet, also when opening.
            dialog.setFileMode(QFileDialog::AnyFile);
            dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
            if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
                return std::nullopt;
            }
            return qstring_to_path(dialog.selectedFiles().constFirst());
        },
        std::nullopt);
}

void QtDialogs::show_help(const std::filesystem::path& page) {
    m_window.gui_thread().post([this, page = path_to_qstring(page)] {
        // The page in the desktop's browser, which the program does not wait for; where
        // there is none, in a small window of our own.
        const bool page_exists = QFileInfo::exists(page);
        if (page_exists && QDesktopServices::openUrl(QUrl::fromLocalFile(page))) {
            return;
        }
        if (m_help_browser == nullptr) {
            m_help_browser = new QTextBrowser();
            m_help_browser->setObjectName(QStringLiteral("help-browser"));
            m_help_browser->setWindowTitle(QStringLiteral("ORVENTAL – Hilfe"));
            m_help_browser->setWindowIcon(program_icon());
            m_help_browser->setOpenExternalLinks(true);
            m_help_browser->resize(720, 560);
        }
        if (page_exists) {
            m_help_browser->setSource(QUrl::fromLocalFile(page));
        } else {
            m_help_browser->setPlainText(QStringLiteral("Die Hilfe wurde nicht gefunden: ") + page);
        }
        m_help_browser->show();
        m_help_browser->raise();
        m_help_browser->activateWindow();
    });
}

void QtDialogs::set_next_answer(MessageAnswer answer) {
    std::lock_guard lock(m_mutex);
    m_next_answers.push_back(answer);
}

void QtDialogs::set_next_file_name(std::optional<std::filesystem::path> path) {
    std::lock_guard lock(m_mutex);
    m_next_file_names.push_back(std::move(path));
}

std::vector<QtDialogs::Asked> QtDialogs::asked() const {
    std::lock_guard lock(m_mutex);
    return m_asked;
}

} // namespace orv
