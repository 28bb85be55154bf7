#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "platform/Text.h"

namespace orv {

// Receives the progress texts of a long operation, meant for status field 1.
using ProgressFunction = std::function<void(const Text&)>;

// "LABEL" k " / " N, the form of every progress text that counts blocks.
Text block_progress(const Text& label, std::size_t block, std::int32_t record_count);

// The same texts for a pass over the blocks, made in one buffer: only the block number
// changes from call to call, so nothing is allocated per block.
class BlockProgress {
public:
    BlockProgress(const Text& label, std::int32_t record_count);

    // The text for block k, valid until the next call.
    const Text& text(std::size_t block);

private:
    Text m_text;
    std::size_t m_label_size = 0;
    Text m_tail;
};

} // namespace orv
