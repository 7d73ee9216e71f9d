// The play state: pieces entering, sliding, turning, falling and landing; levels, flares, pause,
// game over and the hand-over to the effects; and one whole seeded game.
#include "game_test.h"

#include "app/vextile.h"
#include "game/effect_table.h"
#include "game/game_context.h"
#include "media/sounds.h"
#include "media/texts.h"
#include "media/video.h"
#include "play/faldor_state.h"
#include "play/play_record.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <tuple>
#include <vector>

namespace {

constexpr int BLOCK = 16;
constexpr double FAST_STEP = 2 * BLOCK * 0.01 * 12; // a 0.01 s frame at 24 cells a second

using Cells = std::vector<int32_t>;

Cells well_cells() {
    return Cells(play_record.grid.cells, play_record.grid.cells + GRID_COLS * GRID_ROWS);
}

// The empty well with the given cells set to the tile.
Cells well_with(std::initializer_list<Grid_Pos> cells, int tile) {
    Cells well(GRID_COLS * GRID_ROWS, EMPTY_CELL);
    for (const Grid_Pos p : cells)
        well[p.row * GRID_COLS + p.col] = tile;
    return well;
}

// The empty well with a one-wide column of blocks from the row down to the floor.
Cells column_of_blocks(int col, int top) {
    Cells well(GRID_COLS * GRID_ROWS, EMPTY_CELL);
    for (int row = top; row < GRID_ROWS; ++row)
        well[row * GRID_COLS + col] = 2;
    return well;
}

// Whether the picture is on the screen centred over the well: drawing it there changes nothing.
bool overlay_shown(Bitmap_Id id) {
    const SDL_Surface* screen = get_screen();
    const auto* pixels = static_cast<const Uint8*>(screen->pixels);
    const std::vector<Uint8> before(pixels, pixels + screen->pitch * screen->h);
    const SDL_Surface* picture = zgl_get_bitmap(id);
    zgl_draw_bitmap(id, {(GRID_COLS * BLOCK - picture->w) / 2, (SCREEN_HEIGHT - picture->h) / 2});
    return std::equal(before.begin(), before.end(), pixels);
}

class Play_Test : public Game_Test {
  protected:
    void SetUp() override {
        Game_Test::SetUp();
        std::srand(1234);
        new_game();
    }

    // A new game and its first frame, taking no time: the level rises and a piece enters.
    void new_game() {
        reset_play_record(&play_record);
        app.enter_state(STATE_PLAY);
        frame(0.0);
    }

    static bool has_flag(uint32_t flag) { return (play_record.flags & flag) != 0; }
    bool command(Command c) { return app.send_command(c, nullptr); }
    void frame(double seconds) {
        set_frame_seconds(seconds);
        app.state_frame(Game_Test::frame_seconds());
    }

    // Puts an ordinary piece of the shape at the position, falling with no key held, target on
    // its column. At level 0 the piece only falls when dropped fast.
    void place(int shape, int rotation, int col, int row, int level = 0) {
        play_record.current = {shape, rotation, col, row, col * 16.0f, row * 16.0f, shape, -1, -1};
        play_record.target_col = col;
        play_record.level = level;
        play_record.flags = FLAG_IN_PROGRESS | FLAG_FALLING;
    }

    // Fast-drops the falling piece until it lands (and an effect may take over).
    void drop_until_landed() {
        command(CMD_DOWN_PRESS);
        for (int i = 0; i < 200 && has_flag(FLAG_FALLING); ++i)
            frame(0.01);
    }
};

} // namespace

