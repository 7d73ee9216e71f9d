// The play state: pieces entering, sliding, turning, falling and landing; levels, flares, pause,
// game over and the hand-over to the effects; and one whole seeded game.
#include "game_test.h"

#include "app/vextile.h"
#include "media/sounds.h"
#include "media/video.h"
#include "play/faldor_state.h"
#include "play/play_record.h"
#include "play/sidebar.h"
#include "store/options_file.h"
#include "ui/texts.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <vector>

namespace {

constexpr int BLOCK = 16;

void fill_row_except(int row, int skip_from, int skip_count) {
    for (int c = 0; c < GRID_COLS; ++c) {
        if (c < skip_from || c >= skip_from + skip_count) play_record.grid.set_cell(c, row, 5);
    }
}

int occupied_cells() {
    int count = 0;
    for (int r = 0; r < GRID_ROWS; ++r) {
        for (int c = 0; c < GRID_COLS; ++c)
            count += play_record.grid.is_occupied(c, r);
    }
    return count;
}

bool has_flag(uint32_t flag) {
    return (play_record.flags & flag) != 0;
}

// Number of non-black pixels of a catalogue picture centred over the well that the screen does not
// show; *compared gets how many were looked at.
int overlay_mismatches(Bitmap_Id id, int* compared) {
    SDL_Surface* picture = zgl_get_bitmap(id);
    *compared = 0;
    if (!picture) return 0;
    const int left = (GRID_COLS * BLOCK - picture->w) / 2;
    const int top = (SCREEN_HEIGHT - picture->h) / 2;
    int mismatches = 0;
    for (int y = 0; y < picture->h; ++y) {
        for (int x = 0; x < picture->w; ++x) {
            const SDL_Color want = colour_at(picture, x, y);
            if (want.r == 0 && want.g == 0 && want.b == 0) continue; // transparent
            ++*compared;
            if (!same_colour(colour_at(nullptr, left + x, top + y), want)) ++mismatches;
        }
    }
    return mismatches;
}

class Play_Test : public Game_Test {
  protected:
    void SetUp() override {
        Game_Test::SetUp();
        std::srand(1234);
        reset_play_record(&play_record);
    }
    void TearDown() override {
        app.state.reset();
        app.sidebar.reset();
        Game_Test::TearDown();
    }

    Faldor_State* play() { return dynamic_cast<Faldor_State*>(app.state.get()); }

    // A new play state on the record as it stands, and its first frame taking no time: the level
    // change of a new game happens and a piece enters, but nothing moves.
    void start() {
        app.change_state(STATE_PLAY);
        ASSERT_NE(play(), nullptr);
        frame(0.0);
    }

    void frame(double seconds) {
        set_frame_seconds(seconds);
        if (app.state) app.state->do_frame();
    }

    bool command(Command c) { return app.state->handle_command(c, nullptr); }

    // Puts an ordinary piece of the shape at the position, falling, target on its column. The
    // level becomes 0, so the piece only falls when dropped fast.
    void place(int shape, int rotation, int col, int row) {
        Piece& p = play_record.current;
        clear_piece(p);
        p.shape = shape;
        p.rotation = rotation;
        p.col = col;
        p.row = row;
        p.x = static_cast<float>(col * BLOCK);
        p.y = static_cast<float>(row * BLOCK);
        p.tile = shape;
        p.special_kind = -1;
        p.special_cell = -1;
        play_record.target_col = col;
        play_record.level = 0;
        play_record.flags |= FLAG_FALLING;
    }

    // Fast-drops the falling piece until it lands (or the state is left); answers the frames run.
    int drop_until_landed() {
        command(CMD_DOWN_PRESS);
        int frames = 0;
        while (has_flag(FLAG_FALLING) && app.state && play_record.state_id == STATE_PLAY &&
               frames < 200) {
            frame(0.01);
            ++frames;
        }
        return frames;
    }
};

} // namespace

// --- a new game and new pieces ------------------------------------------------------------------

TEST_F(Play_Test, FirstFrameRaisesTheLevelSilentlyAndBringsAPieceIn) {
    std::srand(42);
    Piece first, second;
    generate_piece(first, -1);
    const int column_draw = std::rand();
    generate_piece(second, -1);

    std::srand(42);
    start();
    EXPECT_EQ(play_record.level, 1);
    EXPECT_EQ(play_record.flares, 1);
    EXPECT_EQ(play_record.blocks_cleared, 0);
    EXPECT_EQ(sound_play_count(SND_NEW_LEVEL), 0);
    EXPECT_TRUE(has_flag(FLAG_FALLING));

    const Piece& current = play_record.current;
    EXPECT_EQ(current.shape, first.shape);
    EXPECT_EQ(current.rotation, first.rotation);
    EXPECT_EQ(current.tile, first.tile);
    EXPECT_EQ(current.special_kind, first.special_kind);
    EXPECT_EQ(current.special_cell, first.special_cell);
    const int lo = piece_bounds(current, 0).dx;
    const int hi = piece_bounds(current, 1).dx;
    EXPECT_EQ(current.col, column_draw % (13 - (hi - lo)) - lo);
    EXPECT_EQ(play_record.target_col, current.col);
    EXPECT_EQ(current.x, current.col * BLOCK);
    EXPECT_EQ(current.y, 0.0f);
    EXPECT_EQ(current.row, 0);

    EXPECT_EQ(play_record.next.shape, second.shape);
    EXPECT_EQ(play_record.next.rotation, second.rotation);
    EXPECT_EQ(play_record.next.special_kind, second.special_kind);
}

