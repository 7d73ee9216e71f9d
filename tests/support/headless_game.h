// The game headless, as the tests, the soak, the fuzz targets and the benchmarks run it: SDL on its
// dummy drivers, a scratch working directory whose "media" links to the generated media, the world
// built as the game's start builds it, frames run as the main loop runs them (the state's frame,
// then the switch it asked for) and everything taken down again. It needs no test framework, so the
// libFuzzer build compiles it too.
#pragma once

#include <string>

// A fresh directory under /tmp that is the working directory while the object lives; its "media"
// links to the generated media unless told otherwise. Removed with everything in it.
class Temp_Dir {
  public:
    explicit Temp_Dir(bool link_media = true);
    ~Temp_Dir();
    Temp_Dir(const Temp_Dir&) = delete;
    Temp_Dir& operator=(const Temp_Dir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
    std::string old_cwd_;
};

namespace headless {

// SDL's dummy video and audio drivers, unless the environment names others; before SDL starts.
void use_dummy_drivers();
// The first step of the game's start: SDL, the window, the font and the audio device (once; later
// calls answer at once). False, with what started stopped again, when the screen or the font did
// not start.
bool start_media();
// The rest of the game's start on the working directory's record files: the block texture, the
// records, the well and the sidebar, the recorded state (the splash in a fresh directory). rand()
// is seeded first, so that a run replays exactly.
void build_world(unsigned seed = 1);
// Undoes build_world without saving and forgets every picture, sound and text loaded since; the
// media stay up for the next build.
void clear_world();
// The window closed and the game started again in the same working directory: the game in progress
// saved (unless the game asked to end), the world cleared and built again.
void restart(unsigned seed = 1);
// Shuts the game down as it shuts itself down (the saved game for the next start, unless the game
// asked to end; the state, the play area, the media, SDL).
void stop();
// Frames as the main loop runs them: the background, the state's frame and its switch, the flip.
void run_frames(int count, double seconds);

} // namespace headless
