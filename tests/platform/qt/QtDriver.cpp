// The window contract on the Qt backend, on Qt's offscreen platform: the real widgets,
// driven with mouse and key events.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>
#include <QTranslator>

#include <gtest/gtest.h>

#include "QtTestSupport.h"
#include "WindowDriver.h"
#include "app/Application.h"
#include "platform/WorkerThreads.h"
#include "platform/qt/ListView.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtText.h"
#include "platform/qt/QtWindow.h"

namespace orv::test {
namespace {

std::string utf8(const QString& text) {
    return text.toStdString();
}

class QtDriver final : public WindowDriver {
public:
    void start(const std::filesystem::path& program_dir, Files& files) override {
        m_window = std::make_unique<QtWindow>();
        m_dialogs = std::make_unique<QtDialogs>(*m_window);
        m_threads = std::make_unique<WorkerThreads>();
        m_program =
            std::make_unique<Application>(program_dir, *m_window, *m_dialogs, files, *m_threads);
        m_window->connect_events(*m_program, [this] { return m_program->quit_requested(); });
        m_program->start();
        m_window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(main()));
    }

    void quit() override {
        if (m_window) {
            m_window->close();
        }
        if (m_program) {
            m_program->shut_down();
        }
    }

    bool quit_requested() override { return m_program->quit_requested(); }

    bool wait_until(const std::function<bool()>& condition) override {
        QElapsedTimer waited;
        waited.start();
        while (!condition()) {
            if (waited.elapsed() > 30000) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QTest::qSleep(1);
        }
        return true;
    }

    void set_next_file_name(const std::filesystem::path& path) override {
        m_dialogs->set_next_file_name(path);
    }
    std::vector<std::pair<Text, Text>> file_dialogs() override {
        std::vector<std::pair<Text, Text>> titles;
        for (const auto& asked : m_dialogs->asked()) {
            if (asked.file_dialog) {
                titles.emplace_back(asked.title, asked.filter);
            }
        }
        return titles;
    }
    void answer_next_message_box(MessageAnswer answer, std::shared_ptr<ShownBox> seen) override {
        when_shown<QMessageBox>([answer, seen](QMessageBox* box) {
            seen->title = utf8(box->windowTitle());
            seen->text = utf8(box->text());
            box->button(answer == MessageAnswer::Yes  ? QMessageBox::Yes
                        : answer == MessageAnswer::No ? QMessageBox::No
                                                      : QMessageBox::Ok)
                ->click();
        });
    }

