#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/Text.h"

namespace orv {

// Receives the progress texts of a long operation, meant for status field 1. An empty one
// stands for a caller that shows no progress: no text is made for it.
using ProgressFunction = std::function<void(const Text&)>;

// The progress function of a view with show_progress() and wants_progress(): empty for a view
// that shows no progress (the batch tool's), so that no pass makes texts nobody sees.
template <typename View>
ProgressFunction progress_of(View& view) {
    if (!view.wants_progress()) {
        return {};
    }
    return [&view](const Text& text) { view.show_progress(text); };
}

// "LABEL" k " / " N, the form of every progress text that counts blocks.
Text block_progress(const Text& label, std::size_t block, std::int32_t record_count);

// The same texts for a pass over the blocks, made in one buffer: only the block number
// changes from call to call, so nothing is allocated per block.
class BlockProgress {
public:
    BlockProgress(const Text& label, std::int32_t record_count);

    // The text for block k, valid until the next call.
    const Text& text(std::size_t block);
    // Shows the text for block k through `progress`; nothing is made for an empty one.
    void show(std::size_t block, const ProgressFunction& progress);

private:
    Text m_text;
    std::size_t m_label_size = 0;
    Text m_tail;
};

} // namespace orv
