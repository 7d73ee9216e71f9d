// The sidebar: the preview of the next piece, the counting score and the padded numbers.
#include "game_test.h"

#include "app/vextile.h"
#include "media/texts.h"
#include "media/video.h"
#include "play/block_tiles.h"
#include "play/play_record.h"
#include "play/sidebar.h"

#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

namespace {

// Whether drawing again what the screen should show leaves every pixel as it is.
template <class Draw> bool screen_shows(Draw draw) {
    const SDL_Surface* screen = get_screen();
    const auto* pixels = static_cast<const Uint8*>(screen->pixels);
    const std::vector<Uint8> before(pixels, pixels + screen->pitch * screen->h);
    draw();
    return std::equal(before.begin(), before.end(), pixels);
}

using Sidebar_Test = Game_Test;

} // namespace

// The next piece, in every shape and rotation (the bar lying flat and upright among them), is drawn
// with its tiles centred in the next box to the pixel: half a pixel up or left where the box's size
// is odd.
TEST_F(Sidebar_Test, PreviewIsCentredInTheNextBoxAndDrawnThere) {
    Sidebar s;
    const Rect& box = s.next_box;
    const int block = block_size();
    Piece& next = play_record.next; // at column and row 0
    next.special_cell = -1;
    for (int shape = 0; shape < SHAPE_COUNT; ++shape) {
        for (next.rotation = 0; next.rotation < 4; ++next.rotation) {
            next.shape = shape;
            s.place_next_piece();
            s.draw_sidebar(frame_seconds());
            EXPECT_TRUE(screen_shows([&] {
                for (int i = 0; i < 4; ++i) {
                    const Grid_Pos cell = piece_cell(next, i);
                    draw_tile(next.tile, int(next.x) + cell.col * block,
                              int(next.y) + cell.row * block);
                }
            })) << "its tiles where it stands";
            const Cell_Offset lo = piece_bounds(next, 0), hi = piece_bounds(next, 1);
            // Twice the distance between the centres of the cells and of the box.
            const int off_x = 2 * int(next.x) + (lo.dx + hi.dx + 1) * block - 2 * box.x - box.w;
            const int off_y = 2 * int(next.y) + (lo.dy + hi.dy + 1) * block - 2 * box.y - box.h;
            EXPECT_EQ(std::pair(off_x, off_y), std::pair(-(box.w % 2), -(box.h % 2)))
                << shape << "/" << next.rotation;
        }
    }
}

// The shown score climbs by the step each drawn frame, unpaused, and ends exactly on the score.
TEST_F(Sidebar_Test, ShownScoreClimbsByTheStepAndEndsExactlyOnTheScore) {
    Sidebar s;
    // Score, step, paused, frames drawn and the score shown after them: 420 by 4 reached in 105
    // frames; 30 more in eight, the last step clamped; step 0 and a pause hold it.
    const struct {
        int score, step, paused, frames, shown;
    } steps[] = {{420, 4, 0, 104, 416}, {420, 4, 0, 1, 420}, {420, 4, 0, 3, 420},
                 {450, 4, 0, 7, 448},   {450, 4, 0, 1, 450}, {500, 0, 0, 20, 450},
                 {500, 5, 1, 20, 450},  {500, 5, 0, 1, 455}};
    for (const auto& step : steps) {
        play_record.score = step.score;
        play_record.score_step = step.step;
        play_record.flags = step.paused ? FLAG_PAUSED : 0;
        for (int i = 0; i < step.frames; ++i)
            s.draw_sidebar(frame_seconds());
        EXPECT_EQ(play_record.shown_score, step.shown) << step.score << " step " << step.step;
    }
}

TEST_F(Sidebar_Test, NumbersArePaddedAndPrintedInFullWhenWider) {
    Sidebar s;
    const Rect& icon = s.flare_icon;
    const int level_y = s.level_label.y + s.level_label.h,
              score_y = s.score_label.y + s.score_label.h;
    play_record.score = 500; // the shown score is printed one step on, not the score
    play_record.shown_score = 416;
    play_record.score_step = 4;
    for (const auto& [level, flares, texts] :
         {std::tuple(7, 5, std::array{"007", "0000420", "05"}),
          std::tuple(1000, 123, std::array{"1000", "0000424", "123"})}) {
        play_record.level = level;
        play_record.flares = flares;
        s.draw_sidebar(frame_seconds());
        EXPECT_TRUE(screen_shows([&, &texts = texts] {
            write_text_centered(texts[0], s.panel.x, level_y, s.panel.w);
            write_text_centered(texts[1], s.panel.x, score_y, s.panel.w);
            write_text(texts[2], icon.x + icon.w, icon.y + (icon.h - text_height()) / 2);
        })) << texts[0];
    }
}
