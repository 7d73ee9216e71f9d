// The panel right of the well: next piece, level, the counting score and the flares.
#pragma once

#include "media/bitmaps.h"

class Sidebar {
public:
    Sidebar();  // loads its bitmaps and computes the layout from their sizes

    // Centres the play record's next piece in the next box.
    void place_next_piece();
    // Draws the panel and everything in it, and advances the shown score.
    void draw_sidebar();

    Rect panel{};
    Rect next_label{};
    Rect next_box{};
    Rect level_label{};
    Rect score_label{};
    Rect flare_icon{};
    char text[132] = {};

private:
    void draw_level();
    void draw_score();
    void draw_flares();
    // The shown score climbs by the score step per unpaused drawn frame until it meets the score.
    void advance_shown_score();
};
