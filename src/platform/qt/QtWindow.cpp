#include "platform/qt/QtWindow.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "platform/qt/ListView.h"
#include "platform/qt/ProgramIcon.h"
#include "platform/qt/QtText.h"

namespace orv {

namespace {

// The text boxes hold at most this many characters, typed or set.
constexpr int kTextBoxLimit = 65536;
constexpr int kSpringBackMilliseconds = 100;

QString object_name(const char* kind, int number) {
    return QStringLiteral("%1-%2").arg(QLatin1String(kind)).arg(number);
}

// A rect as Qt takes it. Negative sizes (a window made very small) become empty.
QRect to_qrect(const Rect& rect) {
    return QRect(rect.left, rect.top, std::max(rect.width, 0), std::max(rect.height, 0));
}

// The system's button-face colour as the background, as dialog-like windows have it.
void fill_with_button_face(QWidget& widget) {
    QPalette colours = widget.palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Button));
    widget.setPalette(colours);
    widget.setAutoFillBackground(true);
}

// The program's coordinates were made for a smaller system font than most desktops use. A
// label whose text would be cut keeps its place, but a right-aligned one may use the room to
// its left (up to its window's edge), and what still does not fit gets a smaller font.
void fit_label(QLabel& label, const QRect& requested, bool right_aligned) {
    QFont font = label.parentWidget() != nullptr ? label.parentWidget()->font() : QFont();
    const auto needed = [&label](const QFont& candidate) {
        return QFontMetrics(candidate).horizontalAdvance(label.text()) + 2;
    };
    QRect rect = requested;
    if (right_aligned && needed(font) > rect.width()) {
        rect.setLeft(std::max(0, rect.right() + 1 - needed(font)));
    }
    constexpr qreal kSmallestPoints = 6.0;
    while (needed(font) > rect.width() && font.pointSizeF() - 0.5 >= kSmallestPoints) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
    }
    label.setFont(font);
    label.setGeometry(rect);
}

// A check box keeps its place too and shows its whole text beside the box: a smaller font
// where the text would be cut.
void fit_check_box(QCheckBox& box, const QRect& requested) {
    QFont font = box.parentWidget() != nullptr ? box.parentWidget()->font() : QFont();
    constexpr qreal kSmallestPoints = 6.0;
    box.setFont(font);
    while (box.sizeHint().width() > requested.width() &&
           font.pointSizeF() - 0.5 >= kSmallestPoints) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        box.setFont(font);
    }
    box.setGeometry(requested);
}

QKeySequence shortcut_key(MenuShortcut shortcut) {
    switch (shortcut) {
    case MenuShortcut::CtrlO:
        return QKeySequence(Qt::CTRL | Qt::Key_O);
    case MenuShortcut::CtrlS:
        return QKeySequence(Qt::CTRL | Qt::Key_S);
    case MenuShortcut::F1:
        return QKeySequence(Qt::Key_F1);
    case MenuShortcut::None:
        break;
    }
    return {};
}

void cut_to_limit(QTextEdit& box) {
    QTextDocument* document = box.document();
    // characterCount() includes the paragraph separator that ends every document.
    if (document->characterCount() - 1 <= kTextBoxLimit) {
        return;
    }
    QTextCursor cursor(document);
    cursor.setPosition(kTextBoxLimit);
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

} // namespace

// The main window. Its close box asks the program (which may refuse to quit), and its
// size follows the configuration: the user can minimise and maximise it, but dragging an
// edge in the normal state springs back to the configured size, as the window has no
// sizing border.
class MainFrame final : public QMainWindow {
public:
    std::function<void()> on_close;
    std::function<void(const QPoint&)> on_context_menu;
    std::function<void()> on_size_change;
    QSize configured_size;

protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        if (on_close) {
            on_close();
        }
    }
    void contextMenuEvent(QContextMenuEvent* event) override {
        event->accept();
        if (on_context_menu) {
            on_context_menu(event->globalPos());
        }
    }
    void resizeEvent(QResizeEvent* event) override {
        QMainWindow::resizeEvent(event);
        if (windowState() == Qt::WindowNoState && configured_size.isValid() &&
            size() != configured_size) {
            // A little later, not at once: a window manager that maximises the window may
            // report the new size before the new state.
            QTimer::singleShot(kSpringBackMilliseconds, this, [this] {
                if (windowState() == Qt::WindowNoState) {
                    resize(configured_size);
                }
            });
        }
        if (on_size_change) {
            on_size_change();
        }
    }
    void changeEvent(QEvent* event) override {
        QMainWindow::changeEvent(event);
        if (event->type() == QEvent::WindowStateChange && on_size_change) {
            on_size_change();
        }
    }
};

