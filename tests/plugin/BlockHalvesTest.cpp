#include "plugin/BlockHalves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
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
        std::vector<BlockRun> expected;
        for (std::size_t from = c.first; from < c.end; from += c.length) {
            expected.emplace_back(from, std::min(c.end, from + c.length));
        }
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
TEST(InOrderFromTheFront, HandsOnEveryRunInOrderOnceAllBeforeItAreDone) {
    struct Case {
        std::size_t first, end;
    };
    for (const Case& c : std::vector<Case>{{0, 0}, {1, 4096}, {1, 4097}, {3, 3 + 9000}}) {
        SCOPED_TRACE(testing::Message() << c.first << ".." << c.end);
        const std::size_t length = kBlocksPerShare;
        std::vector<BlockRun> expected;
        if (c.end < c.first + kBlocksForTwoThreads) {
            expected.emplace_back(c.first, c.end);
        } else {
            for (std::size_t from = c.first; from < c.end; from += length) {
                expected.emplace_back(from, std::min(c.end, from + length));
            }
        }
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
                return true;
            });
        EXPECT_TRUE(all);
        EXPECT_EQ(passed, expected);
        std::vector<std::size_t> every(expected.size());
        for (std::size_t k = 0; k < every.size(); ++k) {
            every[k] = k;
        }
        EXPECT_EQ(handed_on, every);
    }
}

// After in_order says no, nothing more is handed on (whatever the threads still finish: runs
// under way are let finish, and whether a thread begins one more in the meantime is a
// question of speed only) and the whole pass reports that it did not get through.
TEST(InOrderFromTheFront, HandsOnNothingOnceARunIsRefused) {
    for (const std::size_t refused_at : {std::size_t{0}, std::size_t{1}, std::size_t{8}}) {
        SCOPED_TRACE(refused_at);
        std::vector<std::size_t> handed_on;
        const bool all = in_order_from_the_front(
            0, 9 * kBlocksPerShare, [](std::size_t, std::size_t, std::size_t) {},
            [&](std::size_t run, std::size_t, std::size_t) {
                handed_on.push_back(run);
                return run != refused_at;
            });
        EXPECT_FALSE(all);
        std::vector<std::size_t> expected(refused_at + 1);
        for (std::size_t k = 0; k < expected.size(); ++k) {
            expected[k] = k;
        }
        EXPECT_EQ(handed_on, expected);
    }
}

} // namespace
} // namespace orv
