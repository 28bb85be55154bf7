#pragma once

// The window contract on the Qt backend, on Qt's offscreen platform: the real widgets,
// driven with mouse and key events.
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtWindow.h"
#include "qt/QtRemote.h"

namespace orv::test {

using BackendWindow = QtWindow;
using BackendDialogs = QtDialogs;
using BackendRemote = QtRemote;

} // namespace orv::test
