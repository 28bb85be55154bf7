// The desktop program end to end: the real application on the real window, in a program
// folder of its own, driven by menu actions, mouse clicks and key presses, with its file
// dialogs answered in advance and its questions answered on the shown box.
#include <condition_variable>
#include <fstream>
#include <memory>
#include <mutex>

#include <QAction>
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
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTranslator>

#include "QtTestSupport.h"
#include "app/Application.h"
#include "app/ConfigFile.h"
#include "fixtures/PluginBuilder.h"
#include "platform/LocalFiles.h"

#include "platform/qt/ListView.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtText.h"
#include "platform/WorkerThreads.h"
#include "platform/qt/QtWindow.h"
#include "plugin/PluginReader.h"
#include "plugin/RecordTypes.h"
#include "translation/DatabaseFile.h"
#include "translation/ExternalDatabase.h"
#include <condition_variable>
#include <mutex>

using namespace orv;
using orv::fixtures::RecordBuilder;
using orv::test::when_shown;

namespace {

constexpr int kActivatorList = 3 + 3;
const QString kBookText = QStringLiteral("Long ago the grove was a lake.\nNow only the mist.");

Bytes activator(std::string_view id, std::string_view name) {
    RecordBuilder record("ACTI");
    record.text("NAME", id);
    if (!name.empty()) {
        record.text("FNAM", name);
    }
    return record.bytes();
}

Bytes demo_plugin() {
    return fixtures::plugin({
        activator("act_well", "Old Well"),
        activator("act_gate", "Iron Gate"),
        activator("act_zeta", "Zeta Stone"),
        activator("act_alpha", "Alpha Rock"),
        activator("act_none", ""),
        RecordBuilder("BOOK")
            .text("NAME", "bk_tales")
            .text("FNAM", "Tales")
            .raw("TEXT", "Long ago the grove was a lake.\r\nNow only the mist.")
            .bytes(),
    });
}

void write_file(const std::filesystem::path& path, const Bytes& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes read_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Bytes result(bytes.size());
    std::memcpy(result.data(), bytes.data(), bytes.size());
    return result;
}

QStringList column(ListView* view, int column) {
    QStringList texts;
    for (int row = 0; row < view->model()->rowCount(); ++row) {
        texts << view->model()->index(row, column).data().toString();
    }
    return texts;
}

QStringList action_texts(QMenu* menu) {
    QStringList texts;
    for (QAction* action : menu->actions()) {
        texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

} // namespace

// The local files, except that creating a file whose name ends with `m_gated_suffix` waits
// until the test opens the gate: a save can be stopped half-way, deterministically.
class GatedFiles final : public Files {
public:
    Result<Bytes> read_all(const std::filesystem::path& path) override {
        return m_files.read_all(path);
    }
    bool exists(const std::filesystem::path& path) override { return m_files.exists(path); }
    Result<std::unique_ptr<OutputFile>> create(const std::filesystem::path& path) override {
        if (!m_gated_suffix.empty() && path.string().ends_with(m_gated_suffix)) {
            std::unique_lock lock(m_mutex);
            m_waiting = true;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_open; });
        }
        return m_files.create(path);
    }
    Result<void> rename(const std::filesystem::path& from,
                        const std::filesystem::path& to) override {
        return m_files.rename(from, to);
    }
    Result<void> remove(const std::filesystem::path& path) override { return m_files.remove(path); }
    Result<void> create_directories(const std::filesystem::path& path) override {
        return m_files.create_directories(path);
    }

    void close_gate_for(const std::string& suffix) { m_gated_suffix = suffix; }
    bool waiting() {
        std::lock_guard lock(m_mutex);
        return m_waiting;
    }
    void open_gate() {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }

private:
    LocalFiles m_files;
    std::string m_gated_suffix;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_waiting = false;
    bool m_open = false;
};

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void startShowsTheWindowAsBuilt();
    void maximisingAndRestoringReLaysOutEveryList();
    void openShowsThePluginsRows();
    void doubleClickOpensTheRowInTheNameDialog();
    void headerClicksSortThenReverse();
    void saveAsksOnTheWorkerAndTheUserAnswers();
    void editorCopiesAndStoresTheText();
    void quittingWhileTheWorkerWaitsForTheWindowEnds();
    void quittingDuringASaveFinishesTheFile();

