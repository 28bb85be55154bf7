// Saving the generated 50,001-record plugin (with game settings, dialogue responses and
// cell references to translate) against 20,000-entry database files, compared with
// copying the plugin file. Run: build/.../bench/SaveBenchmark
#include <benchmark/benchmark.h>

#include "BenchmarkFolder.h"
#include "BenchmarkViews.h"
#include "platform/AtomicWrite.h"
#include "save/SavePipeline.h"
#include "translation/PluginLoader.h"

namespace orv::bench {
namespace {

BenchmarkFolder& folder() {
    static BenchmarkFolder instance(fixtures::LargeSetOptions{.references = true});
    return instance;
}

void BM_Save(benchmark::State& state) {
    LocalFiles files;
    const auto target = folder().path() / "saved.esp";
    for (auto _ : state) {
        state.PauseTiming();
        TranslationDatabase database(files, folder().path());
        BlockStore store;
        ObjectLists lists;
        NullLoaderView loader_view;
        if (!load_plugin(folder().plugin(), database, store, lists, loader_view)) {
            state.SkipWithError("the generated plugin was refused");
            break;
        }
        edit_rows(lists);
        NullSaveView view;
        state.ResumeTiming();
        if (!save_plugin(store, lists, files, folder().path(), target, view)) {
            state.SkipWithError("the save failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(folder().plugin().size()));
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Reading the plugin file and writing it to a new file the same safe way a save does
// (temporary file, flushed to the disk, renamed): the floor for any save.
void BM_CopyPluginFile(benchmark::State& state) {
    LocalFiles files;
    const auto source = folder().path() / "plugin.esp";
    const auto target = folder().path() / "copied.esp";
    for (auto _ : state) {
        auto bytes = files.read_all(source);
        if (!bytes || !write_file_atomically(files, target, *bytes)) {
            state.SkipWithError("the copy failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(folder().plugin().size()));
}
BENCHMARK(BM_CopyPluginFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
} // namespace orv::bench
