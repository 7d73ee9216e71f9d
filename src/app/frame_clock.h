// The frame clock: paces the main loop to a frame-rate ceiling and measures the game's time, so
// that the sum of the frame times follows the wall clock.
#pragma once

#include <cstdint>
#include <functional>

constexpr int DEFAULT_FPS = 60; // the ceiling without --fps
constexpr int MIN_FPS = 10;     // --fps accepts MIN_FPS..MAX_FPS, or 0 for no ceiling
constexpr int MAX_FPS = 1000;
constexpr double MAX_FRAME_SECONDS = 0.1; // one frame after a stall counts at most this long

// Where the clock takes its time from: a monotonic time in nanoseconds and a sleep. Tests give a
// fake pair; the game uses system_time_source().
struct Time_Source {
    std::function<int64_t()> now_ns;
    std::function<void(int64_t)> sleep_ns; // may return early; the clock sleeps again
};

Time_Source system_time_source();

class Frame_Clock {
  public:
    // fps 0: unpaced, frames follow each other at once.
    explicit Frame_Clock(int fps = DEFAULT_FPS, Time_Source source = system_time_source());

    // The start of the clock (the main loop's start): the next frame is the first.
    void restart();
    // The start of a frame: the seconds since the previous frame started, in whole milliseconds
    // and at most MAX_FRAME_SECONDS; 0.001 for the first frame.
    double begin_frame();
    // The end of a frame, after the flip: waits until the frame's period is over (to within
    // half a millisecond).
    void end_frame();

    int fps() const { return fps_; }

  private:
    void set_deadline(int64_t now);

    int fps_;
    Time_Source source_;
    bool started_ = false;
    int64_t frame_start_ms_ = 0; // the start of the current frame on the millisecond timer
    int64_t deadline_ns_ = 0;    // when the current frame's period is over
    int64_t period_rest_ = 0;    // the periods' fractions of a nanosecond so far, in 1/fps_ ns
};
