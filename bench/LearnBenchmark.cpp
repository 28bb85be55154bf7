// Learning from a generated English file of about 80 MB and its German version (every
// name, topic, cell, response and script text changed), as from the base game's master
// files: both files read from disk, paired, and the external database and the memory
// written into a fresh folder. The target is under 5 s. Run: build/.../bench/LearnBenchmark
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "fixtures/LargePlugin.h"
#include "learn/LearnInto.h"
#include "platform/LocalFiles.h"
#include "plugin/Dialogue.h"
#include "plugin/PluginReader.h"
#include "plugin/ResultScript.h"
#include "plugin/Subrecord.h"

namespace orv::bench {
namespace {

// The German version of a block: each name, response text and script text gets "De "
// in front of it.
void translate_block(Block& block) {
    for (const TextView tag : {"FNAM", "NAME"}) {
        if (tag == "NAME" && !tag_at(block, 0, "CELL") && !tag_at(block, 0, "DIAL")) {
            continue;
        }
        if (const auto name = find_subrecord(block, tag); name && name->size > 1) {
            replace_subrecord_text(block, *name, TextKind::Terminated,
                                   "De " + subrecord_text(block, *name, TextKind::Terminated));
        }
    }
    if (!tag_at(block, 0, "INFO")) {
        return;
    }
    if (const auto place = response_text_place(block)) {
        replace_subrecord_text(block, place->subrecord, place->kind,
                               "De " + response_text(block, *place));
    }
    if (const auto script = find_subrecord(block, "BNAM")) {
        const auto rewrite = rewrite_script_arguments(
            result_script_text(block, *script), ScriptArgumentKind::Text,
            [](TextView text) -> std::optional<Text> { return "De " + Text(text); });
        replace_subrecord_text(block, *script, TextKind::Whole, rewrite.script);
    }
}

Bytes german_version(const Bytes& english) {
    auto plugin = read_plugin(english);
    if (!plugin) {
        std::abort();
    }
    Bytes german;
    german.reserve(english.size() + english.size() / 8);
    for (std::size_t number = 0; number < plugin->blocks.size(); ++number) {
        Block& block = plugin->blocks[number];
        if (number > 0) {
            translate_block(block);
        }
        german.insert(german.end(), block.begin(), block.end());
    }
    return german;
}

// The two files in a temporary folder, removed at exit.
class PairFolder {
public:
    PairFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "orvental-learn-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::abort();
        }
        m_folder = pattern;
        const auto set = fixtures::make_large_set(
            {.records = 700000, .database_entries = 2000, .references = true, .responses = 150000});
        const Bytes german = german_version(set.plugin);
        m_bytes = set.plugin.size() + german.size();
        LocalFiles files;
        if (!write(files, english(), set.plugin) || !write(files, this->german(), german)) {
            std::abort();
        }
    }
    ~PairFolder() {
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }
    PairFolder(const PairFolder&) = delete;
    PairFolder& operator=(const PairFolder&) = delete;

    std::filesystem::path english() const { return m_folder / "English.esm"; }
    std::filesystem::path german() const { return m_folder / "German.esm"; }
    std::filesystem::path into() const { return m_folder / "dataextra"; }
    std::size_t bytes() const { return m_bytes; }

private:
    static bool write(Files& files, const std::filesystem::path& path, const Bytes& bytes) {
        auto file = files.create(path);
        return file && (*file)->write(bytes) && (*file)->close();
    }

    std::filesystem::path m_folder;
    std::size_t m_bytes = 0;
};

PairFolder& pair() {
    static PairFolder instance;
    return instance;
}

void BM_LearnFromMasterFiles(benchmark::State& state) {
    LocalFiles files;
    std::size_t learned = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::error_code error;
        std::filesystem::remove_all(pair().into(), error);
        state.ResumeTiming();
        const auto summary =
            learn_into(files, {pair().english(), pair().german(), pair().into()}, "2024-01-01");
        if (!summary) {
            state.SkipWithError("learning was refused");
            return;
        }
        learned = summary->new_names + summary->new_texts;
    }
    state.counters["MB_both_files"] = static_cast<double>(pair().bytes()) / 1e6;
    state.counters["entries_written"] = static_cast<double>(learned);
}
BENCHMARK(BM_LearnFromMasterFiles)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
} // namespace orv::bench
