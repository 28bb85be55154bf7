#pragma once

#include <ostream>
#include <variant>

#include <QStringList>

#include "platform/Events.h"

// Readable failure messages for Qt's strings.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace orv::test {

// Keeps each of the window's events as a short line: "control 3 2" (control, ListEventType),
// "context 10 20", "column 5 1", "close 0", "resize 800 600 0".
class RecordingSink final : public EventSink {
public:
    void handle(const Event& event) override { m_lines << std::visit(Line{}, event); }
    QStringList take() { return std::exchange(m_lines, {}); }

private:
    struct Line {
        template <typename... Numbers>
        static QString line(const char* kind, Numbers... numbers) {
            QString text = QLatin1String(kind);
            ((text += QStringLiteral(" %1").arg(static_cast<int>(numbers))), ...);
            return text;
        }
        QString operator()(const MenuCommandEvent& e) { return line("menu", e.command); }
        QString operator()(const ControlEvent& e) { return line("control", e.control, e.type); }
        QString operator()(const CloseRequestEvent& e) { return line("close", e.window); }
        QString operator()(const ContextMenuEvent& e) { return line("context", e.x, e.y); }
        QString operator()(const ColumnClickEvent& e) {
            return line("column", e.control, e.column);
        }
        QString operator()(const ResizeEvent& e) {
            return line("resize", e.width, e.height, e.minimized);
        }
    };
    QStringList m_lines;
};

} // namespace orv::test