// The level rises silently on the first frame and with its sound later; the fall speed grows
// with it, and a fast drop is 24 cells a second.
TEST_F(Play_Test, TheLevelRisesAndSetsTheFallSpeed) {
    auto level_state = [] {
        return std::tuple(play_record.level, play_record.flares, play_record.blocks_cleared,
                          sound_play_count(SND_NEW_LEVEL), play_record.current.row);
    };
    EXPECT_EQ(level_state(), std::tuple(1, 1, 0, 0, 0)) << "silent, and a piece came in";
    place(0, 0, 3, 5, 1);
    play_record.blocks_cleared = 70; // as a row clear would leave it: the excess is not kept
    frame(0.0);
    EXPECT_EQ(level_state(), std::tuple(2, 2, 0, 1, 0))
        << "with its sound, and a new piece came in";

    for (int level : {0, 1, 20}) {
        place(0, 0, 5, 5, level);
        frame(0.01);
        EXPECT_NEAR(play_record.current.y, 80 + 2 * BLOCK * 0.01 * level * 0.6, 1e-3) << level;
    }
    game.options.flags = opt_uncontrolled_drop;
    place(0, 0, 5, 5);
    command(CMD_DOWN_PRESS);
    command(CMD_DOWN_RELEASE);
    frame(0.01);
    EXPECT_NEAR(play_record.current.y, 80 + FAST_STEP, 1e-3) << "an uncontrolled drop goes on";
    frame(0.5); // 192 pixels, but one row per frame at most
    EXPECT_EQ(play_record.current.row, 7) << "the row the piece moves into";
    app.send_mouse(MOUSE_RELEASE, 3, 4);
    EXPECT_FALSE(has_flag(FLAG_FAST_DROP)) << "until a mouse button is released";
}

// The slide speed, and the pause: while paused only space and escape count.
TEST_F(Play_Test, SlideSpeedsUpOverHalfASecondAndPauseTakesOnlySpaceAndEscape) {
    place(0, 0, 6, 5);
    command(CMD_LEFT_PRESS);
    float x = play_record.current.x;
    for (const float held : {0.0f, 0.45f, 0.6f}) {
        if (held > 0) dynamic_cast<Faldor_State&>(*app.state).hold_time = held;
        frame(0.01);
        const double factor = std::min(1.0, (held + 0.01) * 1.5 + 0.25);
        EXPECT_NEAR(play_record.current.x, x - FAST_STEP * factor, 1e-3) << held;
        x = play_record.current.x;
    }
    EXPECT_EQ(play_record.target_col, 5) << "no new step before the piece catches up";

    EXPECT_TRUE(command(CMD_SPACE));
    const uint32_t paused = play_record.flags;
    for (Command c : {CMD_UP, CMD_DELETE, CMD_LEFT_RELEASE, CMD_DOWN_PRESS, CMD_STOP, CMD_ENTER})
        EXPECT_FALSE(command(c)) << char(c);
    frame(0.2);
    EXPECT_EQ(std::tuple(play_record.flags, play_record.current.x, sound_play_count(SND_MISS)),
              std::tuple(paused, x, 0))
        << "nothing moved and no flare was tried";
    EXPECT_TRUE(overlay_shown(BMP_PAUSED));

    EXPECT_TRUE(command(CMD_SPACE));
    frame(0.5); // far more than a column, but one column per frame at most
    EXPECT_EQ(play_record.current.x, 80.0f) << "the held key slid the piece onto the column";
    command(CMD_LEFT_RELEASE);
    EXPECT_EQ(dynamic_cast<Faldor_State&>(*app.state).hold_time, 0.0f);
    EXPECT_TRUE(command(CMD_ESCAPE));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
}

