/* Preloaded into the game by scripts/screenshots, so that effects can be photographed in the middle
 * of their animation. The game draws as fast as it can; this paces its frames at 60 a second, as a
 * display with vertical sync does, and stops it after each frame listed in VEXTILE_HOLD_FRAMES
 * (frame numbers counted from 1, separated by commas) until the picture is taken. A held frame is
 * announced by writing its number to the file VEXTILE_HOLD_FILE; the game goes on once that file
 * is removed. The time spent held is hidden from SDL_GetTicks, so the game's clock never sees it.
 */
#ifndef _GNU_SOURCE
#define _GNU_SOURCE
#endif
#include <SDL/SDL.h>
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static const double frame_ms = 1000.0 / 60.0;

static double held_ms;      /* time spent held so far */
static double last_flip_ms; /* when the previous frame ended, on the real clock */
static long frames;

static double now_ms(void) {
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

static int listed(long frame) {
    const char* list = getenv("VEXTILE_HOLD_FRAMES");
    while (list && *list) {
        char* end;
        const long n = strtol(list, &end, 10);
        if (end == list) return 0;
        if (n == frame) return 1;
        list = *end == ',' ? end + 1 : end;
    }
    return 0;
}

static void hold(long frame) {
    const char* path = getenv("VEXTILE_HOLD_FILE");
    if (!path) return;
    const double start = now_ms();
    char tmp[4096];
    snprintf(tmp, sizeof tmp, "%s.new", path);
    FILE* f = fopen(tmp, "w");
    if (!f) return;
    fprintf(f, "%ld\n", frame);
    fclose(f);
    rename(tmp, path); /* the file appears whole */
    while (access(path, F_OK) == 0)
        usleep(5000);
    held_ms += now_ms() - start;
}

Uint32 SDL_GetTicks(void) {
    static Uint32 (*real)(void);
    if (!real) real = (Uint32(*)(void))dlsym(RTLD_NEXT, "SDL_GetTicks");
    return real() - (Uint32)held_ms;
}

int SDL_Flip(SDL_Surface* screen) {
    static int (*real)(SDL_Surface*);
    if (!real) real = (int (*)(SDL_Surface*))dlsym(RTLD_NEXT, "SDL_Flip");
    const int result = real(screen);
    const double wait = last_flip_ms + frame_ms - now_ms();
    if (last_flip_ms > 0 && wait > 0) usleep((useconds_t)(wait * 1000));
    ++frames;
    if (listed(frames)) hold(frames);
    last_flip_ms = now_ms();
    return result;
}