TEST_F(Play_Test, NewPiecesEnterWithEveryCellInColumnsZeroToTwelve) {
    app.sidebar = std::make_unique<Sidebar>();
    start();
    int leftmost = GRID_COLS, rightmost = -1;
    for (int i = 0; i < 400; ++i) {
        play_record.flags &= ~FLAG_FALLING;
        frame(0.0);
        ASSERT_TRUE(has_flag(FLAG_FALLING));
        const Piece& current = play_record.current;
        const int left = piece_abs_bounds(current, 0).col;
        const int right = piece_abs_bounds(current, 1).col;
        ASSERT_GE(left, 0);
        ASSERT_LE(right, 12) << "no piece enters touching column 13";
        leftmost = std::min(leftmost, left);
        rightmost = std::max(rightmost, right);

        const Rect& box = app.sidebar->next_box;
        const Piece& next = play_record.next;
        ASSERT_GE(next.x + piece_bounds(next, 0).dx * BLOCK, box.x) << "preview placed in the box";
        ASSERT_LE(next.x + (piece_bounds(next, 1).dx + 1) * BLOCK, box.x + box.w);
    }
    EXPECT_EQ(leftmost, 0);
    EXPECT_EQ(rightmost, 12);
}

TEST_F(Play_Test, ConstructionRepaintsTheWellFromTheCells) {
    SDL_Surface* well = Grid_Field_Surface::well_surface;
    ASSERT_NE(well, nullptr);
    play_record.grid.cells[19 * GRID_COLS + 2] = 5; // changed without painting
    SDL_FillRect(well, nullptr, SDL_MapRGB(well->format, 255, 255, 255));
    app.change_state(STATE_PLAY);
    EXPECT_TRUE(same_colour(colour_at(well, 2 * BLOCK + 8, 19 * BLOCK + 8),
                            colour_at(app.block_texture, 5 * BLOCK + 8, 8)));
    EXPECT_TRUE(same_colour(colour_at(well, 8, 8), COLOR_BLACK));
}

TEST_F(Play_Test, AFrameClearsTheScreenAndShowsTheWell) {
    start();
    play_record.grid.set_cell(0, 19, 3);
    paint_screen(255, 255, 255);
    frame(0.0);
    EXPECT_TRUE(same_colour(colour_at(nullptr, 300, 5), COLOR_BLACK)) << "no sidebar: black";
    EXPECT_TRUE(same_colour(colour_at(nullptr, 8, 19 * BLOCK + 8),
                            colour_at(app.block_texture, 3 * BLOCK + 8, 8)));
}

// --- falling ------------------------------------------------------------------------------------

TEST_F(Play_Test, FallSpeedGrowsWithTheLevel) {
    start();
    for (int level : {1, 5, 20}) {
        place(0, 0, 5, 5);
        play_record.level = level;
        frame(0.01);
        EXPECT_NEAR(play_record.current.y, 80 + 2 * BLOCK * 0.01 * level * 0.6, 1e-3) << level;
        EXPECT_EQ(play_record.current.row, 6) << "the row the piece moves into";
    }
    place(0, 0, 5, 5);
    frame(0.5);
    EXPECT_EQ(play_record.current.y, 80.0f) << "level 0 does not fall";
}

TEST_F(Play_Test, FastDropIsTwentyFourCellsASecondAndOneRowPerFrameAtMost) {
    start();
    place(0, 0, 5, 5);
    command(CMD_DOWN_PRESS);
    frame(0.01);
    EXPECT_NEAR(play_record.current.y, 80 + 2 * BLOCK * 0.01 * 12, 1e-3);
    EXPECT_EQ(play_record.current.row, 6);
    frame(0.5); // 192 pixels in one frame
    EXPECT_EQ(play_record.current.row, 7);
}

// --- sliding ------------------------------------------------------------------------------------

TEST_F(Play_Test, SlideStartsAtAQuarterAndReachesFullSpeedAfterHalfASecond) {
    start();
    place(0, 0, 6, 5);
    EXPECT_TRUE(command(CMD_LEFT_PRESS));
    frame(0.01);
    EXPECT_EQ(play_record.target_col, 5);
    EXPECT_NEAR(play()->hold_time, 0.01, 1e-6);
    const double quarter = 2 * BLOCK * 0.01 * 12 * (0.01 * 1.5 + 0.25);
    EXPECT_NEAR(play_record.current.x, 96 - quarter, 1e-3);
    EXPECT_EQ(play_record.current.col, 6);

    play()->hold_time = 0.45f;
    float before = play_record.current.x;
    frame(0.01); // held 0.46 s: still speeding up
    EXPECT_NEAR(play_record.current.x, before - 2 * BLOCK * 0.01 * 12 * (0.46 * 1.5 + 0.25), 1e-3);

    play()->hold_time = 0.6f;
    before = play_record.current.x;
    frame(0.01);
    EXPECT_NEAR(play_record.current.x, before - 2 * BLOCK * 0.01 * 12, 1e-3) << "full speed";
    EXPECT_EQ(play_record.target_col, 5) << "no new step before the piece catches up";

    frame(0.5); // far more than a column, but one column per frame at most
    EXPECT_EQ(play_record.current.col, 5);
    EXPECT_EQ(play_record.current.x, 80.0f) << "snapped onto the column";

    EXPECT_TRUE(command(CMD_LEFT_RELEASE));
    EXPECT_EQ(play()->hold_time, 0.0f);
}

