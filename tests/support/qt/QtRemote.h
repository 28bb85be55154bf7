#pragma once

#include <QApplication>
#include <QPoint>
#include <QTimer>

#include "window/WindowRemote.h"

class QWidget;

namespace orv {

// The window driver on Qt: mouse and key events sent to the real widgets.
class QtRemote final : public WindowRemote {
public:
    using WindowRemote::WindowRemote;

    // Runs `act` on the next modal dialog of type T once it shows. A modal dialog runs an
    // event loop of its own, so the answer comes from a timer that this inner loop serves.
    template <typename T, typename Act>
    static void when_shown(Act act) {
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
    // A click as the window system reports it.
    static void click(QWidget* target, const QPoint& at, Qt::MouseButton button = Qt::LeftButton);
    // Sends one mouse event as the window system delivers it to a widget.
    static void send_mouse(QWidget* target, QEvent::Type type, Qt::MouseButton button,
                           const QPoint& at);

    // Control `control` of any of the program's windows.
    QWidget* widget(int control) const;
    // The main window or a pop-up, as the window system shows it; nullptr for a pop-up that
    // was never opened.
    QWidget* top(WindowId window) const;
};

} // namespace orv
