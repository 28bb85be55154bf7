#pragma once

#include <cstddef>

#include "plugin/BlockHalves.h"

namespace orv {

// Runs a pass over blocks [first, end) as shares of kBlocksPerShare blocks: for fewer than
// kBlocksForTwoThreads blocks pass(0, first, end) alone; otherwise this thread takes shares
// from the front and a second one from the back until they meet, and it returns once both
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
    (void)from_both_ends(
        first, end, kBlocksPerShare, pass, [] {}, pass);
}

} // namespace orv
