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
    // This thread's first run holds it until the second one has done every other run.
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
        int before_calls = 0;
        bool before_came_first = true;
        const std::size_t taken = from_both_ends(
            c.first, c.end, c.length,
            [&](std::size_t run, std::size_t from, std::size_t to) {
                EXPECT_EQ(run, earlier.size());
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

} // namespace
} // namespace orv
