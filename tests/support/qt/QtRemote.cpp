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
#include <QThread>

#include "platform/qt/ListView.h"
#include "platform/qt/QtText.h"
#include "platform/qt/QtWindow.h"

namespace orv {
namespace {

// A closed pop-up is deleted later; until then the shown widget of a name counts.
template <typename T>
T* visible_child(QWidget* parent, const QString& name) {
    const QList<T*> found = parent->findChildren<T*>(name);
    for (T* candidate : found) {
        if (candidate->isVisible()) {
            return candidate;
        }
    }
    return found.isEmpty() ? nullptr : found.constFirst();
}

QString name_of(const char* kind, int number) {
    return QStringLiteral("%1-%2").arg(QLatin1String(kind)).arg(number);
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

} // namespace

void QtRemote::run_events() {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QThread::msleep(1);
}

void QtRemote::choose_menu(int command) {
    main()->findChild<QAction*>(name_of("menu", command))->trigger();
}

void QtRemote::select_tab(int page) {
    QTabBar* bar = tab_bar()->tabBar();
    click(bar, bar->tabRect(page).center());
}

void QtRemote::click_row(int control, int row, ListEventType type) {
    auto* view = static_cast<ListView*>(widget(control));
    const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
    if (type == ListEventType::DoubleClick) {
        double_click(view->viewport(), at);
    } else {
        click(view->viewport(), at,
              type == ListEventType::RightClick ? Qt::RightButton : Qt::LeftButton);
    }
}

bool QtRemote::right_click_opens_popup_menu(int control, int row) {
    click_row(control, row, ListEventType::RightClick);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    auto* menu = main()->findChild<QMenu*>(QStringLiteral("popup-menu"));
    const bool opened = menu->isVisible();
    menu->hide();
    return opened;
}

void QtRemote::click_header(int control, int column) {
    QHeaderView* header = static_cast<ListView*>(widget(control))->horizontalHeader();
    click(header->viewport(),
          QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
}

void QtRemote::type_text(int control, const std::string& text) {
    QWidget* field = widget(control);
    field->setFocus();
    QMetaObject::invokeMethod(field, "selectAll");
    for (const QChar typed : QString::fromStdString(text)) {
        if (typed == QLatin1Char('\r')) {
            send_key(field, Qt::Key_Return, QStringLiteral("\r"));
        } else {
            send_key(field, 0, typed);
        }
    }
}

void QtRemote::press_button(int control) {
    QWidget* button = widget(control);
    click(button, button->rect().center());
}

void QtRemote::close_window(WindowId window) {
    top(window)->close();
}

std::vector<std::string> QtRemote::menu_titles() const {
    return texts_of(static_cast<QMainWindow*>(main())->menuBar()->actions());
}

std::vector<std::string> QtRemote::menu_items(int menu) const {
    return texts_of(main()
                        ->findChild<QMenu*>(menu < 0 ? QStringLiteral("popup-menu")
                                                     : name_of("menu-title", menu))
                        ->actions());
}

bool QtRemote::menu_enabled(int command) const {
    return main()->findChild<QAction*>(name_of("menu", command))->isEnabled();
}

int QtRemote::open_menu() const {
    const QList<QAction*> titles = static_cast<QMainWindow*>(main())->menuBar()->actions();
    for (int menu = 0; menu < titles.size(); ++menu) {
        if (titles[menu]->menu() != nullptr && titles[menu]->menu()->isVisible()) {
            return menu;
        }
    }
    return -1;
}

void QtRemote::close_menus() {
    for (QAction* title : static_cast<QMainWindow*>(main())->menuBar()->actions()) {
        if (title->menu() != nullptr) {
            title->menu()->hide();
        }
    }
}

std::optional<std::pair<int, bool>> QtRemote::sort_arrow(int control) const {
    const QHeaderView* header = static_cast<ListView*>(widget(control))->horizontalHeader();
    if (!header->isSortIndicatorShown() || header->sortIndicatorSection() < 0 ||
        header->sortIndicatorSection() >= header->count()) {
        return std::nullopt;
    }
    return std::pair(header->sortIndicatorSection(),
                     header->sortIndicatorOrder() == Qt::AscendingOrder);
}

RowColour QtRemote::row_background(int control, int row, int column) const {
    auto* view = static_cast<ListView*>(widget(control));
    const QRect cell = view->visualRect(view->model()->index(row, column));
    // Right of the cell's short text, inside its grid lines, as the view paints it.
    const QImage picture = view->viewport()->grab().toImage();
    const QPoint at = QPoint(cell.right() - 3, cell.center().y()) * picture.devicePixelRatio();
    const QColor colour = picture.pixelColor(at);
    return RowColour{colour.red(), colour.green(), colour.blue()};
}

std::string QtRemote::status_text(int field) const {
    return main()->findChild<QLabel*>(name_of("status", field))->text().toStdString();
}

std::string QtRemote::window_title(WindowId window) const {
    return top(window)->windowTitle().toStdString();
}

Rect QtRemote::window_rect(WindowId window) const {
    if (!window_open(window)) {
        return {};
    }
    const QWidget* shown = top(window);
    return {shown->x(), shown->y(), shown->width(), shown->height()};
}

bool QtRemote::window_open(WindowId window) const {
    return top(window) != nullptr && top(window)->isVisible();
}

std::string QtRemote::control_text(int control) const {
    const std::optional<Text> text = m_window.control_text(control);
    return text ? to_qstring(*text).toStdString() : "(nothing)";
}

bool QtRemote::control_enabled(int control) const {
    return widget(control)->isEnabled();
}

std::vector<std::string> QtRemote::column(int control, int column) const {
    const QAbstractItemModel* model = static_cast<ListView*>(widget(control))->model();
    std::vector<std::string> texts;
    for (int row = 0; row < model->rowCount(); ++row) {
        texts.push_back(model->index(row, column).data().toString().toStdString());
    }
    return texts;
}

std::vector<std::string> QtRemote::headers(int control) const {
    const auto* view = static_cast<ListView*>(widget(control));
    std::vector<std::string> titles;
    for (int column = 0; column < view->model()->columnCount(); ++column) {
        titles.push_back(QStringLiteral("%1/%2")
                             .arg(view->model()->headerData(column, Qt::Horizontal).toString())
                             .arg(view->horizontalHeader()->sectionSize(column))
                             .toStdString());
    }
    return titles;
}

std::vector<std::string> QtRemote::tab_labels() const {
    const auto* tabs = tab_bar();
    std::vector<std::string> labels;
    for (int page = 0; page < tabs->count(); ++page) {
        labels.push_back(tabs->tabText(page).toStdString());
    }
    return labels;
}

int QtRemote::current_tab() const {
    return tab_bar()->currentIndex();
}

void QtRemote::answer_next_message_box(
    MessageAnswer answer, std::function<void(std::string title, std::string text)> seen) {
    when_shown<QMessageBox>([answer, seen](QMessageBox* box) {
        seen(box->windowTitle().toStdString(), box->text().toStdString());
        box->button(answer == MessageAnswer::Yes  ? QMessageBox::Yes
                    : answer == MessageAnswer::No ? QMessageBox::No
                                                  : QMessageBox::Ok)
            ->click();
    });
}

void QtRemote::press_enter_on_next_message_box(
    std::function<void(std::string title, std::string text)> seen) {
    when_shown<QMessageBox>([seen](QMessageBox* box) {
        seen(box->windowTitle().toStdString(), box->text().toStdString());
        // Where the keyboard is: the box gives its default button the focus.
        QWidget* focus = box->focusWidget() != nullptr ? box->focusWidget() : box;
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
            QApplication::sendEvent(focus, &event);
        }
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

void QtRemote::double_click(QWidget* target, const QPoint& at) {
    click(target, at);
    send_mouse(target, QEvent::MouseButtonPress, Qt::LeftButton, at);
    send_mouse(target, QEvent::MouseButtonDblClick, Qt::LeftButton, at);
    send_mouse(target, QEvent::MouseButtonRelease, Qt::LeftButton, at);
}

// The program gives the main window one tab bar, whatever its number.
QTabWidget* QtRemote::tab_bar() const {
    return main()->findChild<QTabWidget*>();
}

QWidget* QtRemote::main() const {
    return m_window.main_widget();
}

QWidget* QtRemote::widget(int control) const {
    return visible_child<QWidget>(main(), name_of("control", control));
}

QWidget* QtRemote::top(WindowId window) const {
    return window == WindowId::Main
               ? main()
               : visible_child<QWidget>(main(), name_of("popup", static_cast<int>(window)));
}

} // namespace orv