// The inner area under the menu bar: the controls lie on it at the program's coordinates,
// and the status fields sit on its bottom edge above them.
class ClientArea final : public QWidget {
public:
    using QWidget::QWidget;
    std::function<void()> on_resize;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (on_resize) {
            on_resize();
        }
    }
};

// A pop-up window owned by the main window. Its close box is a request to the program.
class PopupFrame final : public QWidget {
public:
    explicit PopupFrame(QWidget* owner) : QWidget(owner, Qt::Window) {}
    std::function<void()> on_close;
    std::function<void()> on_enter;

protected:
    // Keys its controls leave alone: Escape is the close box, Enter the default button.
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape && on_close) {
            on_close();
        } else if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && on_enter) {
            on_enter();
        } else {
            QWidget::keyPressEvent(event);
        }
    }
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        if (on_close) {
            on_close();
        }
    }
};

// Ctrl+Enter in a text box: reported as the store key instead of starting a new line, which
// Enter alone does.
class StoreKeyFilter final : public QObject {
public:
    StoreKeyFilter(QObject* box, std::function<void()> pressed)
        : QObject(box), m_pressed(std::move(pressed)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return false;
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            !key->modifiers().testFlag(Qt::ControlModifier)) {
            return false;
        }
        m_pressed();
        return true;
    }

private:
    std::function<void()> m_pressed;
};

// While a pop-up is open, a click anywhere on the main window (its lists, tabs, menu bar)
// is refused visibly: the pop-up comes to the front instead, so that it can never be lost
// behind the window it belongs to. The main window's close box stays with the program.
class PopupGuard final : public QObject {
public:
    PopupGuard(QWidget* main, std::function<QWidget*()> open_popup)
        : QObject(main), m_main(main), m_open_popup(std::move(open_popup)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::ContextMenu:
            break;
        default:
            return false;
        }
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (widget == nullptr || widget->window() != m_main) {
            return false;
        }
        QWidget* popup = m_open_popup();
        if (popup == nullptr) {
            return false;
        }
        popup->raise();
        popup->activateWindow();
        return true;
    }

private:
    QWidget* m_main;
    std::function<QWidget*()> m_open_popup;
};

QtWindow::QtWindow() {
    m_status_timer.setSingleShot(true);
    QObject::connect(&m_status_timer, &QTimer::timeout, [this] { flush_status(); });
}

QtWindow::~QtWindow() {
    m_gui.close();
    m_status_timer.stop();
    // The pop-ups and controls are children of the main window and go with it.
    m_main.reset();
}

void QtWindow::connect_events(EventSink& sink, std::function<bool()> quit_requested) {
    m_sink = &sink;
    m_quit_requested = std::move(quit_requested);
}

void QtWindow::deliver(const Event& event) {
    if (m_sink == nullptr || m_quitting || m_gui.closed()) {
        return;
    }
    m_sink->handle(event);
    if (m_quit_requested && m_quit_requested()) {
        m_quitting = true;
        QCoreApplication::exit(0);
    }
}

void QtWindow::show() {
    m_gui.post([this] {
        if (m_main) {
            m_main->show();
            m_main->activateWindow();
        }
    });
}

void QtWindow::close() {
    m_gui.close();
    m_status_timer.stop();
    for (auto& [window, popup] : m_popups) {
        popup->hide();
    }
    if (m_main) {
        m_main->hide();
    }
}

QWidget* QtWindow::main_widget() const {
    return m_main.get();
}

QWidget* QtWindow::dialog_owner() const {
    QWidget* active = QApplication::activeWindow();
    if (active != nullptr) {
        if (active == m_main.get()) {
            return active;
        }
        for (const auto& [window, popup] : m_popups) {
            if (popup == active) {
                return active;
            }
        }
    }
    return m_main.get();
}

