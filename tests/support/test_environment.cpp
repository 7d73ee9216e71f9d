// Linked into every test program: headless SDL, and sanitizer defaults for the unit tests. The
// fixture forgets the catalogues between cases without freeing what they hold, so leak checking
// belongs to the soak program, which plays whole games and shuts down as the game does.
#include <cstdlib>

extern "C" const char* __asan_default_options() {
    return "detect_leaks=0";
}

namespace {

struct Headless_Drivers {
    Headless_Drivers() {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
    }
} const headless_drivers;

} // namespace