private:
    void start_program(int width = 800, int height = 600);
    void open_plugin(const std::filesystem::path& plugin);
    void stop_program();

    QMainWindow* main() const { return static_cast<QMainWindow*>(m_window->main_widget()); }
    template <typename T>
    T* child(const QString& name) const {
        return main()->findChild<T*>(name);
    }
    QAction* action(int command) const {
        return child<QAction>(QStringLiteral("menu-%1").arg(command));
    }
    ListView* list(int number) const {
        return child<ListView>(QStringLiteral("control-%1").arg(number));
    }
    QWidget* popup(int number) const {
        return main()->findChild<QWidget*>(QStringLiteral("popup-%1").arg(number));
    }
    QPoint row_centre(ListView* view, int row) const {
        return view->visualRect(view->model()->index(row, 1)).center();
    }
    void click_header(ListView* view, int column);
    // Whether all ten command menu items are enabled (true) or all greyed (false).
    bool command_items_are(bool enabled) const;

    QTranslator m_translator;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::filesystem::path m_program_dir;
    std::filesystem::path m_plugin;
    std::unique_ptr<QtWindow> m_window;
    std::unique_ptr<QtDialogs> m_dialogs;
    std::unique_ptr<WorkerThreads> m_threads;
    std::unique_ptr<GatedFiles> m_files;
    std::unique_ptr<Application> m_program;
};

