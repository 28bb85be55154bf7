#pragma once

#include <QObject>

#include "platform/WindowCalls.h"

namespace orv {

// The hand-over of window operations to Qt's GUI thread (see WindowCalls): queued calls run
// from Qt's event loop. Destroying it discards calls still queued.
class GuiThread final : public WindowCalls {
public:
    // Must be created on the GUI thread.
    GuiThread()
        : WindowCalls([this] {
              QMetaObject::invokeMethod(
                  &m_receiver, [this] { run_pending(); }, Qt::QueuedConnection);
          }) {}

private:
    QObject m_receiver;
};

} // namespace orv
