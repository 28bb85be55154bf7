#include "qt/QtRemote.h"

#include <QAbstractButton>
#include <QAction>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QThread>

#include "platform/qt/ListView.h"
#include "platform/qt/QtText.h"
#include "platform/qt/QtWindow.h"

namespace orv {
namespace {

QString name_of(const char* kind, int number) {
    return QStringLiteral("%1-%2").arg(QLatin1String(kind)).arg(number);
}

// A closed pop-up is deleted later; until then the shown widget of a name counts.
QWidget* visible_child(QtWindow& window, const QString& name) {
    const QList<QWidget*> found = window.main_widget()->findChildren<QWidget*>(name);
    for (QWidget* candidate : found) {
        if (candidate->isVisible()) {
            return candidate;
        }
    }
    return found.isEmpty() ? nullptr : found.constFirst();
}

QWidget* control_of(QtWindow& window, int control) {
    return visible_child(window, name_of("control", control));
}

ListView* list_of(QtWindow& window, int control) {
    return static_cast<ListView*>(control_of(window, control));
}

QWidget* top_of(QtWindow& window, WindowId id) {
    return id == WindowId::Main ? window.main_widget()
                                : visible_child(window, name_of("popup", static_cast<int>(id)));
}

QList<QAction*> menu_bar_titles(QtWindow& window) {
    return static_cast<QMainWindow*>(window.main_widget())->menuBar()->actions();
}

QAction* menu_item(QtWindow& window, int command) {
    return window.main_widget()->findChild<QAction*>(name_of("menu", command));
}

// The program gives the main window one tab bar, whatever its number.
QTabWidget* tab_bar(QtWindow& window) {
    return window.main_widget()->findChild<QTabWidget*>();
}

std::vector<std::string> texts_of(const QList<QAction*>& actions) {
    std::vector<std::string> texts;
    for (const QAction* action : actions) {
        texts.push_back(action->isSeparator() ? "-" : action->text().toStdString());
    }
    return texts;
}

void send_key(QWidget* target, int key, const QString& text) {
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent event(type, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &event);
    }
}

// `act` on the next message box with its title and text.
template <typename Act>
void on_next_message_box(WindowRemote::Seen seen, Act act) {
    QtRemote::when_shown<QMessageBox>([seen, act](QMessageBox* box) {
        seen(box->windowTitle().toStdString(), box->text().toStdString());
        act(box);
    });
}

} // namespace

void WindowRemote::run_events() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
}

void WindowRemote::choose_menu(int command) {
    menu_item(m_window, command)->trigger();
}

void WindowRemote::select_tab(int page) {
    QTabBar* bar = tab_bar(m_window)->tabBar();
    QtRemote::click(bar, bar->tabRect(page).center());
}

