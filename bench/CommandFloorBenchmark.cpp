// The batch tool's `list` and `translate` on the generated 50,001-record plugin (with game
// settings, dialogue responses and cell references) and its database files, against the I/O
// floor: reading the plugin and every database file once and writing the same bytes to one
// file (plainly, not flushed to the disk; `translate` does flush its output). All three run in
// this one process, alternating, and the median of each is compared; the goal is that each
// command takes at most five times the floor. Run: build/rel/bench/CommandFloorBenchmark
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BenchmarkFolder.h"
#include "cli/ListCommand.h"
#include "cli/TranslateCommand.h"
#include "platform/LocalFiles.h"

namespace orv::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 15;
constexpr double kGoal = 5.0;

double milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

template <typename Work>
double timed(const Work& work) {
    const auto start = Clock::now();
    if (!work()) {
        std::fprintf(stderr, "CommandFloorBenchmark: a run failed\n");
        std::exit(1);
    }
    return milliseconds(Clock::now() - start);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Reads the plugin and every database file, then writes all their bytes to one file.
bool io_floor(const std::filesystem::path& folder) {
    LocalFiles files;
    std::vector<std::filesystem::path> paths{folder / "plugin.esp"};
    for (const auto* sub : {"data", "dataextra"}) {
        for (const auto& entry : std::filesystem::directory_iterator(folder / sub)) {
            paths.push_back(entry.path());
        }
    }
    std::vector<Bytes> contents;
    for (const auto& path : paths) {
        auto bytes = files.read_all(path);
        if (!bytes) {
            return false;
        }
        contents.push_back(std::move(*bytes));
    }
    // A new file each time: rewriting a truncated file can make the file system flush it.
    std::filesystem::remove(folder / "floor.out");
    std::ofstream out(folder / "floor.out", std::ios::binary);
    for (const auto& bytes : contents) {
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    return static_cast<bool>(out.flush());
}

// Runs a command as `orvental-cli --program-dir FOLDER ...` does, its output going to a file
// as when the shell redirects it.
bool command(const std::filesystem::path& folder, const std::vector<std::string>& arguments,
             int (*run)(const cli::Context&, std::span<const std::string>)) {
    LocalFiles files;
    std::filesystem::remove(folder / "command.out");
    std::ofstream out(folder / "command.out", std::ios::binary);
    std::ostringstream err;
    const cli::Context context{files, folder, out, err};
    return run(context, arguments) == cli::kExitOk && out.flush();
}

int run() {
    BenchmarkFolder folder(fixtures::LargeSetOptions{.references = true});
    const auto& path = folder.path();
    const std::string plugin = (path / "plugin.esp").string();
    const std::vector<std::string> list_arguments{plugin};
    const std::vector<std::string> translate_arguments{plugin, "-o",
                                                       (path / "translated.esp").string()};

    std::vector<double> floor_ms;
    std::vector<double> list_ms;
    std::vector<double> translate_ms;
    // One unmeasured round first, so that every file is in the page cache for all three.
    for (int run = -1; run < kRuns; ++run) {
        const double floor = timed([&] { return io_floor(path); });
        const double list = timed([&] { return command(path, list_arguments, cli::run_list); });
        const double translate =
            timed([&] { return command(path, translate_arguments, cli::run_translate); });
        if (run >= 0) {
            floor_ms.push_back(floor);
            list_ms.push_back(list);
            translate_ms.push_back(translate);
        }
    }

    const double floor = median(floor_ms);
    const double list = median(list_ms);
    const double translate = median(translate_ms);
    std::printf("medians of %d runs\n", kRuns);
    std::printf("I/O floor (read all files, write them once) %8.2f ms\n", floor);
    std::printf("list                                        %8.2f ms  ratio %5.2f\n", list,
                list / floor);
    std::printf("translate                                   %8.2f ms  ratio %5.2f\n", translate,
                translate / floor);
    const bool within = list / floor <= kGoal && translate / floor <= kGoal;
    std::printf("goal: both ratios at most %.0f; %s\n", kGoal,
                within ? "within the goal" : "OVER THE GOAL");
    return 0;
}

} // namespace
} // namespace orv::bench

int main() {
    return orv::bench::run();
}