TEST_F(Play_Test, SlideRightSnapsOntoTheNextColumn) {
    start();
    place(6, 0, 4, 5);
    command(CMD_RIGHT_PRESS);
    int frames = 0;
    while (play_record.current.col == 4 && frames < 100) {
        frame(0.02);
        ++frames;
    }
    EXPECT_EQ(play_record.current.col, 5);
    EXPECT_EQ(play_record.current.x, 80.0f);
    EXPECT_GT(frames, 1) << "a slide takes its time";
}

TEST_F(Play_Test, WallsStopTheSlideSilently) {
    start();
    const struct {
        int shape, rotation, col;
        Command press;
    } cases[] = {
        {0, 0, 0, CMD_LEFT_PRESS},   // square, cells in columns 0 and 1
        {3, 0, 1, CMD_LEFT_PRESS},   // flat bar, cells from column 0
        {0, 0, 12, CMD_RIGHT_PRESS}, // square, cells in columns 12 and 13
        {3, 0, 11, CMD_RIGHT_PRESS}, // flat bar, cells up to column 13
    };
    for (const auto& c : cases) {
        place(c.shape, c.rotation, c.col, 5);
        command(c.press);
        for (int i = 0; i < 60; ++i)
            frame(0.02);
        EXPECT_EQ(play_record.target_col, c.col);
        EXPECT_EQ(play_record.current.col, c.col);
        EXPECT_EQ(play_record.current.x, c.col * BLOCK);
        command(CMD_STOP);
    }
    EXPECT_EQ(sound_play_count(SND_MISS), 0);
    EXPECT_EQ(sound_play_count(SND_UI_CLICK), 0);
    EXPECT_EQ(sound_play_count(SND_BLOCK_HIT), 0);
}

TEST_F(Play_Test, ABlockBesideThePieceStopsTheSlide) {
    start();
    place(0, 0, 5, 10); // cells (5,9) (5,10) (6,9) (6,10)
    play_record.grid.set_cell(4, 10, 2);
    command(CMD_LEFT_PRESS);
    frame(0.02);
    EXPECT_EQ(play_record.target_col, 5);
    command(CMD_STOP);

    play_record.grid.set_cell(7, 9, 2);
    command(CMD_RIGHT_PRESS);
    frame(0.02);
    EXPECT_EQ(play_record.target_col, 5);
    command(CMD_STOP);

    play_record.grid.clear_cell(4, 10);
    play_record.grid.set_cell(4, 8, 2); // beside the row above the piece: no obstacle
    command(CMD_LEFT_PRESS);
    frame(0.02);
    EXPECT_EQ(play_record.target_col, 4);
}

// --- turning ------------------------------------------------------------------------------------

TEST_F(Play_Test, AnAllowedTurnClicks) {
    start();
    place(6, 0, 6, 10);
    EXPECT_TRUE(command(CMD_UP));
    EXPECT_TRUE(has_flag(FLAG_ROTATE));
    frame(0.0);
    EXPECT_EQ(play_record.current.rotation, 1);
    EXPECT_FALSE(has_flag(FLAG_ROTATE));
    EXPECT_EQ(sound_play_count(SND_UI_CLICK), 1);
    EXPECT_EQ(sound_play_count(SND_MISS), 0);

    place(3, 0, 5, 0); // a flat bar on row 0 may turn upright into the space above the well
    command(CMD_UP);
    frame(0.0);
    EXPECT_EQ(play_record.current.rotation, 1);
    EXPECT_EQ(sound_play_count(SND_UI_CLICK), 2);
}

TEST_F(Play_Test, ARefusedTurnMissesAtWallsFloorAndBlocks) {
    start();
    const struct {
        int shape, rotation, col, row;
        const char* why;
    } cases[] = {
        {3, 1, 0, 10, "an upright bar at the left wall"},
        {3, 1, 12, 10, "an upright bar near the right wall"},
        {3, 1, 13, 10, "an upright bar at the right wall"},
        {1, 3, 0, 10, "a J whose turn reaches column -1"},
        {1, 0, 5, 19, "a J on the floor"},
        {6, 0, 6, 10, "a T whose turn meets a block"},
    };
    play_record.grid.set_cell(6, 11, 1);
    int misses = 0;
    for (const auto& c : cases) {
        place(c.shape, c.rotation, c.col, c.row);
        command(CMD_UP);
        frame(0.0);
        ++misses;
        EXPECT_EQ(play_record.current.rotation, c.rotation) << c.why;
        EXPECT_EQ(sound_play_count(SND_MISS), misses) << c.why;
        EXPECT_FALSE(has_flag(FLAG_ROTATE)) << c.why;
    }
    EXPECT_EQ(sound_play_count(SND_UI_CLICK), 0);
}

