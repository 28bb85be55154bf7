#include "platform/qt/QtText.h"

#include <QFile>

namespace orv {

QString to_qstring(TextView text) {
    const std::string utf8 = to_utf8(text);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::optional<Text> from_qstring(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return from_utf8(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

namespace {

// Every CR LF, lone CR and lone LF becomes one '\n'.
QString with_newlines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

} // namespace

QString message_to_qstring(TextView text) {
    return with_newlines(to_qstring(text));
}

QString without_mnemonics(TextView text) {
    QString shown = to_qstring(text);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return shown;
}

QString menu_text(TextView text, MenuShortcut shortcut) {
    QString shown = to_qstring(text);
    if (shortcut != MenuShortcut::None) {
        shown += QLatin1Char('\t') + to_qstring(shortcut_text(shortcut));
    }
    return shown;
}

QString text_box_to_qstring(TextView text) {
    return with_newlines(to_qstring(text));
}

std::optional<Text> text_box_from_qstring(const QString& raw) {
    QString text = raw;
    // QTextDocument separates paragraphs with U+2029 and soft lines with U+2028.
    text.replace(QChar(QChar::ParagraphSeparator), QLatin1Char('\n'));
    text.replace(QChar(QChar::LineSeparator), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return from_qstring(text);
}

QString path_to_qstring(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

std::filesystem::path qstring_to_path(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

} // namespace orv
