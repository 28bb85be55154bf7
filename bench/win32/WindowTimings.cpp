// Timings of the Windows program's window under Wine (Google Benchmark is not built for
// MinGW): opening the generated 50,001-record plugin until its rows are in the list views
// and painted, and sorting a 50,000-row list by a header click until it is painted. Prints
// the best of three runs of each; run it with the build's wine-run.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "app/Application.h"
#include "fixtures/LargePlugin.h"
#include "fixtures/PluginBuilder.h"
#include "platform/LocalFiles.h"
#include "platform/WorkerThreads.h"
#include "platform/win32/window/Win32Dialogs.h"
#include "platform/win32/window/Win32Window.h"
#include "win32/Win32Remote.h"

namespace {

using namespace orv;
using Clock = std::chrono::steady_clock;

constexpr int kRuns = 3;
constexpr int kActivatorList = 6;

void write_whole(const std::filesystem::path& path, const Bytes& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// The desktop program on a program folder, driven as a user would.
class Program {
public:
    explicit Program(const std::filesystem::path& folder)
        : m_dialogs(m_window), m_program(folder, m_window, m_dialogs, m_files, m_threads),
          m_remote(m_window) {
        m_window.connect_events(m_program, [this] { return m_program.quit_requested(); });
        m_program.start();
        m_window.show();
        settle();
    }
    ~Program() {
        m_window.close();
        m_program.shut_down();
    }

    Win32Remote& remote() { return m_remote; }
    Win32Dialogs& dialogs() { return m_dialogs; }

    void wait_until(const std::function<bool()>& condition) {
        while (!condition()) {
            if (!m_window.run_one()) {
                std::this_thread::yield();
            }
        }
    }
    void settle() {
        while (m_window.run_one()) {
        }
    }
    int rows_shown() {
        int rows = 0;
        for (int list = 3; list < 28; ++list) {
            rows += m_remote.row_count(list);
        }
        return rows;
    }

private:
    Win32Window m_window;
    Win32Dialogs m_dialogs;
    WorkerThreads m_threads;
    LocalFiles m_files;
    Application m_program;
    Win32Remote m_remote;
};

double milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

} // namespace

int main() {
    const auto folder =
        std::filesystem::temp_directory_path() /
        ("orvental-timings-" + std::to_string(Clock::now().time_since_epoch().count()));
    const fixtures::LargeSet large = fixtures::make_large_set(fixtures::LargeSetOptions{});
    for (const auto& [name, bytes] : large.database) {
        write_whole(folder / name, bytes);
    }
    write_whole(folder / "plugin.esp", large.plugin);

    std::vector<Bytes> records;
    for (int record = 0; record < 50000; ++record) {
        // Scattered IDs and names, so that the sort has real work in both directions.
        const int key = static_cast<int>((static_cast<std::int64_t>(record) * 7919) % 50000);
        records.push_back(fixtures::RecordBuilder("ACTI")
                              .text("NAME", "act_" + std::to_string(key))
                              .text("FNAM", "Stone " + std::to_string(50000 - key))
                              .bytes());
    }
    write_whole(folder / "activators.esp", fixtures::plugin(records));

    double best_open = 1e9;
    int rows = 0;
    for (int run = 0; run < kRuns; ++run) {
        Program program(folder);
        program.dialogs().set_next_file_name(folder / "plugin.esp");
        const auto start = Clock::now();
        program.remote().choose_menu(1);
        program.wait_until([&] { return program.remote().menu_enabled(2); });
        const auto loaded = Clock::now();
        program.settle();
        program.remote().paint();
        if (std::getenv("ORV_TIMING_DETAIL") != nullptr) {
            std::printf("  loaded %.0f ms\n", milliseconds(loaded - start));
        }
        best_open = std::min(best_open, milliseconds(Clock::now() - start));
        rows = program.rows_shown();
    }
    std::printf("open 50,001-record plugin until shown: %.0f ms (best of %d; %d rows)\n", best_open,
                kRuns, rows);

    double best_sort = 1e9;
    {
        Program program(folder);
        program.dialogs().set_next_file_name(folder / "activators.esp");
        program.remote().choose_menu(1);
        program.wait_until([&] { return program.remote().menu_enabled(2); });
        program.remote().select_tab(kActivatorList - 3);
        program.settle();
        for (int run = 0; run < kRuns * 2; ++run) {
            // Alternately sorted and reversed: each click has the whole list to reorder.
            const auto start = Clock::now();
            program.remote().click_header(kActivatorList, 1);
            const auto handled = Clock::now();
            program.settle();
            if (std::getenv("ORV_TIMING_DETAIL") != nullptr) {
                std::printf("  click handled %.0f ms\n", milliseconds(handled - start));
            }
            program.remote().paint();
            best_sort = std::min(best_sort, milliseconds(Clock::now() - start));
        }
        std::printf("header-click sort of %d rows until painted: %.0f ms (best of %d)\n",
                    program.remote().row_count(kActivatorList), best_sort, kRuns * 2);
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    return 0;
}
