// The play state: pieces entering, sliding, turning, falling and landing; levels, flares, pause,
// game over and the hand-over to the effects.
#include "game_test.h"

#include "game/effect_table.h"
#include "media/sounds.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

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
    static bool command(Command c) { return app.send_command(c, nullptr); }
    static void frame(double seconds) { app.state_frame(seconds); }
    static int sounds(Sound_Id id) { return sound_play_count(id); }

    // Puts an ordinary piece of the shape at the position, falling with no key held, target on
    // its column. At level 0 the piece only falls when dropped fast.
    static void place(int shape, int rotation, int col, int row, int level = 0) {
        play_record.current = {shape, rotation, col, row, col * 16.0f, row * 16.0f, shape, -1, -1};
        play_record.target_col = col;
        play_record.level = level;
        play_record.flags = FLAG_IN_PROGRESS | FLAG_FALLING;
    }

    // Fast-drops the falling piece until it lands (and an effect may take over).
    static void drop_until_landed() {
        command(CMD_DOWN_PRESS);
        for (int i = 0; i < 200 && has_flag(FLAG_FALLING); ++i)
            frame(0.01);
    }
};

} // namespace

// More than 63 cleared blocks raise the level on the next frame, with a flare and the level
// sound (silently on a new game's first frame); the count starts again from 0 and a new piece
// comes in.
TEST_F(Play_Test, MoreThanSixtyThreeClearedBlocksRaiseTheLevelWithAFlareAndItsSound) {
    const auto level_state = [] {
        return std::tuple(play_record.level, play_record.flares, play_record.blocks_cleared,
                          sounds(SND_NEW_LEVEL), play_record.current.row);
    };
    EXPECT_EQ(level_state(), std::tuple(1, 1, 0, 0, 0)) << "the first frame";
    for (const int cleared : {56, 63, 64, 70}) {
        place(0, 0, 3, 5, 1);
        play_record.flares = 1;
        play_record.blocks_cleared = cleared;
        const int rises = cleared > 63, heard = sounds(SND_NEW_LEVEL);
        frame(0.0);
        EXPECT_EQ(level_state(), std::tuple(1 + rises, 1 + rises, rises ? 0 : cleared,
                                            heard + rises, rises ? 0 : 5))
            << cleared << " blocks cleared";
    }
}

// A slide starts at a quarter of its speed and reaches full speed after half a second held,
// however long the game ran without a sideways key before.
TEST_F(Play_Test, ASlideSpeedsUpWhileItsKeyIsHeldAndStartsSlowlyAfterAnIdleWhile) {
    const auto frames_per_column = [](int idle_frames) {
        place(0, 0, 12, 5);
        for (int i = 0; i < idle_frames; ++i)
            frame(0.02);
        command(CMD_LEFT_PRESS);
        std::vector<int> frames;
        for (int col = 12, n = 1; col > 0 && n < 1000; ++n) {
            frame(0.01);
            if (play_record.current.col < col) frames.push_back(n), col--, n = 0;
        }
        command(CMD_LEFT_RELEASE);
        return frames;
    };
    const std::vector<int> fresh = frames_per_column(0);
    EXPECT_EQ(frames_per_column(50), fresh) << "the idle second did not count as held";
    ASSERT_EQ(fresh.size(), 12u);
    EXPECT_GT(fresh[0], 2 * fresh[11]);
    EXPECT_EQ(fresh[11], 5) << "16 pixels at 24 cells a second, in frames of 10 ms";
}

// While paused only space and escape count, and nothing moves; the pause picture lies over the
// well. Escape leaves for the menu.
TEST_F(Play_Test, PauseStopsEverythingButSpaceAndEscape) {
    place(0, 0, 6, 5, 3);
    EXPECT_TRUE(command(CMD_LEFT_PRESS) && command(CMD_DOWN_PRESS)); // held into the pause
    EXPECT_TRUE(command(CMD_SPACE));
    const Play_Record before = play_record;
    for (Command c : {CMD_UP, CMD_DELETE, CMD_RIGHT_PRESS, CMD_DOWN_PRESS, CMD_STOP, CMD_ENTER})
        EXPECT_FALSE(command(c)) << char(c);
    frame(0.2);
    EXPECT_EQ(std::tuple(play_record.flags, play_record.current.y, sounds(SND_MISS)),
              std::tuple(before.flags, before.current.y, 0));
    // Keys let go during the pause are let go: after it the piece neither slides nor drops fast.
    EXPECT_TRUE(command(CMD_LEFT_RELEASE) && command(CMD_DOWN_RELEASE));
    EXPECT_TRUE(command(CMD_SPACE));
    frame(0.2);
    EXPECT_GT(play_record.current.y, before.current.y) << "it falls again";
    EXPECT_EQ(std::tuple(play_record.current.col, has_flag(FLAG_FAST_DROP)),
              std::tuple(before.current.col, false));
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
        const int misses = sounds(SND_MISS), clicks = sounds(SND_UI_CLICK);
        command(c.press);
        for (int i = 0; i < 60; ++i)
            frame(0.02);
        const Piece& p = play_record.current;
        EXPECT_EQ(std::tuple(p.col, p.x, p.rotation, sounds(SND_MISS) - misses,
                             sounds(SND_UI_CLICK) - clicks),
                  std::tuple(c.stop, c.stop * 16.0f, (c.rotation + c.turns) % 4,
                             int(c.press == CMD_UP && !c.turns), int(c.turns)))
            << c.why;
    }
}