void WindowRemote::click_row(int control, int row, ListEventType type) {
    ListView* view = list_of(m_window, control);
    const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
    QtRemote::click(view->viewport(), at,
                    type == ListEventType::RightClick ? Qt::RightButton : Qt::LeftButton);
    // A double click is press, release, press, double click, release.
    if (type == ListEventType::DoubleClick) {
        for (const QEvent::Type event :
             {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
            QtRemote::send_mouse(view->viewport(), event, Qt::LeftButton, at);
        }
    }
}

bool WindowRemote::right_click_opens_popup_menu(int control, int row) {
    click_row(control, row, ListEventType::RightClick);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    auto* menu = m_window.main_widget()->findChild<QMenu*>(QStringLiteral("popup-menu"));
    const bool opened = menu->isVisible();
    menu->hide();
    return opened;
}

void WindowRemote::click_header(int control, int column) {
    QHeaderView* header = list_of(m_window, control)->horizontalHeader();
    QtRemote::click(header->viewport(),
                    QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
}

void WindowRemote::type_text(int control, const std::string& text) {
    QWidget* field = control_of(m_window, control);
    field->setFocus();
    QMetaObject::invokeMethod(field, "selectAll");
    // The old text goes first, as with the Win32 driver: typing nothing empties the field.
    send_key(field, Qt::Key_Backspace, QString());
    for (const QChar typed : QString::fromStdString(text)) {
        if (typed == QLatin1Char('\r')) {
            send_key(field, Qt::Key_Return, QStringLiteral("\r"));
        } else {
            send_key(field, 0, typed);
        }
    }
}

void WindowRemote::press_button(int control) {
    QWidget* button = control_of(m_window, control);
    QtRemote::click(button, button->rect().center());
}

// Through Qt Test, whose key clicks also reach the window's shortcuts; "Enter" is the main
// keyboard's Return key.
void WindowRemote::press_key(int control, const std::string& key) {
    QWidget* target = control_of(m_window, control);
    target->setFocus();
    std::string sequence = key;
    if (sequence.ends_with("Enter")) {
        sequence.replace(sequence.size() - 5, 5, "Return");
    }
    QTest::keySequence(target, QString::fromStdString(sequence));
}

int WindowRemote::menu_opened_by_key(int control, const std::string& key,
                                     const std::function<bool()>& keep_open) {
    press_key(control, key);
    run_events();
    int opened = -1;
    const QList<QAction*> titles = menu_bar_titles(m_window);
    for (int menu = 0; menu < titles.size(); ++menu) {
        if (titles[menu]->menu() != nullptr && titles[menu]->menu()->isVisible()) {
            opened = menu;
        }
    }
    while (opened >= 0 && keep_open && keep_open()) {
        run_events();
    }
    for (QAction* title : titles) {
        if (title->menu() != nullptr) {
            title->menu()->hide();
        }
    }
    return opened;
}

int WindowRemote::focused_control() const {
    const QWidget* focus = QApplication::focusWidget();
    const QString name = focus != nullptr ? focus->objectName() : QString();
    return name.startsWith(QStringLiteral("control-")) ? name.mid(8).toInt() : 0;
}

void WindowRemote::close_window(WindowId window) {
    top_of(m_window, window)->close();
}

std::vector<std::string> WindowRemote::menu_titles() const {
    return texts_of(menu_bar_titles(m_window));
}

std::vector<std::string> WindowRemote::menu_items(int menu) const {
    return texts_of(m_window.main_widget()
                        ->findChild<QMenu*>(menu < 0 ? QStringLiteral("popup-menu")
                                                     : name_of("menu-title", menu))
                        ->actions());
}

bool WindowRemote::menu_enabled(int command) const {
    return menu_item(m_window, command)->isEnabled();
}

std::optional<std::pair<int, bool>> WindowRemote::sort_arrow(int control) const {
    const QHeaderView* header = list_of(m_window, control)->horizontalHeader();
    if (!header->isSortIndicatorShown() || header->sortIndicatorSection() < 0 ||
        header->sortIndicatorSection() >= header->count()) {
        return std::nullopt;
    }
    return std::pair(header->sortIndicatorSection(),
                     header->sortIndicatorOrder() == Qt::AscendingOrder);
}

RowColour WindowRemote::row_background(int control, int row, int column) const {
    ListView* view = list_of(m_window, control);
    const QRect cell = view->visualRect(view->model()->index(row, column));
    // Right of the cell's short text, inside its grid lines, as the view paints it.
    const QImage picture = view->viewport()->grab().toImage();
    const QPoint at = QPoint(cell.right() - 3, cell.center().y()) * picture.devicePixelRatio();
    const QColor colour = picture.pixelColor(at);
    return RowColour{colour.red(), colour.green(), colour.blue()};
}

std::string WindowRemote::status_text(int field) const {
    return m_window.main_widget()
        ->findChild<QLabel*>(name_of("status", field))
        ->text()
        .toStdString();
}

std::string WindowRemote::window_title(WindowId window) const {
    return top_of(m_window, window)->windowTitle().toStdString();
}

Rect WindowRemote::window_rect(WindowId window) const {
    const QWidget* shown = window_open(window) ? top_of(m_window, window) : nullptr;
    return shown != nullptr ? Rect{shown->x(), shown->y(), shown->width(), shown->height()}
                            : Rect{};
}

bool WindowRemote::window_open(WindowId window) const {
    const QWidget* shown = top_of(m_window, window);
    return shown != nullptr && shown->isVisible();
}

std::string WindowRemote::control_text(int control) const {
    const std::optional<Text> text = m_window.control_text(control);
    return text ? to_qstring(*text).toStdString() : "(nothing)";
}

std::vector<std::string> WindowRemote::marked_texts(int control) const {
    std::vector<std::string> texts;
    auto* box = static_cast<QTextEdit*>(control_of(m_window, control));
    for (const QTextEdit::ExtraSelection& selection : box->extraSelections()) {
        texts.push_back(selection.cursor.selectedText().toStdString());
    }
    return texts;
}

bool WindowRemote::control_enabled(int control) const {
    return control_of(m_window, control)->isEnabled();
}

std::vector<std::string> WindowRemote::column(int control, int column) const {
    const QAbstractItemModel* model = list_of(m_window, control)->model();
    std::vector<std::string> texts;
    for (int row = 0; row < model->rowCount(); ++row) {
        texts.push_back(model->index(row, column).data().toString().toStdString());
    }
    return texts;
}

std::vector<std::string> WindowRemote::headers(int control) const {
    const ListView* view = list_of(m_window, control);
    std::vector<std::string> titles;
    for (int column = 0; column < view->model()->columnCount(); ++column) {
        titles.push_back(QStringLiteral("%1/%2")
                             .arg(view->model()->headerData(column, Qt::Horizontal).toString())
                             .arg(view->horizontalHeader()->sectionSize(column))
                             .toStdString());
    }
    return titles;
}

std::vector<std::string> WindowRemote::tab_labels() const {
    const QTabWidget* tabs = tab_bar(m_window);
    std::vector<std::string> labels;
    for (int page = 0; page < tabs->count(); ++page) {
        labels.push_back(tabs->tabText(page).toStdString());
    }
    return labels;
}

int WindowRemote::current_tab() const {
    return tab_bar(m_window)->currentIndex();
}

void WindowRemote::answer_next_message_box(MessageAnswer answer, Seen seen) {
    on_next_message_box(std::move(seen), [answer](QMessageBox* box) {
        box->button(answer == MessageAnswer::Yes  ? QMessageBox::Yes
                    : answer == MessageAnswer::No ? QMessageBox::No
                                                  : QMessageBox::Ok)
            ->click();
    });
}

void WindowRemote::press_enter_on_next_message_box(Seen seen) {
    on_next_message_box(std::move(seen), [](QMessageBox* box) {
        // Where the keyboard is: the box gives its default button the focus.
        send_key(box->focusWidget() != nullptr ? box->focusWidget() : box, Qt::Key_Return,
                 QStringLiteral("\r"));
    });
}

void QtRemote::send_mouse(QWidget* target, QEvent::Type type, Qt::MouseButton button,
                          const QPoint& at) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), button, held,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

void QtRemote::click(QWidget* target, const QPoint& at, Qt::MouseButton button) {
    send_mouse(target, QEvent::MouseButtonPress, button, at);
    send_mouse(target, QEvent::MouseButtonRelease, button, at);
}

QWidget* QtRemote::widget(int control) const {
    return control_of(m_window, control);
}

QWidget* QtRemote::top(WindowId window) const {
    return top_of(m_window, window);
}

} // namespace orv