    void choose_menu(int command) override { action(command)->trigger(); }
    void select_tab(int page) override {
        QTabBar* bar = tabs()->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(page).center());
    }
    void click_row(int control, int row, ListEventType type) override {
        ListView* view = list(control);
        const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
        if (type == ListEventType::DoubleClick) {
            double_click(view->viewport(), at);
        } else {
            click(view->viewport(), at,
                  type == ListEventType::RightClick ? Qt::RightButton : Qt::LeftButton);
        }
    }
    bool right_click_opens_popup_menu(int control, int row) override {
        click_row(control, row, ListEventType::RightClick);
        auto* menu = child<QMenu>("popup-menu");
        const bool shown = wait_until([menu] { return menu->isVisible(); });
        menu->hide();
        return shown;
    }
    void click_header(int control, int column) override {
        QHeaderView* header = list(control)->horizontalHeader();
        QTest::mouseClick(
            header->viewport(), Qt::LeftButton, {},
            QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
    }
    void type_text(int control, const std::string& text) override {
        QWidget* field = widget(control);
        field->setFocus();
        if (auto* line = qobject_cast<QLineEdit*>(field)) {
            line->selectAll();
        } else if (auto* box = qobject_cast<QTextEdit*>(field)) {
            box->selectAll();
        }
        const QStringList lines = QString::fromStdString(text).split(QLatin1Char('\r'));
        for (qsizetype line = 0; line < lines.size(); ++line) {
            if (line > 0) {
                QTest::keyClick(field, Qt::Key_Return);
            }
            QTest::keyClicks(field, lines[line]);
        }
    }
    void press_button(int control) override {
        QTest::mouseClick(static_cast<QPushButton*>(widget(control)), Qt::LeftButton);
    }
    void close_window(WindowId window) override {
        (window == WindowId::Main ? main() : popup(window))->close();
    }

    std::string window_title(WindowId window) override {
        return utf8((window == WindowId::Main ? main() : popup(window))->windowTitle());
    }
    std::pair<int, int> window_size(WindowId window) override {
        const QSize size = (window == WindowId::Main ? main() : popup(window))->size();
        return {size.width(), size.height()};
    }
    bool window_open(WindowId window) override {
        QWidget* shown = window == WindowId::Main ? main() : popup(window);
        return shown != nullptr && shown->isVisible();
    }
    std::vector<std::string> menu_titles() override {
        std::vector<std::string> titles;
        for (QAction* menu : main()->menuBar()->actions()) {
            titles.push_back(utf8(menu->text().replace(QStringLiteral("&&"), QStringLiteral("&"))));
        }
        return titles;
    }
    std::vector<std::string> menu_items(int menu) override {
        auto* items = child<QMenu>(menu < 0 ? QStringLiteral("popup-menu")
                                            : QStringLiteral("menu-title-%1").arg(menu));
        std::vector<std::string> texts;
        for (QAction* action : items->actions()) {
            texts.push_back(
                action->isSeparator()
                    ? "-"
                    : utf8(action->text().replace(QStringLiteral("&&"), QStringLiteral("&"))));
        }
        return texts;
    }
    bool menu_enabled(int command) override { return action(command)->isEnabled(); }
    std::string status_text(int field) override {
        return utf8(child<QLabel>(QStringLiteral("status-%1").arg(field))->text());
    }
    std::vector<std::string> tab_labels() override {
        std::vector<std::string> labels;
        for (int page = 0; page < tabs()->count(); ++page) {
            labels.push_back(
                utf8(tabs()->tabText(page).replace(QStringLiteral("&&"), QStringLiteral("&"))));
        }
        return labels;
    }
    int current_tab() override { return tabs()->currentIndex(); }
    std::vector<std::string> headers(int control) override {
        ListView* view = list(control);
        std::vector<std::string> titles;
        for (int column = 0; column < view->model()->columnCount(); ++column) {
            titles.push_back(utf8(view->model()->headerData(column, Qt::Horizontal).toString()) +
                             "/" + std::to_string(view->horizontalHeader()->sectionSize(column)));
        }
        return titles;
    }
    std::vector<std::string> column(int control, int column) override {
        ListView* view = list(control);
        std::vector<std::string> texts;
        for (int row = 0; row < view->model()->rowCount(); ++row) {
            texts.push_back(utf8(view->model()->index(row, column).data().toString()));
        }
        return texts;
    }
    std::string control_text(int control) override {
        const std::optional<Text> text = m_window->control_text(control);
        return text ? to_utf8(*text) : std::string("(nothing)");
    }
    bool control_enabled(int control) override { return widget(control)->isEnabled(); }

    void press_key(int control, const std::string& key) override {
        QWidget* target = widget(control);
        target->setFocus();
        const std::map<std::string, std::pair<Qt::Key, Qt::KeyboardModifiers>> keys = {
            {"Enter", {Qt::Key_Return, Qt::NoModifier}},
            {"F2", {Qt::Key_F2, Qt::NoModifier}},
            {"Escape", {Qt::Key_Escape, Qt::NoModifier}},
            {"Ctrl+F", {Qt::Key_F, Qt::ControlModifier}},
        };
        const auto& [code, modifiers] = keys.at(key);
        QTest::keyClick(target, code, modifiers);
    }
    int focused_control() override {
        const QWidget* focus = QApplication::focusWidget();
        const QString name = focus != nullptr ? focus->objectName() : QString();
        return name.startsWith(QStringLiteral("control-")) ? name.mid(8).toInt() : 0;
    }

private:
    QMainWindow* main() const { return static_cast<QMainWindow*>(m_window->main_widget()); }
    template <typename T>
    T* child(const QString& name) const {
        return main()->findChild<T*>(name);
    }
    QAction* action(int command) const {
        return child<QAction>(QStringLiteral("menu-%1").arg(command));
    }
    QTabWidget* tabs() const { return child<QTabWidget>(QStringLiteral("control-2")); }
    // A closed pop-up is deleted later; until then the shown widget of a name counts.
    template <typename T>
    T* shown(const QString& name) const {
        const QList<T*> found = main()->findChildren<T*>(name);
        for (T* candidate : found) {
            if (candidate->isVisible()) {
                return candidate;
            }
        }
        return found.isEmpty() ? nullptr : found.constFirst();
    }
    QWidget* widget(int control) const {
        return shown<QWidget>(QStringLiteral("control-%1").arg(control));
    }
    ListView* list(int control) const {
        return shown<ListView>(QStringLiteral("control-%1").arg(control));
    }
    QWidget* popup(WindowId window) const {
        return shown<QWidget>(QStringLiteral("popup-%1").arg(static_cast<int>(window)));
    }

    std::unique_ptr<QtWindow> m_window;
    std::unique_ptr<QtDialogs> m_dialogs;
    std::unique_ptr<WorkerThreads> m_threads;
    std::unique_ptr<Application> m_program;
};

} // namespace

std::unique_ptr<WindowDriver> make_window_driver() {
    return std::make_unique<QtDriver>();
}

} // namespace orv::test

int main(int argc, char** argv) {
    // Also when CTest lists the tests at build time, without the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    // Qt's German texts, so that standard buttons read "Ja", "Nein" and "OK".
    QTranslator translator;
    if (translator.load(QStringLiteral("qtbase_de"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&translator);
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
