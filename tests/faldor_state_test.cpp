// The play state: pieces entering, sliding, turning, falling and landing; levels, flares, pause,
// game over and the hand-over to the effects; and one whole seeded game.
#include "game_test.h"

#include "app/vextile.h"
#include "media/sounds.h"
#include "media/video.h"
#include "play/faldor_state.h"
#include "play/play_record.h"
#include "store/options_file.h"
#include "ui/texts.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <random>
#include <vector>

namespace {

constexpr int BLOCK = 16;
constexpr double FAST_STEP = 2 * BLOCK * 0.01 * 12; // a 0.01 s frame at 24 cells a second
constexpr Grid_Pos AWAY = {0, 19};                  // a block out of every tested piece's way

using Cells = std::vector<int32_t>;

Cells well_cells() {
    return Cells(std::begin(play_record.grid.cells), std::end(play_record.grid.cells));
}

// The empty well with the given cells set to the tile.
Cells well_with(std::initializer_list<Grid_Pos> cells, int tile) {
    Cells well(GRID_COLS * GRID_ROWS, EMPTY_CELL);
    for (const Grid_Pos p : cells)
        well[p.row * GRID_COLS + p.col] = tile;
    return well;
}

bool has_flag(uint32_t flag) {
    return (play_record.flags & flag) != 0;
}

void fill_row_except(int row, int skip_from, int skip_count) {
    for (int c = 0; c < GRID_COLS; ++c) {
        if (c < skip_from || c >= skip_from + skip_count) play_record.grid.set_cell(c, row, 5);
    }
}

// Whether the screen shows every non-black pixel of the picture centred over the well.
::testing::AssertionResult overlay_shown(Bitmap_Id id) {
    SDL_Surface* picture = zgl_get_bitmap(id);
    const int w = picture->w, left = (GRID_COLS * BLOCK - w) / 2;
    const int top = (SCREEN_HEIGHT - picture->h) / 2;
    int compared = 0, differ = 0;
    for (int i = 0; i < w * picture->h; ++i) {
        const SDL_Color want = colour_at(picture, i % w, i / w);
        if (same_colour(want, COLOR_BLACK)) continue; // transparent
        ++compared;
        differ += !same_colour(colour_at(nullptr, left + i % w, top + i / w), want);
    }
    if (compared > 100 && differ == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differ << " of " << compared << " pixels differ";
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
        app.change_state(STATE_PLAY);
        frame(0.0);
    }

    Faldor_State* play() { return dynamic_cast<Faldor_State*>(app.state.get()); }
    bool command(Command c) { return app.state->handle_command(c, nullptr); }
    void frame(double seconds) {
        set_frame_seconds(seconds);
        app.state->do_frame();
    }

    // Puts an ordinary piece of the shape at the position, falling, target on its column. The
    // level becomes 0, so the piece only falls when dropped fast.
    void place(int shape, int rotation, int col, int row) {
        const float x = col * BLOCK, y = row * BLOCK;
        play_record.current = {shape, rotation, col, row, x, y, shape, -1, -1};
        play_record.target_col = col;
        play_record.level = 0;
        play_record.flags |= FLAG_FALLING;
    }

    // Fast-drops the falling piece until it lands (and an effect may take over).
    void drop_until_landed() {
        command(CMD_DOWN_PRESS);
        for (int i = 0; i < 200 && has_flag(FLAG_FALLING); ++i)
            frame(0.01);
    }
};

} // namespace

TEST_F(Play_Test, TheLevelRisesSilentlyOnTheFirstFrameAndWithItsSoundLater) {
    EXPECT_EQ(play_record.level, 1);
    EXPECT_EQ(play_record.flares, 1);
    EXPECT_EQ(play_record.blocks_cleared, 0);
    EXPECT_EQ(sound_play_count(SND_NEW_LEVEL), 0);
    EXPECT_TRUE(has_flag(FLAG_FALLING)) << "a piece came in";

    place(0, 0, 3, 5);
    play_record.level = 1;
    play_record.blocks_cleared = 70; // as a row clear would leave it
    frame(0.0);
    EXPECT_EQ(play_record.level, 2);
    EXPECT_EQ(play_record.flares, 2);
    EXPECT_EQ(play_record.blocks_cleared, 0) << "the excess is not carried over";
    EXPECT_EQ(sound_play_count(SND_NEW_LEVEL), 1);
    EXPECT_EQ(play_record.current.row, 0) << "a new piece came in";
    play_record.blocks_cleared = 63;
    frame(0.0);
    EXPECT_EQ(play_record.level, 2);
}

