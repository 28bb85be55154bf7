#pragma once

// The window contract on the Qt backend, on Qt's offscreen platform: the real widgets,
// driven with mouse and key events.
#include <QApplication>
#include <QTest>

#include <map>

#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtRemote.h"
#include "platform/qt/QtWindow.h"

namespace orv::test {

// Keys go through Qt Test, whose key clicks also reach the window's shortcuts.
class BackendRemote final : public QtRemote {
public:
    using QtRemote::QtRemote;

    void press_key(int control, const std::string& key) {
        static const std::map<std::string, std::pair<Qt::Key, Qt::KeyboardModifiers>> keys = {
            {"Enter", {Qt::Key_Return, Qt::NoModifier}},
            {"F2", {Qt::Key_F2, Qt::NoModifier}},
            {"Escape", {Qt::Key_Escape, Qt::NoModifier}},
            {"Ctrl+F", {Qt::Key_F, Qt::ControlModifier}},
        };
        QWidget* target = widget(control);
        target->setFocus();
        const auto& [code, modifiers] = keys.at(key);
        QTest::keyClick(target, code, modifiers);
    }
    int focused_control() const {
        const QWidget* focus = QApplication::focusWidget();
        const QString name = focus != nullptr ? focus->objectName() : QString();
        return name.startsWith(QStringLiteral("control-")) ? name.mid(8).toInt() : 0;
    }
};

using BackendWindow = QtWindow;
using BackendDialogs = QtDialogs;

} // namespace orv::test
