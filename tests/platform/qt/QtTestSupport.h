#pragma once

#include <functional>
#include <mutex>
#include <variant>
#include <vector>

#include <QApplication>
#include <QMouseEvent>
#include <QStringList>
#include <QTimer>

#include "platform/Events.h"

namespace orv::test {

// Receives the window's events and keeps each as a short line that a test can compare:
// "menu 1", "control 3 double", "context 10 20", "column 5 1", "close 0", "resize 800 600".
class RecordingSink final : public EventSink {
public:
    void handle(const Event& event) override {
        {
            std::lock_guard lock(m_mutex);
            m_lines << describe(event);
        }
        if (reaction) {
            reaction(event);
        }
    }

    QStringList lines() const {
        std::lock_guard lock(m_mutex);
        return m_lines;
    }
    void clear() {
        std::lock_guard lock(m_mutex);
        m_lines.clear();
    }

    // Runs after each event is recorded, on the GUI thread.
    std::function<void(const Event&)> reaction;

    static QString describe(const Event& event) {
        return std::visit(
            [](const auto& concrete) -> QString {
                using Kind = std::decay_t<decltype(concrete)>;
                if constexpr (std::is_same_v<Kind, MenuCommandEvent>) {
                    return QStringLiteral("menu %1").arg(concrete.command);
                } else if constexpr (std::is_same_v<Kind, ControlEvent>) {
                    static const char* const types[] = {"other", "right", "double"};
                    return QStringLiteral("control %1 %2")
                        .arg(concrete.control)
                        .arg(QLatin1String(types[static_cast<int>(concrete.type)]));
                } else if constexpr (std::is_same_v<Kind, CloseRequestEvent>) {
                    return QStringLiteral("close %1").arg(static_cast<int>(concrete.window));
                } else if constexpr (std::is_same_v<Kind, ContextMenuEvent>) {
                    return QStringLiteral("context %1 %2").arg(concrete.x).arg(concrete.y);
                } else if constexpr (std::is_same_v<Kind, ColumnClickEvent>) {
                    return QStringLiteral("column %1 %2")
                        .arg(concrete.control)
                        .arg(concrete.column);
                } else {
                    return QStringLiteral("resize %1 %2%3")
                        .arg(concrete.width)
                        .arg(concrete.height)
                        .arg(concrete.minimized ? QStringLiteral(" minimized") : QString());
                }
            },
            event);
    }

private:
    mutable std::mutex m_mutex;
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

// The modal dialog of type T that is showing, or null.
template <typename T>
T* shown_dialog() {
    return qobject_cast<T*>(QApplication::activeModalWidget());
}

// Runs `act` on the next modal dialog of type T once it shows. A modal dialog runs an
// event loop of its own, inside whatever the test is waiting in, so the test's answer
// must come from a timer that this inner loop serves. `act` should note what it sees and
// then answer; the test checks the notes afterwards.
template <typename T, typename Act>
void when_shown(Act act) {
    auto* timer = new QTimer();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (T* dialog = shown_dialog<T>()) {
            timer->stop();
            timer->deleteLater();
            act(dialog);
        }
    });
    timer->start();
}

} // namespace orv::test
