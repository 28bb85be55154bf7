#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

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

// Runs a pass over blocks [first, end), cut into share_count(first, end) runs of
// kBlocksPerShare blocks (the last one shorter; one run of all of them below
// kBlocksForTwoThreads blocks), on this thread and a second one that both take the runs from
// the front, in order, with pass(run, from, to). As soon as runs 0 to k are all done, this
// thread calls in_order(k, from, to): once for every run, in run order, between runs of its
// own and, after its last, as the second thread finishes the rest. So what the pass made of
// the first blocks can go on (to a file, say) while later blocks are still worked on. When
// in_order returns false, no further run is begun and no further in_order is called; the
// runs begun are finished first. Returns whether every run reached in_order and every call
// returned true. The pass calls must touch different blocks and share nothing they write.
template <typename Pass, typename InOrder>
bool in_order_from_the_front(std::size_t first, std::size_t end, Pass&& pass, InOrder&& in_order) {
    if (end < first + kBlocksForTwoThreads) {
        pass(std::size_t{0}, first, end);
        return in_order(std::size_t{0}, first, end);
    }
    const std::size_t runs = share_count(first, end);
    const auto run_from = [&](std::size_t run) { return first + run * kBlocksPerShare; };
    const auto run_end = [&](std::size_t run) { return run + 1 == runs ? end : run_from(run + 1); };
    std::mutex mutex;
    std::condition_variable run_done;
    std::vector<char> done(runs, 0);
    std::size_t next = 0;
    bool stopped = false;
    // The next run to begin, or `runs` when there is none (all begun, or stopped).
    const auto take = [&] {
        const std::scoped_lock lock(mutex);
        return stopped ? runs : next < runs ? next++ : runs;
    };
    const auto work = [&](std::size_t run) {
        pass(run, run_from(run), run_end(run));
        {
            const std::scoped_lock lock(mutex);
            done[run] = 1;
        }
        run_done.notify_one();
    };
    std::thread helper([&] {
        for (std::size_t run = take(); run < runs; run = take()) {
            work(run);
        }
    });
    std::size_t delivered = 0;
    // Hands on the runs done in order; waits for those begun when `to_the_end`.
    const auto deliver = [&](bool to_the_end) {
        for (;;) {
            {
                std::unique_lock lock(mutex);
                if (to_the_end) {
                    run_done.wait(lock, [&] { return delivered == next || done[delivered]; });
                }
                if (stopped || delivered == next || !done[delivered]) {
                    return;
                }
            }
            if (!in_order(delivered, run_from(delivered), run_end(delivered))) {
                const std::scoped_lock lock(mutex);
                stopped = true;
                return;
            }
            ++delivered;
        }
    };
    for (std::size_t run = take(); run < runs; run = take()) {
        work(run);
        deliver(false);
    }
    deliver(true);
    helper.join();
    return delivered == runs;
}

} // namespace orv