TEST_F(Play_Test, TheTurnIsTestedWhereThePieceIsGoing) {
    start();
    place(6, 0, 6, 10);
    play_record.target_col = 5; // sliding left
    // Turned at column 6 the T would fit; turned at column 5 it would cover (4, 10).
    play_record.grid.set_cell(4, 10, 1);
    command(CMD_UP);
    frame(0.0);
    EXPECT_EQ(play_record.current.rotation, 0);
    EXPECT_EQ(sound_play_count(SND_MISS), 1);
}

// --- landing ------------------------------------------------------------------------------------

TEST_F(Play_Test, APieceLandsOnTheFloor) {
    start();
    place(0, 0, 3, 15);
    drop_until_landed();
    EXPECT_FALSE(has_flag(FLAG_FALLING));
    EXPECT_FALSE(has_flag(FLAG_FAST_DROP)) << "landing ends the fast drop";
    EXPECT_EQ(sound_play_count(SND_BLOCK_HIT), 1);
    EXPECT_EQ(play_record.current.row, 19);
    EXPECT_EQ(play_record.current.y, 19.0f * BLOCK);
    for (const Grid_Pos p : {Grid_Pos{3, 19}, Grid_Pos{3, 18}, Grid_Pos{4, 18}, Grid_Pos{4, 19}}) {
        EXPECT_EQ(play_record.grid.cell(p.col, p.row), 0);
    }
    EXPECT_EQ(occupied_cells(), 4);
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
    ASSERT_NE(play(), nullptr);

    frame(0.0);
    EXPECT_TRUE(has_flag(FLAG_FALLING)) << "the next frame brings the next piece in";
    EXPECT_EQ(play_record.current.row, 0);
}

TEST_F(Play_Test, APieceLandsOnBlocks) {
    start();
    play_record.grid.set_cell(3, 10, 2);
    place(1, 0, 4, 3); // a J: cells (3,2) (3,3) (4,3) (5,3)
    drop_until_landed();
    EXPECT_EQ(play_record.current.row, 9);
    EXPECT_EQ(play_record.grid.cell(3, 8), 1);
    EXPECT_EQ(play_record.grid.cell(3, 9), 1);
    EXPECT_EQ(play_record.grid.cell(4, 9), 1);
    EXPECT_EQ(play_record.grid.cell(5, 9), 1);
    EXPECT_EQ(occupied_cells(), 5);
}

TEST_F(Play_Test, CellsAboveTheWellAreLostAndTheGameEnds) {
    start();
    play_record.grid.set_cell(3, 1, 2);
    place(0, 0, 3, 0); // a square with its upper cells on row -1
    command(CMD_DOWN_PRESS);
    frame(0.01);
    ASSERT_FALSE(has_flag(FLAG_FALLING));
    EXPECT_EQ(play_record.grid.cell(3, 0), 0);
    EXPECT_EQ(play_record.grid.cell(4, 0), 0);
    EXPECT_EQ(occupied_cells(), 3);
    EXPECT_FALSE(has_flag(FLAG_GAME_OVER)) << "the game ends when the next piece would enter";

    paint_screen(255, 255, 255);
    frame(0.01);
    EXPECT_TRUE(has_flag(FLAG_GAME_OVER));
    EXPECT_FALSE(has_flag(FLAG_IN_PROGRESS));
    EXPECT_FALSE(has_flag(FLAG_FALLING));
    EXPECT_EQ(overlay_bitmap, BMP_GAME_OVER);
    EXPECT_TRUE(same_colour(colour_at(nullptr, 100, 5), SDL_Color{255, 255, 255, 0}))
        << "the frame that ends the game draws nothing";
}

TEST_F(Play_Test, GameOverShowsItsPictureAndThePressEnterLine) {
    start();
    play_record.grid.set_cell(7, 0, 2);
    play_record.flags &= ~FLAG_FALLING;
    frame(0.01);
    ASSERT_TRUE(has_flag(FLAG_GAME_OVER));
    const Piece before = play_record.current;
    frame(0.5);
    EXPECT_EQ(play_record.current.y, before.y) << "nothing moves once the game is over";

    int compared = 0;
    EXPECT_EQ(overlay_mismatches(BMP_GAME_OVER, &compared), 0);
    EXPECT_GT(compared, 100);

    // The glyphs of the bottom line stand where the text centred on a bare screen puts them.
    const int line_top = SCREEN_HEIGHT - text_height();
    std::vector<SDL_Color> shown;
    for (int y = line_top; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x)
            shown.push_back(colour_at(nullptr, x, y));
    }
    paint_screen(0, 0, 0);
    write_text_centered("- press [enter] to continue -", 0, line_top, SCREEN_WIDTH);
    int glyph_pixels = 0, strip_pixels = 0;
    size_t i = 0;
    for (int y = line_top; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x, ++i) {
            const SDL_Color ink = colour_at(nullptr, x, y);
            if (!same_colour(ink, COLOR_BLACK)) {
                ++glyph_pixels;
                EXPECT_TRUE(same_colour(shown[i], ink)) << x << "," << y;
            } else if (x < 8 && !same_colour(shown[i], COLOR_BLACK)) {
                ++strip_pixels; // the empty well under the strip is black: the strip shows
            }
        }
    }
    EXPECT_GT(glyph_pixels, 50);
    EXPECT_GT(strip_pixels, 0) << "the translucent strip is drawn behind the line";
}

