// Writes the seed corpus of the fuzz targets: `fuzz_seeds DIR` fills DIR/<target>/ with saved
// games in every state (one played for real), record files of every length, texts and small font
// pictures. The committed corpus in fuzz/corpus was made with it; run it again after a change to
// a record's layout.
#include "fuzz_world.h"

#include "app/vextile.h"
#include "game/game_context.h"
#include "media/texts.h"
#include "play/play_record.h"
#include "play/saved_game.h"
#include "store/options_file.h"
#include "store/record_file.h"
#include "store/score_file.h"

#include <SDL/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<uint8_t>;

fs::path out_dir;

void write_seed(const std::string& target, const std::string& name, const Bytes& bytes) {
    const fs::path dir = out_dir / target;
    fs::create_directories(dir);
    FILE* const file = std::fopen((dir / name).c_str(), "wb");
    expect(file != nullptr, "the seed file can be made");
    expect(bytes.empty() || std::fwrite(bytes.data(), bytes.size(), 1, file) == 1,
           "the seed is written");
    std::fclose(file);
}

Bytes& operator<<(Bytes& bytes, const Bytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
    return bytes;
}

Bytes word_bytes(int32_t value) {
    Bytes bytes(4);
    put_i32(bytes.data(), value);
    return bytes;
}

Bytes text_bytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// ---- saved games --------------------------------------------------------------------------------

Bytes record_image(const Play_Record& record) {
    Bytes image(PLAY_RECORD_SIZE);
    encode_play_record(record, image.data());
    return image;
}

void fill_row(Play_Record& record, int row, int tile) {
    for (int col = 0; col < GRID_COLS; ++col)
        record.grid.cells[row * GRID_COLS + col] = tile;
}

// A bumpy well: the lower rows mostly full with a few holes, some blocks hanging over holes, and
// blocks of every colour (tile 3 is the one that ice freezes).
void build_bumpy_well(Play_Record& record) {
    for (int row = 12; row < GRID_ROWS; ++row) {
        for (int col = 0; col < GRID_COLS; ++col) {
            const bool hole = (col * 7 + row * 3) % 5 == 0;
            if (!hole) record.grid.cells[row * GRID_COLS + col] = (col + row) % 7;
        }
    }
    record.grid.cells[9 * GRID_COLS + 4] = 3;
    record.grid.cells[10 * GRID_COLS + 9] = 8;
}

// A game as it stands a little while after its start (the same at every run).
Play_Record started_game() {
    std::srand(1);
    Play_Record record;
    reset_play_record(&record);
    record.state_id = STATE_PLAY;
    record.level = 1;
    record.blocks_cleared = 5;
    record.score = 140;
    record.shown_score = 120;
    record.score_step = 2;
    record.flares = 1;
    generate_piece(record.current, 6, game.options);
    generate_piece(record.next, 3, game.options);
    record.current.col = 6;
    record.current.row = 4;
    record.current.x = 96.0f;
    record.current.y = 60.0f;
    record.flags = FLAG_IN_PROGRESS | FLAG_FALLING;
    build_bumpy_well(record);
    return record;
}

// A game played for real: a few pieces dropped by the game's own play state.
Play_Record played_game() {
    reset_game();
    game.options.flags |= opt_special_blocks;
    game.options.opt_special_chance = 60;
    reset_play_record(&play_record);
    app.enter_state(STATE_PLAY);
    for (int frame = 0; frame < 200 && play_record.state_id == STATE_PLAY; ++frame) {
        if (frame % 3 == 0) send_command(CMD_DOWN_PRESS);
        if (frame % 17 == 0) send_command(frame % 2 ? CMD_LEFT_PRESS : CMD_RIGHT_PRESS);
        if (frame % 17 == 5) send_command(CMD_STOP);
        run_frame(0.03);
    }
    Play_Record record = play_record;
    app.enter_state(STATE_NONE);
    return record;
}

void write_game(const std::string& name, const Play_Record& record, const Bytes& script = {}) {
    Bytes bytes = record_image(record);
    bytes << script;
    write_seed("saved_game_fuzz", name, bytes);
}

void write_effect_games() {
    const struct {
        const char* name;
        State_Id id;
    } effects[] = {{"earth", STATE_EARTH},
                   {"ice", STATE_ICE},
                   {"fire", STATE_FIRE},
                   {"lightning", STATE_LIGHTNING}};
    for (const auto& effect : effects) {
        Play_Record record = started_game();
        record.state_id = effect.id;
        record.flags = FLAG_IN_PROGRESS | FLAG_PAUSED;
        write_game(effect.name, record);
    }
    Play_Record rows = started_game();
    rows.state_id = STATE_KILL_ROWS;
    fill_row(rows, 19, 2);
    fill_row(rows, 17, 5);
    rows.grid.full_row_count = 2;
    rows.grid.full_row_list[0] = 19;
    rows.grid.full_row_list[1] = 17;
    write_game("kill_rows", rows);
}