void QtWindow::create_main_window(const Text& title, int inner_width, int inner_height) {
    m_gui.post([this, title, inner_width, inner_height] {
        m_main = std::make_unique<MainFrame>();
        MainFrame& main = *m_main;
        main.setObjectName(QStringLiteral("main-window"));
        main.setWindowTitle(to_qstring(title));
        main.setWindowIcon(program_icon());
        main.setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                            Qt::WindowCloseButtonHint);
        // The inner size includes the menu bar, as a QMainWindow's size does.
        const QSize size(std::max(inner_width, 1), std::max(inner_height, 1));
        main.configured_size = size;
        main.setMinimumSize(size);
        main.resize(size);
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect free = screen->availableGeometry();
            main.move(free.center() - QPoint(size.width() / 2, size.height() / 2));
        }
        main.on_close = [this] { deliver(CloseRequestEvent{WindowId::Main}); };
        main.on_context_menu = [this](const QPoint& at) {
            deliver(ContextMenuEvent{at.x(), at.y()});
        };
        main.on_size_change = [this] { report_size(); };
        auto* find = new QShortcut(QKeySequence::Find, &main);
        QObject::connect(find, &QShortcut::activated, &main,
                         [this] { focus_search_field(WindowId::Main); });
        // A child of the main window: it goes, and stops filtering, with it.
        qApp->installEventFilter(new PopupGuard(&main, [this]() -> QWidget* {
            return m_popups.empty() ? nullptr : m_popups.begin()->second;
        }));
        m_size_report.set_initial(ResizeEvent{size.width(), size.height(), false});

        m_client = new ClientArea(&main);
        m_client->setObjectName(QStringLiteral("client-area"));
        fill_with_button_face(*m_client);
        m_client->on_resize = [this] { place_status_bar(); };
        main.setCentralWidget(m_client);
        fill_with_button_face(main);
    });
}

void QtWindow::report_size() {
    if (!m_main) {
        return;
    }
    // H is the inner height with the menu bar, which a QMainWindow's height already is.
    if (const auto changed = m_size_report.changed(
            ResizeEvent{m_main->width(), m_main->height(), m_main->isMinimized()})) {
        deliver(*changed);
    }
}

void QtWindow::set_menus(const std::vector<Menu>& menu_bar, const std::vector<MenuItem>& popup) {
    m_gui.post([this, menu_bar, popup] {
        if (!m_main) {
            return;
        }
        QMenuBar* bar = m_main->menuBar();
        bar->clear();
        m_actions.clear();
        delete m_popup_menu;
        const auto fill = [this](QMenu& menu, const std::vector<MenuItem>& items) {
            for (const MenuItem& item : items) {
                if (item.command == kMenuSeparator) {
                    menu.addSeparator();
                    continue;
                }
                QAction* action = menu.addAction(menu_text(item.text, item.shortcut));
                action->setObjectName(object_name("menu", item.command));
                // The key works wherever the main window has the focus, and not while the
                // item is greyed (a disabled action's key does nothing).
                action->setShortcut(shortcut_key(item.shortcut));
                action->setShortcutContext(Qt::WindowShortcut);
                const int command = item.command;
                QObject::connect(action, &QAction::triggered,
                                 [this, command] { deliver(MenuCommandEvent{command}); });
                m_actions.emplace(command, action);
            }
        };
        int index = 0;
        for (const Menu& menu : menu_bar) {
            QMenu* shown = bar->addMenu(menu_text(menu.title));
            shown->setObjectName(object_name("menu-title", index++));
            fill(*shown, menu.items);
        }
        m_popup_menu = new QMenu(m_main.get());
        m_popup_menu->setObjectName(QStringLiteral("popup-menu"));
        fill(*m_popup_menu, popup);
    });
}

void QtWindow::set_menu_item_enabled(int command, bool enabled) {
    m_gui.post([this, command, enabled] {
        const auto [first, last] = m_actions.equal_range(command);
        for (auto it = first; it != last; ++it) {
            it->second->setEnabled(enabled);
        }
    });
}

void QtWindow::create_status_bar(int field0_width, int field1_width) {
    m_gui.post([this, field0_width, field1_width] {
        if (m_client == nullptr) {
            return;
        }
        delete m_status_bar;
        m_status_bar = new QWidget(m_client);
        m_status_bar->setObjectName(QStringLiteral("status-bar"));
        fill_with_button_face(*m_status_bar);
        const int height = m_status_bar->fontMetrics().height() + 8;
        int left = 0;
        const std::array<int, 2> widths = {std::max(field0_width, 0), std::max(field1_width, 0)};
        for (std::size_t field = 0; field < widths.size(); ++field) {
            auto* label = new QLabel(m_status_bar);
            label->setObjectName(object_name("status", static_cast<int>(field)));
            label->setTextFormat(Qt::PlainText);
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            label->setIndent(3);
            // The widths are fixed at start-up and do not follow later size changes.
            label->setGeometry(left, 2, widths[field], height - 2);
            left += widths[field];
            m_status_fields[field] = label;
        }
        m_status_bar->resize(m_client->width(), height);
        place_status_bar();
        m_status_bar->show();
    });
}