TEST_F(Play_Test, FullRowsUnderTheLandedPieceCallTheRowClear) {
    start();
    fill_row_except(19, 3, 2);
    place(0, 0, 3, 15);
    drop_until_landed();
    EXPECT_EQ(play_record.state_id, STATE_KILL_ROWS);
    EXPECT_EQ(play_record.grid.full_rows().count, 1);
    EXPECT_EQ(play_record.grid.full_rows().rows[0], 19);
}

TEST_F(Play_Test, OnlyTheRowsOfTheLandedPieceAreSearched) {
    start();
    fill_row_except(12, 0, 0); // a full row the piece does not touch
    place(0, 0, 3, 15);
    drop_until_landed();
    EXPECT_FALSE(has_flag(FLAG_FALLING));
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
    EXPECT_NE(play(), nullptr);
}

TEST_F(Play_Test, ASpecialBlockCallsItsEffectWithoutARowSearch) {
    const struct {
        int kind;
        State_Id effect;
    } cases[] = {{TILE_ICE, STATE_ICE},
                 {TILE_FIRE, STATE_FIRE},
                 {TILE_LIGHTNING, STATE_LIGHTNING},
                 {TILE_EARTH, STATE_EARTH}};
    for (const auto& c : cases) {
        reset_play_record(&play_record);
        start();
        fill_row_except(19, 3, 2); // the landing fills the row, but the effect comes first
        place(0, 0, 3, 15);
        play_record.current.special_kind = c.kind;
        play_record.current.special_cell = 2;
        drop_until_landed();
        EXPECT_EQ(play_record.state_id, c.effect) << c.kind;
        for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i) {
            ASSERT_TRUE(play_record.grid.cells[i] < TILE_FIRE) << "special faces stay off the well";
        }
        app.state.reset();
    }
}

// A piece turned while sliding away from a wall is tested at the column it slides to, so it can
// stand one column outside the well until the slide catches up. If it lands then, the cell beside
// the well must be dropped, not written into the next row (or past the last cell).
TEST_F(Play_Test, APieceStandingOutsideTheWellLandsWithoutWritingThere) {
    start();
    place(1, 1, 13, 17); // an upright J against the right wall: cells in columns 12 and 13
    play_record.grid.full_row_list[0] = 12345;
    command(CMD_LEFT_PRESS);
    frame(0.01);
    ASSERT_EQ(play_record.target_col, 12);
    command(CMD_UP); // turned at column 12 it spans 11 to 13; at column 13 it spans 12 to 14
    drop_until_landed();
    ASSERT_FALSE(has_flag(FLAG_FALLING));
    ASSERT_EQ(play_record.current.rotation, 2);
    ASSERT_EQ(play_record.current.col, 13) << "landed before the slide caught up";
    ASSERT_EQ(play_record.current.row, 18);
    EXPECT_EQ(play_record.grid.cell(12, 18), 1);
    EXPECT_EQ(play_record.grid.cell(13, 18), 1);
    EXPECT_EQ(play_record.grid.cell(0, 19), EMPTY_CELL) << "(14, 18) must not wrap to (0, 19)";
    EXPECT_EQ(play_record.grid.full_row_list[0], 12345) << "(14, 19) lies past the cells";
    EXPECT_EQ(occupied_cells(), 2);
}

TEST_F(Play_Test, APieceStandingLeftOfTheWellLandsWithoutWritingThere) {
    start();
    place(1, 3, 0, 18); // a J against the left wall: cells in columns 0 and 1
    command(CMD_RIGHT_PRESS);
    frame(0.01);
    ASSERT_EQ(play_record.target_col, 1);
    command(CMD_UP); // turned at column 1 it spans 0 to 2; at column 0 it spans -1 to 1
    drop_until_landed();
    ASSERT_FALSE(has_flag(FLAG_FALLING));
    ASSERT_EQ(play_record.current.rotation, 0);
    ASSERT_EQ(play_record.current.col, 0);
    ASSERT_EQ(play_record.current.row, 19);
    EXPECT_EQ(play_record.grid.cell(0, 19), 1);
    EXPECT_EQ(play_record.grid.cell(1, 19), 1);
    EXPECT_EQ(play_record.grid.cell(13, 17), EMPTY_CELL) << "(-1, 18) must not wrap to (13, 17)";
    EXPECT_EQ(play_record.grid.cell(13, 18), EMPTY_CELL) << "(-1, 19) must not wrap to (13, 18)";
    EXPECT_EQ(occupied_cells(), 2);
}

