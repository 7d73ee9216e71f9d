#include "alloc_count.h"

#include <SDL/SDL.h>

#include <atomic>
#include <cstdlib>
#include <new>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
void __libc_free(void* block);
}

namespace {

std::atomic<bool> counting{false};
std::atomic<uint64_t> allocations{0};

inline void note_allocation() {
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
}

void* counted_new(size_t size) {
    note_allocation();
    if (void* block = __libc_malloc(size ? size : 1)) return block;
    throw std::bad_alloc();
}

} // namespace

// glibc's allocator under its own names, counted on the way in. Pointers from memalign and
// friends (not replaced) go back through free to the same allocator.
extern "C" void* malloc(size_t size) noexcept {
    note_allocation();
    return __libc_malloc(size);
}

extern "C" void* calloc(size_t count, size_t size) noexcept {
    note_allocation();
    return __libc_calloc(count, size);
}

extern "C" void* realloc(void* block, size_t size) noexcept {
    note_allocation();
    return __libc_realloc(block, size);
}

extern "C" void free(void* block) noexcept {
    __libc_free(block);
}

void* operator new(size_t size) {
    return counted_new(size);
}
void* operator new[](size_t size) {
    return counted_new(size);
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    note_allocation();
    return __libc_malloc(size ? size : 1);
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    note_allocation();
    return __libc_malloc(size ? size : 1);
}
void operator delete(void* block) noexcept {
    __libc_free(block);
}
void operator delete[](void* block) noexcept {
    __libc_free(block);
}
void operator delete(void* block, size_t) noexcept {
    __libc_free(block);
}
void operator delete[](void* block, size_t) noexcept {
    __libc_free(block);
}

Alloc_Window::Alloc_Window() : start_(allocations.load()) {
    counting.store(true);
}

Alloc_Window::~Alloc_Window() {
    counting.store(false);
}

uint64_t Alloc_Window::count() const {
    return allocations.load() - start_;
}

bool alloc_counter_sees_sdl() {
    const Alloc_Window window;
    SDL_Surface* probe = SDL_CreateRGBSurface(SDL_SWSURFACE, 8, 8, 32, 0xff0000, 0xff00, 0xff, 0);
    const bool seen = window.count() > 0;
    SDL_FreeSurface(probe);
    return seen;
}