TEST_F(Play_Test, FallSpeedGrowsWithTheLevelAndFastDropIsTwentyFourCellsASecond) {
    for (int level : {0, 1, 5, 20}) {
        place(0, 0, 5, 5);
        play_record.level = level;
        frame(0.01);
        EXPECT_NEAR(play_record.current.y, 80 + 2 * BLOCK * 0.01 * level * 0.6, 1e-3) << level;
        EXPECT_EQ(play_record.current.row, level == 0 ? 5 : 6) << "the row the piece moves into";
    }
    for (const bool uncontrolled : {false, true}) {
        app.options.flags = uncontrolled ? opt_uncontrolled_drop : 0u;
        place(0, 0, 5, 5);
        command(CMD_DOWN_PRESS);
        command(CMD_DOWN_RELEASE);
        frame(0.01);
        EXPECT_NEAR(play_record.current.y, 80 + (uncontrolled ? FAST_STEP : 0), 1e-3);
    }
    frame(0.5); // 192 pixels, but one row per frame at most
    EXPECT_EQ(play_record.current.row, 7);
    EXPECT_TRUE(app.state->handle_mouse(MOUSE_RELEASE, 3, 4)) << "a released button stops it";
    EXPECT_FALSE(has_flag(FLAG_FAST_DROP));
}

TEST_F(Play_Test, SlideStartsAtAQuarterAndReachesFullSpeedAfterHalfASecond) {
    place(0, 0, 6, 5);
    command(CMD_LEFT_PRESS);
    frame(0.01);
    EXPECT_EQ(play_record.target_col, 5);
    EXPECT_NEAR(play_record.current.x, 96 - FAST_STEP * (0.01 * 1.5 + 0.25), 1e-3);
    for (const float held : {0.45f, 0.6f}) {
        play()->hold_time = held;
        const float before = play_record.current.x;
        frame(0.01);
        const double factor = std::min(1.0, (held + 0.01) * 1.5 + 0.25);
        EXPECT_NEAR(play_record.current.x, before - FAST_STEP * factor, 1e-3) << held;
    }
    EXPECT_EQ(play_record.target_col, 5) << "no new step before the piece catches up";
    frame(0.5); // far more than a column, but one column per frame at most
    EXPECT_EQ(play_record.current.x, 80.0f) << "snapped onto the column";
    command(CMD_LEFT_RELEASE);
    EXPECT_EQ(play()->hold_time, 0.0f);
}