// A piece sliding past blocks never overlaps them, in either column it spans, and its landing adds
// its four cells and changes no other: a slide that meets blocks at the rows the piece is in or
// moving into stops, the piece back on its column; a turn must fit where the piece stands as well
// as where it slides to.
const std::vector<std::pair<int, Command>> turn_left = {
    {0, CMD_LEFT_PRESS}, {1, CMD_UP}, {2, CMD_LEFT_RELEASE}, {30, CMD_DOWN_PRESS}};

TEST_F(Play_Test, APieceNeverOverlapsABlockAndItsLandingOnlyAddsItsCells) {
    const struct {
        int shape, rotation, col, row;
        std::vector<Grid_Pos> blocks; // each with a column of blocks under it when `stacked`
        bool stacked;
        std::vector<std::pair<int, Command>> keys; // at frame
        int landed_col;
    } cases[] = {
        {0,
         0,
         7,
         7,
         {{6, 9}},
         true,
         {{0, CMD_DOWN_PRESS}, {0, CMD_LEFT_PRESS}, {5, CMD_LEFT_RELEASE}},
         7}, // a square dropped beside a column, left tapped for 50 ms
        {3, 0, 5, 10, {{5, 7}, {5, 11}}, false, turn_left, 4}, // turned, it fits at 4, not at 5
        {1, 1, 13, 17, {}, false, turn_left, 12}, // turned off the right wall, it would stick out
        // dropped with left held beside a column that ends at row 9: it slides once clear of it
        {0,
         0,
         7,
         5,
         {{6, 3}, {6, 4}, {6, 5}, {6, 6}, {6, 7}, {6, 8}, {6, 9}},
         false,
         {{0, CMD_DOWN_PRESS}, {0, CMD_LEFT_PRESS}},
         1},
    };
    const auto overlaps = [] {
        const Piece& p = play_record.current;
        // The cells its pixels cover: beside its column while sliding, above its row while
        // falling into it.
        const int beside = p.x < p.col * 16 ? -1 : p.x > p.col * 16 ? 1 : 0;
        const int above = p.y < p.row * 16 ? -1 : 0;
        for (int i = 0; i < 4; ++i) {
            const Grid_Pos at = piece_cell(p, i);
            for (const int col : {at.col, at.col + beside})
                for (const int row : {at.row, at.row + above})
                    if (play_record.grid.is_occupied(col, row)) return true;
        }
        return false;
    };
    for (const auto& c : cases) {
        play_record.grid.clear_rows(0, GRID_ROWS);
        for (const Grid_Pos b : c.blocks)
            for (int row = b.row; row < (c.stacked ? GRID_ROWS : b.row + 1); ++row)
                play_record.grid.set_cell(b.col, row, 2);
        std::string landed = well_text();
        place(c.shape, c.rotation, c.col, c.row);
        for (int i = 0; i < 300 && has_flag(FLAG_FALLING); ++i) {
            for (const auto& [at, key] : c.keys)
                if (at == i) command(key);
            frame(0.01);
            ASSERT_FALSE(has_flag(FLAG_FALLING) && overlaps()) << c.shape << ", frame " << i;
        }
        for (int i = 0; i < 4; ++i) {
            const Grid_Pos at = piece_cell(play_record.current, i);
            landed[at.row * 15 + at.col] = char('0' + c.shape);
        }
        const Piece& p = play_record.current;
        EXPECT_EQ(std::tuple(well_text(), p.col, p.rotation),
                  std::tuple(landed, c.landed_col, c.rotation));
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

// With uncontrolled drop a piece sent down falls as fast after the key is let go as while it is
// held, until a mouse button is released; without it, it stops at once (at level 0).
TEST_F(Play_Test, AnUncontrolledDropGoesOnUntilTheMouseIsReleased) {
    const auto fallen = [](bool released) {
        place(0, 0, 5, 2);
        command(CMD_DOWN_PRESS);
        if (released) command(CMD_DOWN_RELEASE);
        for (int i = 0; i < 3; ++i)
            frame(0.05);
        return play_record.current.y;
    };
    EXPECT_EQ(fallen(true), 32.0f);
    game.options.flags |= opt_uncontrolled_drop;
    EXPECT_GT(fallen(true), 80.0f);
    EXPECT_EQ(fallen(true), fallen(false));
    app.send_mouse(MOUSE_RELEASE, 3, 4);
    const float y = play_record.current.y;
    frame(0.05);
    EXPECT_EQ(play_record.current.y, y);
}

// A special piece hands over to its effect, else a full row that the piece spans to the row clear.
// A flare burns the special block off (and the piece lands the ordinary way); on an ordinary
// piece, or without a flare left, it only gets the miss.
TEST_F(Play_Test, ALandingOnFullRowsCallsTheRowClearAndASpecialOneItsEffect) {
    const struct {
        int special, flares, pressed, next;
    } cases[] = {{-1, 1, 0, STATE_KILL_ROWS},        {TILE_ICE, 1, 0, STATE_ICE},
                 {TILE_FIRE, 1, 0, STATE_FIRE},      {TILE_LIGHTNING, 1, 0, STATE_LIGHTNING},
                 {TILE_EARTH, 1, 0, STATE_EARTH},    {-1, 1, 1, STATE_KILL_ROWS},
                 {TILE_FIRE, 1, 1, STATE_KILL_ROWS}, {TILE_FIRE, 0, 1, STATE_FIRE}};
    for (const auto& c : cases) {
        new_game();
        for (int col = 0; col < GRID_COLS; ++col) // row 19 leaves room for the square
            if (col < 3 || col > 4) play_record.grid.set_cell(col, 19, 5);
        place(0, 0, 3, 15);
        play_record.flares = c.flares;
        play_record.current.special_kind = c.special;
        play_record.current.special_cell = c.special == -1 ? -1 : 2;
        const int misses = sounds(SND_MISS), burns = sounds(SND_KILLBLOX);
        if (c.pressed) command(CMD_DELETE);
        drop_until_landed();
        const int burnt = c.pressed && c.flares && c.special != -1;
        EXPECT_EQ(std::tuple(play_record.state_id, play_record.flares, sounds(SND_KILLBLOX) - burns,
                             sounds(SND_MISS) - misses),
                  std::tuple(c.next, c.flares - burnt, burnt, c.pressed - burnt))
            << c.special << " with " << c.flares << " flares, pressed " << c.pressed;
    }
}

// A landing above row 0 loses those cells and the next piece ends the game; closed and started
// again, the game comes back over, and only enter and a mouse press count.
TEST_F(Play_Test, AGameResumedAfterItsEndStillShowsThatItIsOver) {
    play_record.grid.set_cell(3, 1, 0);
    place(0, 0, 3, 0); // a square with its upper cells on row -1
    drop_until_landed();
    EXPECT_EQ(well_text(0, 1), "...00........./...0........../");
    frame(0.01);
    EXPECT_EQ(play_record.flags, FLAG_GAME_OVER) << "over when the next piece would enter";
    Stderr_Capture err;
    headless::restart();
    headless::run_frames(1, 0.01); // the golden picture game_over shows it
    EXPECT_EQ(err.text(), "") << "everything it draws was prepared";
    for (Command c : {CMD_SPACE, CMD_UP, CMD_DELETE, CMD_LEFT_PRESS, CMD_DOWN_PRESS, CMD_STOP})
        EXPECT_FALSE(command(c)) << char(c);
    EXPECT_EQ(play_record.flags, FLAG_GAME_OVER | FLAG_PAUSED);
    EXPECT_TRUE(app.send_mouse(MOUSE_PRESS, 50, 50));
    EXPECT_EQ(play_record.state_id, STATE_SCORE_INPUT) << "after a mouse press";
    app.enter_state(STATE_PLAY);
    command(CMD_ENTER);
    EXPECT_EQ(play_record.state_id, STATE_SCORE_INPUT) << "after enter";
}
