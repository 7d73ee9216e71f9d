// Linked into every test program: headless SDL. The fixture gives back what each case loaded, so
// LeakSanitizer (on by default) reports anything that a case or the game lost.
#include <cstdlib>

namespace {

struct Headless_Drivers {
    Headless_Drivers() {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
    }
} const headless_drivers;

} // namespace
