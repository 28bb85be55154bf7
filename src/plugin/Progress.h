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
// The same text written into `out`, whose buffer a loop over the blocks reuses.
void write_block_progress(Text& out, const Text& label, std::size_t block,
                          std::int32_t record_count);

} // namespace orv
