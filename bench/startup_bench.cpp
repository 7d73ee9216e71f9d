// Start-up: from the start of Vextile_SDL::init (SDL, window, font, audio, block texture, paused
// picture, records, well surface, sidebar, first state) to the first flip, with every picture the
// first screen shows. SDL cannot be restarted cleanly inside one process, so every start is a new
// process: this program runs itself with a child argument, the child times its own init and first
// frame and writes the seconds to its standard output, and the parent reports them as manual time.
// Process creation and dynamic linking stand outside the measurement; the media files are in the
// page cache after the first start.
#include "registry.h"

#include "bench_world.h"

#include "app/vextile.h"
#include "game/game_context.h"
#include "play/play_record.h"
#include "play/saved_game.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const char* const CHILD_FLAG = "--startup-child=";
const char* const FRESH = "fresh";   // no record files: the splash
const char* const RESUME = "resume"; // a saved game in play: resumed, paused

// The saved game of a game in play, written before the clock starts.
void write_saved_game() {
    Play_Record record;
    reset_play_record(&record);
    record.state_id = STATE_PLAY;
    record.level = 2;
    record.blocks_cleared = 0;
    for (int row = 12; row < GRID_ROWS; ++row) {
        for (int col = 0; col < GRID_COLS; ++col)
            if ((col + row) % 4 != 0) record.grid.cells[row * GRID_COLS + col] = (col + row) % 7;
    }
    generate_piece(record.current, 2, game.options);
    generate_piece(record.next, 5, game.options);
    record.current.col = 6;
    record.current.row = 3;
    record.current.x = 6 * 16.0f;
    record.current.y = 3 * 16.0f;
    record.target_col = 6;
    // As the game leaves it at shutdown: paused.
    record.flags |= FLAG_FALLING | FLAG_PAUSED;
    save_saved_game(&record);
}

// CPU time of the whole process (SDL's audio thread included).
double process_cpu_seconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + now.tv_nsec / 1e9;
}

int run_child(const std::string& kind) {
    const Temp_Dir dir;
    headless::use_dummy_drivers();
    if (kind == RESUME) write_saved_game();

    const auto start = std::chrono::steady_clock::now();
    const double cpu_start = process_cpu_seconds();
    if (!app.init()) return 3;
    app.run_frame(0.001); // the first frame's time, as the frame clock gives it
    const double cpu_end = process_cpu_seconds();
    const auto end = std::chrono::steady_clock::now();
    app.shutdown();

    std::printf("%.9f %.9f\n", std::chrono::duration<double>(end - start).count(),
                cpu_end - cpu_start);
    std::fflush(stdout);
    return 0;
}

struct Start_Time {
    double wall = -1.0; // seconds; negative when the child failed
    double cpu = 0.0;
};

// Runs one child and reads the times it reports.
Start_Time time_child_start(const char* kind) {
    Start_Time time;
    int out[2];
    if (pipe(out) != 0) return time;
    const std::string flag = std::string(CHILD_FLAG) + kind;
    const pid_t pid = fork();
    if (pid < 0) return time;
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        // What the game says on standard error (a fresh directory has no record files) is noise
        // here.
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet >= 0) dup2(quiet, STDERR_FILENO);
        execl("/proc/self/exe", "vextile_bench", flag.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char chunk[64];
    ssize_t got = 0;
    while ((got = read(out[0], chunk, sizeof chunk)) > 0)
        text.append(chunk, static_cast<size_t>(got));
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return time;
    if (std::sscanf(text.c_str(), "%lf %lf", &time.wall, &time.cpu) != 2) time.wall = -1.0;
    return time;
}

// Wall time is the figure (what a player waits); the CPU time beside it does not grow while the
// child waits for a core on a busy machine.
void BM_startup(benchmark::State& state, const char* kind) {
    double cpu_seconds = 0.0;
    for (auto _ : state) {
        const Start_Time time = time_child_start(kind);
        if (time.wall < 0.0) {
            state.SkipWithError("a start-up child failed");
            break;
        }
        state.SetIterationTime(time.wall);
        cpu_seconds += time.cpu;
    }
    state.counters["cpu_ms"] =
        benchmark::Counter(cpu_seconds * 1e3, benchmark::Counter::kAvgIterations);
}

void add_startup(const char* name, const char* kind) {
    benchmark::RegisterBenchmark(name, BM_startup, kind)
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(10);
}

} // namespace

void register_startup_benchmarks() {
    add_startup("startup/fresh_to_splash", FRESH);
    add_startup("startup/resume_saved_game", RESUME);
}

int run_startup_child_if_asked(int argc, char** argv) {
    if (argc < 2 || std::strncmp(argv[1], CHILD_FLAG, std::strlen(CHILD_FLAG)) != 0) return -1;
    return run_child(argv[1] + std::strlen(CHILD_FLAG));
}
