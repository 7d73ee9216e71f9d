// The frame clock on a fake clock: frames paced to the ceiling by sleeping inside the frame, the
// game's time following the wall clock (time between frames included) and the stall clamp.
#include "app/frame_clock.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int64_t MS = 1000000;

// A clock that moves only when the game works (advance) or sleeps.
struct Fake_Time {
    int64_t now = 5 * MS + 123; // the clock's epoch is arbitrary
    std::vector<int64_t> sleeps;
    bool short_sleeps = false; // sleeps return half-way, as signals make them do

    Time_Source source() {
        return {[this] { return now; },
                [this](int64_t ns) {
                    sleeps.push_back(ns);
                    now += short_sleeps ? (ns + 1) / 2 : ns;
                }};
    }
};

struct Clock_Test : ::testing::Test {
    Fake_Time time;

    // Runs frames that each take work_ms of drawing and gap_ms of events before them; gives the
    // frame times and the starts of the frames.
    std::vector<double> run(Frame_Clock& clock, int frames, int64_t work_ns, int64_t gap_ns = 0,
                            std::vector<int64_t>* starts = nullptr) {
        std::vector<double> seconds;
        for (int i = 0; i < frames; ++i) {
            time.now += gap_ns;
            if (starts) starts->push_back(time.now);
            seconds.push_back(clock.begin_frame());
            time.now += work_ns;
            clock.end_frame();
        }
        return seconds;
    }
};

TEST_F(Clock_Test, PacesFramesToTheCeilingBySleepingOutEachPeriod) {
    Frame_Clock clock(60, time.source());
    std::vector<int64_t> starts;
    const std::vector<double> seconds = run(clock, 601, 3 * MS, 0, &starts);
    // Frames start every 1/60 s to the nanosecond, with no drift over ten seconds.
    for (size_t i = 1; i < starts.size(); ++i) {
        const int64_t interval = starts[i] - starts[i - 1];
        ASSERT_TRUE(interval == 16666666 || interval == 16666667) << i << ": " << interval;
    }
    EXPECT_EQ(starts.back() - starts.front(), 10000 * MS);
    // The wait happens inside the frame, after its work: one sleep of what is left of the period.
    EXPECT_EQ(time.sleeps.size(), 601u);
    EXPECT_NEAR(time.sleeps[1], 16666667 - 3 * MS, 1);
    // Frame times in whole milliseconds; the first frame sees one; the rest add up to the wall
    // time.
    EXPECT_EQ(seconds[0], 0.001);
    double sum = 0;
    for (size_t i = 1; i < seconds.size(); ++i) {
        ASSERT_TRUE(seconds[i] == 0.016 || seconds[i] == 0.017) << i << ": " << seconds[i];
        sum += seconds[i];
    }
    EXPECT_NEAR(sum, 10.0, 1e-9);
}

TEST_F(Clock_Test, GameTimeFollowsTheWallClockWhateverTakesTheTime) {
    struct Case {
        int fps;
        int64_t work, gap; // the frame's drawing, the events taken before it
        double frame;      // the steady frame time
    } cases[] = {
        {60, 2 * MS, 20 * MS, 0.0367}, // long event handling: no sleep, the time still counts
        {60, 25 * MS, 0, 0.025},       // frames slower than the ceiling run as they come
        {100, 1 * MS, 3 * MS, 0.010},  // the events' time comes out of the next wait
        {0, 7 * MS, 4 * MS, 0.011},    // unpaced: no sleep at all
    };
    for (const Case& c : cases) {
        time = Fake_Time();
        Frame_Clock clock(c.fps, time.source());
        std::vector<int64_t> starts;
        const std::vector<double> seconds = run(clock, 50, c.work, c.gap, &starts);
        double sum = 0;
        for (size_t i = 1; i < seconds.size(); ++i) {
            if (i > 1) {
                EXPECT_NEAR(seconds[i], c.frame, 0.0011) << c.fps << " frame " << i;
            }
            sum += seconds[i];
        }
        EXPECT_NEAR(sum, (starts.back() - starts.front()) / 1e9, 0.001) << c.fps;
        EXPECT_EQ(time.sleeps.empty(), c.fps == 0 || c.work > 17 * MS) << c.fps;
    }
}

TEST_F(Clock_Test, AStallCountsAsOneShortFrameAndPacingStartsAfresh) {
    Frame_Clock clock(60, time.source());
    run(clock, 10, 2 * MS);
    time.now += 3000 * MS; // the process was stopped
    EXPECT_EQ(clock.begin_frame(), MAX_FRAME_SECONDS);
    time.now += 2 * MS;
    time.sleeps.clear();
    clock.end_frame();
    // No burst of frames to catch up: the next period is a whole one from the stall's end.
    ASSERT_EQ(time.sleeps.size(), 1u);
    EXPECT_NEAR(time.sleeps[0], 16666667 - 2 * MS, 1);
    EXPECT_NEAR(clock.begin_frame(), 0.017, 0.0011);
}

TEST_F(Clock_Test, ASleepCutShortIsSleptAgainUntilThePeriodIsOver) {
    time.short_sleeps = true;
    Frame_Clock clock(50, time.source());
    std::vector<int64_t> starts;
    run(clock, 3, 1 * MS, 0, &starts);
    EXPECT_NEAR(starts[2] - starts[1], 20 * MS, MS / 2);
    EXPECT_EQ(time.sleeps.size(), 18u); // 19, 9.5, 4.75, 2.4, 1.2 and 0.6 ms left, each frame
}

TEST_F(Clock_Test, RestartMakesTheNextFrameTheFirst) {
    Frame_Clock clock(60, time.source());
    run(clock, 5, 1 * MS);
    clock.restart();
    time.now += 50 * MS;
    EXPECT_EQ(clock.begin_frame(), 0.001);
}

} // namespace
