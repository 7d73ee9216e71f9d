// Counts heap allocations while a window is open: every call of the global operator new and of
// malloc, calloc and realloc, the ones SDL and SDL_mixer make included (they reach this program's
// malloc through the dynamic linker), from every thread.
#pragma once

#include <cstdint>

class Alloc_Window {
  public:
    Alloc_Window();  // opens the window (windows do not nest)
    ~Alloc_Window(); // closes it
    Alloc_Window(const Alloc_Window&) = delete;
    Alloc_Window& operator=(const Alloc_Window&) = delete;

    // Allocations since the window opened.
    uint64_t count() const;

  private:
    uint64_t start_;
};

// Whether the counter sees an allocation made inside SDL (a surface created and freed).
bool alloc_counter_sees_sdl();