void QtWindow::place_status_bar() {
    if (m_status_bar == nullptr || m_client == nullptr) {
        return;
    }
    // Fitted to the window's width, on the bottom edge, over the controls.
    const int height = m_status_bar->height();
    m_status_bar->setGeometry(0, m_client->height() - height, m_client->width(), height);
    m_status_bar->raise();
}

void QtWindow::set_status_text(int field, const Text& text) {
    // One hand-over at a time, however many texts arrive meanwhile.
    if (m_status_throttle.set(field, text)) {
        m_gui.post([this] {
            const auto wait = m_status_throttle.delay(StatusThrottle::Clock::now());
            if (wait.count() == 0) {
                flush_status();
            } else if (!m_status_timer.isActive()) {
                m_status_timer.start(static_cast<int>(wait.count()));
            }
        });
    }
}

void QtWindow::flush_status() {
    m_status_timer.stop();
    const auto texts = m_status_throttle.take(StatusThrottle::Clock::now());
    for (std::size_t field = 0; field < texts.size(); ++field) {
        if (texts[field] && m_status_fields[field] != nullptr) {
            m_status_fields[field]->setText(to_qstring(*texts[field]));
        }
    }
}

void QtWindow::add_tab_page(const Text& label) {
    m_gui.post([this, label] {
        if (m_tabs == nullptr) {
            return;
        }
        auto* page = new QWidget();
        page->setObjectName(object_name("tab-page", static_cast<int>(m_pages.size())));
        m_tabs->addTab(page, without_mnemonics(label));
        m_pages.push_back(page);
    });
}

void QtWindow::select_tab_page(int page) {
    m_gui.post([this, page] {
        if (m_tabs != nullptr) {
            m_tabs->setCurrentIndex(page);
        }
    });
}

Rect QtWindow::main_window_rect() {
    return m_gui.ask<Rect>(
        [this] {
            if (!m_main) {
                return Rect{};
            }
            const QRect frame = m_main->frameGeometry();
            return Rect{frame.x(), frame.y(), frame.width(), frame.height()};
        },
        Rect{});
}

void QtWindow::activate_main_window() {
    m_gui.post([this] {
        if (m_main) {
            m_main->activateWindow();
        }
    });
}

void QtWindow::show_popup_menu(int x, int y) {
    m_gui.post([this, x, y] {
        // One request, one menu: a menu already open is not opened again.
        if (m_popup_menu != nullptr && !m_popup_menu->isVisible()) {
            m_popup_menu->popup(QPoint(x, y));
        }
    });
}

void QtWindow::open_popup(WindowId window, const Text& title, const Rect& rect) {
    m_gui.post([this, window, title, rect] {
        if (!m_main || m_popups.count(window) != 0) {
            return;
        }
        // Owned by the main window, so the window system keeps it above that window.
        auto* popup = new PopupFrame(m_main.get());
        popup->setObjectName(object_name("popup", static_cast<int>(window)));
        popup->setWindowTitle(to_qstring(title));
        fill_with_button_face(*popup);
        // The position is the frame's, the size the inner area's, so that no control at
        // the program's coordinates falls under the window's border.
        popup->move(rect.left, rect.top);
        popup->setFixedSize(std::max(rect.width, 1), std::max(rect.height, 1));
        popup->on_close = [this, window] { deliver(CloseRequestEvent{window}); };
        popup->on_enter = [this, window] { press_default_button(window); };
        auto* find = new QShortcut(QKeySequence::Find, popup);
        QObject::connect(find, &QShortcut::activated, popup,
                         [this, window] { focus_search_field(window); });
        m_popups[window] = popup;
        popup->show();
        popup->activateWindow();
    });
}

void QtWindow::close_popup(WindowId window) {
    m_gui.post([this, window] {
        const auto found = m_popups.find(window);
        if (found == m_popups.end()) {
            return;
        }
        for (auto it = m_controls.begin(); it != m_controls.end();) {
            it = it->second.window == window ? m_controls.erase(it) : std::next(it);
        }
        PopupFrame* popup = found->second;
        m_popups.erase(found);
        popup->hide();
        // Later, not now: this may run inside a click handler of one of its buttons.
        popup->deleteLater();
    });
}

