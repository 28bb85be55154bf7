// The line under the Dialog editor's translation box, computed anew on every keystroke: the
// topic names and defines a 500-byte translation still lacks, against 20,000 known topics.
// The goal is well under 30 ms per keystroke. Run: build/.../bench/MissingNamesBenchmark
#include <benchmark/benchmark.h>

#include <string>

#include "translation/DialogueRules.h"

namespace orv::bench {
namespace {

const TopicLinks& many_topics() {
    static const ObjectLists lists;
    static const TopicLinks links = [] {
        PairFile topics;
        for (int topic = 0; topic < 20000; ++topic) {
            topics.entries.push_back(
                {"topic " + std::to_string(topic), "Thema " + std::to_string(topic)});
        }
        topics.entries.push_back({"the old mill", "die alte M\xFChle"});
        return TopicLinks(lists, topics);
    }();
    return links;
}

// About 500 bytes naming four topics and two defines.
const Text kOriginal =
    "You want to hear about the old mill, %PCName? Nobody goes there since the flood. Ask "
    "about topic 17 at the inn, or about topic 1203 if the keeper trusts you. They say the "
    "miller kept his savings under the third stone of the wheel house, and that topic 9 is "
    "only a story the children tell. I would not go alone, %PCRank, not at night. Ask about "
    "the old mill again when you have seen it with your own eyes, and bring a lantern, for "
    "the path along the river is dark and the stones are loose after the rain.";

void BM_MissingNamesLinePerKeystroke(benchmark::State& state) {
    const TopicLinks& links = many_topics();
    const Text typed =
        "Du willst von der alten M\xFChle h\xF6ren, %PCName? Seit der Flut geht niemand mehr "
        "hin. Frag im Gasthaus nach Thema 17, oder nach Thema 1203, wenn der Wirt dir traut. "
        "Man sagt, der M\xFCller habe sein Erspartes unter dem dritten Stein des Radhauses "
        "versteckt, und Thema 9 sei nur eine Geschichte der Kinder. Ich ginge nicht allein, "
        "nicht bei Nacht. Frag wieder nach der alten M\xFChle, wenn du sie mit eigenen Augen "
        "gesehen hast.";
    std::size_t length = 0;
    Text line;
    for (auto _ : state) {
        // One keystroke more each time, as typed.
        length = length % typed.size() + 1;
        line = missing_names_line(
            response_problems(links, kOriginal, TextView(typed).substr(0, length)));
        benchmark::DoNotOptimize(line);
    }
    state.counters["topics"] = static_cast<double>(links.size());
}
BENCHMARK(BM_MissingNamesLinePerKeystroke)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace orv::bench
