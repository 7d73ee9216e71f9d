// The row clear and the four special-block effects: what each does to the well, its sounds, the way
// on, and what they share (pause and escape, held keys, the sidebar, a game closed meanwhile).
#include "game_test.h"

#include "media/bitmaps.h"
#include "media/sounds.h"
#include "media/video.h"

#include <SDL/SDL_mixer.h>

#include <gmock/gmock.h>

#include <algorithm>
#include <cstdlib>

namespace {

void put(int col, int row, int tile) {
    play_record.grid.set_cell(col, row, tile);
}

// Fills the row with the tile, leaving out one column (or none).
void fill_row(int row, int tile, int skip_col = -1) {
    for (int col = 0; col < GRID_COLS; ++col)
        if (col != skip_col) put(col, row, tile);
}

constexpr double FRAME = 1.0 / 16; // exact in binary; a lifted block lands in one frame

void frame(int count = 1) {
    for (int i = 0; i < count; ++i)
        app.state_frame(FRAME);
}

// Runs frames while the state of the id is current; answers how many ran.
int run_while(State_Id id) {
    int frames = 0;
    for (; play_record.state_id == id && frames < 100000; ++frames)
        app.state_frame(FRAME);
    return frames;
}

int sounds(Sound_Id id) {
    return sound_play_count(id);
}

// The effect's state with the full rows of the whole well listed, as play hands over.
void start(State_Id id) {
    play_record.grid.find_full_rows(GRID_ROWS - 1, 0);
    app.enter_state(id);
}

using Effect_Test = Game_Test;

// ---- what every effect shares ----------------------------------------------------------------

// One effect with a well that gives it work and lets it return to play, and which of its frames
// draw the sidebar, as a pattern of 1 (drawn) and 0.
struct Effect_Case {
    const char* name;
    State_Id id;
    void (*build)();
    const char* sidebar;
};

const Effect_Case effect_cases[] = {
    {"row_clear", STATE_KILL_ROWS, [] { fill_row(19, 2), put(4, 18, 1), put(4, 17, 5); }, "0*"},
    {"earth", STATE_EARTH, [] { put(3, 5, 2), put(3, 4, 6); }, "1*0"},
    {"ice", STATE_ICE, [] { put(6, 19, 3), put(6, 18, 1); }, "1*"},
    {"fire", STATE_FIRE, [] { fill_row(19, 1, 13); }, "1*0"},
    {"lightning", STATE_LIGHTNING, [] { fill_row(19, 1, 13); },
     "1*0{7}"}, // not while the bolt fades
};

void PrintTo(const Effect_Case& effect, std::ostream* out) {
    *out << effect.name;
}

class All_Effects_Test : public Effect_Test, public ::testing::WithParamInterface<Effect_Case> {
  protected:
    // With full_bottom the empty cells of row 19 are filled too, so the effect goes on to the row
    // clear.
    void start_effect(bool full_bottom = false) {
        play_record.grid.clear_rows(0, GRID_ROWS);
        GetParam().build();
        for (int col = 0; full_bottom && col < GRID_COLS; ++col)
            if (!play_record.grid.is_occupied(col, GRID_ROWS - 1)) put(col, GRID_ROWS - 1, 4);
        start(GetParam().id);
    }
};

// At any frame: the pause spot flips only the pause flag (the effect goes on), and escape by key
// or by either corner of its spot leads to the menu with the well as it stands.
TEST_P(All_Effects_Test, PauseAndEscapeByKeyOrHotSpotAtAnyFrameKeepTheWellAsItStands) {
    start_effect();
    const int frames = run_while(GetParam().id);
    for (int at = 0; at < frames; ++at) {
        start_effect();
        frame(at);
        const std::string cells = well_text();
        const uint32_t flags = play_record.flags;
        EXPECT_FALSE(app.send_mouse(MOUSE_PRESS, 114, 150)) << "beside the pause spot";
        EXPECT_TRUE(app.send_mouse(MOUSE_PRESS, at % 2 ? 115 : 124, at % 2 ? 159 : 150));
        EXPECT_EQ(std::pair(play_record.flags, play_record.state_id),
                  std::pair(flags ^ FLAG_PAUSED, GetParam().id));
        const int corner = at % 3 ? 149 : 158;
        EXPECT_TRUE(at % 3 == 2 ? app.send_command(CMD_ESCAPE, nullptr)
                                : app.send_mouse(MOUSE_PRESS, corner, corner));
        EXPECT_EQ(std::pair(play_record.state_id, well_text()), std::pair(STATE_MAIN_MENU, cells))
            << "escaped after " << at << " frames";
    }
}

// Movement keys pressed during the effect count there, but a sideways or fast-drop key held through
// it must not act on the next piece; no flare is spent. The sidebar shows as the pattern says.
TEST_P(All_Effects_Test, HeldKeysAreDroppedAtTheEndAndTheSidebarIsDrawnButOnTheLastFrames) {
    const SDL_Color panel = colour_at(zgl_get_bitmap(BMP_SIDEBAR), 2, 2);
    start_effect();
    for (const Command key : {CMD_RIGHT_PRESS, CMD_LEFT_PRESS, CMD_DOWN_PRESS, CMD_UP})
        EXPECT_TRUE(app.send_command(key, nullptr));
    EXPECT_FALSE(app.send_command(CMD_DELETE, nullptr)) << "no flare during an effect";
    const uint32_t keys = FLAG_LEFT | FLAG_RIGHT | FLAG_FAST_DROP | FLAG_ROTATE;
    EXPECT_EQ(play_record.flags & keys, FLAG_LEFT | FLAG_FAST_DROP | FLAG_ROTATE);
    std::string drawn;
    while (play_record.state_id == GetParam().id) {
        paint_screen(0, 200, 0);
        frame();
        drawn += same_colour(colour_at(nullptr, 14 * 16 + 2, 2), panel) ? '1' : '0';
    }
    EXPECT_EQ(play_record.flags & keys, FLAG_ROTATE) << "back in play";
    EXPECT_THAT(drawn, ::testing::MatchesRegex(GetParam().sidebar));
}

// The window closed at any frame of an effect, or of the row clear it goes on to, and the game
// started again: it comes back as the running effect began (state, well, score, counters), runs
// it once, and ends as if it had never been closed (the draws seeded alike at both starts).
TEST_P(All_Effects_Test, ClosedAtAnyFrameItComesBackAsTheEffectBeganAndRunsItOnce) {
    using Game = std::tuple<State_Id, int32_t, int32_t, std::string>;
    const auto game = [] {
        return Game(play_record.state_id, play_record.score, play_record.blocks_cleared,
                    well_text());
    };
    const auto run = [&](int close_at) {
        play_record = Play_Record();
        std::srand(7);
        start_effect(true);
        Game began = game();
        int frames = 0;
        for (; play_record.state_id != STATE_PLAY && frames < 1000; ++frames) {
            if (frames == close_at) {
                headless::restart(7);
                EXPECT_EQ(game(), began) << "closed before frame " << frames;
            }
            frame();
            if (play_record.state_id != std::get<0>(began)) began = game();
        }
        return std::pair(game(), frames);
    };
    const auto [finished, frames] = run(-1);
    for (int close_at = 0; close_at < frames; ++close_at)
        EXPECT_EQ(run(close_at).first, finished) << "closed before frame " << close_at;
}

INSTANTIATE_TEST_SUITE_P(Effects, All_Effects_Test, ::testing::ValuesIn(effect_cases),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// ---- the row clear ---------------------------------------------------------------------------

const std::string EMPTY = "............../";
const std::string FLASH = "77777777777777/";

// The rows flash lowest first, a quarter second apart, each scoring 28 times a multiplier that
// doubles from 1; they stay blank 0.25 s (one row) or 0.5 s, then the blocks above come down a row
// at a time and play goes on with the blocks counted.
TEST_F(Effect_Test, OneRowAndFourRowsFlashLowestFirstScoreBlankAndCollapse) {
    for (const int count : {1, 4}) {
        SCOPED_TRACE(count);
        play_record.grid.clear_rows(0, GRID_ROWS);
        for (int row = 20 - count; row < 20; ++row)
            fill_row(row, row % 7);
        put(0, 19 - count, 1);
        put(13, 18 - count, 6);
        play_record.score = 100;
        play_record.blocks_cleared = 5;
        start(STATE_KILL_ROWS);
        for (int k = 0; k < count; ++k, frame(4)) {
            frame();
            EXPECT_EQ(well_text(18 - k, 19 - k).find(FLASH), 15u) << "the lower row alone flashes";
            EXPECT_EQ(play_record.score, 100 + 28 * ((2 << k) - 1));
            EXPECT_EQ(sounds(SND_KILLROW), k + 1);
        }
        EXPECT_EQ(run_while(STATE_KILL_ROWS), (count == 1 ? 7 : 11) + 2 * count + 1);
        EXPECT_EQ(well_text(16), EMPTY + EMPTY + ".............6/1............./");
        EXPECT_EQ(std::tuple(play_record.blocks_cleared, play_record.score_step),
                  std::tuple(5 + 14 * count, count));
        sound_forget_all();
    }
}

// A saved game written by hand can list the rows out of order: each is still removed once, the
// blocks above it coming down, and none is pushed past the floor.
TEST_F(Effect_Test, RowsListedOutOfOrderAreEachRemovedOnceAndNoneGoesPastTheFloor) {
    fill_row(19, 1);
    fill_row(5, 1);
    put(2, 4, 3);
    put(7, 18, 4);
    play_record.grid.full_row_list[0] = 5;
    play_record.grid.full_row_list[1] = 19;
    play_record.grid.full_row_count = 2;
    app.enter_state(STATE_KILL_ROWS);
    run_while(STATE_KILL_ROWS);
    EXPECT_EQ(well_text(4, 6) + well_text(18),
              EMPTY + EMPTY + "..3.........../" + EMPTY + ".......4....../");
    const int32_t* const list = play_record.grid.full_row_list; // just past the cells
    EXPECT_EQ(list[0] * 100 + list[1], 519) << "nothing is written past the floor";
}

// A frame of 0.3125 s overshoots the first wait by 0.0625 s: the next wait is that much shorter.
TEST_F(Effect_Test, ALongFrameCarriesItsOvershootIntoTheNextFlash) {
    fill_row(19, 3);
    fill_row(18, 4);
    start(STATE_KILL_ROWS);
    frame();
    app.state_frame(0.3125);
    EXPECT_EQ(well_text(18, 18), "44444444444444/") << "the waiting frame flashes nothing";
    frame();
    EXPECT_EQ(well_text(18, 18), FLASH);
    frame(4); // three to wait 0.1875 s, one to see that no row is left
    EXPECT_EQ(well_text(18, 18), FLASH);
    frame();
    EXPECT_EQ(well_text(18, 18), EMPTY) << "blank";
}

// ---- earth -------------------------------------------------------------------------------------

// After 1.4 s of shaking the hanging blocks fall a cell per drop until they rest, each with the
// stack above it; columns over holes in one row drop together, and every drop lands with a hit.
TEST_F(Effect_Test, EarthDropsEveryHangingStackToRestWithAHitPerColumn) {
    put(2, 19, 1);
    put(9, 19, 1);
    put(12, 19, 0); // on the floor
    put(2, 17, 3);
    put(2, 16, 6);
    put(9, 17, 5);
    put(5, 10, 4);
    start(STATE_EARTH);
    EXPECT_EQ(sounds(SND_QUAKE), 1);
    EXPECT_EQ(run_while(STATE_EARTH), 23 + 1 + 2 * 9 + 2) << "a look and a landing per drop";
    EXPECT_EQ(sounds(SND_BLOCK_HIT), 9 + 2) << "rows 10 to 18 for the one, 17 for the others";
    EXPECT_EQ(well_text(16), "............../..6.........../..3......5..../..1..4...1..0./");
    EXPECT_EQ(play_record.state_id, STATE_PLAY);
}

// ---- ice ---------------------------------------------------------------------------------------

// Without tile 3 nothing changes and the miss sounds; frozen, ice flashes; in the top row it simply
// melts.
TEST_F(Effect_Test, IceWithoutItsTileMissesAndIceInTheTopRowMelts) {
    fill_row(19, 1, 6);
    put(6, 18, 5);
    const std::string before = well_text();
    start(STATE_ICE);
    EXPECT_EQ(run_while(STATE_ICE), 31);
    EXPECT_EQ(
        std::tuple(well_text(), sounds(SND_MISS), sounds(SND_ICE_BREAK), play_record.state_id),
        std::tuple(before, 1, 0, STATE_PLAY));
    put(4, 0, 3);
    put(4, 1, 1);
    start(STATE_ICE);
    frame(14);
    EXPECT_EQ(well_text(0, 1), "....7........./....1........./");
    EXPECT_EQ(sounds(SND_ICE_BREAK), 1);
    run_while(STATE_ICE);
    EXPECT_EQ(well_text(0, 1), "............../....1........./") << "nothing falls for it";
}

// Row 19 is full throughout: the ice leads on to the row clear. A gap stays a gap, and another
// column breaks in the same steps.
TEST_F(Effect_Test, StackedIceBreaksAwayLowestFirstAndTheBlocksAboveEndThreeLower) {
    fill_row(19, 5);
    for (int row = 14; row < 20; ++row)
        put(6, row, row < 17 ? 1 : 3);
    put(6, 12, 2);
    put(10, 19, 3);
    put(10, 18, 4);
    start(STATE_ICE);
    frame(2 * 14 + 1);
    EXPECT_EQ(well_text(17), "......8......./......8...4.../55555585558555/");
    frame(2); // the first step lifts both columns and lands them
    EXPECT_EQ(well_text(16), "......1......./......1......./......8......./55555585554555/");
    EXPECT_EQ(run_while(STATE_ICE), 6) << "two more steps of two frames, a look, the leaving one";
    EXPECT_EQ(well_text(14), "............../......2......./............../......1......./"
                             "......1......./55555515554555/");
    EXPECT_EQ(play_record.state_id, STATE_KILL_ROWS);
}

// ---- fire --------------------------------------------------------------------------------------

// The draws: the count (seven draws a second one, six of ten makes it fourteen), then column and
// row for each burn, the column first and never 13, the row among the occupied ones. Seeds are
// tried until one has burnt fourteen cells, which sounds demonic before the fire.
TEST_F(Effect_Test, FireBurnsInTheOccupiedRowsButNotTheLastColumnAndFourteenSoundDemonicFirst) {
    int fourteens = 0;
    for (unsigned seed = 1; fourteens == 0; ++seed) {
        SCOPED_TRACE(seed);
        play_record.grid.clear_rows(0, GRID_ROWS);
        for (int col = 0; col < GRID_COLS; col += 2)
            put(col, 17, 2);
        fill_row(18, 4, 3);
        fill_row(19, 5, 8);
        std::string expected = well_text();
        std::srand(seed);
        int count = std::rand() % 7 + 1;
        if (count == 7 && std::rand() % 10 == 6) count = 14;
        for (int i = 0; i < count; ++i) {
            const int col = std::rand() % 13;
            expected[(19 - std::rand() % 3) * (GRID_COLS + 1) + col] = '.';
        }
        fourteens += count == 14;
        app.enter_state(STATE_FIRE);
        Mix_HaltChannel(-1); // every channel free: the sounds take channels from 0 in their order
        std::srand(seed);
        frame();
        EXPECT_EQ(Mix_GetChunk(0) == load_sound(SND_DEMONIC), count == 14);
        EXPECT_EQ(Mix_GetChunk(count == 14), load_sound(SND_FIRE));
        EXPECT_EQ(run_while(STATE_FIRE), 23 + 1 + 1) << "1.4 s of flames, the end, the leaving";
        EXPECT_EQ(well_text(), expected) << "nothing falls into the burnt cells";
    }
}

// ---- lightning ---------------------------------------------------------------------------------

// Whole columns change places, so every row keeps its count and a row the piece completed is
// still full; every lightning starts from opaque pictures, so two strikes look alike.
TEST_F(Effect_Test, LightningShufflesWholeColumnsAndEveryStrikeLooksTheSame) {
    std::vector<std::vector<Uint8>> pictures;
    for (int strike = 0; strike < 2; ++strike) {
        play_record.grid.clear_rows(0, GRID_ROWS);
        for (int col = 0; col < GRID_COLS; ++col)
            put(col, 5 + col, col % 7); // a column is known by the row of its block
        fill_row(19, 2);
        const std::string expected_before = well_text(5, 18);
        std::srand(11);
        start(STATE_LIGHTNING);
        headless::run_frames(7, FRAME);
        const SDL_Surface* s = get_screen();
        const auto* pixels = static_cast<const Uint8*>(s->pixels);
        pictures.emplace_back(pixels, pixels + s->pitch * s->h);
        std::vector<int> rows; // of the block of each column, which moved with its column
        for (int col = 0; col < GRID_COLS; ++col)
            for (int row = 0; row < 19; ++row)
                if (play_record.grid.is_occupied(col, row)) rows.push_back(row);
        EXPECT_NE(well_text(5, 18), expected_before);
        std::sort(rows.begin(), rows.end());
        EXPECT_EQ(rows, std::vector<int>({5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18}));
        EXPECT_EQ(well_text(19), "22222222222222/");
        run_while(STATE_LIGHTNING);
        EXPECT_EQ(play_record.state_id, STATE_KILL_ROWS);
    }
    EXPECT_TRUE(pictures[0] == pictures[1]);
}

} // namespace
