#include "play/piece.h"

#include "game/effect_table.h"
#include "media/bitmaps.h"
#include "play/block_tiles.h"

#include <algorithm>
#include <cstdlib>

namespace {

using Rotations = Cell_Offset[4][4];

// The cells of every shape and rotation, in the order that special_cell indexes.
constexpr Rotations shape_cells[SHAPE_COUNT] = {
    // 0 square: the same four cells, their order turning.
    {{{0, 0}, {0, -1}, {1, -1}, {1, 0}},
     {{1, 0}, {0, 0}, {0, -1}, {1, -1}},
     {{1, -1}, {1, 0}, {0, 0}, {0, -1}},
     {{0, -1}, {1, -1}, {1, 0}, {0, 0}}},
    // 1 J
    {{{-1, -1}, {-1, 0}, {0, 0}, {1, 0}},
     {{-1, 1}, {0, 1}, {0, 0}, {0, -1}},
     {{1, 1}, {1, 0}, {0, 0}, {-1, 0}},
     {{1, -1}, {0, -1}, {0, 0}, {0, 1}}},
    // 2 L
    {{{1, -1}, {1, 0}, {0, 0}, {-1, 0}},
     {{-1, -1}, {0, -1}, {0, 0}, {0, 1}},
     {{-1, 1}, {-1, 0}, {0, 0}, {1, 0}},
     {{1, 1}, {0, 1}, {0, 0}, {0, -1}}},
    // 3 bar
    {{{-1, 0}, {0, 0}, {1, 0}, {2, 0}},
     {{0, 1}, {0, 0}, {0, -1}, {0, -2}},
     {{2, 0}, {1, 0}, {0, 0}, {-1, 0}},
     {{0, -2}, {0, -1}, {0, 0}, {0, 1}}},
    // 4 Z
    {{{-1, -1}, {0, -1}, {0, 0}, {1, 0}},
     {{0, 1}, {0, 0}, {1, 0}, {1, -1}},
     {{1, 0}, {0, 0}, {0, -1}, {-1, -1}},
     {{1, -1}, {1, 0}, {0, 0}, {0, 1}}},
    // 5 S
    {{{1, -1}, {0, -1}, {0, 0}, {-1, 0}},
     {{0, -1}, {0, 0}, {1, 0}, {1, 1}},
     {{-1, 0}, {0, 0}, {0, -1}, {1, -1}},
     {{1, 1}, {1, 0}, {0, 0}, {0, -1}}},
    // 6 T
    {{{-1, 0}, {0, 0}, {1, 0}, {0, -1}},
     {{0, 1}, {0, 0}, {0, -1}, {-1, 0}},
     {{1, 0}, {0, 0}, {-1, 0}, {0, 1}},
     {{0, -1}, {0, 0}, {0, 1}, {1, 0}}},
};

// A shape with its bounds taken from its cells.
constexpr Shape_Def make_shape(const Rotations& cells) {
    Shape_Def shape{};
    shape.rotation_count = 4;
    for (int r = 0; r < 4; ++r) {
        Cell_Offset low = cells[r][0];
        Cell_Offset high = cells[r][0];
        for (int i = 0; i < 4; ++i) {
            shape.cells[r][i] = cells[r][i];
            low = {std::min(low.dx, cells[r][i].dx), std::min(low.dy, cells[r][i].dy)};
            high = {std::max(high.dx, cells[r][i].dx), std::max(high.dy, cells[r][i].dy)};
        }
        shape.bounds[r][0] = low;
        shape.bounds[r][1] = high;
    }
    return shape;
}

constexpr Shape_Def shapes[SHAPE_COUNT] = {
    make_shape(shape_cells[0]), make_shape(shape_cells[1]), make_shape(shape_cells[2]),
    make_shape(shape_cells[3]), make_shape(shape_cells[4]), make_shape(shape_cells[5]),
    make_shape(shape_cells[6]),
};

// The flat bar reaches from dx -1 to dx 2; the upright one from dy -2 to dy 1.
static_assert(shapes[3].bounds[0][0].dx == -1 && shapes[3].bounds[0][1].dx == 2);
static_assert(shapes[3].bounds[1][0].dy == -2 && shapes[3].bounds[1][1].dy == 1);

constexpr int BLOCK_COLOURS = 7;
constexpr float SPECIAL_FACE_SECONDS = 0.5f;
constexpr float ORDINARY_FACE_SECONDS = 0.25f;
constexpr float FLASH_SECONDS = 1.0f;

const Shape_Def& shape_of(const Piece& piece) {
    return shape_table[piece.shape];
}

int next_rotation(const Piece& piece) {
    const int rotation = piece.rotation + 1;
    return rotation >= shape_of(piece).rotation_count ? 0 : rotation;
}

// Advances the special face's blink by one frame of the given seconds.
void advance_blink(Piece& piece, double seconds) {
    if (piece.special_kind == -1) return;
    piece.blink_timer -= float(seconds);
    if (piece.blink_timer >= 0.0f) return;
    if (piece.blink_on == 0) {
        piece.blink_on = 1;
        piece.blink_timer = SPECIAL_FACE_SECONDS;
    } else {
        piece.blink_on = 0;
        piece.blink_timer = ORDINARY_FACE_SECONDS;
    }
}

// Screen position of cell i, truncated toward zero.
Point cell_pixel(const Piece& piece, int i) {
    const Cell_Offset offset = shape_of(piece).cells[piece.rotation][i];
    const float size = float(block_size());
    return {int32_t(piece.x + float(offset.dx) * size), int32_t(piece.y + float(offset.dy) * size)};
}

int cell_tile(const Piece& piece, int i) {
    const bool special_face = i == piece.special_cell && piece.blink_on != 0;
    return special_face ? piece.special_kind : piece.tile;
}

void draw_flash(Piece& piece, double seconds) {
    if (piece.flash <= 0.0f) return;
    const float alpha = piece.flash * 255.0f;
    zgl_set_bitmap_alpha(BMP_BLOCK_TEX, alpha >= 255.0f ? 255 : int(alpha));
    for (int i = 0; i < 4; ++i) {
        const Point at = cell_pixel(piece, i);
        draw_tile(TILE_FLASH, at.x, at.y);
    }
    zgl_set_bitmap_alpha(BMP_BLOCK_TEX, 255);
    piece.flash -= float(seconds);
}

} // namespace

