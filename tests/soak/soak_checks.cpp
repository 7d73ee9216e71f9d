#include "soak_checks.h"

#include "soak_player.h"

#include "app/vextile.h"
#include "effects/earth_state.h"
#include "effects/fire_state.h"
#include "effects/ice_state.h"
#include "effects/kill_rows_state.h"
#include "effects/lightning_state.h"
#include "media/video.h"
#include "play/faldor_state.h"
#include "play/play_record.h"
#include "play/saved_game.h"
#include "play/well.h"
#include "ui/about_state.h"
#include "ui/main_menu_state.h"
#include "ui/options_state.h"
#include "ui/score_input_state.h"
#include "ui/score_list_state.h"
#include "ui/splash_state.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
// From the sanitizer runtime's allocator interface (its header is not always installed).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

namespace {

constexpr size_t RECENT_EVENTS = 24;
// How far the heap may rise above what it held at the third main menu of a run. Screens and
// effects that gave back less than they took would pass this within a few hundred games.
constexpr size_t HEAP_GROWTH_LIMIT = 8u << 20;

size_t heap_in_use() {
#if defined(__SANITIZE_ADDRESS__)
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

const char* const state_names[STATE_COUNT] = {
    "splash", "main menu", "play",        "row clear",  "earth",   "ice",
    "fire",   "lightning", "score entry", "score list", "options", "about",
};

template <class State> bool is_a(const Game_State* state) {
    return dynamic_cast<const State*>(state) != nullptr;
}

// Whether the state object is of the class that the id names.
bool state_matches(State_Id id, const Game_State* state) {
    switch (id) {
    case STATE_SPLASH:
        return is_a<Splash_State>(state);
    case STATE_MAIN_MENU:
        return is_a<Main_Menu_State>(state);
    case STATE_PLAY:
        return is_a<Faldor_State>(state);
    case STATE_KILL_ROWS:
        return is_a<KillRows_State>(state);
    case STATE_EARTH:
        return is_a<Earth_State>(state);
    case STATE_ICE:
        return is_a<Ice_State>(state);
    case STATE_FIRE:
        return is_a<Fire_State>(state);
    case STATE_LIGHTNING:
        return is_a<Lightning_State>(state);
    case STATE_SCORE_INPUT:
        return is_a<Score_Input_State>(state);
    case STATE_SCORE_LIST:
        return is_a<Score_List_State>(state);
    case STATE_OPTIONS:
        return is_a<Options_State>(state);
    case STATE_ABOUT:
        return is_a<About_State>(state);
    default:
        return false;
    }
}

bool is_effect(State_Id id) {
    return id >= STATE_KILL_ROWS && id <= STATE_LIGHTNING;
}

bool flag_set(uint32_t flag) {
    return (play_record.flags & flag) != 0;
}

std::string format(const char* fmt, long a, long b = 0, long c = 0) {
    char text[200];
    std::snprintf(text, sizeof text, fmt, a, b, c);
    return text;
}

SDL_Color pixel_colour(SDL_Surface* surface, int x, int y) {
    SDL_Color colour = {0, 0, 0, 0};
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return colour;
    const int bytes = surface->format->BytesPerPixel;
    const Uint8* p = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch + x * bytes;
    Uint32 pixel = 0;
    std::memcpy(&pixel, p, static_cast<size_t>(std::min(bytes, 4)));
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    SDL_GetRGB(pixel, surface->format, &colour.r, &colour.g, &colour.b);
    return colour;
}

bool same_colour(SDL_Color a, SDL_Color b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

} // namespace

const char* state_name(State_Id id) {
    return id >= 0 && id < STATE_COUNT ? state_names[id] : "none";
}

Soak_Checker::Soak_Checker(unsigned seed) : seed_(seed) {}

void Soak_Checker::note_event(const SDL_Event& event) {
    recent_events_.push_back(format("frame %ld: ", frame_) + describe_event(event));
    if (recent_events_.size() > RECENT_EVENTS) recent_events_.pop_front();
}

void Soak_Checker::fail(const std::string& what) const {
    std::fprintf(stderr, "\nsoak: seed %u, frame %ld, %s, in %s: %s\n", seed_, frame_, when_,
                 state_name(play_record.state_id), what.c_str());
    std::fprintf(stderr, "soak: the last events sent:\n");
    for (const std::string& line : recent_events_)
        std::fprintf(stderr, "    %s\n", line.c_str());
    std::fprintf(stderr, "soak: replay with: vextile_soak --frames %ld %u\n", frame_ + 1, seed_);
    std::fflush(stderr);
    std::_Exit(1);
}

void Soak_Checker::check(const char* when) {
    when_ = when;
    check_state();
    count_switch();
    check_cells();
    check_pieces();
    check_progress();
    check_text_entry();
    check_background();
}

void Soak_Checker::check_frame() {
    check("after the frame");
    check_well_picture();
}

void Soak_Checker::check_state() {
    const State_Id id = play_record.state_id;
    if (!app.state) fail(format("no state is current (state_id %ld)", id));
    if (!state_matches(id, app.state.get()))
        fail(format("state_id %ld does not name the current state object", id));
}

void Soak_Checker::count_switch() {
    const State_Id id = play_record.state_id;
    switched_ = id != last_id_ || app.state.get() != last_state_;
    if (!switched_) return;
    ++entries_[static_cast<size_t>(id)];
    if (last_id_ == STATE_MAIN_MENU && id == STATE_PLAY) check_new_game();
    if (id == STATE_MAIN_MENU) check_heap();
    last_id_ = id;
    last_state_ = app.state.get();
}

// The start button resets the play record before play begins.
long Soak_Checker::games_with(uint32_t option) const {
    long games = 0;
    for (size_t bit = 0; bit < games_with_option_.size(); ++bit)
        if (option & (1u << bit)) games += games_with_option_[bit];
    return games;
}

void Soak_Checker::check_new_game() {
    ++games_started_;
    for (size_t bit = 0; bit < games_with_option_.size(); ++bit)
        if (app.options.flags & (1u << bit)) ++games_with_option_[bit];
    const Play_Record& record = play_record;
    if (record.score != 0 || record.shown_score != 0 || record.level != 0 || record.flares != 0)
        fail(format("a new game starts with score %ld, level %ld, flares %ld", record.score,
                    record.level, record.flares));
    if (record.flags != FLAG_IN_PROGRESS)
        fail(format("a new game starts with flags %#lx", static_cast<long>(record.flags)));
    for (const int32_t cell : record.grid.cells)
        if (cell != EMPTY_CELL) fail("a new game starts with blocks in the well");
    last_score_ = 0;
    last_level_ = 0;
    was_over_ = false;
}

void Soak_Checker::check_cells() const {
    for (int i = 0; i < GRID_COLS * GRID_ROWS; ++i) {
        const int32_t cell = play_record.grid.cells[i];
        if (cell != EMPTY_CELL && (cell < 0 || cell > TILE_THAWED))
            fail(format("cell %ld,%ld holds %ld", i % GRID_COLS, i / GRID_COLS, cell));
    }
    const Grid_Field& grid = play_record.grid;
    if (grid.full_row_count < 0 || grid.full_row_count > GRID_ROWS)
        fail(format("the full-row list counts %ld rows", grid.full_row_count));
}

void Soak_Checker::check_pieces() const {
    const Piece* const pieces[] = {&play_record.current, &play_record.next};
    for (const Piece* piece : pieces) {
        const char* which = piece == &play_record.current ? "current" : "next";
        if (piece->shape < 0 || piece->shape >= SHAPE_COUNT || piece->rotation < 0 ||
            piece->rotation >= shape_table[piece->shape].rotation_count)
            fail(std::string("the ") + which +
                 format(" piece has shape %ld, rotation %ld", piece->shape, piece->rotation));
        if (piece->tile < 0 || piece->tile > 6)
            fail(std::string("the ") + which + format(" piece has tile %ld", piece->tile));
    }
    if (!play_record_is_sound(play_record))
        fail("the play record is one the saved-game loader would refuse");
}

void Soak_Checker::check_progress() {
    const Play_Record& record = play_record;
    const State_Id id = record.state_id;
    if (record.score < last_score_)
        fail(format("the score fell from %ld to %ld", last_score_, record.score));
    if (record.level < last_level_)
        fail(format("the level fell from %ld to %ld", last_level_, record.level));
    last_score_ = record.score;
    last_level_ = record.level;
    if (record.shown_score < 0 || record.shown_score > record.score)
        fail(format("the sidebar shows %ld of a score of %ld", record.shown_score, record.score));
    if (record.flares < 0 || record.blocks_cleared < 0)
        fail(format("flares %ld, blocks cleared %ld", record.flares, record.blocks_cleared));
    const bool over = flag_set(FLAG_GAME_OVER);
    if (over && flag_set(FLAG_IN_PROGRESS)) fail("the game is both over and in progress");
    if (over && is_effect(id)) fail("an effect runs on a game that is over");
    // The first play frame of a game raises the level to 1, before any piece falls.
    const bool played = is_effect(id) || (id == STATE_PLAY && (over || flag_set(FLAG_FALLING)));
    if (played && record.level < 1) fail(format("level %ld in a game under way", record.level));
    if (over && !was_over_) ++games_over_;
    was_over_ = over;
}

void Soak_Checker::check_text_entry() const {
    const auto* entry = dynamic_cast<const Score_Input_State*>(app.state.get());
    const bool asking = entry && !entry->not_placed && entry->place >= 0;
    if (app.text_entry != asking)
        fail(asking ? "the name entry is current but the keyboard does not type"
                    : "the keyboard types but no name is asked for");
}

// The screens around the game show a picture under every frame; play and the effects entered from
// it draw everything themselves.
void Soak_Checker::check_background() const {
    const State_Id id = play_record.state_id;
    const bool wants_picture = id == STATE_MAIN_MENU || id >= STATE_SCORE_INPUT;
    if (!wants_picture) {
        if (background) fail("a background is drawn under a screen that has none");
        return;
    }
    if (!background) fail("the screen has lost its background");
    if (background->w != SCREEN_WIDTH || background->h != SCREEN_HEIGHT || background->refcount < 1)
        fail(format("the background is %ldx%ld with %ld holders", background->w, background->h,
                    background->refcount));
}

// In play the well's picture shows exactly its cells: empty cells black, the others their tile.
void Soak_Checker::check_well_picture() const {
    SDL_Surface* const well = Grid_Field_Surface::well_surface;
    SDL_Surface* const texture = app.block_texture;
    if (play_record.state_id != STATE_PLAY || !well || !texture) return;
    const int size = app.block_size;
    const SDL_Color black = {0, 0, 0, 0};
    for (int row = 0; row < GRID_ROWS; ++row) {
        for (int col = 0; col < GRID_COLS; ++col) {
            const int tile = play_record.grid.cell(col, row);
            for (const int d : {size / 2, size / 4}) {
                const SDL_Color shown = pixel_colour(well, col * size + d, row * size + d);
                const SDL_Color want =
                    tile == EMPTY_CELL ? black : pixel_colour(texture, tile * size + d, d);
                if (!same_colour(shown, want))
                    fail(format("the well's picture of cell %ld,%ld does not show tile %ld", col,
                                row, tile));
            }
        }
    }
}

void Soak_Checker::check_heap() {
    const size_t heap = heap_in_use();
    ++menus_seen_;
    if (menus_seen_ < 3) return;
    if (menus_seen_ == 3) heap_baseline_ = heap;
    heap_highest_ = std::max(heap_highest_, heap);
    if (heap > heap_baseline_ + HEAP_GROWTH_LIMIT)
        fail(format("the heap grew from %ld to %ld bytes between main menus",
                    static_cast<long>(heap_baseline_), static_cast<long>(heap)));
}

void Soak_Checker::check_saved_game_round_trip() {
    when_ = "at the saved-game round trip";
    save_saved_game(&play_record);
    Play_Record read_back;
    load_saved_game(&read_back);
    uint8_t written[PLAY_RECORD_SIZE];
    uint8_t read[PLAY_RECORD_SIZE];
    encode_play_record(play_record, written);
    encode_play_record(read_back, read);
    const auto differ = std::mismatch(std::begin(written), std::end(written), std::begin(read));
    if (differ.first != std::end(written))
        fail(format("the saved game read back differs from byte %ld on",
                    static_cast<long>(differ.first - std::begin(written))));
}