void MainWindowTest::initTestCase() {
    QVERIFY(m_translator.load(QStringLiteral("qtbase_de"),
                              QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QApplication::installTranslator(&m_translator);
}

void MainWindowTest::start_program(int width, int height) {
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    m_program_dir = qstring_to_path(m_folder->path());
    write_file(m_program_dir / "data" / "Actidata.dat",
               encode_pair_file({{"Old Well", "Alter Brunnen"}}));
    write_file(m_program_dir / "dataextra" / "Extradata.dat", sentinel_pair());
    m_plugin = m_program_dir / "plugins" / "Nebelhain.esp";
    write_file(m_plugin, demo_plugin());
    if (width != 800 || height != 600) {
        Settings settings;
        settings.window_width = width;
        settings.window_height = height;
        write_file(m_program_dir / "Kestrun.ini", render_settings(settings));
    }

    m_window = std::make_unique<QtWindow>();
    m_dialogs = std::make_unique<QtDialogs>(*m_window);
    m_threads = std::make_unique<WorkerThreads>();
    m_files = std::make_unique<GatedFiles>();
    m_program =
        std::make_unique<Application>(m_program_dir, *m_window, *m_dialogs, *m_files, *m_threads);
    m_window->connect_events(*m_program, [this] { return m_program->quit_requested(); });
    m_program->start();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(main()));
}

void MainWindowTest::stop_program() {
    if (m_window) {
        m_window->close();
    }
    if (m_program) {
        m_program->shut_down();
    }
    m_program.reset();
    m_threads.reset();
    m_dialogs.reset();
    m_window.reset();
    m_files.reset();
    m_folder.reset();
}

void MainWindowTest::cleanup() {
    stop_program();
}

void MainWindowTest::open_plugin(const std::filesystem::path& plugin) {
    m_dialogs->set_next_file_name(plugin);
    action(1)->trigger();
    // The worker greys the command items for its work and enables them at its end.
    QTRY_VERIFY_WITH_TIMEOUT(action(2)->isEnabled(), 60000);
    QVERIFY(command_items_are(true));
}

bool MainWindowTest::command_items_are(bool enabled) const {
    for (const int command : {1, 2, 3, 5, 9, 10, 11, 12, 13, 25}) {
        if (action(command)->isEnabled() != enabled) {
            return false;
        }
    }
    return true;
}

void MainWindowTest::click_header(ListView* view, int column) {
    QHeaderView* header = view->horizontalHeader();
    const QPoint on_title(header->sectionViewportPosition(column) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, on_title);
}

void MainWindowTest::startShowsTheWindowAsBuilt() {
    start_program();
    QCOMPARE(main()->windowTitle(), QStringLiteral("ORVENTAL v3.03a"));
    QCOMPARE(main()->size(), QSize(800, 600));
    QVERIFY(!main()->windowIcon().isNull());

    QStringList titles;
    for (QAction* menu : main()->menuBar()->actions()) {
        titles << menu->text();
    }
    QCOMPARE(titles, QStringList({"Datei", "Externe Datenbank", "Text bearbeiten", "?"}));
    QCOMPARE(action_texts(child<QMenu>("menu-title-0")),
             QStringList({"Öffnen", "Speichern", "Speichern als...", "-", "Beenden"}));
    QCOMPARE(action_texts(child<QMenu>("menu-title-1")), QStringList({"Löschen"}));
    QCOMPARE(action_texts(child<QMenu>("menu-title-2")),
             QStringList({"Book", "Class", "Race", "Skill", "Birthsign"}));
    QCOMPARE(action_texts(child<QMenu>("menu-title-3")), QStringList({"Hilfe", "-", "Über"}));
    QCOMPARE(action_texts(child<QMenu>("popup-menu")), QStringList({"Bearbeiten"}));
    // Only what works without a plugin is enabled.
    for (const int command : {1, 4, 5, 20, 21}) {
        QVERIFY2(action(command)->isEnabled(), qPrintable(QString::number(command)));
    }
    for (const int command : {2, 3, 9, 10, 11, 12, 13, 25}) {
        QVERIFY2(!action(command)->isEnabled(), qPrintable(QString::number(command)));
    }

    QCOMPARE(child<QGroupBox>("control-1")->title(), QStringLiteral("OBJEKT-FENSTER..."));
    QCOMPARE(child<QGroupBox>("control-1")->geometry(), QRect(5, 0, 790, 560));
    auto* tabs = child<QTabWidget>("control-2");
    QCOMPARE(tabs->geometry(), QRect(10, 15, 780, 540));
    QCOMPARE(tabs->count(), kObjectListCount);
    QCOMPARE(tabs->currentIndex(), 0);
    for (const RecordType& type : kRecordTypes) {
        QCOMPARE(tabs->tabText(type.index), to_qstring(type.label));
        ListView* view = list(3 + type.index);
        QVERIFY(view != nullptr);
        QCOMPARE(view->parentWidget(), tabs->widget(type.index));
        QCOMPARE(view->geometry(), QRect(1, 1, 774, 513));
        QHeaderView* header = view->horizontalHeader();
        QStringList headers;
        QList<int> widths;
        for (int column = 0; column < header->count(); ++column) {
            headers << view->model()->headerData(column, Qt::Horizontal).toString();
            widths << header->sectionSize(column);
        }
        QCOMPARE(headers, QStringList({"F", "ID", "EV Name", "DV Name"}));
        QCOMPARE(widths, QList<int>({20, 200, 248, 248}));
    }
    QCOMPARE(tabs->tabText(0), QStringLiteral("Cell"));
    QCOMPARE(tabs->tabText(24), QStringLiteral("Faction"));

    QTRY_COMPARE(child<QLabel>("status-0")->text(), QStringLiteral("Datei :"));
    QCOMPARE(child<QLabel>("status-0")->width(), 200);
    QCOMPARE(child<QLabel>("status-1")->width(), 600);
    QCOMPARE(child<QLabel>("status-1")->text(), QString());
}

void MainWindowTest::maximisingAndRestoringReLaysOutEveryList() {
    start_program(640, 480);
    QCOMPARE(main()->size(), QSize(640, 480));
    QCOMPARE(child<QGroupBox>("control-1")->geometry(), QRect(5, 0, 630, 440));

    main()->showMaximized();
    QTRY_VERIFY(main()->width() > 640 && main()->height() > 480);
    const int width = main()->width();
    const int height = main()->height();
    QTRY_COMPARE(child<QGroupBox>("control-1")->geometry(), QRect(5, 0, width - 10, height - 40));
    QCOMPARE(child<QTabWidget>("control-2")->geometry(), QRect(10, 15, width - 20, height - 60));
    // Every list follows, those on hidden pages too, at 0, 0 of its page.
    for (int number = 3; number <= 27; ++number) {
        QCOMPARE(list(number)->geometry(), QRect(0, 0, width - 26, height - 87));
    }
    // The status fields keep their start-up widths.
    QCOMPARE(child<QLabel>("status-0")->width(), 160);

    main()->showNormal();
    QTRY_COMPARE(main()->size(), QSize(640, 480));
    QTRY_COMPARE(child<QGroupBox>("control-1")->geometry(), QRect(5, 0, 630, 440));
    QCOMPARE(list(27)->geometry(), QRect(0, 0, 614, 393));
}

void MainWindowTest::openShowsThePluginsRows() {
    start_program();
    open_plugin(m_plugin);

    const auto asked = m_dialogs->asked();
    QCOMPARE(asked.size(), std::size_t{1});
    QCOMPARE(asked[0].title, cp1252(u8"ESP öffnen "));
    QCOMPARE(asked[0].filter, Text("ESP (*.esp)|*.esp"));
    QVERIFY(asked[0].on_gui_thread);

    ListView* activators = list(kActivatorList);
    QCOMPARE(column(activators, 0), QStringList({"B", "", "", "", "E"}));
    QCOMPARE(column(activators, 1),
             QStringList({"act_well", "act_gate", "act_zeta", "act_alpha", "act_none"}));
    QCOMPARE(column(activators, 2),
             QStringList({"Old Well", "Iron Gate", "Zeta Stone", "Alpha Rock", ""}));
    QCOMPARE(column(activators, 3),
             QStringList({"Alter Brunnen", "Iron Gate", "Zeta Stone", "Alpha Rock", ""}));
    QCOMPARE(list(3)->model()->rowCount(), 0);

    QTRY_COMPARE(child<QLabel>("status-0")->text(), QStringLiteral("Datei : Nebelhain.esp"));
    QTRY_VERIFY(child<QLabel>("status-1")->text().endsWith(QStringLiteral("6 / 6")));
}

void MainWindowTest::doubleClickOpensTheRowInTheNameDialog() {
    start_program();
    open_plugin(m_plugin);
    child<QTabWidget>("control-2")->setCurrentIndex(3);
    ListView* activators = list(kActivatorList);

    // A row from the shipped database can be looked at but not changed.
    orv::test::double_click(activators->viewport(), row_centre(activators, 0));
    QTRY_VERIFY(popup(1) != nullptr && popup(1)->isVisible());
    QWidget* dialog = popup(1);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Activator"));
    QCOMPARE(dialog->size(), QSize(360, 140));
    const QRect owner = main()->frameGeometry();
    QCOMPARE(dialog->frameGeometry().topLeft(),
             QPoint(owner.x() + owner.width() / 2 - 180, owner.y() + owner.height() / 2 - 70));
    QCOMPARE(dialog->findChild<QLineEdit*>("control-1033")->text(), QStringLiteral("act_well"));
    QCOMPARE(dialog->findChild<QLineEdit*>("control-1035")->text(), QStringLiteral("Old Well"));
    QCOMPARE(dialog->findChild<QLineEdit*>("control-1037")->text(),
             QStringLiteral("Alter Brunnen"));
    QVERIFY(!dialog->findChild<QPushButton*>("control-1038")->isEnabled());
    QVERIFY(command_items_are(false));
    dialog->findChild<QPushButton*>("control-1039")->click();
    QTRY_VERIFY(popup(1) == nullptr);
    QVERIFY(command_items_are(true));

    // A new German name marks the row "*".
    orv::test::double_click(activators->viewport(), row_centre(activators, 1));
    QTRY_VERIFY(popup(1) != nullptr && popup(1)->isVisible());
    dialog = popup(1);
    auto* ok = dialog->findChild<QPushButton*>("control-1038");
    QVERIFY(ok->isEnabled());
    auto* german = dialog->findChild<QLineEdit*>("control-1037");
    german->selectAll();
    QTest::keyClicks(german, QStringLiteral("Eisentor am Fluss"));
    QTest::mouseClick(ok, Qt::LeftButton);
    QTRY_VERIFY(popup(1) == nullptr);
    QCOMPARE(m_window->cell_text(kActivatorList, 1, 0), Text("*"));
    QCOMPARE(m_window->cell_text(kActivatorList, 1, 3), Text("Eisentor am Fluss"));
    QCOMPARE(m_window->selected_row(kActivatorList), std::optional<std::size_t>(1));
}

void MainWindowTest::headerClicksSortThenReverse() {
    start_program();
    open_plugin(m_plugin);
    child<QTabWidget>("control-2")->setCurrentIndex(3);
    ListView* activators = list(kActivatorList);

    click_header(activators, 1);
    QTRY_COMPARE(column(activators, 1),
                 QStringList({"act_alpha", "act_gate", "act_none", "act_well", "act_zeta"}));
    // Each row keeps its cells.
    QCOMPARE(column(activators, 0), QStringList({"", "", "E", "B", ""}));
    click_header(activators, 1);
    QTRY_COMPARE(column(activators, 1),
                 QStringList({"act_zeta", "act_well", "act_none", "act_gate", "act_alpha"}));

    // While the name dialog is open a header click sorts nothing.
    orv::test::double_click(activators->viewport(), row_centre(activators, 0));
    QTRY_VERIFY(popup(1) != nullptr);
    click_header(activators, 2);
    QCOMPARE(column(activators, 1).first(), QStringLiteral("act_zeta"));
    popup(1)->findChild<QPushButton*>("control-1039")->click();
    QTRY_VERIFY(popup(1) == nullptr);
    click_header(activators, 2);
    QTRY_COMPARE(column(activators, 2),
                 QStringList({"", "Alpha Rock", "Iron Gate", "Old Well", "Zeta Stone"}));
}

void MainWindowTest::saveAsksOnTheWorkerAndTheUserAnswers() {
    start_program();
    open_plugin(m_plugin);
    const Bytes before = read_file(m_plugin);

    // The question comes from the worker and shows on the GUI thread with German buttons.
    struct Seen {
        QString title;
        QString text;
        QStringList buttons;
    };
    auto seen = std::make_shared<Seen>();
    when_shown<QMessageBox>([seen](QMessageBox* box) {
        seen->title = box->windowTitle();
        seen->text = box->text();
        for (QAbstractButton* button : box->buttons()) {
            seen->buttons << button->text().remove(QLatin1Char('&'));
        }
        box->button(QMessageBox::No)->click();
    });
    action(2)->trigger();
    QTRY_VERIFY(!seen->title.isEmpty());
    QTRY_VERIFY(command_items_are(true));
    QCOMPARE(seen->title, QStringLiteral("FRAGE"));
    QVERIFY(seen->text.startsWith(QStringLiteral("AKTUELLE DATEI ÜBERSCHREIBEN  :")));
    QVERIFY(seen->text.endsWith(QStringLiteral("\n") + path_to_qstring(m_plugin)));
    seen->buttons.sort();
    QCOMPARE(seen->buttons, QStringList({"Ja", "Nein"}));
    QVERIFY(read_file(m_plugin) == before);

    // Yes writes the file; a row renamed by hand is then marked as saved ("Ü").
    child<QTabWidget>("control-2")->setCurrentIndex(3);
    ListView* activators = list(kActivatorList);
    orv::test::double_click(activators->viewport(), row_centre(activators, 2));
    QTRY_VERIFY(popup(1) != nullptr);
    popup(1)->findChild<QLineEdit*>("control-1037")->setText(QStringLiteral("Zetastein"));
    popup(1)->findChild<QPushButton*>("control-1038")->click();
    QTRY_COMPARE(m_window->cell_text(kActivatorList, 2, 0), Text("*"));

    when_shown<QMessageBox>([](QMessageBox* box) { box->button(QMessageBox::Yes)->click(); });
    action(2)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(read_file(m_plugin) != before, 30000);
    QTRY_VERIFY(command_items_are(true));
    QTRY_COMPARE(m_window->cell_text(kActivatorList, 2, 0), Text("\xDC"));
    const Bytes after = read_file(m_plugin);
    const auto saved = read_plugin(after);
    QVERIFY(saved.ok());
    QCOMPARE(saved->blocks.size(), std::size_t{7});
    const std::string_view text(reinterpret_cast<const char*>(after.data()), after.size());
    QVERIFY(text.find("Zetastein") != std::string_view::npos);
    QVERIFY(text.find("Zeta Stone") == std::string_view::npos);
}

void MainWindowTest::editorCopiesAndStoresTheText() {
    start_program();
    open_plugin(m_plugin);

    action(9)->trigger();
    QTRY_VERIFY(popup(2) != nullptr && popup(2)->isVisible());
    QWidget* editor = popup(2);
    QCOMPARE(editor->windowTitle(), QStringLiteral("Book"));
    QCOMPARE(editor->size(), QSize(700, 500));
    auto* entries = editor->findChild<ListView*>("control-1052");
    auto* store = editor->findChild<QPushButton*>("control-1053");
    auto* copy = editor->findChild<QPushButton*>("control-1055");
    auto* original = editor->findChild<QTextEdit*>("control-1056");
    auto* translation = editor->findChild<QTextEdit*>("control-1057");
    QCOMPARE(entries->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Id Book"));
    QCOMPARE(column(entries, 0), QStringList({"bk_tales"}));
    QVERIFY(!store->isEnabled() && !copy->isEnabled());
    QVERIFY(original->isReadOnly() && !translation->isReadOnly());
    QCOMPARE(original->font().family(), QStringLiteral("Arial"));
    QCOMPARE(original->font().pointSize(), 10);

    orv::test::click(entries->viewport(),
                     entries->visualRect(entries->model()->index(0, 0)).center());
    QTRY_COMPARE(original->toPlainText(), kBookText);
    QCOMPARE(translation->toPlainText(), QString());
    QVERIFY(copy->isEnabled() && !store->isEnabled());

    QTest::mouseClick(copy, Qt::LeftButton);
    QTRY_COMPARE(translation->toPlainText(), kBookText);
    QVERIFY(store->isEnabled() && !copy->isEnabled());

    translation->setFocus();
    translation->selectAll();
    QTest::keyClicks(translation, QStringLiteral("Vor langer Zeit war der Hain ein See."));
    QTest::keyClick(translation, Qt::Key_Return);
    QTest::keyClicks(translation, QStringLiteral("Nur der Nebel."));
    QTest::mouseClick(store, Qt::LeftButton);
    editor->findChild<QPushButton*>("control-1054")->click();
    QTRY_VERIFY(popup(2) == nullptr);
    QVERIFY(command_items_are(true));

    // The stored text is now the record's own: the editor shows it as the original.
    action(9)->trigger();
    QTRY_VERIFY(popup(2) != nullptr);
    entries = popup(2)->findChild<ListView*>("control-1052");
    orv::test::click(entries->viewport(),
                     entries->visualRect(entries->model()->index(0, 0)).center());
    QTRY_COMPARE(popup(2)->findChild<QTextEdit*>("control-1056")->toPlainText(),
                 QStringLiteral("Vor langer Zeit war der Hain ein See.\nNur der Nebel."));
    // The close box closes the editor like ABBRECHEN.
    popup(2)->close();
    QTRY_VERIFY(popup(2) == nullptr);
    QVERIFY(command_items_are(true));
}

void MainWindowTest::quittingWhileTheWorkerWaitsForTheWindowEnds() {
    start_program();
    // "Öffnen" with nobody answering: the worker waits for its file dialog, which the GUI
    // thread has not yet shown when the user quits.
    action(1)->trigger();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    m_dialogs->set_next_answer(MessageAnswer::Yes);
    action(4)->trigger();
    QVERIFY(m_program->quit_requested());
    QCOMPARE(m_dialogs->asked().size(), std::size_t{1});
    QCOMPARE(m_dialogs->asked()[0].title, Text("BEEDEN"));

    // What main() does after its event loop: this must not wait for ever.
    m_window->close();
    m_program->shut_down();
    QVERIFY(!main()->isVisible());
    QCOMPARE(m_dialogs->asked().size(), std::size_t{1});
    QVERIFY(!std::filesystem::exists(m_program_dir / "Kestrun.ini"));
}

void MainWindowTest::quittingDuringASaveFinishesTheFile() {
    start_program();
    std::vector<Bytes> records;
    for (int record = 0; record < 20000; ++record) {
        records.push_back(
            activator("act_" + std::to_string(record), "Stone " + std::to_string(record)));
    }
    const auto large = m_program_dir / "plugins" / "Gross.esp";
    write_file(large, fixtures::plugin(records));
    open_plugin(large);

    const auto target = m_program_dir / "plugins" / "Kopie.esp";
    // The save stops where it creates the new plugin's temporary file.
    m_files->close_gate_for("Kopie.esp.orvental-tmp");
    m_dialogs->set_next_file_name(target);
    action(3)->trigger();
    QTRY_VERIFY(m_files->waiting());
    // The worker has greyed the command items for its real work.
    QTRY_VERIFY(!action(1)->isEnabled());
    m_dialogs->set_next_answer(MessageAnswer::Yes);
    action(4)->trigger();
    QVERIFY(m_program->quit_requested());
    QVERIFY(!std::filesystem::exists(target));
    m_window->close();
    // The save goes on while the program shuts down, which waits for it.
    m_files->open_gate();
    m_program->shut_down();

    const auto copy = read_plugin(read_file(target));
    QVERIFY(copy.ok());
    QCOMPARE(copy->blocks.size(), std::size_t{20001});
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
