// Loading the generated 50,001-record plugin against name database files of 20,000
// entries each, and, for comparison, the cost per name of reading the database files from
// their start for every name. Run: build/.../bench/LoadBenchmark
#include <benchmark/benchmark.h>

#include <fstream>

#include "BenchmarkFolder.h"
#include "plugin/PluginReader.h"
#include "plugin/RecordTypes.h"
#include "plugin/Subrecord.h"
#include "translation/PluginLoader.h"

namespace orv::bench {
namespace {

BenchmarkFolder& folder() {
    static BenchmarkFolder instance(fixtures::LargeSetOptions{});
    return instance;
}

class NullView final : public LoaderView {
public:
    void show_progress(const Text& text) override { benchmark::DoNotOptimize(text.data()); }
    void show_rows(int, const std::vector<Element>& elements) override {
        benchmark::DoNotOptimize(elements.data());
    }
};

void BM_LoadIndexed(benchmark::State& state) {
    LocalFiles files;
    for (auto _ : state) {
        TranslationDatabase database(files, folder().path());
        BlockStore store;
        ObjectLists lists;
        NullView view;
        const bool loaded = load_plugin(folder().plugin(), database, store, lists, view).ok();
        if (!loaded) {
            state.SkipWithError("the generated plugin was refused");
        }
        benchmark::DoNotOptimize(store.block_count());
    }
}
BENCHMARK(BM_LoadIndexed)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Whether an entry's original or translation equals `key`, reading the file entry by
// entry from its start through a buffered stream and stopping at the first match: what
// every name cost before the database was indexed.
bool scan_matches(const std::filesystem::path& path, const Text& key) {
    std::ifstream file(path, std::ios::binary);
    Text text;
    while (file) {
        bool matched = false;
        for (int part = 0; part < 2; ++part) {
            unsigned char count[4];
            if (!file.read(reinterpret_cast<char*>(count), 4)) {
                return false;
            }
            const std::size_t length = count[0] | count[1] << 8 | count[2] << 16 |
                                       static_cast<std::size_t>(count[3]) << 24;
            text.resize(length);
            if (!file.read(text.data(), static_cast<std::streamsize>(length))) {
                return false;
            }
            matched = matched || text == key;
        }
        if (matched) {
            return true;
        }
    }
    return false;
}

// The names of the plugin's first object records, each with its kind's database file.
std::vector<std::pair<Text, std::filesystem::path>> sample_names(std::size_t count) {
    std::vector<std::pair<Text, std::filesystem::path>> names;
    const auto plugin = read_plugin(folder().plugin());
    for (const auto& block : plugin->blocks) {
        const auto type = object_type_of(record_tag(block));
        if (!type) {
            continue;
        }
        const auto& record_type = kRecordTypes[static_cast<std::size_t>(*type)];
        const auto name = find_subrecord(block, record_type.name_subrecord);
        names.emplace_back(subrecord_text(block, *name, TextKind::Terminated),
                           data_file_path(folder().path(), record_type.name_database));
        if (names.size() == count) {
            break;
        }
    }
    return names;
}

void BM_ScanPerName(benchmark::State& state) {
    const auto names = sample_names(50);
    const auto external = external_database_path(folder().path());
    for (auto _ : state) {
        for (const auto& [key, path] : names) {
            const bool found = scan_matches(external, key) || scan_matches(path, key);
            benchmark::DoNotOptimize(found);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(names.size()));
    // A whole load does this once per name.
    state.counters["names_per_load"] = 50001;
}
BENCHMARK(BM_ScanPerName)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orv::bench