QWidget* QtWindow::parent_for(WindowId window, const ControlSpec& definition) const {
    if (window == WindowId::Main) {
        if (definition.kind == ControlKind::ListView && definition.tab_page >= 0 &&
            static_cast<std::size_t>(definition.tab_page) < m_pages.size()) {
            return m_pages[static_cast<std::size_t>(definition.tab_page)];
        }
        return m_client;
    }
    const auto found = m_popups.find(window);
    return found == m_popups.end() ? nullptr : found->second;
}

QWidget* QtWindow::create_control_widget(const ControlSpec& definition, QWidget* parent,
                                         WindowId window) {
    const int number = definition.number;
    switch (definition.kind) {
    case ControlKind::GroupBox:
        return new QGroupBox(without_mnemonics(definition.text), parent);
    case ControlKind::TabBar: {
        auto* tabs = new QTabWidget(parent);
        tabs->setUsesScrollButtons(true);
        tabs->setElideMode(Qt::ElideNone);
        tabs->setDocumentMode(false);
        m_tabs = tabs;
        m_pages.clear();
        return tabs;
    }
    case ControlKind::ListView: {
        auto* view = new ListView(
            number, definition.columns,
            window == WindowId::Main ? ListView::Placement::MainWindow
                                     : ListView::Placement::PopupWindow,
            [this](const Event& event) { deliver(event); }, parent);
        if (definition.pick_keys) {
            // Window shortcuts: they work wherever the focus is in the view's window, and go
            // with the view.
            for (int row = 0; row < 9; ++row) {
                auto* key =
                    new QShortcut(QKeySequence(QKeyCombination(
                                      Qt::AltModifier, static_cast<Qt::Key>(Qt::Key_1 + row))),
                                  view);
                key->setContext(Qt::WindowShortcut);
                QObject::connect(key, &QShortcut::activated, [this, number, row] {
                    deliver(ControlEvent{number, ListEventType::PickKey, row});
                });
            }
        }
        return view;
    }
    case ControlKind::Label:
    case ControlKind::RightAlignedLabel: {
        auto* label = new QLabel(to_qstring(definition.text), parent);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(
            (definition.kind == ControlKind::Label ? Qt::AlignLeft : Qt::AlignRight) |
            Qt::AlignTop);
        // Room above the first line: the dots of a capital umlaut ("Übersetzung") rise above
        // the font's ascent and were cut off at the label's top edge.
        label->setContentsMargins(0, 2, 0, 0);
        return label;
    }
    case ControlKind::EditField:
        return new QLineEdit(to_qstring(definition.text), parent);
    case ControlKind::ReadOnlyEditField: {
        auto* field = new QLineEdit(to_qstring(definition.text), parent);
        field->setReadOnly(true);
        return field;
    }
    case ControlKind::SearchField: {
        auto* field = new QLineEdit(to_qstring(definition.text), parent);
        field->setClearButtonEnabled(true);
        field->setPlaceholderText(QStringLiteral("Strg+F"));
        QObject::connect(field, &QLineEdit::textChanged, [this, number] {
            deliver(ControlEvent{number, ListEventType::Other});
        });
        return field;
    }
    case ControlKind::CheckBox: {
        auto* box = new QCheckBox(without_mnemonics(definition.text), parent);
        QObject::connect(box, &QCheckBox::clicked, [this, number] {
            deliver(ControlEvent{number, ListEventType::Other});
        });
        return box;
    }
    case ControlKind::Button: {
        auto* button = new QPushButton(without_mnemonics(definition.text), parent);
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, [this, number] {
            deliver(ControlEvent{number, ListEventType::Other});
        });
        return button;
    }
    case ControlKind::TextBox:
    case ControlKind::ReadOnlyTextBox: {
        auto* box = new QTextEdit(parent);
        box->setAcceptRichText(false);
        box->setReadOnly(definition.kind == ControlKind::ReadOnlyTextBox);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setLineWrapMode(QTextEdit::WidgetWidth);
        box->setFont(QFont(QStringLiteral("Arial"), 10));
        box->setPlainText(text_box_to_qstring(definition.text).left(kTextBoxLimit));
        // Only the user's changes arrive here: the program's own are made with the box's
        // signals blocked (set_control_text).
        const bool reports = definition.kind == ControlKind::TextBox;
        QObject::connect(box, &QTextEdit::textChanged, box, [this, box, number, reports] {
            {
                // Cutting a paste to the limit belongs to the same change.
                const QSignalBlocker quiet(box);
                cut_to_limit(*box);
            }
            if (reports) {
                deliver(ControlEvent{number, ListEventType::Other});
            }
        });
        if (reports) {
            box->installEventFilter(new StoreKeyFilter(box, [this, number] {
                deliver(ControlEvent{number, ListEventType::StoreKey});
            }));
        }
        return box;
    }
    }
    return nullptr;
}