void write_saved_games() {
    write_game("fresh", Play_Record());
    Play_Record record;
    reset_play_record(&record);
    record.state_id = STATE_PLAY;
    write_game("new_game", record);
    write_game("in_play", started_game());
    Play_Record paused = started_game();
    paused.flags |= FLAG_PAUSED;
    write_game("paused", paused);
    // The stretch after the record: frames (0..3), commands (4..16), typing (17..23), SDL keys
    // (24..29), the mouse (30, 31); see the target.
    write_game("in_play_scripted", started_game(),
               {4, 0, 9, 0, 5, 1, 11, 0, 6, 0, 2, 1, 4 + 7, 0, 3, 0, 4 + 9, 1, 0, 1});
    write_game("in_play_sdl_keys", started_game(),
               {27, 0, 0, 24, 2, 0, 0, 27, 2, 1, 28, 4, 0, 28, 4, 1, 25, 7, 0, 1, 29, 3, 0, 1});
    // Paused and resumed with the effects' pause hot spot (119, 154).
    Play_Record fire = started_game();
    fire.state_id = STATE_FIRE;
    write_game("fire_mouse", fire, {0, 31, 96, 124, 0, 31, 96, 124, 1, 30, 10, 10, 1, 1, 1, 1});
    write_game("played", played_game());
    Play_Record over = started_game();
    over.flags = FLAG_GAME_OVER;
    over.score = 5000;
    fill_row(over, 0, 4);
    write_game("game_over", over, {0, 4 + 9, 0, 20, 'Z', 21, 'e', 25, 'x', 4 + 9, 0, 0});
    write_effect_games();
    for (State_Id id : {STATE_SPLASH, STATE_MAIN_MENU, STATE_SCORE_INPUT, STATE_SCORE_LIST,
                        STATE_OPTIONS, STATE_ABOUT}) {
        Play_Record screen = started_game();
        screen.state_id = id;
        screen.flags = FLAG_GAME_OVER;
        screen.score = 2500;
        write_game("screen_" + std::to_string(id), screen,
                   {0, 1, 30, 128, 200, 31, 128, 200, 0, 4 + 9, 3, 0, 27, 'b', 0, 1});
    }
    // The entry of a score without a place, Enter pressed before its first frame.
    Play_Record unplaced = started_game();
    unplaced.state_id = STATE_SCORE_INPUT;
    unplaced.flags = FLAG_GAME_OVER;
    unplaced.score = unplaced.shown_score = 5;
    write_game("score_unplaced_enter", unplaced, {4 + 9, 0, 0});
    Play_Record bad = started_game();
    bad.grid.cells[7] = 99;
    write_game("bad_cell", bad);
    Bytes short_file = record_image(started_game());
    short_file.resize(700);
    write_seed("saved_game_fuzz", "short", short_file);
}

// ---- options and high scores -------------------------------------------------------------------

Bytes options_image(const Options_Record& options) {
    Bytes image(OPTIONS_RECORD_SIZE);
    encode_options(options, image.data());
    return image;
}

void write_options() {
    Options_Record options;
    default_options(&options);
    Bytes seed{0};
    write_seed("records_fuzz", "options_default", seed << options_image(options));
    Options_Record full;
    full.flags = 0xffffffffu;
    full.opt_special_chance = 100;
    for (size_t i = 0; i < sizeof full.reserved; ++i)
        full.reserved[i] = uint8_t(i * 37);
    seed = {2};
    write_seed("records_fuzz", "options_full", seed << options_image(full));
    seed = {4};
    Bytes short_file = options_image(full);
    short_file.resize(10);
    write_seed("records_fuzz", "options_short", seed << short_file);
    seed = {6};
    write_seed("records_fuzz", "options_long", seed << options_image(options) << Bytes(20, 0x5a));
    // Clicks after the record: the first box, then the bottom row where OK and Cancel stand.
    seed = {8};
    write_seed("records_fuzz", "options_clicks",
               seed << options_image(full) << Bytes{20, 60, 32, 232, 160, 232});
}

Bytes score_image(const Score_Table& table) {
    Bytes image(SCORE_TABLE_SIZE);
    encode_score_table(table, image.data());
    return image;
}