// A slide stops silently at walls and blocks; a turn is tested where the piece is going, gets the
// click when it fits and the miss when a wall, the floor or a block is in the way (no wall kick).
TEST_F(Play_Test, WallsAndBlocksStopASlideSilentlyAndRefuseATurnWithAMiss) {
    const struct {
        int shape, rotation, col, row, target, press, block_col, block_row, stop, turns;
        const char* why;
    } cases[] = {
        // A block at column 0 of row 19 is out of every tested piece's way.
        {0, 0, 0, 10, 0, CMD_LEFT_PRESS, 0, 19, 0, 0, "a square at the left wall"},
        {3, 0, 11, 10, 11, CMD_RIGHT_PRESS, 0, 19, 11, 0, "a flat bar at the right wall"},
        {0, 0, 5, 10, 5, CMD_LEFT_PRESS, 4, 10, 5, 0, "a square beside a block"},
        {0, 0, 5, 10, 5, CMD_RIGHT_PRESS, 7, 9, 5, 0, "a block beside its upper row"},
        {3, 1, 0, 10, 0, CMD_UP, 0, 19, 0, 0, "an upright bar at the left wall"},
        {1, 0, 5, 19, 5, CMD_UP, 0, 19, 5, 0, "a J on the floor"},
        {6, 0, 6, 10, 6, CMD_UP, 6, 11, 6, 0, "a T whose turn meets a block"},
        {6, 0, 6, 10, 5, CMD_UP, 5, 11, 5, 0, "a T turned at the column it slides to"},
        {6, 0, 6, 10, 6, CMD_UP, 5, 11, 6, 1, "a T turned in the open"},
    };
    for (const auto& c : cases) {
        play_record.grid.clear_rows(0, GRID_ROWS);
        play_record.grid.set_cell(c.block_col, c.block_row, 1);
        place(c.shape, c.rotation, c.col, c.row);
        play_record.target_col = c.target;
        const int misses = sound_play_count(SND_MISS), clicks = sound_play_count(SND_UI_CLICK);
        command(c.press);
        for (int i = 0; i < 60; ++i)
            frame(0.02);
        const Piece& p = play_record.current;
        EXPECT_EQ(std::tuple(play_record.target_col, p.x, p.rotation,
                             sound_play_count(SND_MISS) - misses,
                             sound_play_count(SND_UI_CLICK) - clicks),
                  std::tuple(c.stop, c.stop * 16.0f, (c.rotation + c.turns) % 4,
                             int(c.press == CMD_UP && !c.turns), int(c.turns)))
            << c.why;
    }
}

// A falling piece never overlaps a block, in either column it spans while sliding, and its landing
// adds its four cells and changes no other: a slide that meets blocks at the rows the piece is in
// or moving into stops, the piece back on its column; a turn must fit where the piece stands as
// well as where it slides to (none of these turns does).
TEST_F(Play_Test, APieceNeverOverlapsABlockAndItsLandingOnlyAddsItsCells) {
    const struct {
        int shape, rotation, col, row;
        Cells well;
        std::vector<std::pair<int, Command>> keys; // at frame
        int landed_col;
        const char* why;
    } cases[] = {
        {0,
         0,
         7,
         7,
         column_of_blocks(6, 9),
         {{0, CMD_DOWN_PRESS}, {0, CMD_LEFT_PRESS}, {5, CMD_LEFT_RELEASE}},
         7,
         "a square dropped beside a column, left tapped for 50 ms"},
        {3,
         0,
         5,
         10,
         well_with({{5, 7}, {5, 11}}, 2),
         {{0, CMD_LEFT_PRESS}, {1, CMD_UP}, {2, CMD_LEFT_RELEASE}, {30, CMD_DOWN_PRESS}},
         4,
         "a flat bar turned while sliding left: it fits at column 4, not at 5"},
        {1,
         1,
         13,
         17,
         well_with({}, 2),
         {{0, CMD_LEFT_PRESS}, {1, CMD_UP}, {2, CMD_LEFT_RELEASE}, {30, CMD_DOWN_PRESS}},
         12,
         "an upright J turned while sliding off the right wall would stand outside the well"},
    };
    const auto overlaps = [] {
        const Piece& p = play_record.current;
        const int beside = p.x < p.col * BLOCK ? -1 : p.x > p.col * BLOCK ? 1 : 0;
        for (int i = 0; i < 4; ++i) {
            const Grid_Pos at = piece_cell(p, i);
            if (play_record.grid.is_occupied(at.col, at.row) ||
                play_record.grid.is_occupied(at.col + beside, at.row))
                return true;
        }
        return false;
    };
    for (const auto& c : cases) {
        std::copy(c.well.begin(), c.well.end(), play_record.grid.cells);
        place(c.shape, c.rotation, c.col, c.row);
        for (int i = 0; i < 300 && has_flag(FLAG_FALLING); ++i) {
            for (const auto& [at, key] : c.keys)
                if (at == i) command(key);
            frame(0.01);
            if (has_flag(FLAG_FALLING)) {
                EXPECT_FALSE(overlaps()) << c.why << ", frame " << i;
            }
        }
        Cells landed = c.well;
        for (int i = 0; i < 4; ++i) {
            const Grid_Pos at = piece_cell(play_record.current, i);
            if (at.col >= 0 && at.col < GRID_COLS && at.row >= 0 && at.row < GRID_ROWS)
                landed[at.row * GRID_COLS + at.col] = c.shape;
        }
        const Piece& p = play_record.current;
        EXPECT_EQ(std::tuple(well_cells(), p.col, p.rotation),
                  std::tuple(landed, c.landed_col, c.rotation))
            << c.why << ": no turn, no overlap";
    }
}

