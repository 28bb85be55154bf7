#pragma once

// The window contract on the Qt backend, on Qt's offscreen platform: the real widgets,
// driven with mouse and key events.
#include <QApplication>
#include <QTest>

#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtWindow.h"
#include "qt/QtRemote.h"

namespace orv::test {

// Keys go through Qt Test, whose key clicks also reach the window's shortcuts.
class BackendRemote final : public QtRemote {
public:
    using QtRemote::QtRemote;

    // "Enter" is the main keyboard's Return key; the others ("F2", "Ctrl+F", "Alt+D") as Qt
    // reads them.
    void press_key(int control, const std::string& key) {
        QWidget* target = widget(control);
        target->setFocus();
        QTest::keySequence(target, QString::fromStdString(key == "Enter" ? "Return" : key));
    }
    // Which menu bar menu the key opened (then closed again), -1 for none.
    int menu_opened_by_key(int control, const std::string& key) {
        press_key(control, key);
        run_events();
        const int opened = open_menu();
        close_menus();
        return opened;
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
