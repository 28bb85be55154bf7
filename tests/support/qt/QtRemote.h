#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QApplication>
#include <QPoint>
#include <QTimer>

#include "platform/Dialogs.h"
#include "platform/Events.h"
#include "platform/ListRowRules.h"

class QTabWidget;
class QWidget;

namespace orv {

class QtWindow;

// Drives the windows of a QtWindow with the input a user's actions produce (menu commands,
// mouse clicks, typed keys) and reads the controls' state back from the widgets, with the
// same calls as the Win32 backend's remote. Texts are UTF-8, as shown; menu texts as the
// window system holds them: "&" before the underlined letter, "&&" for a shown "&", and the
// shortcut's key name after a tab. For the tests and the screenshot program, on the GUI
// thread.
class QtRemote {
public:
    explicit QtRemote(QtWindow& window) : m_window(window) {}

    // Handles the GUI thread's pending events.
    void run_events();
    void choose_menu(int command);
    void select_tab(int page);
    // Clicks the row's first cell as the mouse does.
    void click_row(int control, int row, ListEventType type);
    // Whether a right click on the row opened the popup menu (which is then closed).
    bool right_click_opens_popup_menu(int control, int row);
    void click_header(int control, int column);
    // Replaces the text of an edit field or text box by typing `text` ("\r" is Enter).
    void type_text(int control, const std::string& text);
    void press_button(int control);
    void close_window(WindowId window);

    std::vector<std::string> menu_titles() const;
    // The items of menu bar menu `menu` ("-" for a separator), or of the popup menu for -1.
    std::vector<std::string> menu_items(int menu) const;
    bool menu_enabled(int command) const;
    // The menu bar menu that is open (0 for the first), or -1 when none is.
    int open_menu() const;
    // Closes the open menus.
    void close_menus();
    // The column whose header shows the sort arrow, and whether it points up (ascending);
    // nothing when no column shows one.
    std::optional<std::pair<int, bool>> sort_arrow(int control) const;
    // The colour the list view paints behind the row's cell in `column`, beside its text.
    RowColour row_background(int control, int row, int column) const;
    std::string status_text(int field) const;
    std::string window_title(WindowId window) const;
    // The inner size; empty when the window is not open.
    Rect window_rect(WindowId window) const;
    bool window_open(WindowId window) const;
    // "(nothing)" when the control has no text the program could read.
    std::string control_text(int control) const;
    bool control_enabled(int control) const;
    std::vector<std::string> column(int control, int column) const;
    // Column titles and widths, "ID/200".
    std::vector<std::string> headers(int control) const;
    std::vector<std::string> tab_labels() const;
    int current_tab() const;

    // Answers the next message box once it shows: `seen` gets its title and text, then
    // `answer` is pressed.
    static void
    answer_next_message_box(MessageAnswer answer,
                            std::function<void(std::string title, std::string text)> seen);
    // The same, answered with the Enter key: the box's default button.
    static void
    press_enter_on_next_message_box(std::function<void(std::string title, std::string text)> seen);
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
    // A click as the window system reports it; a double click is press, release, press,
    // double click, release.
    static void click(QWidget* target, const QPoint& at, Qt::MouseButton button = Qt::LeftButton);
    static void double_click(QWidget* target, const QPoint& at);
    // Sends one mouse event as the window system delivers it to a widget.
    static void send_mouse(QWidget* target, QEvent::Type type, Qt::MouseButton button,
                           const QPoint& at);

    // Control `control` of any of the program's windows.
    QWidget* widget(int control) const;
    // The main window or a pop-up, as the window system shows it; nullptr for a pop-up that
    // was never opened.
    QWidget* top(WindowId window) const;

private:
    QWidget* main() const;
    QTabWidget* tab_bar() const;

    QtWindow& m_window;
};

} // namespace orv