void QtWindow::add_control(WindowId window, const ControlSpec& control) {
    m_gui.post([this, window, control] {
        QWidget* parent = parent_for(window, control);
        if (parent == nullptr) {
            return;
        }
        remove_control(control.number);
        QWidget* widget = create_control_widget(control, parent, window);
        if (widget == nullptr) {
            return;
        }
        widget->setObjectName(object_name("control", control.number));
        const Control& added = m_controls[control.number] = Control{
            window, control.kind, widget,
            control.kind == ControlKind::ListView ? static_cast<ListView*>(widget) : nullptr,
            control.rect};
        place(added);
        widget->show();
        if (window == WindowId::Main && m_status_bar != nullptr) {
            m_status_bar->raise();
        }
    });
}

void QtWindow::remove_control(int number) {
    const auto found = m_controls.find(number);
    if (found == m_controls.end()) {
        return;
    }
    if (found->second.widget == m_tabs) {
        m_tabs = nullptr;
        m_pages.clear();
    }
    found->second.widget->deleteLater();
    m_controls.erase(found);
}

const QtWindow::Control* QtWindow::find(int number) const {
    const auto found = m_controls.find(number);
    return found == m_controls.end() ? nullptr : &found->second;
}

ListView* QtWindow::find_list(int number) const {
    const Control* control = find(number);
    return control != nullptr ? control->list : nullptr;
}

void QtWindow::place(const Control& control) {
    if (control.kind == ControlKind::Label || control.kind == ControlKind::RightAlignedLabel) {
        fit_label(*static_cast<QLabel*>(control.widget), to_qrect(control.rect),
                  control.kind == ControlKind::RightAlignedLabel);
    } else if (control.kind == ControlKind::CheckBox) {
        fit_check_box(*static_cast<QCheckBox*>(control.widget), to_qrect(control.rect));
    } else {
        control.widget->setGeometry(to_qrect(control.rect));
    }
}

void QtWindow::move_control(int control, const Rect& rect) {
    m_gui.post([this, control, rect] {
        const auto found = m_controls.find(control);
        if (found != m_controls.end()) {
            found->second.rect = rect;
            place(found->second);
        }
    });
}

void QtWindow::set_control_enabled(int control, bool enabled) {
    m_gui.post([this, control, enabled] {
        if (const Control* found = find(control)) {
            found->widget->setEnabled(enabled);
        }
    });
}

void QtWindow::set_control_text(int control, const Text& text) {
    m_gui.post([this, control, text] {
        const Control* found = find(control);
        if (found == nullptr) {
            return;
        }
        QWidget* widget = found->widget;
        switch (found->kind) {
        case ControlKind::GroupBox:
            static_cast<QGroupBox*>(widget)->setTitle(without_mnemonics(text));
            return;
        case ControlKind::Label:
        case ControlKind::RightAlignedLabel:
            static_cast<QLabel*>(widget)->setText(to_qstring(text));
            place(*found);
            return;
        case ControlKind::EditField:
        case ControlKind::ReadOnlyEditField:
        case ControlKind::SearchField:
            static_cast<QLineEdit*>(widget)->setText(to_qstring(text));
            return;
        case ControlKind::CheckBox:
            static_cast<QCheckBox*>(widget)->setText(without_mnemonics(text));
            place(*found);
            return;
        case ControlKind::Button:
            static_cast<QPushButton*>(widget)->setText(without_mnemonics(text));
            return;
        case ControlKind::TextBox:
        case ControlKind::ReadOnlyTextBox: {
            // The program's own change is no change by the user: not reported.
            auto* box = static_cast<QTextEdit*>(widget);
            const QSignalBlocker quiet(box);
            box->setExtraSelections({});
            box->setPlainText(text_box_to_qstring(text).left(kTextBoxLimit));
            return;
        }
        case ControlKind::TabBar:
        case ControlKind::ListView:
            return;
        }
    });
}

