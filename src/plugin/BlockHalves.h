#pragma once

#include <cstddef>
#include <thread>

namespace orv {

// From this many blocks on, a pass over the blocks gives the second half to a second thread;
// below it, starting a thread costs more than it saves.
inline constexpr std::size_t kBlocksForTwoThreads = 4096;

// Runs a pass over blocks [first, end): for fewer than kBlocksForTwoThreads blocks
// earlier(first, end) alone; otherwise later(middle, end) on a second thread while
// earlier(first, middle) runs on this one, and returns once both are done. The two parts
// must touch different blocks and share nothing they write; the caller joins their results,
// the earlier part's first, so that everything stays in block order.
template <typename Earlier, typename Later>
void in_two_halves(std::size_t first, std::size_t end, Earlier&& earlier, Later&& later) {
    if (end < first + kBlocksForTwoThreads) {
        earlier(first, end);
        return;
    }
    const std::size_t middle = first + (end - first) / 2;
    std::thread helper([&later, middle, end] { later(middle, end); });
    earlier(first, middle);
    helper.join();
}

} // namespace orv