const Shape_Def shape_table[SHAPE_COUNT] = {shapes[0], shapes[1], shapes[2], shapes[3],
                                            shapes[4], shapes[5], shapes[6]};

void clear_piece(Piece& piece) {
    piece = Piece{0, 0, 0, 0, 0.0f, 0.0f, 0, 0, 0, 0.0f, 0.0f, 0};
}

Grid_Pos piece_cell(const Piece& piece, int i) {
    const Cell_Offset offset = shape_of(piece).cells[piece.rotation][i];
    return {piece.col + offset.dx, piece.row + offset.dy};
}

Cell_Offset piece_bounds(const Piece& piece, int k) {
    return shape_of(piece).bounds[piece.rotation][k];
}

Grid_Pos piece_abs_bounds(const Piece& piece, int k) {
    const Cell_Offset corner = piece_bounds(piece, k);
    return {piece.col + corner.dx, piece.row + corner.dy};
}

void rotate_piece(Piece& piece) {
    piece.rotation = next_rotation(piece);
}

void generate_piece(Piece& piece, int shape, const Options_Record& options) {
    clear_piece(piece);
    if (shape == -1) shape = std::rand() % SHAPE_COUNT;
    piece.shape = shape;
    piece.rotation = std::rand() % shape_table[shape].rotation_count;
    const uint32_t flags = options.flags;
    piece.tile = (flags & opt_random_colors) ? std::rand() % BLOCK_COLOURS : shape;
    if ((flags & opt_special_blocks) && std::rand() % 100 < options.opt_special_chance) {
        piece.special_kind = special_effects[std::rand() % SPECIAL_EFFECT_COUNT].tile;
        piece.special_cell = std::rand() % 4;
        return;
    }
    piece.special_kind = -1;
    piece.special_cell = -1;
}

void start_flash(Piece& piece) {
    piece.flash = FLASH_SECONDS;
}

void draw_piece(Piece& piece, double seconds) {
    advance_blink(piece, seconds);
    for (int i = 0; i < 4; ++i) {
        const Point at = cell_pixel(piece, i);
        draw_tile(cell_tile(piece, i), at.x, at.y);
    }
    draw_flash(piece, seconds);
}

bool rotation_allowed(const Piece& piece, int column, const Grid_Field& grid) {
    const Shape_Def& shape = shape_of(piece);
    const int turned = next_rotation(piece);
    const Cell_Offset low = shape.bounds[turned][0];
    const Cell_Offset high = shape.bounds[turned][1];
    // The top is not tested: cells may turn into the space above the well.
    if (column + low.dx < 0 || column + high.dx > GRID_COLS - 1) return false;
    if (piece.row + high.dy > GRID_ROWS - 1) return false;
    for (const Cell_Offset& offset : shape.cells[turned]) {
        if (grid.is_occupied(column + offset.dx, piece.row + offset.dy)) return false;
    }
    return true;
}

bool piece_blocked(const Piece& piece, const Grid_Field& grid) {
    if (piece_abs_bounds(piece, 1).row > GRID_ROWS - 1) return true;
    for (int i = 0; i < 4; ++i) {
        const Grid_Pos at = piece_cell(piece, i);
        if (grid.is_occupied(at.col, at.row)) return true;
    }
    return false;
}
