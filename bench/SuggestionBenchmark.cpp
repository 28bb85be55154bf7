// Suggestions for one EV Name from a 50,000-entry translation memory and a 50,000-entry
// database (the generated name files, 2,000 entries each, and the external database), and
// building that index once. The goal is under 20 ms per query.
// Run: build/.../bench/SuggestionBenchmark
#include <benchmark/benchmark.h>

#include <filesystem>

#include "fixtures/LargePlugin.h"
#include "plugin/RecordTypes.h"
#include "translation/Suggestions.h"

namespace orv::bench {
namespace {

std::vector<MemoryEntry> large_memory(int entries) {
    std::vector<MemoryEntry> memory;
    for (int i = 0; i < entries; ++i) {
        memory.push_back({i % kObjectListCount,
                          "Rusty Thing " + std::to_string(i),
                          "Rostiges Ding " + std::to_string(i),
                          "2024-05-01",
                          {}});
    }
    return memory;
}

std::vector<NamedPairFile> large_database(int entries_per_file) {
    const auto set = fixtures::make_large_set({.records = 1, .database_entries = entries_per_file});
    std::vector<NamedPairFile> files;
    for (const auto& [path, bytes] : set.database) {
        const std::string name = std::filesystem::path(path).filename().string();
        if (name != "Gmstdata.dat") {
            files.push_back({name, parse_pair_file(bytes)});
        }
    }
    return files;
}

const SuggestionIndex& index() {
    static const SuggestionIndex built(large_memory(50000), large_database(2000));
    return built;
}

void BM_BuildSuggestionIndex(benchmark::State& state) {
    const auto memory = large_memory(50000);
    const auto database = large_database(2000);
    for (auto _ : state) {
        SuggestionIndex built(memory, database);
        benchmark::DoNotOptimize(built.size());
    }
}
BENCHMARK(BM_BuildSuggestionIndex)->Unit(benchmark::kMillisecond);

// One query per iteration, cycling through an exact name, a typo, a memory name, a name
// nothing knows and a name made of the most common words.
void BM_Suggest(benchmark::State& state) {
    const std::vector<Text> queries = {"Thing 16-1234", "Thnig 16-1243", "rusty thing 4242",
                                       "Glowing Crystal Shard", "Thing Ding"};
    const std::optional<int> list =
        state.range(0) != 0 ? std::optional<int>(16) : std::optional<int>();
    std::size_t next = 0;
    for (auto _ : state) {
        const auto suggestions = index().suggest(queries[next], list);
        benchmark::DoNotOptimize(suggestions.data());
        next = (next + 1) % queries.size();
    }
    state.counters["entries"] = static_cast<double>(index().size());
}
BENCHMARK(BM_Suggest)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orv::bench
