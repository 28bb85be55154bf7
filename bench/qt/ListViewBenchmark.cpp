// The list views with many rows, through the real application and window on Qt's offscreen
// platform: opening the generated 50,001-record plugin until every row is in its list view
// and the window has painted, sorting a 50,000-row list by a header click until the view
// shows the new order, and the Dialog editor on 20,000 responses: opened until its list has
// painted, and filtered per keystroke. Run: build/.../bench/qt/ListViewBenchmark
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTabWidget>

#include "BenchmarkFolder.h"
#include "app/Application.h"
#include "app/CommandIds.h"
#include "fixtures/PluginBuilder.h"
#include "platform/CommandLine.h"
#include "platform/WorkerThreads.h"
#include "platform/qt/ListView.h"
#include "platform/qt/QtDialogs.h"
#include "platform/qt/QtText.h"
#include "platform/qt/QtWindow.h"
#include "plugin/RecordTypes.h"

namespace orv::bench {
namespace {

// The application on the Qt window in a program folder, as main() builds it.
class DesktopProgram {
public:
    explicit DesktopProgram(const std::filesystem::path& folder)
        : m_dialogs(m_window), m_program(folder, m_window, m_dialogs, m_files, m_threads) {
        m_window.connect_events(m_program, [this] { return m_program.quit_requested(); });
        m_program.start();
        m_window.show();
        QCoreApplication::processEvents();
    }
    ~DesktopProgram() {
        m_window.close();
        m_program.shut_down();
    }

    QAction* action(int command) const {
        return m_window.main_widget()->findChild<QAction*>(QStringLiteral("menu-%1").arg(command));
    }
    ListView* list(int number) const {
        return m_window.main_widget()->findChild<ListView*>(
            QStringLiteral("control-%1").arg(number));
    }
    QWidget* main() const { return m_window.main_widget(); }

    // Opens a plugin as the user does and waits until the worker has finished.
    void open(const std::filesystem::path& plugin) {
        m_dialogs.set_next_file_name(plugin);
        QAction* save = action(2);
        action(1)->trigger();
        // Sleeps until the worker posts something instead of spinning: on a machine with few
        // cores a busy wait here takes the time the load itself needs.
        while (!save->isEnabled()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        QCoreApplication::processEvents();
    }

    std::size_t rows_shown() const {
        std::size_t rows = 0;
        for (int number = 3; number < 3 + kObjectListCount; ++number) {
            rows += list(number)->list_model().row_count();
        }
        return rows;
    }

private:
    QtWindow m_window;
    QtDialogs m_dialogs;
    WorkerThreads m_threads;
    LocalFiles m_files;
    Application m_program;
};

BenchmarkFolder& large_set() {
    static BenchmarkFolder instance(fixtures::LargeSetOptions{});
    return instance;
}

void BM_OpenLargePluginUntilAllRowsShown(benchmark::State& state) {
    std::size_t rows = 0;
    for (auto _ : state) {
        DesktopProgram program(large_set().path());
        QElapsedTimer timer;
        timer.start();
        program.open(large_set().path() / "plugin.esp");
        // Painted once, as the user sees it.
        program.main()->repaint();
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        rows = program.rows_shown();
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_OpenLargePluginUntilAllRowsShown)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(3);

// A program folder whose plugin holds 50,000 activators, all on one tab.
class ActivatorFolder {
public:
    ActivatorFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvental-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        m_folder = pattern;
        std::vector<Bytes> records;
        for (int record = 0; record < 50000; ++record) {
            // Scattered IDs and names, so that the sort has real work in both directions.
            const int key = static_cast<int>((static_cast<std::int64_t>(record) * 7919) % 50000);
            records.push_back(fixtures::RecordBuilder("ACTI")
                                  .text("NAME", "act_" + std::to_string(key))
                                  .text("FNAM", "Stone " + std::to_string(50000 - key))
                                  .bytes());
        }
        const Bytes plugin = fixtures::plugin(records);
        LocalFiles files;
        auto file = files.create(plugin_path());
        if (!file || !(*file)->write(plugin) || !(*file)->close()) {
            std::abort();
        }
    }
    ~ActivatorFolder() {
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }
    const std::filesystem::path& path() const { return m_folder; }
    std::filesystem::path plugin_path() const { return m_folder / "activators.esp"; }

private:
    std::filesystem::path m_folder;
};

void click_header(ListView& view, int column) {
    QHeaderView* header = view.horizontalHeader();
    QWidget* target = header->viewport();
    const QPoint at(header->sectionViewportPosition(column) + 5, header->height() / 2);
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(at), QPointF(target->mapToGlobal(at)), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
}

void BM_SortFiftyThousandRowsByHeaderClick(benchmark::State& state) {
    ActivatorFolder folder;
    DesktopProgram program(folder.path());
    program.open(folder.plugin_path());
    ListView& activators = *program.list(3 + 3);
    program.main()->findChild<QTabWidget*>(QStringLiteral("control-2"))->setCurrentIndex(3);
    QCoreApplication::processEvents();
    int resets = 0;
    QObject::connect(&activators.list_model(), &QAbstractItemModel::modelReset,
                     [&resets] { ++resets; });
    for (auto _ : state) {
        const int before = resets;
        click_header(activators, static_cast<int>(state.range(0)));
        // Each click sorts the other way round; the sorted rows replace the view's rows in
        // one reset.
        while (resets == before) {
            QCoreApplication::processEvents();
        }
        activators.viewport()->repaint();
    }
    state.counters["rows"] = static_cast<double>(activators.list_model().row_count());
}
BENCHMARK(BM_SortFiftyThousandRowsByHeaderClick)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

// One keystroke in the filter box: the program filters every list and tells the views which
// rows to show; measured until the 50,000-row list has painted again.
void BM_FilterFiftyThousandRowsPerKeystroke(benchmark::State& state) {
    ActivatorFolder folder;
    DesktopProgram program(folder.path());
    program.open(folder.plugin_path());
    ListView& activators = *program.list(3 + 3);
    program.main()->findChild<QTabWidget*>(QStringLiteral("control-2"))->setCurrentIndex(3);
    auto* filter = program.main()->findChild<QLineEdit*>(QStringLiteral("control-28"));
    QCoreApplication::processEvents();
    // Typing "1", then "12", then deleting back: each a keystroke that changes what is shown.
    const QStringList texts = {QStringLiteral("Stone 1"), QStringLiteral("Stone 12"),
                               QStringLiteral("Stone 1"), QStringLiteral("Stone ")};
    int keystroke = 0;
    for (auto _ : state) {
        filter->setText(texts[keystroke++ % texts.size()]);
        QCoreApplication::processEvents();
        activators.viewport()->repaint();
    }
    state.counters["shown"] = static_cast<double>(activators.model()->rowCount());
}
BENCHMARK(BM_FilterFiftyThousandRowsPerKeystroke)->Unit(benchmark::kMillisecond)->Iterations(40);

// A pop-up's control by its number, wherever its window is.
template <typename Widget>
Widget* popup_control(int number) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* found = window->findChild<Widget*>(QStringLiteral("control-%1").arg(number))) {
            return found;
        }
    }
    return nullptr;
}

