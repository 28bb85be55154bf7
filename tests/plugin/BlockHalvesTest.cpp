#include "plugin/BlockHalves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <thread>
#include <utility>
#include <vector>

namespace orv {
namespace {

using BlockRun = std::pair<std::size_t, std::size_t>;

// Which thread is kept busy, so that the other one must take the runs.
enum class Busy {
    Neither,
    // before() holds the second thread until this one has done every run.
    SecondThread,
    // This thread's first run holds it until the second one has done every other run; the
    // second one's before() waits until this thread has begun it, which it would otherwise
    // not do for certain on a slow or busy machine.
    ThisThread,
};

void wait_for(const std::atomic<std::size_t>& count, std::size_t at_least) {
    while (count.load() < at_least) {
        std::this_thread::yield();
    }
}

// Blocks [first, end) cut every `length` blocks from `first`.
std::vector<BlockRun> runs_of(std::size_t first, std::size_t end, std::size_t length) {
    std::vector<BlockRun> runs;
    for (std::size_t from = first; from < end; from += length) {
        runs.emplace_back(from, std::min(end, from + length));
    }
    return runs;
}

TEST(FromBothEnds, EveryBlockGoesToOneRunAndTheBusierThreadTakesFewerRuns) {
    struct Case {
        std::size_t first, end, length;
        Busy busy;
    };
    const std::vector<Case> cases = {
        {0, 0, 4, Busy::Neither},          {5, 5, 4, Busy::SecondThread},
        {0, 3, 4, Busy::ThisThread},       {0, 8, 4, Busy::Neither},
        {3, 12, 4, Busy::SecondThread},    {3, 12, 4, Busy::ThisThread},
        {1, 4097, 1024, Busy::ThisThread}, {0, 6, 1, Busy::ThisThread},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << ".." << c.end << " by " << c.length
                                        << ", busy " << static_cast<int>(c.busy));
        const std::vector<BlockRun> expected = runs_of(c.first, c.end, c.length);
        const std::size_t runs = expected.size();
        std::vector<BlockRun> earlier;
        std::vector<BlockRun> later;
        std::atomic<std::size_t> earlier_done{0};
        std::atomic<std::size_t> later_done{0};
        std::atomic<std::size_t> earlier_begun{0};
        int before_calls = 0;
        bool before_came_first = true;
        const std::size_t taken = from_both_ends(
            c.first, c.end, c.length,
            [&](std::size_t run, std::size_t from, std::size_t to) {
                EXPECT_EQ(run, earlier.size());
                ++earlier_begun;
                if (c.busy == Busy::ThisThread && run == 0) {
                    wait_for(later_done, runs - 1);
                }
                earlier.emplace_back(from, to);
                ++earlier_done;
            },
            [&] {
                ++before_calls;
                if (c.busy == Busy::SecondThread) {
                    wait_for(earlier_done, runs);
                } else if (c.busy == Busy::ThisThread) {
                    wait_for(earlier_begun, 1);
                }
            },
            [&](std::size_t run, std::size_t from, std::size_t to) {
                before_came_first = before_came_first && before_calls == 1;
                EXPECT_EQ(run, runs - 1 - later.size());
                later.emplace_back(from, to);
                ++later_done;
            });
        EXPECT_EQ(before_calls, 1);
        EXPECT_TRUE(before_came_first);
        EXPECT_EQ(taken, earlier.size());
        if (c.busy == Busy::SecondThread) {
            EXPECT_EQ(taken, runs);
        } else if (c.busy == Busy::ThisThread) {
            EXPECT_EQ(taken, std::min<std::size_t>(runs, 1));
        }
        // This thread's runs from the front in order, then the second one's from the back:
        // together every block once, cut every `length` blocks from `first`.
        std::vector<BlockRun> all = earlier;
        all.insert(all.end(), later.rbegin(), later.rend());
        EXPECT_EQ(all, expected);
    }
}

// Both threads take runs from the front; whatever order they finish in, in_order sees every
// run once, in order, on the calling thread, and only when it and all before it are done.
// Run 0 is held until run 1 is done, so the runs finish out of order whenever there are two.
// After in_order says no, nothing more is handed on (whatever the threads still finish: runs
// under way are let finish, and whether a thread begins one more in the meantime is a
// question of speed only) and the whole pass reports that it did not get through.
TEST(InOrderFromTheFront, HandsOnEveryRunInOrderOnceAllBeforeItAreDoneUntilOneIsRefused) {
    constexpr std::size_t kNever = SIZE_MAX;
    constexpr std::size_t kNine = 9 * kBlocksPerShare;
    struct Case {
        std::size_t first, end, refused_at;
    };
    const std::vector<Case> cases = {
        {0, 0, kNever}, {1, 4096, kNever}, {1, 4097, kNever}, {3, 3 + 9000, kNever},
        {0, kNine, 0},  {0, kNine, 1},     {0, kNine, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.first << ".." << c.end << ", refused at " << c.refused_at);
        const std::vector<BlockRun> expected = c.end < c.first + kBlocksForTwoThreads
                                                   ? std::vector<BlockRun>{{c.first, c.end}}
                                                   : runs_of(c.first, c.end, kBlocksPerShare);
        std::vector<BlockRun> passed(expected.size());
        std::vector<std::atomic<bool>> done(expected.size());
        std::vector<std::size_t> handed_on;
        const auto caller = std::this_thread::get_id();
        const bool all = in_order_from_the_front(
            c.first, c.end,
            [&](std::size_t run, std::size_t from, std::size_t to) {
                if (run == 0 && expected.size() > 1) {
                    while (!done[1]) {
                        std::this_thread::yield();
                    }
                }
                passed[run] = {from, to};
                done[run] = true;
            },
            [&](std::size_t run, std::size_t from, std::size_t to) {
                EXPECT_EQ(std::this_thread::get_id(), caller);
                EXPECT_EQ(BlockRun(from, to), expected[run]);
                for (std::size_t k = 0; k <= run; ++k) {
                    EXPECT_TRUE(done[k]) << "run " << k << " not done at " << run;
                }
                handed_on.push_back(run);
                return run != c.refused_at;
            });
        const bool refused = c.refused_at < expected.size();
        EXPECT_EQ(all, !refused);
        std::vector<std::size_t> in_order(refused ? c.refused_at + 1 : expected.size());
        std::iota(in_order.begin(), in_order.end(), std::size_t{0});
        EXPECT_EQ(handed_on, in_order);
        if (!refused) {
            EXPECT_EQ(passed, expected);
        }
    }
}

} // namespace
} // namespace orv