void write_scores() {
    Score_Table table;
    default_score_table(&table);
    Bytes seed{1};
    write_seed("records_fuzz", "scores_default", seed << word_bytes(850) << score_image(table));
    seed = {3};
    write_seed("records_fuzz", "scores_long",
               seed << word_bytes(5000) << score_image(table) << text_bytes("Mirelle Q."));
    seed = {5};
    Bytes short_file = score_image(table);
    short_file.resize(50);
    write_seed("records_fuzz", "scores_short", seed << word_bytes(99) << short_file);
    // Names that fill their whole field, scores out of order and negative.
    Bytes odd = score_image(table);
    for (int row = 0; row < SCORE_ROWS; ++row) {
        std::memset(odd.data() + row * SCORE_ENTRY_SIZE, 'A' + row, SCORE_NAME_SIZE);
        put_i32(odd.data() + row * SCORE_ENTRY_SIZE + SCORE_NAME_SIZE, (row % 3 - 1) * 70000);
    }
    seed = {7};
    write_seed("records_fuzz", "scores_full_names", seed << word_bytes(INT32_MAX) << odd);
    seed = {9};
    write_seed("records_fuzz", "scores_no_place", seed << word_bytes(10) << score_image(table));
    seed = {11};
    write_seed("records_fuzz", "scores_no_place_at_once",
               seed << word_bytes(10) << score_image(table));
}

// ---- texts -------------------------------------------------------------------------------------

void write_text_seed(const std::string& name, int32_t width, int16_t x, int16_t y, uint8_t choices,
                     const Bytes& text) {
    Bytes seed = word_bytes(width);
    seed.push_back(uint8_t(x));
    seed.push_back(uint8_t(uint16_t(x) >> 8));
    seed.push_back(uint8_t(y));
    seed.push_back(uint8_t(uint16_t(y) >> 8));
    seed.push_back(choices);
    write_seed("text_fuzz", name, seed << text);
}

void write_texts() {
    const Bytes contact = text_bytes(get_text(TXT_CONTACT_LINE));
    write_text_seed("contact_line", 300, 10, 100, 0, contact);
    write_text_seed("contact_narrow_centred", 40, 0, 0, 1, contact);
    write_text_seed("title_no_room", 0, 5, 5, 3, text_bytes(get_text(TXT_HISCORES_TITLE)));
    write_text_seed("spaces", 10, -20, 300, 1, text_bytes("     a  b     "));
    write_text_seed("negative_width", -2000000000, 0, 0, 1, text_bytes("one two three"));
    write_text_seed("huge_width", INT32_MAX, -5, -5, 0, text_bytes("a fairly short line"));
    Bytes with_zero = text_bytes("before the zero");
    with_zero.push_back(0);
    with_zero << text_bytes(" and after it");
    write_text_seed("embedded_zero", 50, 0, 0, 0, with_zero);
    write_text_seed("high_bytes", 100, 200, 310, 1, Bytes{0x80, 0xff, ' ', 0x7f, '~', ' ', '!'});
}

// ---- font pictures -----------------------------------------------------------------------------

// A strip of 94 glyph runs of one pixel, each followed by a magenta gap: the smallest usable
// picture. With one glyph run less it is unusable.
SDL_Surface* marker_strip(int runs, int height) {
    SDL_Surface* const picture =
        SDL_CreateRGBSurface(SDL_SWSURFACE, 2 * runs, height, 24, 0xff0000, 0xff00, 0xff, 0);
    expect(picture != nullptr, "the strip surface exists");
    SDL_FillRect(picture, nullptr, SDL_MapRGB(picture->format, 200, 200, 210));
    for (int i = 0; i < runs; ++i) {
        SDL_Rect gap = {Sint16(2 * i + 1), 0, 1, 1};
        SDL_FillRect(picture, &gap, SDL_MapRGB(picture->format, 255, 0, 255));
    }
    return picture;
}

void save_bmp(const std::string& name, SDL_Surface* picture) {
    const fs::path dir = out_dir / "font_fuzz";
    fs::create_directories(dir);
    expect(SDL_SaveBMP(picture, (dir / name).c_str()) == 0, "the picture is saved");
    SDL_FreeSurface(picture);
}

void write_fonts() {
    save_bmp("strip_94.bmp", marker_strip(94, 3));
    save_bmp("strip_93.bmp", marker_strip(93, 3));
    save_bmp("strip_flat.bmp", marker_strip(94, 1));
    // Built pictures: depth 32, 188 x 10, pixels alternating grey and magenta (94 runs).
    Bytes built = {3, 187, 0, 9};
    built << Bytes{0x10, 0x10, 0x10, 0, 0xff, 0, 0xff, 0};
    write_seed("font_fuzz", "built_32_94", built);
    // Depth 16, 300 x 4, a pattern with runs of every length.
    built = {1, 43, 1, 3};
    built << Bytes{0x1f, 0xf8, 0x00, 0x00, 0x1f, 0xf8, 0x34, 0x12, 0x00, 0x00, 0x1f, 0xf8};
    write_seed("font_fuzz", "built_16_mixed", built);
    built = {0, 10, 0, 2};
    built << Bytes{0xff, 0x00, 0xff, 0x01};
    write_seed("font_fuzz", "built_8_palette", built);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    out_dir = fs::absolute(argv[1]);
    start_fuzz_world();
    write_saved_games();
    write_options();
    write_scores();
    write_texts();
    write_fonts();
    return 0;
}