TEST_F(Play_Test, WallsAndBlocksStopASlideSilentlyAndRefuseATurnWithAMiss) {
    const struct {
        int shape, rotation, col, row, target;
        Command press;
        Grid_Pos block;
        int stop;
        bool turns;
        const char* why;
    } cases[] = {
        {0, 0, 0, 10, 0, CMD_LEFT_PRESS, AWAY, 0, false, "a square at the left wall"},
        {3, 0, 11, 10, 11, CMD_RIGHT_PRESS, AWAY, 11, false, "a flat bar at the right wall"},
        {0, 0, 5, 10, 5, CMD_LEFT_PRESS, {4, 10}, 5, false, "a square beside a block"},
        {0, 0, 5, 10, 5, CMD_RIGHT_PRESS, {7, 9}, 5, false, "a square beside a block"},
        {0, 0, 5, 10, 5, CMD_RIGHT_PRESS, {7, 8}, 12, false, "a block beside the row above"},
        {3, 1, 0, 10, 0, CMD_UP, AWAY, 0, false, "an upright bar at the left wall"},
        {3, 1, 12, 10, 12, CMD_UP, AWAY, 12, false, "an upright bar near the right wall"},
        {1, 0, 5, 19, 5, CMD_UP, AWAY, 5, false, "a J on the floor"},
        {6, 0, 6, 10, 6, CMD_UP, {6, 11}, 6, false, "a T whose turn meets a block"},
        {6, 0, 6, 10, 5, CMD_UP, {5, 11}, 5, false, "a T turned at the column it slides to"},
        {6, 0, 6, 10, 6, CMD_UP, {5, 11}, 6, true, "a T turned in the open"},
        {3, 0, 5, 0, 5, CMD_UP, AWAY, 5, true, "a flat bar turning up into the space above"},
    };
    for (const auto& c : cases) {
        play_record.grid.set_cell(c.block.col, c.block.row, 1);
        place(c.shape, c.rotation, c.col, c.row);
        play_record.target_col = c.target;
        const int misses = sound_play_count(SND_MISS), clicks = sound_play_count(SND_UI_CLICK);
        command(c.press);
        for (int i = 0; i < 60; ++i)
            frame(0.02);
        EXPECT_EQ(play_record.target_col, c.stop) << c.why;
        EXPECT_EQ(play_record.current.x, c.stop * BLOCK) << c.why;
        EXPECT_EQ(play_record.current.rotation, (c.rotation + c.turns) % 4) << c.why;
        EXPECT_EQ(sound_play_count(SND_MISS) - misses, int(c.press == CMD_UP && !c.turns)) << c.why;
        EXPECT_EQ(sound_play_count(SND_UI_CLICK) - clicks, int(c.turns)) << c.why;
        command(CMD_STOP);
        play_record.grid.clear_cell(c.block.col, c.block.row);
    }
}

// A piece turned while sliding away from a wall is tested at the column it slides to, so it can
// stand one column outside the well until the slide catches up. If it lands then, the cell beside
// the well must be dropped, not written into the next row (or past the last cell).
TEST_F(Play_Test, APieceStandingOutsideTheWellLandsWithoutWritingThere) {
    const struct {
        int rotation, col, row;
        Command press;
        Cells landed;
    } cases[] = {
        // An upright J at the right wall, turned for column 12, spans columns 12 to 14 at 13.
        {1, 13, 17, CMD_LEFT_PRESS, well_with({{12, 18}, {13, 18}}, 1)},
        // A J at the left wall, turned for column 1, spans columns -1 to 1 at 0.
        {3, 0, 18, CMD_RIGHT_PRESS, well_with({{0, 19}, {1, 19}}, 1)},
    };
    for (const auto& c : cases) {
        play_record.grid.clear_rows(0, GRID_ROWS);
        play_record.grid.full_row_list[0] = 12345; // lies right after the cells
        place(1, c.rotation, c.col, c.row);
        command(c.press);
        frame(0.01);
        command(CMD_UP);
        drop_until_landed();
        EXPECT_EQ(play_record.current.rotation, (c.rotation + 1) % 4);
        EXPECT_EQ(play_record.current.col, c.col) << "landed before the slide caught up";
        EXPECT_EQ(well_cells(), c.landed) << "column " << c.col;
        EXPECT_EQ(play_record.grid.full_row_list[0], 12345);
        command(CMD_STOP);
    }
}

TEST_F(Play_Test, ALandingOnFullRowsCallsTheRowClearAndASpecialOneItsEffect) {
    const struct {
        int special, full_row;
        State_Id next;
    } cases[] = {
        {-1, 19, STATE_KILL_ROWS},
        {-1, 12, STATE_PLAY},      // a full row away from the piece is not searched
        {TILE_ICE, 19, STATE_ICE}, // the effect comes before the row clear
        {TILE_FIRE, 19, STATE_FIRE},
        {TILE_LIGHTNING, 19, STATE_LIGHTNING},
        {TILE_EARTH, 19, STATE_EARTH},
    };
    for (const auto& c : cases) {
        new_game();
        fill_row_except(c.full_row, 3, c.full_row == 19 ? 2 : 0); // row 19 waits for the square
        place(0, 0, 3, 15);
        play_record.current.special_kind = c.special;
        play_record.current.special_cell = c.special == -1 ? -1 : 2;
        drop_until_landed();
        EXPECT_EQ(play_record.state_id, c.next) << c.special;
        for (const int32_t cell : play_record.grid.cells)
            ASSERT_LT(cell, TILE_FIRE) << "special faces stay off the well";
        app.state.reset();
    }
}