BenchmarkFolder& dialogue_set() {
    static BenchmarkFolder instance(fixtures::LargeSetOptions{.responses = 20000});
    return instance;
}

// "Text bearbeiten" -> "Dialog" on the plugin with 20,000 responses: from the menu command
// until the entry list holds every response and has painted.
void BM_OpenDialogEditorOnTwentyThousandResponses(benchmark::State& state) {
    DesktopProgram program(dialogue_set().path());
    program.open(dialogue_set().path() / "plugin.esp");
    std::size_t rows = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        program.action(command::edit_text(5))->trigger();
        ListView* entries = nullptr;
        while ((entries = popup_control<ListView>(text_editor::kEntryList)) == nullptr ||
               entries->list_model().row_count() == 0) {
            QCoreApplication::processEvents();
        }
        entries->viewport()->repaint();
        state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
        rows = static_cast<std::size_t>(entries->list_model().row_count());
        state.PauseTiming();
        popup_control<QWidget>(text_editor::kCancelButton)->window()->close();
        while (popup_control<ListView>(text_editor::kEntryList) != nullptr) {
            QCoreApplication::processEvents();
        }
        state.ResumeTiming();
    }
    state.counters["rows"] = static_cast<double>(rows);
}
BENCHMARK(BM_OpenDialogEditorOnTwentyThousandResponses)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(5);

// One keystroke in the Dialog editor's filter box over 20,000 responses, until the entry list
// has painted again.
void BM_FilterDialogEditorPerKeystroke(benchmark::State& state) {
    DesktopProgram program(dialogue_set().path());
    program.open(dialogue_set().path() / "plugin.esp");
    program.action(command::edit_text(5))->trigger();
    ListView* entries = nullptr;
    while ((entries = popup_control<ListView>(text_editor::kEntryList)) == nullptr ||
           entries->list_model().row_count() == 0) {
        QCoreApplication::processEvents();
    }
    auto* filter = popup_control<QLineEdit>(text_editor::kEntryFilterField);
    const QStringList texts = {QStringLiteral("t"),  QStringLiteral("to"), QStringLiteral("top"),
                               QStringLiteral("to"), QStringLiteral("t"),  QString()};
    int keystroke = 0;
    for (auto _ : state) {
        filter->setText(texts[keystroke++ % texts.size()]);
        QCoreApplication::processEvents();
        entries->viewport()->repaint();
    }
    state.counters["shown"] = static_cast<double>(entries->model()->rowCount());
    popup_control<QWidget>(text_editor::kCancelButton)->window()->close();
    QCoreApplication::processEvents();
}
BENCHMARK(BM_FilterDialogEditorPerKeystroke)->Unit(benchmark::kMillisecond)->Iterations(60);

} // namespace
} // namespace orv::bench

int main(int argc, char** argv) {
    orv::share_one_heap_between_threads();
    orv::back_heap_with_large_pages();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
