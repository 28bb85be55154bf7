#pragma once

#include <filesystem>
#include <optional>

#include <QString>

#include "platform/Text.h"
#include "platform/Window.h"

namespace orv {

// The edge between the program's Windows-1252 texts and Qt's Unicode strings. Nothing is
// replaced silently: a string that Windows-1252 cannot hold converts to nothing.
QString to_qstring(TextView text);
std::optional<Text> from_qstring(const QString& text);

// A message as the program writes it, with a lone CR (or CR LF) as line break.
QString message_to_qstring(TextView text);

// A tab, group box, check box or button text shown as written: Qt would take "&" for a
// mnemonic marker.
QString without_mnemonics(TextView text);

// A menu title or item as Qt takes it: "&" marks the mnemonic as in the program's texts, and
// the key name of the item's shortcut follows a tab, which a menu shows at the item's right.
QString menu_text(TextView text, MenuShortcut shortcut = MenuShortcut::None);

// Text box contents. The program keeps line breaks as CR LF; the box has one line break
// character. A lone CR or LF from a record also becomes a line break.
QString text_box_to_qstring(TextView text);
// The box's raw text (QTextDocument::toRawText, which keeps no-break spaces that
// toPlainText would turn into blanks) back to the program's form with CR LF.
std::optional<Text> text_box_from_qstring(const QString& raw);

// File system paths: Qt's file names are Unicode, the system's are bytes in the locale's
// encoding.
QString path_to_qstring(const std::filesystem::path& path);
std::filesystem::path qstring_to_path(const QString& path);

} // namespace orv
