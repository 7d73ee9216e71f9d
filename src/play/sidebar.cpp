#include "play/sidebar.h"

#include "media/pixel_copy.h"
#include "media/texts.h"
#include "media/video.h"
#include "play/block_tiles.h"
#include "play/play_record.h"

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

bool inside(const Rect& inner, const Rect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
           inner.y + inner.h <= outer.y + outer.h;
}

// Whether the rows from top to bottom (exclusive) miss the rectangle.
bool rows_miss(int top, int bottom, const Rect& rect) {
    return bottom <= rect.y || top >= rect.y + rect.h;
}

bool is_opaque(const SDL_Surface* picture) {
    return picture && !(picture->flags & (SDL_SRCCOLORKEY | SDL_SRCALPHA)) &&
           !picture->format->Amask;
}

// Where a piece whose extent along one axis runs from lo to hi must stand so that its cells are
// centred in a box starting at start and size long.
int centred_origin(int start, int size, int lo, int hi) {
    const int block = block_size();
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

    panel = bitmap_rect(BMP_SIDEBAR, GRID_COLS * block_size(), 0);
    next_label = centred_rect(BMP_SIDEBAR_NEXT, panel, panel.y + gap);
    next_box = centred_rect(BMP_SIDEBAR_NEXTBOX, panel, next_label.y + next_label.h);
    level_label = centred_rect(BMP_SIDEBAR_LEVEL, panel, next_box.y + next_box.h + gap);
    // A line of text stands under the level label and under the score label.
    score_label =
        centred_rect(BMP_SIDEBAR_SCORE, panel, level_label.y + level_label.h + line + gap);
    flare_icon = bitmap_rect(BMP_SIDEBAR_FLARE, 0, score_label.y + score_label.h + line + gap);
    // The icon and a count as wide as "x00" beside it are centred together.
    flare_icon.x = centred_x(panel, flare_icon.w + text_width("x00"));
    compose_backdrop();
}

Sidebar::~Sidebar() {
    if (backdrop) free_surface(backdrop);
}

void Sidebar::compose_backdrop() {
    if (!backdrop_is_exact()) return;
    backdrop = create_surface(panel.w, panel.h);
    if (!backdrop) return;
    const Point origin = {-panel.x, -panel.y};
    const struct {
        Bitmap_Id id;
        const Rect& rect;
    } parts[] = {{BMP_SIDEBAR, panel},
                 {BMP_SIDEBAR_NEXT, next_label},
                 {BMP_SIDEBAR_NEXTBOX, next_box},
                 {BMP_SIDEBAR_LEVEL, level_label},
                 {BMP_SIDEBAR_SCORE, score_label},
                 {BMP_SIDEBAR_FLARE, flare_icon}};
    for (const auto& part : parts)
        zgl_draw_bitmap(part.id, {part.rect.x + origin.x, part.rect.y + origin.y}, backdrop);
}

// A frame draws the panel, the next label, the box, the next piece, then each label with its
// number. Drawn ahead of the piece and the numbers, the labels and the icon must not lie where
// those could land.
bool Sidebar::backdrop_is_exact() const {
    if (!get_screen() || !is_opaque(zgl_get_bitmap(BMP_SIDEBAR))) return false;
    for (const Bitmap_Id id : {BMP_SIDEBAR_NEXT, BMP_SIDEBAR_NEXTBOX, BMP_SIDEBAR_LEVEL,
                               BMP_SIDEBAR_SCORE, BMP_SIDEBAR_FLARE})
        if (!zgl_get_bitmap(id)) return false;
    for (const Rect& part : {next_label, next_box, level_label, score_label, flare_icon})
        if (!inside(part, panel)) return false;
    // A piece is at most four blocks across: centred in a box that large, it stays inside it.
    const int piece_extent = 4 * block_size();
    if (next_box.w < piece_extent || next_box.h < piece_extent) return false;
    const int line = text_height();
    const int level_line = level_label.y + level_label.h;
    const int score_line = score_label.y + score_label.h;
    for (const Rect& later : {level_label, score_label, flare_icon})
        if (!rows_miss(next_box.y, next_box.y + next_box.h, later)) return false;
    for (const Rect& later : {score_label, flare_icon})
        if (!rows_miss(level_line, level_line + line, later)) return false;
    return rows_miss(score_line, score_line + line, flare_icon);
}

void Sidebar::place_next_piece() {
    Piece& next = play_record.next;
    const Cell_Offset lo = piece_bounds(next, 0);
    const Cell_Offset hi = piece_bounds(next, 1);
    next.x = static_cast<float>(centred_origin(next_box.x, next_box.w, lo.dx, hi.dx));
    next.y = static_cast<float>(centred_origin(next_box.y, next_box.h, lo.dy, hi.dy));
}

void Sidebar::draw_sidebar(double seconds) {
    if (backdrop) {
        draw_over_backdrop(seconds);
        return;
    }
    draw_at(BMP_SIDEBAR, panel);
    draw_at(BMP_SIDEBAR_NEXT, next_label);
    draw_at(BMP_SIDEBAR_NEXTBOX, next_box);
    draw_piece(play_record.next, seconds);
    draw_level();
    draw_score();
    draw_flares();
}

bool Sidebar::paints_over(const Rect& area) const {
    return backdrop && inside(area, panel);
}

void Sidebar::draw_over_backdrop(double seconds) {
    SDL_Rect at = to_sdl_rect({panel.x, panel.y, 0, 0});
    blit_surface(backdrop, nullptr, get_screen(), &at);
    draw_piece(play_record.next, seconds);
    write_level();
    advance_shown_score();
    write_score();
    write_flares();
}

void Sidebar::draw_level() {
    draw_at(BMP_SIDEBAR_LEVEL, level_label);
    write_level();
}

void Sidebar::write_level() {
    std::snprintf(text, sizeof text, "%03d", play_record.level);
    write_text_centered(text, panel.x, level_label.y + level_label.h, panel.w);
}

void Sidebar::advance_shown_score() {
    Play_Record& record = play_record;
    if (record.shown_score >= record.score || (record.flags & FLAG_PAUSED) != 0) return;
    record.shown_score = std::min(record.shown_score + record.score_step, record.score);
}

void Sidebar::draw_score() {
    draw_at(BMP_SIDEBAR_SCORE, score_label);
    advance_shown_score();
    write_score();
}

void Sidebar::write_score() {
    std::snprintf(text, sizeof text, "%07d", play_record.shown_score);
    write_text_centered(text, panel.x, score_label.y + score_label.h, panel.w);
}

void Sidebar::draw_flares() {
    draw_at(BMP_SIDEBAR_FLARE, flare_icon);
    write_flares();
}

void Sidebar::write_flares() {
    std::snprintf(text, sizeof text, "%02d", play_record.flares);
    write_text(text, flare_icon.x + flare_icon.w,
               flare_icon.y + (flare_icon.h - text_height()) / 2);
}
