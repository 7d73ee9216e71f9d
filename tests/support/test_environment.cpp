// Linked into every test program: headless SDL, and sanitizer defaults for the unit tests. The
// catalogues keep the pictures they hand out alive for the whole run by design, so leak checking
// belongs to the long-running soak program, not to tests that reset the catalogues between cases.
#include <cstdlib>

extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

namespace {

struct Headless_Drivers {
    Headless_Drivers() {
        setenv("SDL_VIDEODRIVER", "dummy", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
    }
} const headless_drivers;

}  // namespace