// --- levels -------------------------------------------------------------------------------------

TEST_F(Play_Test, LaterLevelChangesPlayTheirSoundAndStartTheCountAgain) {
    start();
    ASSERT_EQ(sound_play_count(SND_NEW_LEVEL), 0);
    place(0, 0, 3, 15);
    drop_until_landed();
    play_record.level = 1;
    play_record.blocks_cleared = 70; // as a row clear would leave it
    app.change_state(STATE_PLAY);
    frame(0.0);
    EXPECT_EQ(play_record.level, 2);
    EXPECT_EQ(play_record.flares, 2);
    EXPECT_EQ(play_record.blocks_cleared, 0) << "the excess is not carried over";
    EXPECT_EQ(sound_play_count(SND_NEW_LEVEL), 1);
    EXPECT_TRUE(has_flag(FLAG_FALLING));
    EXPECT_EQ(play_record.current.row, 0) << "a new piece came in";

    play_record.blocks_cleared = 63;
    frame(0.0);
    EXPECT_EQ(play_record.level, 2);
    EXPECT_EQ(sound_play_count(SND_NEW_LEVEL), 1);
}

// --- the flare ----------------------------------------------------------------------------------

TEST_F(Play_Test, AFlareOnAnOrdinaryPieceOrWithoutFlaresMisses) {
    start();
    place(0, 0, 3, 5);
    play_record.flares = 1;
    EXPECT_FALSE(command(CMD_DELETE));
    EXPECT_EQ(sound_play_count(SND_MISS), 1);
    EXPECT_EQ(play_record.flares, 1);

    play_record.current.special_kind = TILE_FIRE;
    play_record.current.special_cell = 1;
    play_record.flares = 0;
    command(CMD_DELETE);
    EXPECT_EQ(sound_play_count(SND_MISS), 2);
    EXPECT_EQ(play_record.current.special_kind, TILE_FIRE);
    EXPECT_EQ(sound_play_count(SND_KILLBLOX), 0);
}

TEST_F(Play_Test, AFlareBurnsTheSpecialBlockOffAndThePieceLandsTheOrdinaryWay) {
    start();
    fill_row_except(19, 3, 2);
    place(0, 0, 3, 15);
    play_record.current.special_kind = TILE_FIRE;
    play_record.current.special_cell = 2;
    play_record.flares = 2;
    command(CMD_DELETE);
    EXPECT_EQ(play_record.flares, 1);
    EXPECT_EQ(sound_play_count(SND_KILLBLOX), 1);
    EXPECT_EQ(sound_play_count(SND_MISS), 0);
    EXPECT_EQ(play_record.current.special_kind, -1);
    EXPECT_EQ(play_record.current.special_cell, -1);
    EXPECT_EQ(play_record.current.flash, 1.0f);

    drop_until_landed();
    EXPECT_EQ(play_record.state_id, STATE_KILL_ROWS) << "the row clear, not the fire";
}

// --- pause --------------------------------------------------------------------------------------

TEST_F(Play_Test, WhilePausedOnlySpaceAndEscapeCount) {
    app.sidebar = std::make_unique<Sidebar>();
    start();
    place(0, 0, 6, 5);
    play_record.current.special_kind = TILE_ICE;
    play_record.current.special_cell = 0;
    play_record.flares = 1;
    command(CMD_LEFT_PRESS);
    command(CMD_DOWN_PRESS);
    frame(0.01);
    const float hold = play()->hold_time;

    EXPECT_TRUE(command(CMD_SPACE));
    EXPECT_TRUE(has_flag(FLAG_PAUSED));
    const uint32_t flags = play_record.flags;
    for (Command c : {CMD_UP, CMD_DELETE, CMD_LEFT_RELEASE, CMD_RIGHT_PRESS, CMD_DOWN_RELEASE,
                      CMD_STOP, CMD_ENTER, CMD_CHAR}) {
        EXPECT_FALSE(command(c)) << char(c);
    }
    EXPECT_FALSE(app.state->handle_mouse(MOUSE_RELEASE, 10, 10));
    EXPECT_FALSE(app.state->handle_mouse(MOUSE_PRESS, 10, 10));
    EXPECT_EQ(play_record.flags, flags) << "not even passed on as movement";
    EXPECT_EQ(play()->hold_time, hold);
    EXPECT_EQ(play_record.flares, 1);
    EXPECT_EQ(sound_play_count(SND_MISS), 0);

    const Piece before = play_record.current;
    play_record.current.blink_timer = 0.1f;
    play_record.current.blink_on = 0;
    play_record.next.special_kind = TILE_EARTH;
    play_record.next.special_cell = 0;
    play_record.next.blink_timer = 0.1f;
    play_record.next.blink_on = 0;
    play_record.blocks_cleared = 70;
    frame(0.2);
    EXPECT_EQ(play_record.current.x, before.x);
    EXPECT_EQ(play_record.current.y, before.y);
    EXPECT_EQ(play_record.target_col, 5);
    EXPECT_EQ(play_record.level, 0) << "no level change while paused";
    EXPECT_EQ(play_record.current.blink_on, 1) << "the special face keeps blinking";
    EXPECT_EQ(play_record.next.blink_on, 1) << "in the preview too";
    EXPECT_EQ(overlay_bitmap, BMP_PAUSED);
    int compared = 0;
    EXPECT_EQ(overlay_mismatches(BMP_PAUSED, &compared), 0);
    EXPECT_GT(compared, 100);

    play_record.blocks_cleared = 0;
    EXPECT_TRUE(command(CMD_SPACE));
    EXPECT_FALSE(has_flag(FLAG_PAUSED));
    frame(0.01);
    EXPECT_LT(play_record.current.x, before.x) << "the held key still slides the piece";
}