TEST_F(Play_Test, CellsAboveTheWellAreLostAndTheNextPieceEndsTheGame) {
    play_record.grid.set_cell(3, 1, 2);
    place(0, 0, 3, 0); // a square with its upper cells on row -1
    drop_until_landed();
    Cells expected = well_with({{3, 0}, {4, 0}}, 0);
    expected[GRID_COLS + 3] = 2;
    EXPECT_EQ(well_cells(), expected);
    EXPECT_FALSE(has_flag(FLAG_GAME_OVER | FLAG_FAST_DROP)) << "over when the next piece enters";
    frame(0.01);
    EXPECT_EQ(play_record.flags, FLAG_GAME_OVER) << "and no longer in progress";
    const float y = play_record.current.y;
    frame(0.5);
    EXPECT_EQ(play_record.current.y, y) << "nothing moves once the game is over";
    EXPECT_TRUE(overlay_shown(BMP_GAME_OVER));

    // Only enter and a mouse press count now: both lead to the score entry.
    for (Command c : {CMD_SPACE, CMD_UP, CMD_DELETE, CMD_LEFT_PRESS, CMD_DOWN_PRESS, CMD_STOP})
        EXPECT_FALSE(command(c)) << char(c);
    EXPECT_FALSE(app.state->handle_mouse(MOUSE_RELEASE, 50, 50));
    EXPECT_EQ(play_record.flags, FLAG_GAME_OVER);
    EXPECT_TRUE(app.state->handle_mouse(MOUSE_PRESS, 50, 50));
    EXPECT_EQ(play_record.state_id, STATE_SCORE_INPUT);
    app.change_state(STATE_PLAY);
    EXPECT_TRUE(command(CMD_ENTER));
    EXPECT_EQ(play_record.state_id, STATE_SCORE_INPUT);
}

TEST_F(Play_Test, AFlareBurnsOnlyASpecialBlockOffAndThePieceLandsTheOrdinaryWay) {
    fill_row_except(19, 3, 2);
    place(0, 0, 3, 15);
    play_record.flares = 2;
    EXPECT_FALSE(command(CMD_DELETE)) << "an ordinary piece";
    EXPECT_EQ(sound_play_count(SND_MISS), 1);
    EXPECT_EQ(play_record.flares, 2);

    Piece& piece = play_record.current;
    piece.special_kind = TILE_FIRE;
    piece.special_cell = 2;
    command(CMD_DELETE);
    EXPECT_EQ(play_record.flares, 1);
    EXPECT_EQ(sound_play_count(SND_KILLBLOX), 1);
    EXPECT_EQ(sound_play_count(SND_MISS), 1);
    EXPECT_EQ(piece.special_kind, -1);
    EXPECT_EQ(piece.special_cell, -1);
    drop_until_landed();
    EXPECT_EQ(play_record.state_id, STATE_KILL_ROWS) << "the row clear, not the fire";
}

TEST_F(Play_Test, WhilePausedOnlySpaceAndEscapeCount) {
    place(0, 0, 6, 5);
    command(CMD_LEFT_PRESS);
    frame(0.01);
    EXPECT_TRUE(command(CMD_SPACE));
    const uint32_t flags = play_record.flags;
    const Piece before = play_record.current;
    for (Command c : {CMD_UP, CMD_DELETE, CMD_LEFT_RELEASE, CMD_DOWN_PRESS, CMD_STOP, CMD_ENTER})
        EXPECT_FALSE(command(c)) << char(c);
    EXPECT_FALSE(app.state->handle_mouse(MOUSE_RELEASE, 10, 10));
    EXPECT_EQ(play_record.flags, flags) << "not even passed on as movement";
    EXPECT_EQ(sound_play_count(SND_MISS), 0) << "no flare was tried";
    frame(0.2);
    EXPECT_EQ(play_record.current.x, before.x);
    EXPECT_TRUE(overlay_shown(BMP_PAUSED));
    EXPECT_TRUE(command(CMD_SPACE));
    frame(0.01);
    EXPECT_LT(play_record.current.x, before.x) << "the held key still slides the piece";
    command(CMD_SPACE);
    EXPECT_TRUE(command(CMD_ESCAPE));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
}

