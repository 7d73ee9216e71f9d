// The options file and the high-score file as the game reads them, and the screens that show them.
//
// The first byte picks the file: even for ".vextile-options", odd for ".vextile-hiscores". For the
// high scores its bit 1 has the name entered at once, before the first frame of the entry screen,
// and the next four bytes are the score of the game that just ended (little-endian). The
// rest is the file. Bytes after the record's size are ignored by the game; here they are the
// mouse clicks on the options screen, or the name the player types.
#include "fuzz_world.h"
#include "headless_game.h"

#include "app/vextile.h"
#include "game/game_context.h"
#include "play/piece.h"
#include "play/play_record.h"
#include "store/options_file.h"
#include "store/score_file.h"
#include "ui/options_state.h"
#include "ui/score_input_state.h"

#include <cstring>
#include <string>

namespace {

bool names_are_terminated(const Score_Table& table) {
    for (const Score_Entry& row : table.rows) {
        if (!std::memchr(row.name, 0, SCORE_NAME_SIZE)) return false;
    }
    return true;
}

// The options drive the pieces: generate a few with them and draw them.
void make_pieces_with_options() {
    for (int i = 0; i < 4; ++i) {
        generate_piece(play_record.next, -1, game.options);
        expect(play_record.next.shape >= 0 && play_record.next.shape < SHAPE_COUNT,
               "a generated piece has a shape of the table");
        draw_piece(play_record.next, 0.016);
    }
}

// Mouse clicks on the options screen at the points the bytes give (two a point, four points at
// most), the pointer moved there first; a click on OK or Cancel leaves the screen.
void click_options(const std::string& points) {
    for (size_t i = 0; i + 1 < points.size() && i < 8; i += 2) {
        if (play_record.state_id != STATE_OPTIONS) return;
        const int x = static_cast<uint8_t>(points[i]) * 320 / 256;
        const int y = static_cast<uint8_t>(points[i + 1]) * 320 / 256;
        app.send_mouse(MOUSE_MOTION, x, y);
        app.send_mouse(MOUSE_PRESS, x, y);
        app.send_mouse(MOUSE_RELEASE, x, y);
        run_frame(0.016);
    }
}

// The options screen: boxes flipped by space, by enter and by the mouse, the focus moved down to
// OK, OK pressed (the options are saved) unless a click has already left the screen.
void use_options_screen(const std::string& clicks) {
    app.enter_state(STATE_OPTIONS);
    headless::run_frames(2, 0.016);
    send_command(CMD_SPACE);
    send_command(CMD_DOWN_PRESS);
    send_command(CMD_SPACE);
    run_frame(0.016);
    send_command(CMD_UP);
    send_command(CMD_ENTER);
    run_frame(0.3);
    click_options(clicks);
    if (play_record.state_id == STATE_OPTIONS) {
        // The pointer may have taken the focus anywhere.
        const Focus_Ring& focus = static_cast<Options_State*>(app.state.get())->focus;
        for (int i = 0; i < focus.count() && focus.focus() != Options_State::FOCUS_OK; ++i)
            send_command(CMD_DOWN_PRESS);
        send_command(CMD_ENTER);
    }
    expect(play_record.state_id == STATE_MAIN_MENU, "OK and Cancel leave the options screen");
    run_frame(0.016);
}

void fuzz_options(const std::string& file) {
    write_scratch_file(OPTIONS_FILE_NAME, reinterpret_cast<const uint8_t*>(file.data()),
                       file.size());
    game.options = Options_Record();
    load_options(&game.options);
    const Options_Record loaded = game.options;
    make_pieces_with_options();
    const std::string clicks =
        file.size() > size_t(OPTIONS_RECORD_SIZE) ? file.substr(OPTIONS_RECORD_SIZE) : "";
    use_options_screen(clicks);
    // OK changes the three box bits only; Cancel changes nothing.
    Options_Record saved;
    load_options(&saved);
    const uint32_t boxes = opt_random_colors | opt_special_blocks | opt_uncontrolled_drop;
    expect((saved.flags & ~boxes) == (loaded.flags & ~boxes), "OK keeps the other option bits");
    expect(saved.opt_special_chance == loaded.opt_special_chance, "OK keeps the chance");
    expect(std::memcmp(saved.reserved, loaded.reserved, sizeof saved.reserved) == 0,
           "OK keeps the reserved bytes");
}

// The high-score list until its timer hands over to the main menu.
void show_score_list() {
    app.enter_state(STATE_SCORE_LIST);
    headless::run_frames(3, 0.016);
    run_frame(200.0);
    expect(play_record.state_id == STATE_MAIN_MENU, "the list times out into the main menu");
}

// The entry screen for the score: the name typed (and one character taken back), then accepted,
// either after a frame or at once, before the first frame (as a player who presses Enter twice on
// the game-over screen). Answers the place the score took, or -1.
int32_t enter_score(int32_t score, const std::string& name, bool at_once) {
    play_record.score = score;
    app.enter_state(STATE_SCORE_INPUT);
    const auto* const entry_screen = static_cast<const Score_Input_State*>(app.state.get());
    const int32_t place = entry_screen->not_placed ? -1 : entry_screen->place;
    if (!at_once) run_frame(0.016);
    if (play_record.state_id != STATE_SCORE_INPUT) return place; // left for the list
    for (const char c : name)
        send_command(CMD_CHAR, &c);
    send_command(CMD_BACKSPACE);
    if (!at_once) run_frame(0.016);
    send_command(CMD_DOWN_PRESS);
    send_command(CMD_UP);
    send_command(CMD_ENTER);
    headless::run_frames(2, 0.016);
    expect(play_record.state_id == STATE_SCORE_LIST, "the entry ends in the list");
    return place;
}

bool same_tables(const Score_Table& a, const Score_Table& b) {
    uint8_t image_a[SCORE_TABLE_SIZE];
    uint8_t image_b[SCORE_TABLE_SIZE];
    encode_score_table(a, image_a);
    encode_score_table(b, image_b);
    return std::memcmp(image_a, image_b, SCORE_TABLE_SIZE) == 0;
}

void fuzz_scores(int32_t score, const std::string& file, bool at_once) {
    write_scratch_file(SCORE_FILE_NAME, reinterpret_cast<const uint8_t*>(file.data()), file.size());
    Score_Table before;
    load_score_table(&before);
    expect(names_are_terminated(before), "every loaded name ends in a zero");
    show_score_list();
    const std::string name = file.size() > size_t(SCORE_TABLE_SIZE)
                                 ? file.substr(SCORE_TABLE_SIZE, SCORE_NAME_SIZE)
                                 : std::string("Fuzz");
    const int32_t place = enter_score(score, name, at_once);
    Score_Table after;
    load_score_table(&after);
    expect(names_are_terminated(after), "every saved name ends in a zero");
    if (place < 0) {
        expect(same_tables(before, after), "a score without a place changes no row");
    } else {
        expect(place < SCORE_ROWS && after.rows[place].score == score,
               "the accepted score is saved at its place");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    start_fuzz_world(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    reset_game();
    Byte_Reader input(data, size);
    const uint8_t choices = input.byte();
    if ((choices & 1) != 0) {
        const int32_t score = input.word();
        fuzz_scores(score, input.rest(size), (choices & 2) != 0);
    } else {
        fuzz_options(input.rest(size));
    }
    app.enter_state(STATE_NONE);
    return 0;
}
