#pragma once

#include <mutex>
#include <ostream>
#include <variant>

#include <QApplication>
#include <QMouseEvent>
#include <QStringList>
#include <QTimer>

#include "platform/Events.h"

// Readable failure messages for Qt's strings.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace orv::test {

// Receives the window's events and keeps each as a short line that a test can compare:
// "menu 1", "control 3 2" (control, ListEventType), "context 10 20", "column 5 1", "close 0",
// "resize 800 600 0".
class RecordingSink final : public EventSink {
public:
    void handle(const Event& event) override {
        const QString line = std::visit(
            [](const auto& e) {
                using Kind = std::decay_t<decltype(e)>;
                if constexpr (std::is_same_v<Kind, MenuCommandEvent>) {
                    return QStringLiteral("menu %1").arg(e.command);
                } else if constexpr (std::is_same_v<Kind, ControlEvent>) {
                    return QStringLiteral("control %1 %2").arg(e.control).arg(int(e.type));
                } else if constexpr (std::is_same_v<Kind, CloseRequestEvent>) {
                    return QStringLiteral("close %1").arg(int(e.window));
                } else if constexpr (std::is_same_v<Kind, ContextMenuEvent>) {
                    return QStringLiteral("context %1 %2").arg(e.x).arg(e.y);
                } else if constexpr (std::is_same_v<Kind, ColumnClickEvent>) {
                    return QStringLiteral("column %1 %2").arg(e.control).arg(e.column);
                } else {
                    return QStringLiteral("resize %1 %2 %3")
                        .arg(e.width)
                        .arg(e.height)
                        .arg(int(e.minimized));
                }
            },
            event);
        std::lock_guard lock(m_mutex);
        m_lines << line;
    }
    // The lines so far, cleared.
    QStringList take() {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_lines, {});
    }

private:
    std::mutex m_mutex;
    QStringList m_lines;
};

// Sends a mouse event as the window system delivers it to a widget.
inline void send_mouse(QWidget* target, QEvent::Type type, Qt::MouseButton button,
                       const QPoint& at) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// A click as the window system reports it; a double click is press, release, press,
// double click, release.
inline void click(QWidget* target, const QPoint& at, Qt::MouseButton button = Qt::LeftButton) {
    send_mouse(target, QEvent::MouseButtonPress, button, at);
    send_mouse(target, QEvent::MouseButtonRelease, button, at);
}

inline void double_click(QWidget* target, const QPoint& at) {
    click(target, at);
    send_mouse(target, QEvent::MouseButtonPress, Qt::LeftButton, at);
    send_mouse(target, QEvent::MouseButtonDblClick, Qt::LeftButton, at);
    send_mouse(target, QEvent::MouseButtonRelease, Qt::LeftButton, at);
}

// Runs `act` on the next modal dialog of type T once it shows. A modal dialog runs an
// event loop of its own, so the answer comes from a timer that this inner loop serves.
template <typename T, typename Act>
void when_shown(Act act) {
    auto* timer = new QTimer();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (T* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
}

} // namespace orv::test
