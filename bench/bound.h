// The bound: what a frame that clears the screen and copies a screen's worth of pixels must spend
// at least, on this machine. One memset of a 320 x 320 x 4 byte buffer and one memcpy of it.
#pragma once

// Bytes of one screen at 32 bits per pixel.
constexpr long SCREEN_BYTES = 320L * 320L * 4L;

// One bound's work (memset of the buffer, memcpy of it into a second one).
void fill_and_copy_screen();

// The bound in nanoseconds of the calling thread's CPU time: measured once (the median of many
// timed batches) on the first call. CPU time, like the frames' ratios: on a machine shared with
// compilers, wall time also counts the waits for a core.
double bound_nanoseconds();
