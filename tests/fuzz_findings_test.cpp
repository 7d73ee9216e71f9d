// What the fuzz targets (fuzz/) found, each pinned by the smallest case that showed it, and the
// text store that the text target fills.
#include "game_test.h"

#include "app/vextile.h"
#include "game/game_context.h"
#include "media/texts.h"
#include "media/video.h"
#include "play/play_record.h"
#include "play/saved_game.h"
#include "sfont/sfont.h"
#include "store/record_file.h"

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace {

class Fuzz_Findings_Test : public Game_Test {};

bool screen_has_ink() {
    for (int y = 0; y < SCREEN_HEIGHT; ++y) {
        for (int x = 0; x < SCREEN_WIDTH; ++x) {
            const SDL_Color c = colour_at(nullptr, x, y);
            if (c.r || c.g || c.b) return true;
        }
    }
    return false;
}

// A BMP file of the given size and bit count (any, as a damaged file may hold), zero pixels.
std::vector<uint8_t> bmp_file(int width, int height, int bit_count) {
    constexpr int header_size = 54;
    const int pixel_bytes = width * height * 4;
    std::vector<uint8_t> file(header_size + pixel_bytes, 0);
    file[0] = 'B';
    file[1] = 'M';
    put_u32(&file[2], uint32_t(file.size()));
    put_u32(&file[10], header_size);
    put_u32(&file[14], 40);
    put_i32(&file[18], width);
    put_i32(&file[22], height);
    file[26] = 1; // planes
    file[28] = uint8_t(bit_count);
    file[29] = uint8_t(bit_count >> 8);
    return file;
}

} // namespace

// ---- texts -------------------------------------------------------------------------------------

TEST_F(Fuzz_Findings_Test, SetTextStoresAnyTextUnderAnyId) {
    set_text(7777, "made up words");
    EXPECT_STREQ(text_of(7777), "made up words");
    EXPECT_STREQ(get_text(7777), "made up words") << "a stored text is not reloaded";
    EXPECT_EQ(draw_wrapped_text(7777, 0, 0, 0, false), 3) << "one word a line without room";

    set_text(TXT_VERSION, "9.99");
    EXPECT_STREQ(get_text(TXT_VERSION), "9.99") << "a stored text replaces the built-in one";
    release_text(TXT_VERSION);
    EXPECT_STREQ(get_text(TXT_VERSION), "1.00") << "once released the built-in text comes back";

    set_text(7777, std::string("cut\0off", 7));
    EXPECT_STREQ(text_of(7777), "cut") << "the drawing calls see the text up to a zero";
}

// A band so far to the left that the text lies a billion pixels off the screen: the centring sum
// overflowed an int and wrapped the text back onto the screen.
TEST_F(Fuzz_Findings_Test, CentringInABandOfExtremeWidthStaysOffTheScreen) {
    const char* const text = "Hello";
    paint_screen(0, 0, 0);
    write_text_centered(text, 0, 40, SCREEN_WIDTH);
    ASSERT_TRUE(screen_has_ink()) << "the text draws in an ordinary band";

    paint_screen(0, 0, 0);
    write_text_centered(text, 10 - (1 << 30), 40, INT_MIN);
    EXPECT_FALSE(screen_has_ink());
    paint_screen(0, 0, 0);
    write_text_centered(text, INT_MAX - 10, 40, INT_MAX);
    EXPECT_FALSE(screen_has_ink());
}

// ---- the font library --------------------------------------------------------------------------

// A bit count of 6144 wraps to a depth of 0 in SDL's 8-bit field: SDL still makes a surface, of
// no bytes per pixel and rows of no length, and the marker scan read four bytes of a one-byte
// buffer.
TEST_F(Fuzz_Findings_Test, AFontPictureOfNoDepthIsTurnedDown) {
    std::vector<uint8_t> file = bmp_file(188, 3, 0x1800);
    SDL_Surface* const picture =
        SDL_LoadBMP_RW(SDL_RWFromMem(file.data(), static_cast<int>(file.size())), 1);
    ASSERT_NE(picture, nullptr) << "SDL reads the damaged file";
    ASSERT_EQ(picture->format->BytesPerPixel, 0);
    EXPECT_EQ(SFont_InitFont(picture), nullptr);
}

// ---- the saved game ----------------------------------------------------------------------------

namespace {

// A game in play as the game saves it: a T falling in the middle of the well at level 3.
Play_Record game_in_play() {
    Play_Record record;
    reset_play_record(&record);
    record.state_id = STATE_PLAY;
    record.flags = FLAG_IN_PROGRESS | FLAG_FALLING;
    record.level = 3;
    generate_piece(record.current, 6, game.options);
    generate_piece(record.next, 3, game.options);
    record.current.col = 6;
    record.current.row = 4;
    record.current.x = 96.0f;
    record.current.y = 60.0f;
    record.target_col = 6;
    return record;
}

// Saves the record, loads it as the start-up does and answers the state it resumes in.
State_Id resumed_state(const Play_Record& record) {
    EXPECT_TRUE(save_saved_game(&record));
    play_record = Play_Record();
    load_saved_game(&play_record);
    return play_record.state_id;
}

} // namespace

// Levels and positions far beyond any the game makes overflowed the fall, the slide and the pixel
// positions of the piece (a level of 2^31 - 1 put the piece 10^10 pixels down in one frame), and
// counters near the top of their range overflowed the score, the flares and the shown score.
TEST_F(Fuzz_Findings_Test, ASavedGameWithACounterOrAPositionOutOfRangeIsRefused) {
    const struct {
        const char* what;
        void (*damage)(Play_Record&, int32_t);
        int32_t at_limit, beyond;
    } fields[] = {
        {"level", [](Play_Record& r, int32_t v) { r.level = v; }, 1000, INT32_MAX},
        {"column", [](Play_Record& r, int32_t v) { r.current.col = v; }, -1000, 0x40000000},
        {"row", [](Play_Record& r, int32_t v) { r.current.row = v; }, 1000, -0x40000000},
        {"next row", [](Play_Record& r, int32_t v) { r.next.row = v; }, -1000, -1001},
        {"next column", [](Play_Record& r, int32_t v) { r.next.col = v; }, 1000, 1001},
        {"target", [](Play_Record& r, int32_t v) { r.target_col = v; }, 1000, INT32_MIN},
        {"flares", [](Play_Record& r, int32_t v) { r.flares = v; }, 1000, INT32_MAX},
        {"no flares", [](Play_Record& r, int32_t v) { r.flares = v; }, 0, -1},
        {"score", [](Play_Record& r, int32_t v) { r.score = v; }, 1000000000, INT32_MAX - 10},
        {"shown score", [](Play_Record& r, int32_t v) { r.shown_score = v; }, 0, 1},
        {"score step", [](Play_Record& r, int32_t v) { r.score_step = v; }, 20, 21},
        {"blocks", [](Play_Record& r, int32_t v) { r.blocks_cleared = v; }, 344, INT32_MAX - 3},
    };
    Stderr_Capture err;
    for (const auto& field : fields) {
        Play_Record record = game_in_play();
        field.damage(record, field.at_limit);
        EXPECT_EQ(resumed_state(record), STATE_PLAY) << field.what << " at the limit";
        field.damage(record, field.beyond);
        EXPECT_EQ(resumed_state(record), STATE_SPLASH) << field.what << " beyond it";
    }
    EXPECT_EQ(err.count("info file is corrupt -- regenerating list\n"), 12);
}
