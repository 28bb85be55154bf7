// The rules every window backend shares: handing calls to the window's thread, the status
// fields' update throttle, reporting a size only when it changed.
#include <atomic>
#include <future>
#include <thread>

#include <gtest/gtest.h>

#include "platform/ListRowRules.h"
#include "platform/SizeReport.h"
#include "platform/StatusThrottle.h"
#include "platform/TextMarks.h"
#include "platform/WindowCalls.h"

namespace orv {
namespace {

using std::chrono::milliseconds;

TEST(WindowCalls, WorkerCallsRunOnTheOwnerInOrderQuestionsWaitAndClosingEndsThem) {
    std::atomic<int> wakes{0};
    WindowCalls calls([&wakes] { ++wakes; });
    std::vector<int> seen;
    std::atomic<bool> answered{false};
    int answer = 0;
    std::thread worker([&] {
        calls.post([&] { seen.push_back(1); });
        calls.post([&] { seen.push_back(2); });
        answer = calls.ask<int>([&] { return static_cast<int>(seen.size()) * 10; }, -1);
        answered = true;
    });
    // The owner serves the queue when woken, as a backend's event loop does.
    while (!answered) {
        calls.run_pending();
        std::this_thread::yield();
    }
    worker.join();
    EXPECT_EQ(seen, std::vector<int>({1, 2}));
    EXPECT_EQ(answer, 20);
    EXPECT_GE(wakes, 1);
    // On the owner's own thread a call runs at once.
    calls.post([&] { seen.push_back(3); });
    EXPECT_EQ(seen.back(), 3);

    // Nobody serves the queue now: only close() ends a worker's wait, and later calls drop.
    auto waiting =
        std::async(std::launch::async, [&] { return calls.ask<int>([] { return 1; }, -1); });
    EXPECT_EQ(waiting.wait_for(milliseconds(20)), std::future_status::timeout);
    calls.close();
    EXPECT_EQ(waiting.get(), -1);
    bool ran = false;
    calls.post([&] { ran = true; });
    calls.run_pending();
    EXPECT_FALSE(ran);
    EXPECT_EQ(calls.ask<int>([] { return 1; }, -2), -2);
    // A worker asking after the close gets the fallback at once, as on the owner's thread.
    auto late =
        std::async(std::launch::async, [&] { return calls.ask<int>([] { return 1; }, -3); });
    EXPECT_EQ(late.get(), -3);
}

TEST(StatusThrottle, GathersTextsAndRedrawsAtMostEvery50Ms) {
    StatusThrottle throttle;
    const auto start = StatusThrottle::Clock::now();
    // The first text asks for a redraw, which may happen at once.
    EXPECT_TRUE(throttle.set(1, "a"));
    EXPECT_EQ(throttle.delay(start), milliseconds(0));
    // Texts arriving before the redraw ask nothing more; the latest of each field counts.
    EXPECT_FALSE(throttle.set(1, "b"));
    EXPECT_FALSE(throttle.set(0, "Datei"));
    EXPECT_FALSE(throttle.set(2, "nowhere"));
    using Texts = std::array<std::optional<Text>, 2>;
    EXPECT_EQ(throttle.take(start), (Texts{Text("Datei"), Text("b")}));
    // The next text asks again, but the redraw waits for the rest of the 50 ms.
    EXPECT_TRUE(throttle.set(1, "c"));
    for (const auto& [after, wait] : {std::pair{0, 50}, {20, 30}, {50, 0}, {80, 0}}) {
        EXPECT_EQ(throttle.delay(start + milliseconds(after)), milliseconds(wait)) << after;
    }
    EXPECT_EQ(throttle.take(start + milliseconds(50)), (Texts{std::nullopt, Text("c")}));
    EXPECT_EQ(throttle.redraws(), 2);
}

TEST(SizeReport, ReportsOnlyChanges) {
    SizeReport report;
    report.set_initial({800, 600, false});
    std::string reported;
    for (const ResizeEvent size : {ResizeEvent{800, 600, false},
                                   {1024, 700, false},
                                   {1024, 700, false},
                                   {1024, 700, true},
                                   {800, 600, false}}) {
        reported += report.changed(size) ? "y" : "n";
    }
    EXPECT_EQ(reported, "nynyy");
}

TEST(RowVisibility, MapsShownPositionsToRowsBothWays) {
    RowVisibility visibility;
    // Unsorted, repeated and out-of-range indices: kept ascending, once, below the total.
    visibility.show_only({5, 3, 1, 3, 9}, 6);
    EXPECT_EQ(visibility.shown_count(6), 3u);
    const struct {
        std::size_t row;
        std::optional<std::size_t> position;
    } cases[] = {{1, 0}, {3, 1}, {5, 2}, {0, std::nullopt}, {4, std::nullopt}, {9, std::nullopt}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(visibility.position_of(c.row, 6), c.position);
        if (c.position) {
            EXPECT_EQ(visibility.row_at(*c.position), c.row);
        }
    }
    // Shown again, every row is at its own position.
    visibility.show_all();
    EXPECT_EQ(visibility.shown_count(4), 4u);
    EXPECT_EQ(visibility.position_of(3, 4), std::optional<std::size_t>(3));
    EXPECT_EQ(visibility.position_of(4, 4), std::nullopt);
}

// Both backends count a line break as one character, whichever bytes make it.
TEST(TextMarks, AMarkCountsEachLineBreakAsOneCharacter) {
    struct Case {
        std::string_view text;
        std::size_t offset;
        std::size_t length;
        TextMark mark;
    };
    const std::vector<Case> cases = {
        {"Hi Fu", 3, 2, {3, 2}},
        {"Hi\r\nFu", 4, 2, {3, 2}},    // CR LF is one
        {"Hi\nFu\rFu", 6, 2, {6, 2}},  // lone LF and lone CR are one each
        {"a\r\nb\r\nc", 1, 3, {1, 2}}, // a mark over a break counts it once
        {"\n\r\n", 0, 3, {0, 2}},      // LF then CR LF: two breaks
        {"ab", 1, 5, {1, 1}},          // past the end counts the text only
        // A text that starts with the LF of a CR LF cut before it: that LF is a break of
        // its own, and nothing before the text is read.
        {std::string_view("\r\nab").substr(1), 1, 2, {1, 2}},
    };
    for (const Case& test : cases) {
        EXPECT_EQ(text_box_mark(test.text, test.offset, test.length), test.mark) << test.text;
    }
}

} // namespace
} // namespace orv
