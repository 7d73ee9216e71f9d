// Vextile: start, run, stop.
#include "app/vextile.h"

#include <SDL/SDL.h>

int main(int, char**) {
    if (!app.init()) return 1;
    app.run();
    app.shutdown();
    return 0;
}