std::optional<Text> QtWindow::control_text(int control) {
    return m_gui.ask<std::optional<Text>>(
        [this, control]() -> std::optional<Text> {
            const Control* found = find(control);
            if (found == nullptr) {
                return std::nullopt;
            }
            QWidget* widget = found->widget;
            switch (found->kind) {
            case ControlKind::GroupBox:
                return from_qstring(static_cast<QGroupBox*>(widget)->title().replace(
                    QStringLiteral("&&"), QStringLiteral("&")));
            case ControlKind::Label:
            case ControlKind::RightAlignedLabel:
                return from_qstring(static_cast<QLabel*>(widget)->text());
            case ControlKind::EditField:
            case ControlKind::ReadOnlyEditField:
            case ControlKind::SearchField:
                return from_qstring(static_cast<QLineEdit*>(widget)->text());
            case ControlKind::CheckBox:
            case ControlKind::Button:
                return from_qstring(static_cast<QAbstractButton*>(widget)->text().replace(
                    QStringLiteral("&&"), QStringLiteral("&")));
            case ControlKind::TextBox:
            case ControlKind::ReadOnlyTextBox:
                return text_box_from_qstring(
                    static_cast<QTextEdit*>(widget)->document()->toRawText());
            case ControlKind::TabBar:
            case ControlKind::ListView:
                return Text{};
            }
            return std::nullopt;
        },
        std::nullopt);
}

void QtWindow::set_rows(int control, std::vector<ListRow> rows, std::vector<RowState> states) {
    // The rows move through the hand-over: 50,000 rows are not copied on the way.
    auto shared = std::make_shared<std::pair<std::vector<ListRow>, std::vector<RowState>>>(
        std::move(rows), std::move(states));
    m_gui.post([this, control, shared] {
        if (ListView* list = find_list(control)) {
            list->list_model().set_rows(std::move(shared->first), std::move(shared->second));
        }
    });
}

void QtWindow::set_row_state(int control, std::size_t row, RowState state) {
    m_gui.post([this, control, row, state] {
        if (ListView* list = find_list(control)) {
            list->list_model().set_row_state(row, state);
        }
    });
}

void QtWindow::set_cell(int control, std::size_t row, int column, const Text& text) {
    m_gui.post([this, control, row, column, text] {
        if (ListView* list = find_list(control)) {
            list->list_model().set_cell(row, column, text);
        }
    });
}

std::optional<std::size_t> QtWindow::selected_row(int control) {
    return m_gui.ask<std::optional<std::size_t>>(
        [this, control]() -> std::optional<std::size_t> {
            ListView* list = find_list(control);
            if (list == nullptr || list->selectionModel() == nullptr) {
                return std::nullopt;
            }
            const QModelIndexList rows = list->selectionModel()->selectedRows();
            if (rows.isEmpty() || rows.first().row() < 0) {
                return std::nullopt;
            }
            return list->list_model().row_at(rows.first().row());
        },
        std::nullopt);
}

Text QtWindow::cell_text(int control, std::size_t row, int column) {
    return m_gui.ask<Text>(
        [this, control, row, column] {
            ListView* list = find_list(control);
            return list != nullptr ? list->list_model().cell(row, column) : Text{};
        },
        Text{});
}

void QtWindow::select_row(int control, std::size_t row) {
    m_gui.post([this, control, row] {
        ListView* list = find_list(control);
        if (list == nullptr) {
            return;
        }
        // A row the filter hides cannot be selected.
        const auto position = list->list_model().position_of(row);
        if (!position) {
            list->clearSelection();
            return;
        }
        const int index = *position;
        list->selectRow(index);
        list->scrollTo(list->model()->index(index, 0));
        list->setFocus(Qt::OtherFocusReason);
    });
}

void QtWindow::set_text_marks(int control, std::vector<TextMark> marks) {
    m_gui.post([this, control, marks = std::move(marks)] {
        const Control* found = find(control);
        if (found == nullptr ||
            (found->kind != ControlKind::TextBox && found->kind != ControlKind::ReadOnlyTextBox)) {
            return;
        }
        auto* box = static_cast<QTextEdit*>(found->widget);
        const int end = box->document()->characterCount() - 1;
        QList<QTextEdit::ExtraSelection> selections;
        for (const TextMark& mark : marks) {
            const int from = std::min(static_cast<int>(mark.offset), end);
            const int to = std::min(static_cast<int>(mark.offset + mark.length), end);
            QTextEdit::ExtraSelection selection;
            selection.cursor = QTextCursor(box->document());
            selection.cursor.setPosition(from);
            selection.cursor.setPosition(to, QTextCursor::KeepAnchor);
            selection.format.setBackground(
                QColor(kMarkBackground.red, kMarkBackground.green, kMarkBackground.blue));
            selections.append(selection);
        }
        box->setExtraSelections(selections);
    });
}

