#include "play/sidebar.h"

#include "app/vextile.h"
#include "media/video.h"
#include "play/play_record.h"
#include "ui/texts.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

Rect bitmap_rect(Bitmap_Id id, int x, int y) {
    const Size size = zgl_bitmap_size(id);
    return {x, y, size.w, size.h};
}

// x of a rectangle of width w centred in the panel.
int centred_x(const Rect& panel, int w) {
    return panel.x + (panel.w - w) / 2;
}

Rect centred_rect(Bitmap_Id id, const Rect& panel, int y) {
    Rect rect = bitmap_rect(id, 0, y);
    rect.x = centred_x(panel, rect.w);
    return rect;
}

void draw_at(Bitmap_Id id, const Rect& rect) {
    zgl_draw_bitmap(id, {rect.x, rect.y});
}

// Where a piece whose extent along one axis runs from lo to hi must stand so that its cells are
// centred in a box starting at start and size long.
int centred_origin(int start, int size, int lo, int hi) {
    const int block = app.block_size;
    return start + (size - (hi - lo + 1) * block) / 2 - block * lo;
}

} // namespace

Sidebar::Sidebar() {
    zgl_get_bitmap(BMP_SIDEBAR);
    zgl_get_bitmap(BMP_SIDEBAR_NEXT);
    zgl_set_bitmap_colorkey(BMP_SIDEBAR_NEXT, COLOR_BLACK);
    zgl_get_bitmap(BMP_SIDEBAR_NEXTBOX);
    zgl_set_bitmap_alpha(BMP_SIDEBAR_NEXTBOX, 128);
    zgl_get_bitmap(BMP_SIDEBAR_LEVEL);
    zgl_set_bitmap_colorkey(BMP_SIDEBAR_LEVEL, COLOR_BLACK);
    zgl_get_bitmap(BMP_SIDEBAR_SCORE);
    zgl_set_bitmap_colorkey(BMP_SIDEBAR_SCORE, COLOR_BLACK);
    zgl_get_bitmap(BMP_SIDEBAR_FLARE);

    const int gap = static_cast<int>(0.04 * zgl_bitmap_size(BMP_SIDEBAR).h);
    const int line = text_height();

    panel = bitmap_rect(BMP_SIDEBAR, GRID_COLS * app.block_size, 0);
    next_label = centred_rect(BMP_SIDEBAR_NEXT, panel, panel.y + gap);
    next_box = centred_rect(BMP_SIDEBAR_NEXTBOX, panel, next_label.y + next_label.h);
    level_label = centred_rect(BMP_SIDEBAR_LEVEL, panel, next_box.y + next_box.h + gap);
    // A line of text stands under the level label and under the score label.
    score_label =
        centred_rect(BMP_SIDEBAR_SCORE, panel, level_label.y + level_label.h + line + gap);
    flare_icon = bitmap_rect(BMP_SIDEBAR_FLARE, 0, score_label.y + score_label.h + line + gap);
    // The icon and a count as wide as "x00" beside it are centred together.
    flare_icon.x = centred_x(panel, flare_icon.w + text_width("x00"));
}

void Sidebar::place_next_piece() {
    Piece& next = play_record.next;
    const Cell_Offset lo = piece_bounds(next, 0);
    const Cell_Offset hi = piece_bounds(next, 1);
    next.x = static_cast<float>(centred_origin(next_box.x, next_box.w, lo.dx, hi.dx));
    next.y = static_cast<float>(centred_origin(next_box.y, next_box.h, lo.dy, hi.dy));
}

void Sidebar::draw_sidebar() {
    draw_at(BMP_SIDEBAR, panel);
    draw_at(BMP_SIDEBAR_NEXT, next_label);
    draw_at(BMP_SIDEBAR_NEXTBOX, next_box);
    draw_piece(play_record.next);
    draw_level();
    draw_score();
    draw_flares();
}

void Sidebar::draw_level() {
    draw_at(BMP_SIDEBAR_LEVEL, level_label);
    std::snprintf(text, sizeof text, "%03d", play_record.level);
    write_text_centered(text, panel.x, level_label.y + level_label.h, panel.w);
}

void Sidebar::advance_shown_score() {
    Play_Record& record = play_record;
    if (record.shown_score >= record.score || (record.flags & FLAG_PAUSED) != 0) return;
    // Counted wide: a score read from an old record may lie near the ends of the int range.
    const int64_t raised = int64_t{record.shown_score} + record.score_step;
    record.shown_score = static_cast<int32_t>(std::clamp<int64_t>(raised, INT32_MIN, record.score));
}

void Sidebar::draw_score() {
    draw_at(BMP_SIDEBAR_SCORE, score_label);
    advance_shown_score();
    std::snprintf(text, sizeof text, "%07d", play_record.shown_score);
    write_text_centered(text, panel.x, score_label.y + score_label.h, panel.w);
}

void Sidebar::draw_flares() {
    draw_at(BMP_SIDEBAR_FLARE, flare_icon);
    std::snprintf(text, sizeof text, "%02d", play_record.flares);
    write_text(text, flare_icon.x + flare_icon.w,
               flare_icon.y + (flare_icon.h - text_height()) / 2);
}