// Taps 60 ms apart, each held for 30 ms (a small letter: pressed and released between two
// frames): a second one while the piece still slides that way asks for one more column, taken once
// the piece has caught up (at most one waits); a press the other way cancels it.
TEST_F(Play_Test, AQuickSecondTapAsksForOneMoreColumn) {
    const struct {
        const char* taps;
        int moved;
    } cases[] = {{"L", -1}, {"LL", -2}, {"LLL", -2}, {"RR", 2}, {"LLr", -1}};
    for (const auto& c : cases) {
        place(0, 0, 6, 5);
        for (int i = 0; i < 100; ++i) {
            const char tap = i / 6 < int(std::strlen(c.taps)) ? c.taps[i / 6] : 0;
            const bool left = tap == 'L' || tap == 'l', instant = tap == 'l' || tap == 'r';
            if (tap && i % 6 == 0) command(left ? CMD_LEFT_PRESS : CMD_RIGHT_PRESS);
            if (tap && i % 6 == (instant ? 0 : 3))
                command(left ? CMD_LEFT_RELEASE : CMD_RIGHT_RELEASE);
            frame(0.01);
        }
        EXPECT_EQ(play_record.current.col, 6 + c.moved) << c.taps;
    }
}

// A special piece hands over to its effect, else a full row that the piece spans to the row clear.
// A flare burns the special block off (and the piece lands the ordinary way); on an ordinary
// piece it only gets the miss.
TEST_F(Play_Test, ALandingOnFullRowsCallsTheRowClearAndASpecialOneItsEffect) {
    // The special kind, whether a flare is spent, and the state that follows the landing. The
    // effect comes before the row clear; a burnt special block brings on the row clear alone.
    const struct {
        int special, flare, next;
    } cases[] = {{-1, 0, STATE_KILL_ROWS},       {TILE_ICE, 0, STATE_ICE},
                 {TILE_FIRE, 0, STATE_FIRE},     {TILE_LIGHTNING, 0, STATE_LIGHTNING},
                 {TILE_EARTH, 0, STATE_EARTH},   {-1, 1, STATE_KILL_ROWS},
                 {TILE_FIRE, 1, STATE_KILL_ROWS}};
    for (const auto& c : cases) {
        new_game();
        for (int col = 0; col < GRID_COLS; ++col) // row 19 leaves room for the square
            if (col < 3 || col > 4) play_record.grid.set_cell(col, 19, 5);
        place(0, 0, 3, 15);
        play_record.current.special_kind = c.special;
        play_record.current.special_cell = c.special == -1 ? -1 : 2;
        if (c.flare) command(CMD_DELETE);
        drop_until_landed();
        const int burnt = c.flare && c.special != -1;
        EXPECT_EQ(std::pair(play_record.state_id, play_record.flares), std::pair(c.next, 1 - burnt))
            << c.special << " flare " << c.flare;
    }
    EXPECT_EQ(std::pair(sound_play_count(SND_KILLBLOX), sound_play_count(SND_MISS)),
              std::pair(1, 1))
        << "one flare burnt, one missed";
}

