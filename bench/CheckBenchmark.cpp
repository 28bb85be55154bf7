// The reference check over the generated 50,001-record plugin (dialogue responses with cell
// references and result scripts, every tenth row edited) against 20,000-entry database
// files, including the reading of the database files it needs, whole and as a save runs it
// before writing (scripts and references only). Target: under 50 ms.
// And the dialogue's part of it alone: 20,000 responses under 2,000 topics, every one of
// them translated, checked for lost topic links, defines and length against the plugin's
// topics and the 20,000-entry topic file. Target: under 100 ms.
// Run: build/.../bench/CheckBenchmark
#include <benchmark/benchmark.h>

#include "BenchmarkFolder.h"
#include "BenchmarkViews.h"
#include "save/DialogueCheck.h"
#include "save/ReferenceCheck.h"
#include "translation/PluginLoader.h"
#include "translation/Responses.h"

namespace orv::bench {
namespace {

BenchmarkFolder& folder() {
    static BenchmarkFolder instance(fixtures::LargeSetOptions{.references = true, .scripts = true});
    return instance;
}

void run_check(benchmark::State& state, CheckScope scope) {
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
        auto checked = check_plugin(store, lists, files, folder().path(), scope);
        if (!checked) {
            state.SkipWithError("the database could not be read");
            break;
        }
        findings = checked->size();
        benchmark::DoNotOptimize(checked);
    }
    state.counters["findings"] = static_cast<double>(findings);
}
void BM_Check(benchmark::State& state) {
    run_check(state, CheckScope::Everything);
}
BENCHMARK(BM_Check)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// What Save and translate ask about before they write: scripts and references only.
void BM_CheckBeforeSaving(benchmark::State& state) {
    run_check(state, CheckScope::ScriptsAndReferences);
}
BENCHMARK(BM_CheckBeforeSaving)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DialogueCheck(benchmark::State& state) {
    static BenchmarkFolder dialogue(fixtures::LargeSetOptions{.records = 1, .responses = 20000});
    LocalFiles files;
    TranslationDatabase database(files, dialogue.path());
    BlockStore store;
    ObjectLists lists;
    NullLoaderView loader_view;
    if (!load_plugin(dialogue.plugin(), database, store, lists, loader_view)) {
        state.SkipWithError("the generated plugin was refused");
        return;
    }
    // Every response translated, keeping one of its two links and losing its define.
    for (auto& response : lists.responses()) {
        set_response_text(store, response,
                          "Die Antwort fragt nach " +
                              response.original.substr(response.original.find("Thing")));
    }
    const Bytes& topic_file = dialogue.database_file("data/Dialdata.dat");
    std::size_t findings = 0;
    for (auto _ : state) {
        std::vector<Finding> found;
        check_dialogue(store, lists, topic_file, found);
        findings = found.size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["responses"] = static_cast<double>(lists.responses().size());
    state.counters["findings"] = static_cast<double>(findings);
}
BENCHMARK(BM_DialogueCheck)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
} // namespace orv::bench
