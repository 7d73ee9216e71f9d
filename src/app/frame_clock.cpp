#include "app/frame_clock.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <chrono>

namespace {

constexpr int64_t NS_PER_MS = 1000000;
constexpr int64_t NS_PER_S = 1000000000;

int64_t monotonic_ns() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

// Waking costs more than the wait itself, so the frame clock sleeps about once a frame, in
// SDL_Delay's whole milliseconds rounded to the nearest, and lets a frame start up to half a
// millisecond early or late: the deadlines follow each other by whole periods, so neither adds up.
constexpr int64_t SLEEP_GRAIN_NS = NS_PER_MS / 2;

void sleep_for(int64_t ns) {
    if (ns >= SLEEP_GRAIN_NS) SDL_Delay(static_cast<Uint32>((ns + NS_PER_MS / 2) / NS_PER_MS));
}

} // namespace

Time_Source system_time_source() {
    return {monotonic_ns, sleep_for};
}

Frame_Clock::Frame_Clock(int fps, Time_Source source) : fps_(fps), source_(std::move(source)) {}

void Frame_Clock::restart() {
    started_ = false;
}

double Frame_Clock::begin_frame() {
    const int64_t now = source_.now_ns();
    const int64_t now_ms = now / NS_PER_MS;
    double seconds = 0.001;
    if (started_) {
        seconds =
            std::min(static_cast<double>(now_ms - frame_start_ms_) / 1000.0, MAX_FRAME_SECONDS);
    }
    if (fps_ > 0) set_deadline(now);
    started_ = true;
    frame_start_ms_ = now_ms;
    return seconds;
}

void Frame_Clock::set_deadline(int64_t now) {
    // The next deadline follows the last one, so that rounding and late wake-ups do not add up;
    // after a stall of more than a period it starts afresh from now.
    const int64_t period = NS_PER_S / fps_;
    if (!started_ || now - deadline_ns_ > period) {
        deadline_ns_ = now;
        period_rest_ = 0;
    }
    period_rest_ += NS_PER_S % fps_;
    deadline_ns_ += period + period_rest_ / fps_;
    period_rest_ %= fps_;
}

void Frame_Clock::end_frame() {
    if (fps_ <= 0) return;
    for (int64_t left = deadline_ns_ - source_.now_ns(); left >= SLEEP_GRAIN_NS;
         left = deadline_ns_ - source_.now_ns())
        source_.sleep_ns(left);
}
