// Peak memory of loading and saving the generated 50,001-record plugin against 20,000-entry
// database files, compared with the sizes of the files involved. The measurement runs in a
// fresh process of its own (this program started again with --measure FOLDER), so that
// generating the files does not count. Run: build/.../bench/MemoryBenchmark
//
// Peak memory is the process's resident high-water mark (VmHWM), read after loading and after
// saving; the goal is less than three times the plugin's size plus the database files' size.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "BenchmarkFolder.h"
#include "BenchmarkViews.h"
#include "save/SavePipeline.h"
#include "translation/PluginLoader.h"

extern char** environ;

namespace orv::bench {
namespace {

// A field of /proc/self/status in bytes ("VmHWM", "VmRSS"), or 0.
std::uint64_t status_bytes(const std::string& field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::stoull(line.substr(field.size() + 1)) * 1024;
        }
    }
    return 0;
}

double mib(std::uint64_t bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

std::uint64_t database_size(const std::filesystem::path& folder) {
    std::uint64_t total = 0;
    for (const auto* sub : {"data", "dataextra"}) {
        for (const auto& entry : std::filesystem::directory_iterator(folder / sub)) {
            total += entry.file_size();
        }
    }
    return total;
}

// Loads and saves as `orvental-cli translate` does, reporting the peaks.
int measure(const std::filesystem::path& folder) {
    using Clock = std::chrono::steady_clock;
    const std::uint64_t start_rss = status_bytes("VmRSS");
    const std::uint64_t plugin_size = std::filesystem::file_size(folder / "plugin.esp");
    const std::uint64_t databases = database_size(folder);

    LocalFiles files;
    BlockStore store;
    ObjectLists lists;
    const auto load_start = Clock::now();
    {
        auto bytes = files.read_contents(folder / "plugin.esp");
        TranslationDatabase database(files, folder);
        NullLoaderView view;
        if (!bytes || !load_plugin(std::move(*bytes), database, store, lists, view)) {
            std::fprintf(stderr, "MemoryBenchmark: the generated plugin was not loaded\n");
            return 1;
        }
    }
    const auto load_time = Clock::now() - load_start;
    const std::uint64_t load_peak = status_bytes("VmHWM");

    edit_rows(lists);
    NullSaveView view;
    const auto save_start = Clock::now();
    if (!save_plugin(store, lists, files, folder, folder / "saved.esp", view)) {
        std::fprintf(stderr, "MemoryBenchmark: the save failed\n");
        return 1;
    }
    const auto save_time = Clock::now() - save_start;
    const std::uint64_t save_peak = status_bytes("VmHWM");

    const std::uint64_t goal = 3 * plugin_size + databases;
    const auto ms = [](auto duration) {
        return std::chrono::duration_cast<std::chrono::milliseconds>(duration).count();
    };
    std::printf("plugin                 %8.2f MiB (%llu records)\n", mib(plugin_size),
                static_cast<unsigned long long>(store.record_count()));
    std::printf("database files         %8.2f MiB\n", mib(databases));
    std::printf("resident at start      %8.2f MiB\n", mib(start_rss));
    std::printf("peak after loading     %8.2f MiB (load %lld ms)\n", mib(load_peak),
                static_cast<long long>(ms(load_time)));
    std::printf("peak after saving      %8.2f MiB (save %lld ms)\n", mib(save_peak),
                static_cast<long long>(ms(save_time)));
    std::printf("goal: 3 x plugin + databases = %.2f MiB; peak is %.2f x plugin + databases; %s\n",
                mib(goal),
                static_cast<double>(save_peak) / static_cast<double>(plugin_size + databases),
                save_peak < goal ? "within the goal" : "OVER THE GOAL");
    return 0;
}

} // namespace
} // namespace orv::bench

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--measure") == 0) {
        return orv::bench::measure(argv[2]);
    }
    // The files are generated here and measured in a fresh process.
    orv::bench::BenchmarkFolder folder(orv::fixtures::LargeSetOptions{.references = true});
    const std::string path = folder.path().string();
    char measure_flag[] = "--measure";
    char* child_argv[] = {argv[0], measure_flag, const_cast<char*>(path.c_str()), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, child_argv, environ) != 0) {
        std::perror("MemoryBenchmark: posix_spawn");
        return 1;
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return 1;
    }
    return WEXITSTATUS(status);
}