TEST_F(Play_Test, EscapeLeavesForTheMainMenuEvenWhilePaused) {
    start();
    command(CMD_SPACE);
    EXPECT_TRUE(command(CMD_ESCAPE));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
    EXPECT_EQ(play(), nullptr);
}

// --- the drop and the mouse ---------------------------------------------------------------------

TEST_F(Play_Test, UncontrolledDropGoesOnUntilStoppedOrLanded) {
    app.options.flags |= opt_uncontrolled_drop;
    start();
    place(0, 0, 5, 5);
    command(CMD_DOWN_PRESS);
    command(CMD_DOWN_RELEASE);
    EXPECT_TRUE(has_flag(FLAG_FAST_DROP));
    frame(0.01);
    EXPECT_NEAR(play_record.current.y, 80 + 2 * BLOCK * 0.01 * 12, 1e-3);

    command(CMD_LEFT_PRESS);
    EXPECT_TRUE(app.state->handle_mouse(MOUSE_RELEASE, 3, 4)) << "a released button stops";
    EXPECT_FALSE(has_flag(FLAG_FAST_DROP));
    EXPECT_FALSE(has_flag(FLAG_LEFT));

    command(CMD_DOWN_PRESS);
    command(CMD_DOWN_RELEASE);
    drop_until_landed();
    EXPECT_FALSE(has_flag(FLAG_FAST_DROP)) << "the landing ends it too";
}

TEST_F(Play_Test, WithoutUncontrolledDropReleasingDownStopsTheFastDrop) {
    start();
    place(0, 0, 5, 5);
    command(CMD_DOWN_PRESS);
    command(CMD_DOWN_RELEASE);
    EXPECT_FALSE(has_flag(FLAG_FAST_DROP));
    frame(0.01);
    EXPECT_EQ(play_record.current.y, 80.0f);
}

TEST_F(Play_Test, OtherMouseEventsAndCommandsDuringPlay) {
    start();
    EXPECT_FALSE(app.state->handle_mouse(MOUSE_PRESS, 10, 10)) << "no game over: no exit";
    EXPECT_FALSE(app.state->handle_mouse(MOUSE_MOTION, 10, 10));
    EXPECT_FALSE(command(CMD_ENTER));
    EXPECT_FALSE(command(CMD_CHAR));
    EXPECT_FALSE(command(CMD_BACKSPACE));
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
    EXPECT_NE(play(), nullptr);
}

// --- after the game -----------------------------------------------------------------------------

class Game_Over_Test : public Play_Test {
  protected:
    void SetUp() override {
        Play_Test::SetUp();
        start();
        play_record.grid.set_cell(0, 0, 1);
        play_record.flags &= ~FLAG_FALLING;
        frame(0.01);
        ASSERT_TRUE(has_flag(FLAG_GAME_OVER));
    }
};

TEST_F(Game_Over_Test, AGameResumedAfterItsEndStillShowsThatItIsOver) {
    // The program was closed on the game-over screen; the next start builds a new play state.
    forget_all_texts();
    zgl_forget_all();
    play_record.flags |= FLAG_PAUSED;
    Stderr_Capture err;
    app.change_state(STATE_PLAY);
    EXPECT_EQ(overlay_bitmap, BMP_GAME_OVER);
    EXPECT_STREQ(text_of(TXT_PRESS_ENTER), "- press [enter] to continue -");
    app.state->do_frame();
    EXPECT_EQ(err.count("Bitmap is not loaded"), 0) << "everything it draws was prepared";
    int compared = 0;
    EXPECT_EQ(overlay_mismatches(BMP_GAME_OVER, &compared), 0);
    EXPECT_GT(compared, 100);
}

TEST_F(Game_Over_Test, EnterLeadsToTheScoreEntry) {
    EXPECT_TRUE(command(CMD_ENTER));
    EXPECT_EQ(play_record.state_id, STATE_SCORE_INPUT);
}

TEST_F(Game_Over_Test, AMousePressLeadsToTheScoreEntry) {
    EXPECT_FALSE(app.state->handle_mouse(MOUSE_MOTION, 50, 50));
    EXPECT_FALSE(app.state->handle_mouse(MOUSE_RELEASE, 50, 50));
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
    EXPECT_TRUE(app.state->handle_mouse(MOUSE_PRESS, 50, 50));
    EXPECT_EQ(play_record.state_id, STATE_SCORE_INPUT);
}

