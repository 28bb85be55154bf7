// Learning from a pair of files and listing the changes between them, on any bytes. The
// input is split at the first "#DE#" into the English and the German file (without a
// marker, at the middle). Checked:
// - every record of each file is either paired or listed without a partner, once;
// - a file learned from itself teaches nothing and pairs every record;
// - the changes between a file and itself are none;
// - learning is the same on a second run.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "FuzzSupport.h"
#include "learn/LearnReport.h"
#include "learn/Learning.h"
#include "learn/PluginDiff.h"

using namespace orv;

namespace {

void check_counts(const LearnSummary& summary) {
    if (summary.paired + summary.english_only.size() != summary.english_records ||
        summary.paired + summary.german_only.size() != summary.german_records) {
        fuzz::fail("a record is neither paired nor listed without a partner");
    }
}

void check_self(ByteSpan file) {
    const auto learned = learn_from_plugins({file, file, "a.esp", "a.esp", "2024-01-01"});
    if (!learned) {
        return;
    }
    if (!learned->names.empty() || !learned->memory.empty() ||
        learned->summary.paired != learned->summary.english_records) {
        fuzz::fail("a file learned from itself teaches something or leaves records unpaired");
    }
    const auto changes = diff_plugins(file, file, "a.esp", "a.esp");
    if (!changes || !changes->empty()) {
        fuzz::fail("a file differs from itself");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t marker = input.find("#DE#");
    const std::size_t split = marker == std::string_view::npos ? size / 2 : marker;
    const std::size_t german_start = marker == std::string_view::npos ? split : split + 4;
    const Bytes english = fuzz::owned(data, split);
    const Bytes german = fuzz::owned(data + german_start, size - german_start);

    const LearnInput pair{english, german, "en.esp", "de.esp", "2024-01-01"};
    const auto learned = learn_from_plugins(pair);
    if (learned) {
        check_counts(learned->summary);
        (void)describe_learned(learned->summary, "de.esp", 10);
        const auto again = learn_from_plugins(pair);
        if (!again || again->names != learned->names || again->memory != learned->memory) {
            fuzz::fail("learning twice gives two results");
        }
    }
    (void)diff_plugins(english, german, "en.esp", "de.esp");
    check_self(english);
    return 0;
}