// A landing above row 0 loses those cells and the next piece ends the game; closed and started
// again, the game comes back showing that it is over, and only enter and a mouse press count.
TEST_F(Play_Test, AGameResumedAfterItsEndStillShowsThatItIsOver) {
    play_record.grid.set_cell(3, 1, 0);
    place(0, 0, 3, 0); // a square with its upper cells on row -1
    drop_until_landed();
    EXPECT_EQ(well_cells(), well_with({{3, 0}, {4, 0}, {3, 1}}, 0));
    frame(0.01);
    EXPECT_EQ(play_record.flags, FLAG_GAME_OVER) << "over when the next piece would enter";
    frame(0.01); // the first frame drawn since
    EXPECT_TRUE(overlay_shown(BMP_GAME_OVER));

    // Saved paused; the next start builds a new play state with nothing of the old one loaded.
    play_record.flags |= FLAG_PAUSED;
    app.enter_state(STATE_NONE);
    forget_all_texts();
    zgl_release_all();
    Stderr_Capture err;
    app.enter_state(STATE_PLAY);
    EXPECT_STREQ(text_of(TXT_PRESS_ENTER), "- press [enter] to continue -");
    frame(0.01);
    EXPECT_EQ(err.count("Bitmap is not loaded"), 0) << "everything it draws was prepared";
    EXPECT_TRUE(overlay_shown(BMP_GAME_OVER));

    for (Command c : {CMD_SPACE, CMD_UP, CMD_DELETE, CMD_LEFT_PRESS, CMD_DOWN_PRESS, CMD_STOP})
        EXPECT_FALSE(command(c)) << char(c);
    EXPECT_EQ(play_record.flags, FLAG_GAME_OVER | FLAG_PAUSED);
    EXPECT_TRUE(app.send_mouse(MOUSE_PRESS, 50, 50));
    EXPECT_EQ(play_record.state_id, STATE_SCORE_INPUT) << "after a mouse press";
    app.enter_state(STATE_PLAY);
    command(CMD_ENTER);
    EXPECT_EQ(play_record.state_id, STATE_SCORE_INPUT) << "after enter";
}

// Plays a seeded game from a new record to its end through do_frame and handle_command alone:
// every piece is moved or turned now and then and dropped fast, a flare is spent on a special
// piece, and a level change is forced after six landings. Every piece must enter inside columns
// 0 to 12.
TEST_F(Play_Test, ASeededGamePlaysToItsEnd) {
    std::srand(2026);
    new_game();
    std::minstd_rand player(7);
    const Command moves[] = {CMD_UP, CMD_LEFT_PRESS, CMD_RIGHT_PRESS, CMD_UP, CMD_STOP};
    const Piece& piece = play_record.current;
    int frames = 0, piece_frames = 0, left = GRID_COLS, right = 0;
    while (!has_flag(FLAG_GAME_OVER) && ++frames < 100000) {
        const bool falling = play_record.state_id == STATE_PLAY && has_flag(FLAG_FALLING);
        piece_frames = falling ? piece_frames + 1 : 0;
        if (piece_frames == 1) {
            left = std::min(left, piece_abs_bounds(piece, 0).col);
            right = std::max(right, piece_abs_bounds(piece, 1).col);
            command(moves[player() % 5]);
        }
        if (piece_frames == 12) command(CMD_STOP), command(CMD_DOWN_PRESS);
        if (falling && piece.special_cell != -1 && play_record.flares > 0) command(CMD_DELETE);
        if (!falling && play_record.level == 1 && sound_play_count(SND_BLOCK_HIT) >= 6)
            play_record.blocks_cleared = 64;
        frame(0.02);
    }
    ASSERT_TRUE(has_flag(FLAG_GAME_OVER)) << "no end after " << frames << " frames";
    // Landings, turns, flares spent and level changes all happened; pieces entered inside columns
    // 0 to 12; the first level change was silent and each brought a flare.
    const int level = play_record.level, flares = sound_play_count(SND_KILLBLOX);
    EXPECT_EQ(std::tuple(sound_play_count(SND_BLOCK_HIT) > 10, sound_play_count(SND_UI_CLICK) > 0,
                         flares > 0, level >= 2, left, right, sound_play_count(SND_NEW_LEVEL),
                         play_record.flares),
              std::tuple(true, true, true, true, 0, 12, level - 1, level - flares));
}
