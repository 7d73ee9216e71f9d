// The panel right of the well: next piece, level, the counting score and the flares.
#pragma once

#include "media/bitmaps.h"

struct SDL_Surface;

class Sidebar {
  public:
    Sidebar(); // loads its bitmaps and computes the layout from their sizes
    ~Sidebar();
    Sidebar(const Sidebar&) = delete;
    Sidebar& operator=(const Sidebar&) = delete;

    // Centres the play record's next piece in the next box.
    void place_next_piece();
    // Draws the panel and everything in it, and advances the shown score and the next piece's
    // blink (a frame of the given seconds).
    void draw_sidebar(double seconds);
    // Whether draw_sidebar paints every pixel of the area with an opaque picture, whatever the
    // screen showed there before.
    bool paints_over(const Rect& area) const;

    Rect panel{};
    Rect next_label{};
    Rect next_box{};
    Rect level_label{};
    Rect score_label{};
    Rect flare_icon{};
    char text[132] = {};

  private:
    // The parts that never change (the panel, its labels, the translucent next box and the flare
    // icon) drawn once, as a frame draws them, into a picture of the panel's size; a frame then
    // copies it and draws only the next piece and the numbers over it. None when the copy would
    // not show exactly what drawing the parts shows (no screen, a missing or see-through panel, a
    // part outside the panel, a part that the next piece or a number could overlap).
    SDL_Surface* backdrop = nullptr;
    void compose_backdrop();
    bool backdrop_is_exact() const;
    void draw_over_backdrop(double seconds);

    void draw_level();
    void draw_score();
    void draw_flares();
    // The shown score climbs by the score step per unpaused drawn frame until it meets the score.
    void advance_shown_score();
    void write_level();
    void write_score();
    void write_flares();
};
