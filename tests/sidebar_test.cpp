// The sidebar: its layout, the preview of the next piece, the counting score and the numbers.
#include "game_test.h"

#include "app/vextile.h"
#include "media/video.h"
#include "play/play_record.h"
#include "play/sidebar.h"
#include "ui/texts.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <vector>

namespace {

using Pixels = std::vector<Uint32>;

Pixels pixels_in(const Rect& area) {
    Pixels pixels;
    for (int i = 0; i < area.w * area.h; ++i) {
        const SDL_Color c = colour_at(nullptr, area.x + i % area.w, area.y + i / area.w);
        pixels.push_back(Uint32(c.r) << 16 | Uint32(c.g) << 8 | c.b);
    }
    return pixels;
}

class Sidebar_Test : public Game_Test {};

} // namespace

TEST_F(Sidebar_Test, PreviewIsCentredInTheNextBoxAndDrawnThere) {
    Sidebar s;
    const Rect& box = s.next_box;
    const int block = app.block_size;
    Piece& next = play_record.next;
    next.shape = 3;
    next.rotation = 0; // a flat bar, dx -1 to 2
    s.place_next_piece();
    EXPECT_EQ(next.x, box.x + (box.w - 4 * block) / 2 + block);
    EXPECT_EQ(next.y, box.y + (box.h - block) / 2);
    next.rotation = 1; // upright, dy -2 to 1
    s.place_next_piece();
    EXPECT_EQ(next.x, box.x + (box.w - block) / 2);
    EXPECT_EQ(next.y, box.y + (box.h - 4 * block) / 2 + 2 * block);

    for (int shape = 0; shape < SHAPE_COUNT; ++shape) {
        for (int rotation = 0; rotation < 4; ++rotation) {
            next.shape = shape;
            next.rotation = rotation;
            s.place_next_piece();
            const Cell_Offset lo = piece_bounds(next, 0);
            const Cell_Offset hi = piece_bounds(next, 1);
            // Twice the distance between the centres of the cells and of the box.
            const int off_x = 2 * int(next.x) + (lo.dx + hi.dx + 1) * block - 2 * box.x - box.w;
            const int off_y = 2 * int(next.y) + (lo.dy + hi.dy + 1) * block - 2 * box.y - box.h;
            EXPECT_LE(std::max(std::abs(off_x), std::abs(off_y)), 1) << shape << "/" << rotation;
        }
    }

    // The square (cells dx 0 to 1, dy -1 to 0) is drawn with its tile where it was placed.
    next = Piece{};
    next.tile = 4;
    next.special_cell = -1;
    s.place_next_piece();
    paint_screen(0, 0, 0);
    s.draw_sidebar();
    const Rect square = {int(next.x), int(next.y) - block, 2 * block, 2 * block};
    const Pixels drawn = pixels_in(square);
    paint_screen(0, 0, 0);
    for (int i = 0; i < 4; ++i)
        draw_tile(4, square.x + i % 2 * block, square.y + i / 2 * block);
    EXPECT_EQ(drawn, pixels_in(square));
}

TEST_F(Sidebar_Test, ShownScoreClimbsByTheStepAndEndsExactlyOnTheScore) {
    Sidebar s;
    auto shown_after = [&s](int frames) {
        for (int i = 0; i < frames; ++i)
            s.draw_sidebar();
        return play_record.shown_score;
    };
    play_record.score = 420;
    play_record.score_step = 4;
    EXPECT_EQ(shown_after(104), 416);
    EXPECT_EQ(shown_after(1), 420) << "105 frames";
    EXPECT_EQ(shown_after(3), 420);

    play_record.score += 30;
    EXPECT_EQ(shown_after(7), 448);
    EXPECT_EQ(shown_after(1), 450) << "32 clamped to 30 on the eighth frame";

    play_record.score = 500;
    play_record.score_step = 0;
    EXPECT_EQ(shown_after(20), 450) << "step 0";
    play_record.score_step = 5;
    play_record.flags |= FLAG_PAUSED;
    EXPECT_EQ(shown_after(20), 450) << "paused";
    play_record.flags &= ~FLAG_PAUSED;
    EXPECT_EQ(shown_after(1), 455);

    play_record.score = INT_MAX; // counted without overflow near the top of the range
    play_record.shown_score = INT_MAX - 47;
    play_record.score_step = 1000;
    EXPECT_EQ(shown_after(1), INT_MAX);
}

TEST_F(Sidebar_Test, NumbersArePaddedAndPrintedInFullWhenWider) {
    Sidebar s;
    const int line = text_height();
    const Rect level = {s.panel.x, s.level_label.y + s.level_label.h, s.panel.w, line};
    const Rect score = {s.panel.x, s.score_label.y + s.score_label.h, s.panel.w, line};
    const Rect& icon = s.flare_icon;
    const Rect flares = {icon.x + icon.w, icon.y + (icon.h - line) / 2,
                         s.panel.x + s.panel.w - icon.x - icon.w, line};
    // Whether the sidebar shows the text in the area as it looks written over the bare panel.
    auto shows = [&](const Rect& area, const char* text) {
        s.draw_sidebar();
        const Pixels drawn = pixels_in(area);
        zgl_draw_bitmap(BMP_SIDEBAR, {s.panel.x, s.panel.y});
        &area == &flares ? write_text(text, area.x, area.y)
                         : write_text_centered(text, s.panel.x, area.y, s.panel.w);
        return drawn == pixels_in(area);
    };
    play_record.level = 7;
    EXPECT_TRUE(shows(level, "007"));
    play_record.level = 1000;
    EXPECT_TRUE(shows(level, "1000"));
    play_record.score = 500;
    play_record.shown_score = 416;
    play_record.score_step = 4;
    EXPECT_TRUE(shows(score, "0000420")) << "the shown score, one step on, not the score";
    play_record.flares = 5;
    EXPECT_TRUE(shows(flares, "05"));
    play_record.flares = 123;
    EXPECT_TRUE(shows(flares, "123"));
}
