// Registration of the benchmark families; main() calls these in the order the table shows.
#pragma once

// The bound itself, as a row of the table.
void register_bound_benchmark();
// Frames of every lasting state, and the allocations of steady play.
void register_frame_benchmarks();
// The drawing steps of the play frame, one by one.
void register_part_benchmarks();
// The flip of a window at scale 2, 3 and 4, against a memcpy of the window's size.
void register_flip_benchmarks();
// The real main loop at the default frame-rate ceiling: the spread of the frame intervals.
void register_pacing_benchmarks();
// Fresh starts of the game, each in a new process.
void register_startup_benchmarks();

// When argv names a start-up child, runs it and answers its exit status; otherwise -1.
int run_startup_child_if_asked(int argc, char** argv);
