#pragma once

#include <cstddef>
#include <mutex>
#include <thread>

namespace orv {

// From this many blocks on, a pass over the blocks gives the second half to a second thread;
// below it, starting a thread costs more than it saves.
inline constexpr std::size_t kBlocksForTwoThreads = 4096;

// How many blocks a thread takes at a time where two threads share a pass run by run.
inline constexpr std::size_t kBlocksPerShare = 1024;

// How many runs of kBlocksPerShare blocks a pass over blocks [first, end) is shared in: one
// below kBlocksForTwoThreads blocks, which one thread does alone.
inline std::size_t share_count(std::size_t first, std::size_t end) {
    if (end < first + kBlocksForTwoThreads) {
        return 1;
    }
    return (end - first + kBlocksPerShare - 1) / kBlocksPerShare;
}

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

// Runs a pass over blocks [first, end), cut into runs of `run_length` blocks (the last one
// shorter), on this thread and a second one that meet where their work balances: this thread
// takes runs from the front, in order, with earlier(run, from, to); the second one first does
// before() and then takes runs from the back, the last first, with later(run, from, to). A
// costly before() or costly blocks on one side thus move the meeting point instead of
// keeping one thread waiting. Returns how many runs this thread took: runs [0, taken) went to
// earlier in order, runs [taken, count) to later. The same rules as for in_two_halves hold:
// the calls must touch different blocks and share nothing they write.
template <typename Earlier, typename Before, typename Later>
std::size_t from_both_ends(std::size_t first, std::size_t end, std::size_t run_length,
                           Earlier&& earlier, Before&& before, Later&& later) {
    const std::size_t runs = end > first ? (end - first + run_length - 1) / run_length : 0;
    const auto run_end = [&](std::size_t run) {
        return run + 1 == runs ? end : first + (run + 1) * run_length;
    };
    std::mutex mutex;
    std::size_t front = 0;
    std::size_t back = runs;
    std::thread helper([&] {
        before();
        for (;;) {
            std::size_t run = 0;
            {
                const std::scoped_lock lock(mutex);
                if (front == back) {
                    return;
                }
                run = --back;
            }
            later(run, first + run * run_length, run_end(run));
        }
    });
    for (;;) {
        std::size_t run = 0;
        {
            const std::scoped_lock lock(mutex);
            if (front == back) {
                break;
            }
            run = front++;
        }
        earlier(run, first + run * run_length, run_end(run));
    }
    helper.join();
    return front;
}

} // namespace orv