TEST_F(Game_Over_Test, OnlyEnterAndEscapeCount) {
    for (Command c : {CMD_SPACE, CMD_UP, CMD_DELETE, CMD_LEFT_PRESS, CMD_DOWN_PRESS, CMD_STOP}) {
        EXPECT_FALSE(command(c)) << char(c);
    }
    EXPECT_FALSE(has_flag(FLAG_PAUSED));
    EXPECT_FALSE(has_flag(FLAG_ROTATE | FLAG_LEFT | FLAG_FAST_DROP));
    EXPECT_TRUE(command(CMD_ESCAPE));
    EXPECT_EQ(play_record.state_id, STATE_MAIN_MENU);
}

// --- one whole game -----------------------------------------------------------------------------

// Plays a seeded game from a new record to its end through do_frame and handle_command alone:
// every piece is moved or turned now and then and dropped fast, a flare is spent on a special
// piece, and a level change is forced half way. Every landing must write exactly the piece's cells
// inside the well.
TEST_F(Play_Test, ASeededGamePlaysToItsEnd) {
    std::srand(2026);
    app.sidebar = std::make_unique<Sidebar>();
    reset_play_record(&play_record);
    app.change_state(STATE_PLAY);
    std::minstd_rand player(7);
    set_frame_seconds(0.02);

    int frames = 0, piece_frames = 0, landings = 0, bad_writes = 0;
    bool forced_level = false;
    while (!has_flag(FLAG_GAME_OVER) && frames < 100000) {
        ++frames;
        if (!app.state) app.change_state(STATE_PLAY); // an effect that does not exist yet
        const bool playing = play_record.state_id == STATE_PLAY;
        if (playing && has_flag(FLAG_FALLING)) {
            ++piece_frames;
            if (piece_frames == 1) {
                const Command moves[] = {CMD_UP, CMD_LEFT_PRESS, CMD_RIGHT_PRESS, CMD_UP, 0};
                const Command move = moves[player() % 5];
                if (move) app.state->handle_command(move, nullptr);
            }
            if (piece_frames == 12) {
                app.state->handle_command(CMD_LEFT_RELEASE, nullptr);
                app.state->handle_command(CMD_RIGHT_RELEASE, nullptr);
                app.state->handle_command(CMD_DOWN_PRESS, nullptr);
            }
            if (play_record.current.special_cell != -1 && play_record.flares > 0) {
                app.state->handle_command(CMD_DELETE, nullptr);
            }
        }
        if (playing && !has_flag(FLAG_FALLING)) {
            piece_frames = 0;
            if (landings >= 6 && !forced_level) {
                play_record.blocks_cleared = 64;
                forced_level = true;
            }
        }

        std::vector<int32_t> before(std::begin(play_record.grid.cells),
                                    std::end(play_record.grid.cells));
        const int hits = sound_play_count(SND_BLOCK_HIT);
        app.state->do_frame();
        if (sound_play_count(SND_BLOCK_HIT) == hits) continue;
        ++landings;
        if (play_record.state_id != STATE_PLAY && app.state) continue; // an effect took over
        const Piece& landed = play_record.current;
        for (int i = 0; i < 4; ++i) {
            const Grid_Pos p = piece_cell(landed, i);
            if (p.col >= 0 && p.col < GRID_COLS && p.row >= 0 && p.row < GRID_ROWS) {
                before[p.row * GRID_COLS + p.col] = landed.tile;
            }
        }
        for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i) {
            bad_writes += before[i] != play_record.grid.cells[i];
        }
    }

    ASSERT_TRUE(has_flag(FLAG_GAME_OVER)) << "no end after " << frames << " frames";
    EXPECT_FALSE(has_flag(FLAG_IN_PROGRESS));
    EXPECT_EQ(bad_writes, 0);
    EXPECT_GT(landings, 10);
    EXPECT_EQ(landings, sound_play_count(SND_BLOCK_HIT));
    EXPECT_GT(sound_play_count(SND_UI_CLICK), 0) << "at least one turn";
    EXPECT_GT(sound_play_count(SND_KILLBLOX), 0) << "at least one flare";
    EXPECT_TRUE(forced_level);
    EXPECT_GE(play_record.level, 2);
    EXPECT_EQ(sound_play_count(SND_NEW_LEVEL), play_record.level - 1);
    EXPECT_EQ(play_record.flares, play_record.level - sound_play_count(SND_KILLBLOX));
    EXPECT_TRUE(play_record.grid.top_row_occupied());

    const Grid_Field& grid = play_record.grid;
    for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i) {
        ASSERT_TRUE(grid.cells[i] == EMPTY_CELL || (grid.cells[i] >= 0 && grid.cells[i] <= 13))
            << "cell " << i << " holds " << grid.cells[i];
    }
    ASSERT_GE(grid.full_row_count, 0);
    ASSERT_LE(grid.full_row_count, GRID_ROWS);
    for (int i = 0; i < grid.full_row_count; ++i) {
        EXPECT_GE(grid.full_row_list[i], 0);
        EXPECT_LT(grid.full_row_list[i], GRID_ROWS);
    }

    EXPECT_TRUE(app.state->handle_command(CMD_ENTER, nullptr));
    EXPECT_EQ(play_record.state_id, STATE_SCORE_INPUT);
}
