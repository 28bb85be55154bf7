// Takes pictures of the program's windows for the README: the main window with the demo
// plugin loaded, its menu "Datei" opened, the same window with the filter on, the name-edit
// dialog with its suggestions, the text editor with a translation stored but not yet saved,
// the question that "Öffnen" then asks, and the check's findings. It drives the real
// application through the real window, the way a user's clicks would, and answers the file dialog
// in advance. Run by scripts/screenshots under a virtual X server:
//
//     orvental-screenshots PROGRAM-FOLDER OUTPUT-FOLDER
//
// The program folder is used as the program's own (its configuration file is written), so
// give it a copy.
#include <cstdio>
#include <functional>
#include <optional>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QTabWidget>
#include <QThread>
#include <QTranslator>

#include "ScreenshotTexts.h"
#include "app/Application.h"
#include "app/CommandIds.h"
#include "platform/LocalFiles.h"
#include "platform/WorkerThreads.h"
#include "platform/qt/ListView.h"
#include "platform/qt/ProgramIcon.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtText.h"
#include "platform/qt/QtWindow.h"
#include "plugin/RecordTypes.h"
#include "qt/QtRemote.h"

namespace {

bool wait_until(const std::function<bool()>& condition, int milliseconds = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > milliseconds) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// Lets the windows settle: pending layouts and paints.
void settle() {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 300) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

// A mouse click on a row of a list view, as the user gives it; `twice` makes it a double
// click.
void click_row(QAbstractItemView& view, int row, bool twice) {
    const QPoint at = view.visualRect(view.model()->index(row, 1)).center();
    QWidget* target = view.viewport();
    const QPointF local(at);
    const QPointF global(target->mapToGlobal(at));
    const auto send = [&](QEvent::Type type) {
        QMouseEvent event(type, local, global, Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    send(QEvent::MouseButtonPress);
    send(QEvent::MouseButtonRelease);
    if (twice) {
        send(QEvent::MouseButtonDblClick);
        send(QEvent::MouseButtonRelease);
    }
}

// Control `number` of any of the program's windows, when it is a T.
template <typename T>
T* control(const orv::QtRemote& remote, int number) {
    return qobject_cast<T*>(remote.widget(number));
}

int fail(const char* message) {
    std::fprintf(stderr, "orvental-screenshots: %s\n", message);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3 && argc != 4) {
        return fail("usage: orvental-screenshots PROGRAM-FOLDER OUTPUT-FOLDER [LARGE-PLUGIN]");
    }
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setWindowIcon(orv::program_icon());
    QTranslator translator;
    if (translator.load(QStringLiteral("qtbase_de"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&translator);
    }
    const QString program_folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QDir output(QString::fromLocal8Bit(argv[2]));

    orv::QtWindow window;
    orv::QtDialogs dialogs(window);
    orv::WorkerThreads threads;
    orv::LocalFiles files;
    orv::Application program(orv::qstring_to_path(program_folder), window, dialogs, files, threads);
    orv::QtRemote remote(window);
    window.connect_events(program, [&program] { return program.quit_requested(); });
    program.start();
    window.show();

    QWidget* main = window.main_widget();
    if (main == nullptr || !wait_until([main] { return main->isVisible(); })) {
        return fail("the main window did not open");
    }
    const auto action = [main](int command) {
        return main->findChild<QAction*>(QStringLiteral("menu-%1").arg(command));
    };

    // A translation memory with a name close to one of the demo's, so that the name-edit
    // dialog has a suggestion to show (the folder is a copy, see above).
    if (!QFile::exists(program_folder + "/dataextra/Memory.tsv")) {
        QFile memory(program_folder + "/dataextra/Memory.tsv");
        if (memory.open(QIODevice::WriteOnly)) {
            memory.write("Cell\tHollow Hill\tHohler H\xc3\xbcgel\t2024-01-01\n");
            memory.write(kRememberedResponse);
        }
    }

    // Given a large plugin, first that one with the filter on: the activators still to do
    // among those whose ID or names hold "thing 3-2".
    if (argc == 4) {
        dialogs.set_next_file_name(
            orv::qstring_to_path(QDir(QString::fromLocal8Bit(argv[3])).absolutePath()));
        action(orv::command::kOpen)->trigger();
        if (!wait_until([&] { return action(orv::command::kSave)->isEnabled(); })) {
            return fail("the large plugin did not load");
        }
        auto* tabs = control<QTabWidget>(remote, orv::kTabBarControl);
        auto* only_to_do = control<QCheckBox>(remote, orv::kOnlyUntranslatedBox);
        auto* filter = control<QLineEdit>(remote, orv::kFilterField);
        const std::optional<int> activators = orv::object_type_of("ACTI");
        if (tabs == nullptr || only_to_do == nullptr || filter == nullptr || !activators) {
            return fail("no filter row");
        }
        tabs->setCurrentIndex(*activators);
        only_to_do->click();
        filter->setFocus();
        filter->setText(QStringLiteral("thing 3-2"));
        settle();
        main->grab().save(output.filePath(QStringLiteral("filter-large.png")));
        filter->clear();
        only_to_do->click();
        tabs->setCurrentIndex(0);
        settle();
    }

    // Open the demo plugin and wait until the worker has loaded it.
    dialogs.set_next_file_name(orv::qstring_to_path(program_folder + "/demo/Demo.esp"));
    action(orv::command::kOpen)->trigger();
    if (!wait_until([&] {
            return action(orv::command::kSave)->isEnabled() &&
                   main->windowTitle().contains(QStringLiteral("Demo"));
        })) {
        return fail("the demo plugin did not load");
    }
    // The fullest list, and in it a row without a shipped translation to translate by hand.
    auto* tabs = control<QTabWidget>(remote, orv::kTabBarControl);
    orv::ListView* shown = nullptr;
    for (int list_index = 0; list_index < orv::kObjectListCount; ++list_index) {
        auto* list = control<orv::ListView>(remote, orv::list_view_of(list_index));
        if (list != nullptr && (shown == nullptr ||
                                list->list_model().row_count() > shown->list_model().row_count())) {
            shown = list;
        }
    }
    if (tabs == nullptr || shown == nullptr || shown->list_model().row_count() == 0) {
        return fail("no rows after loading");
    }
    tabs->setCurrentIndex(shown->number() - orv::kFirstListControl);
    // The first row still to do whose dialog has suggestions (else the last one tried).
    QWidget* name_edit = nullptr;
    for (std::size_t candidate = 0; candidate < shown->list_model().row_count(); ++candidate) {
        if (!shown->list_model().cell(candidate, 0).empty()) {
            continue;
        }
        if (name_edit != nullptr) {
            remote.press_button(orv::name_edit::kCancelButton);
            wait_until([&] { return !remote.window_open(orv::WindowId::NameEdit); });
        }
        click_row(*shown, static_cast<int>(candidate), true);
        if (!wait_until([&] { return remote.window_open(orv::WindowId::NameEdit); })) {
            return fail("the name-edit dialog did not open");
        }
        name_edit = remote.top(orv::WindowId::NameEdit);
        settle();
        // A dialog closed before may not be gone yet: only the shown list counts.
        if (const QWidget* suggestions = remote.widget(orv::name_edit::kSuggestionList);
            suggestions != nullptr && suggestions->isVisible()) {
            break;
        }
    }
    if (name_edit == nullptr) {
        return fail("no row to translate");
    }
    auto* german = control<QLineEdit>(remote, orv::name_edit::kDvNameField);
    german->setFocus();
    german->setText(QStringLiteral("Hohle Grotte"));
    settle();
    name_edit->grab().save(output.filePath(QStringLiteral("name-edit.png")));
    remote.press_button(orv::name_edit::kOkButton);
    wait_until([&] { return !remote.window_open(orv::WindowId::NameEdit); });

    settle();
    if (!main->grab().save(output.filePath(QStringLiteral("main-window.png")))) {
        return fail("cannot write main-window.png");
    }

    // "Datei" opened: the underlined letters and the key names. The menu is a window of its
    // own, so this picture is taken from the screen.
    QMenuBar* bar = static_cast<QMainWindow*>(main)->menuBar();
    QMenu* file_menu =
        bar->actions().value(0) != nullptr ? bar->actions().value(0)->menu() : nullptr;
    if (file_menu == nullptr) {
        return fail("no menu \"Datei\"");
    }
    bar->setActiveAction(bar->actions().value(0));
    if (!wait_until([file_menu] { return file_menu->isVisible(); })) {
        return fail("the menu \"Datei\" did not open");
    }
    settle();
    const QRect menu_area = main->frameGeometry().united(file_menu->geometry());
    QGuiApplication::primaryScreen()
        ->grabWindow(0, menu_area.x(), menu_area.y(), menu_area.width(), menu_area.height())
        .save(output.filePath(QStringLiteral("menu-datei.png")));
    file_menu->hide();
    settle();

    // The filter row at work: the rows that hold "o", without the nameless ones.
    auto* show_nameless = control<QCheckBox>(remote, orv::kShowNamelessBox);
    auto* filter = control<QLineEdit>(remote, orv::kFilterField);
    if (show_nameless == nullptr || filter == nullptr) {
        return fail("no filter row");
    }
    show_nameless->click();
    filter->setFocus();
    filter->setText(QStringLiteral("o"));
    settle();
    main->grab().save(output.filePath(QStringLiteral("filter.png")));
    filter->clear();
    show_nameless->click();
    settle();

    // The text editor after a German translation was typed into the translation box and
    // stored with SPEICHERN: the original box still shows the record's English text, the
    // entry is marked "*" as unsaved work.
    action(orv::command::edit_text(0))->trigger();
    if (!wait_until([&] { return remote.window_open(orv::WindowId::TextEditor); })) {
        return fail("the text editor did not open");
    }
    QWidget* editor = remote.top(orv::WindowId::TextEditor);
    auto* entries = control<orv::ListView>(remote, orv::text_editor::kEntryList);
    if (entries == nullptr || entries->model()->rowCount() == 0) {
        return fail("the text editor has no entries");
    }
    remote.click_row(orv::text_editor::kEntryList, 0, orv::ListEventType::Other);
    settle();
    remote.type_text(orv::text_editor::kTranslationBox, kTypedTranslation);
    settle();
    remote.press_button(orv::text_editor::kSaveButton);
    settle();
    editor->grab().save(output.filePath(QStringLiteral("text-editor.png")));
    remote.press_button(orv::text_editor::kCancelButton);
    settle();

    // The Dialog editor on the demo's response: its linked topic highlighted, a translation
    // that still lacks the topic's German name, the memory's close suggestion and the texts
    // of the response's script.
    action(orv::command::edit_text(5))->trigger();
    if (!wait_until([&] { return remote.window_open(orv::WindowId::TextEditor); })) {
        return fail("the Dialog editor did not open");
    }
    QWidget* dialog_editor = remote.top(orv::WindowId::TextEditor);
    remote.click_row(orv::text_editor::kEntryList, kLinkingResponse, orv::ListEventType::Other);
    settle();
    remote.type_text(orv::text_editor::kTranslationBox, kTypedResponse);
    settle();
    dialog_editor->grab().save(output.filePath(QStringLiteral("dialog-editor.png")));
    remote.type_text(orv::text_editor::kTranslationBox, "");
    remote.press_button(orv::text_editor::kCancelButton);
    settle();

    // The Script editor after the demo script's message was translated and stored: source
    // and compiled code now hold it, the entry is marked "*".
    action(orv::command::edit_text(7))->trigger();
    if (!wait_until([&] { return remote.window_open(orv::WindowId::TextEditor); })) {
        return fail("the Script editor did not open");
    }
    QWidget* script_editor = remote.top(orv::WindowId::TextEditor);
    remote.click_row(orv::text_editor::kEntryList, 0, orv::ListEventType::Other);
    settle();
    remote.type_text(orv::text_editor::kTranslationBox, kTypedScriptText);
    remote.press_button(orv::text_editor::kSaveButton);
    settle();
    script_editor->grab().save(output.filePath(QStringLiteral("script-editor.png")));
    remote.press_button(orv::text_editor::kCancelButton);
    settle();

    // "Datei" → "Öffnen" with that text not saved yet: the question before it is lost. The
    // box runs a loop of its own, in which its picture is taken and No is pressed.
    bool question_answered = false;
    orv::QtRemote::when_shown<QMessageBox>([&](QMessageBox* box) {
        settle();
        box->grab().save(output.filePath(QStringLiteral("open-question.png")));
        box->button(QMessageBox::No)->click();
        question_answered = true;
    });
    action(orv::command::kOpen)->trigger();
    if (!wait_until([&] { return question_answered; })) {
        return fail("no question before opening another plugin");
    }
    settle();

    // "Prüfen": the demo plugin has findings. Should it have none, the message box saying so
    // is answered instead of waiting for a click.
    dialogs.set_next_answer(orv::MessageAnswer::Ok);
    action(orv::command::kCheck)->trigger();
    if (!wait_until([&] { return remote.window_open(orv::WindowId::Findings); })) {
        return fail("the findings window did not open");
    }
    QWidget* findings = remote.top(orv::WindowId::Findings);
    settle();
    findings->grab().save(output.filePath(QStringLiteral("findings.png")));
    findings->close();
    settle();

    window.close();
    program.shut_down();
    std::printf("orvental-screenshots: main-window.png, menu-datei.png, filter.png, name-edit.png, "
                "text-editor.png, dialog-editor.png, script-editor.png, open-question.png, "
                "findings.png%s in %s\n",
                argc == 4 ? ", filter-large.png" : "", qPrintable(output.absolutePath()));
    return 0;
}