TEST_F(Play_Test, AGameResumedAfterItsEndStillShowsThatItIsOver) {
    // The program was closed on the game-over screen; the next start builds a new play state on
    // the record it saved, with nothing of the old one loaded.
    play_record.grid.set_cell(0, 0, 1);
    play_record.flags = FLAG_GAME_OVER | FLAG_PAUSED;
    forget_all_texts();
    zgl_forget_all();
    Stderr_Capture err;
    app.change_state(STATE_PLAY);
    EXPECT_EQ(overlay_bitmap, BMP_GAME_OVER);
    EXPECT_STREQ(text_of(TXT_PRESS_ENTER), "- press [enter] to continue -");
    app.state->do_frame();
    EXPECT_EQ(err.count("Bitmap is not loaded"), 0) << "everything it draws was prepared";
    EXPECT_TRUE(overlay_shown(BMP_GAME_OVER));
}

// Plays a seeded game from a new record to its end through do_frame and handle_command alone:
// every piece is moved or turned now and then and dropped fast, a flare is spent on a special
// piece, and a level change is forced after six landings. Every piece must enter inside columns
// 0 to 12, and every landing must write exactly the piece's cells inside the well.
TEST_F(Play_Test, ASeededGamePlaysToItsEnd) {
    std::srand(2026);
    new_game();
    std::minstd_rand player(7);
    const Command moves[] = {CMD_UP, CMD_LEFT_PRESS, CMD_RIGHT_PRESS, CMD_UP, CMD_STOP};
    int frames = 0, piece_frames = 0, landings = 0, bad_landings = 0, left = GRID_COLS, right = 0;
    while (!has_flag(FLAG_GAME_OVER) && ++frames < 100000) {
        const bool playing = play_record.state_id == STATE_PLAY;
        const bool falling = playing && has_flag(FLAG_FALLING);
        const Piece& piece = play_record.current;
        if (falling && ++piece_frames == 1) {
            left = std::min(left, piece_abs_bounds(piece, 0).col);
            right = std::max(right, piece_abs_bounds(piece, 1).col);
            command(moves[player() % 5]);
        }
        if (falling && piece_frames == 12) {
            command(CMD_STOP);
            command(CMD_DOWN_PRESS);
        }
        if (falling && piece.special_cell != -1 && play_record.flares > 0) command(CMD_DELETE);
        if (playing && !falling) piece_frames = 0;
        if (playing && !falling && landings == 6 && play_record.level == 1)
            play_record.blocks_cleared = 64;

        Cells expected = well_cells();
        frame(0.02);
        if (!falling || has_flag(FLAG_FALLING)) continue;
        ++landings;
        if (play_record.state_id != STATE_PLAY) continue; // an effect took over
        for (int i = 0; i < 4; ++i) {
            const Grid_Pos p = piece_cell(piece, i);
            if (p.col >= 0 && p.col < GRID_COLS && p.row >= 0 && p.row < GRID_ROWS)
                expected[p.row * GRID_COLS + p.col] = piece.tile;
        }
        bad_landings += expected != well_cells();
    }
    ASSERT_TRUE(has_flag(FLAG_GAME_OVER)) << "no end after " << frames << " frames";
    EXPECT_EQ(bad_landings, 0);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(right, 12) << "no piece enters touching column 13";
    EXPECT_GT(landings, 10);
    EXPECT_GT(sound_play_count(SND_UI_CLICK), 0) << "at least one turn";
    EXPECT_GT(sound_play_count(SND_KILLBLOX), 0) << "at least one flare";
    EXPECT_GE(play_record.level, 2);
    EXPECT_EQ(sound_play_count(SND_NEW_LEVEL), play_record.level - 1);
    EXPECT_EQ(play_record.flares, play_record.level - sound_play_count(SND_KILLBLOX));
    EXPECT_TRUE(command(CMD_ENTER));
    EXPECT_EQ(play_record.state_id, STATE_SCORE_INPUT);
}