void QtWindow::set_popup_title(WindowId window, const Text& title) {
    m_gui.post([this, window, title] {
        if (const auto found = m_popups.find(window); found != m_popups.end()) {
            found->second->setWindowTitle(to_qstring(title));
        }
    });
}

void QtWindow::set_main_window_title(const Text& title) {
    m_gui.post([this, title] {
        if (m_main) {
            m_main->setWindowTitle(to_qstring(title));
        }
    });
}

void QtWindow::set_tab_page_text(int page, const Text& text) {
    m_gui.post([this, page, text] {
        if (m_tabs != nullptr) {
            m_tabs->setTabText(page, without_mnemonics(text));
        }
    });
}

void QtWindow::set_visible_rows(int control, std::vector<std::size_t> rows) {
    auto shared = std::make_shared<std::vector<std::size_t>>(std::move(rows));
    m_gui.post([this, control, shared] {
        ListView* list = find_list(control);
        if (list == nullptr) {
            return;
        }
        // The selected row stays selected while it is shown.
        std::optional<std::size_t> selected;
        if (const QModelIndex current = list->currentIndex();
            current.isValid() && list->selectionModel()->isRowSelected(current.row())) {
            selected = list->list_model().row_at(current.row());
        }
        list->list_model().set_visible_rows(std::move(*shared));
        if (const auto position =
                selected ? list->list_model().position_of(*selected) : std::nullopt) {
            list->selectRow(*position);
        }
    });
}

void QtWindow::set_sort_indicator(int control, int column, bool ascending) {
    m_gui.post([this, control, column, ascending] {
        ListView* list = find_list(control);
        if (list == nullptr) {
            return;
        }
        // Column -1: the rows are in file order, and no column shows an arrow.
        QHeaderView* header = list->horizontalHeader();
        header->setSortIndicatorShown(column >= 0);
        header->setSortIndicator(column >= 0 ? column : -1,
                                 ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    });
}

void QtWindow::set_control_checked(int control, bool checked) {
    m_gui.post([this, control, checked] {
        if (const Control* found = find(control); found && found->kind == ControlKind::CheckBox) {
            static_cast<QCheckBox*>(found->widget)->setChecked(checked);
        }
    });
}

bool QtWindow::control_checked(int control) {
    return m_gui.ask<bool>(
        [this, control] {
            const Control* found = find(control);
            return found != nullptr && found->kind == ControlKind::CheckBox &&
                   static_cast<QCheckBox*>(found->widget)->isChecked();
        },
        false);
}

void QtWindow::focus_control(int control) {
    m_gui.post([this, control] {
        const Control* found = find(control);
        if (found == nullptr) {
            return;
        }
        // The keys go to the control's window, also when a closed message box has handed
        // the activation to another of our windows.
        QWidget* window = found->widget->window();
        if (!window->isActiveWindow()) {
            window->raise();
            window->activateWindow();
        }
        found->widget->setFocus(Qt::OtherFocusReason);
        if (auto* field = qobject_cast<QLineEdit*>(found->widget)) {
            field->selectAll();
        }
    });
}

void QtWindow::focus_search_field(WindowId window) {
    for (const auto& [number, control] : m_controls) {
        if (control.kind == ControlKind::SearchField && control.window == window) {
            control.widget->setFocus(Qt::ShortcutFocusReason);
            static_cast<QLineEdit*>(control.widget)->selectAll();
            return;
        }
    }
}

// Enter in a pop-up without text boxes presses its first button (the name dialog's OK), when
// that is enabled; a text box takes Enter for a line break.
void QtWindow::press_default_button(WindowId window) {
    QPushButton* first = nullptr;
    for (const auto& [number, control] : m_controls) {
        if (control.window != window) {
            continue;
        }
        if (control.kind == ControlKind::TextBox || control.kind == ControlKind::ReadOnlyTextBox) {
            return;
        }
        if (control.kind == ControlKind::Button && first == nullptr) {
            first = static_cast<QPushButton*>(control.widget);
        }
    }
    if (first != nullptr && first->isEnabled()) {
        first->click();
    }
}

} // namespace orv
