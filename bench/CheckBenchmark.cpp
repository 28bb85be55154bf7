// The reference check over the generated 50,001-record plugin (dialogue responses with cell
// references and result scripts, every tenth row edited) against 20,000-entry database
// files, including the reading of the database files it needs. Target: under 50 ms.
// Run: build/.../bench/CheckBenchmark
#include <benchmark/benchmark.h>

#include "BenchmarkFolder.h"
#include "BenchmarkViews.h"
#include "save/ReferenceCheck.h"
#include "translation/PluginLoader.h"

namespace orv::bench {
namespace {

BenchmarkFolder& folder() {
    static BenchmarkFolder instance(fixtures::LargeSetOptions{.references = true, .scripts = true});
    return instance;
}

void BM_Check(benchmark::State& state) {
    LocalFiles files;
    TranslationDatabase database(files, folder().path());
    BlockStore store;
    ObjectLists lists;
    NullLoaderView loader_view;
    if (!load_plugin(folder().plugin(), database, store, lists, loader_view)) {
        state.SkipWithError("the generated plugin was refused");
        return;
    }
    edit_rows(lists);
    std::size_t findings = 0;
    for (auto _ : state) {
        auto checked = check_plugin(store, lists, files, folder().path());
        if (!checked) {
            state.SkipWithError("the database could not be read");
            break;
        }
        findings = checked->size();
        benchmark::DoNotOptimize(checked);
    }
    state.counters["findings"] = static_cast<double>(findings);
}
BENCHMARK(BM_Check)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
} // namespace orv::bench
