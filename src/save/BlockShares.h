#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>

#include "plugin/BlockHalves.h"

namespace orv {

// How many blocks a thread takes at a time in in_shares_on_two_threads().
inline constexpr std::size_t kBlocksPerShare = 1024;

// How many shares in_shares_on_two_threads() makes of blocks [first, end).
inline std::size_t share_count(std::size_t first, std::size_t end) {
    if (end < first + kBlocksForTwoThreads) {
        return 1;
    }
    return (end - first + kBlocksPerShare - 1) / kBlocksPerShare;
}

// Runs a pass over blocks [first, end) as shares of kBlocksPerShare blocks: for fewer than
// kBlocksForTwoThreads blocks pass(0, first, end) alone; otherwise this thread and a second one
// each take the next share nobody has taken yet until none is left, and it returns once both
// are done. Unlike halves, a thread whose blocks are cheap takes more of them, so a plugin
// whose costly records lie together (its dialogue at the end) keeps both threads busy.
// pass(share, from, end) runs on both threads at once; each block goes to one call only, and
// `share` counts the shares from 0 in block order, so that a caller can put results back
// in block order.
template <typename Pass>
void in_shares_on_two_threads(std::size_t first, std::size_t end, Pass&& pass) {
    if (end < first + kBlocksForTwoThreads) {
        pass(std::size_t{0}, first, end);
        return;
    }
    std::atomic<std::size_t> next_share{0};
    const auto work = [&] {
        for (;;) {
            const std::size_t share = next_share.fetch_add(1);
            const std::size_t from = first + share * kBlocksPerShare;
            if (from >= end) {
                return;
            }
            pass(share, from, std::min(end, from + kBlocksPerShare));
        }
    };
    std::thread helper(work);
    work();
    helper.join();
}

} // namespace orv
