// The sidebar: its layout, the preview of the next piece, the counting score and the numbers.
#include "game_test.h"

#include "app/vextile.h"
#include "media/video.h"
#include "play/play_record.h"
#include "play/sidebar.h"
#include "ui/texts.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {

using Pixels = std::vector<Uint32>;

Pixels pixels_in(const Rect& area) {
    Pixels pixels;
    for (int y = area.y; y < area.y + area.h; ++y) {
        for (int x = area.x; x < area.x + area.w; ++x) {
            const SDL_Color c = colour_at(nullptr, x, y);
            pixels.push_back(Uint32(c.r) << 16 | Uint32(c.g) << 8 | c.b);
        }
    }
    return pixels;
}

class Sidebar_Test : public Game_Test {
  protected:
    void SetUp() override {
        Game_Test::SetUp();
        reset_play_record(&play_record);
        app.sidebar = std::make_unique<Sidebar>();
    }
    void TearDown() override {
        app.sidebar.reset();
        Game_Test::TearDown();
    }

    Sidebar& sidebar() { return *app.sidebar; }

    // Draws the sidebar the given number of times.
    void draw_frames(int frames) {
        for (int i = 0; i < frames; ++i)
            sidebar().draw_sidebar();
    }

    // The line of text under a label, across the panel.
    Rect line_under(const Rect& label) {
        const Rect& panel = sidebar().panel;
        return {panel.x, label.y + label.h, panel.w, text_height()};
    }

    // The area right of the flare icon where the count stands.
    Rect flare_count_area() {
        const Rect& icon = sidebar().flare_icon;
        const Rect& panel = sidebar().panel;
        return {icon.x + icon.w, icon.y + (icon.h - text_height()) / 2,
                panel.x + panel.w - (icon.x + icon.w), text_height()};
    }

    // What the area shows when the panel bitmap is drawn with the text over it.
    Pixels panel_with_text(const Rect& area, const char* text, bool centred) {
        const Rect& panel = sidebar().panel;
        zgl_draw_bitmap(BMP_SIDEBAR, {panel.x, panel.y});
        if (centred) {
            write_text_centered(text, panel.x, area.y, panel.w);
        } else {
            write_text(text, area.x, area.y);
        }
        return pixels_in(area);
    }
};

// Distance between the centre of the next piece's cells and the centre of the next box, in pixels
// along each axis.
void preview_offset(const Sidebar& sidebar, double* off_x, double* off_y) {
    const Piece& next = play_record.next;
    const int block = app.block_size;
    const Cell_Offset lo = piece_bounds(next, 0);
    const Cell_Offset hi = piece_bounds(next, 1);
    const double left = next.x + lo.dx * block;
    const double right = next.x + (hi.dx + 1) * block;
    const double top = next.y + lo.dy * block;
    const double bottom = next.y + (hi.dy + 1) * block;
    const Rect& box = sidebar.next_box;
    *off_x = (left + right) / 2 - (box.x + box.w / 2.0);
    *off_y = (top + bottom) / 2 - (box.y + box.h / 2.0);
}

} // namespace

// --- layout -------------------------------------------------------------------------------------

TEST_F(Sidebar_Test, PanelStandsRightOfTheWellAndItsPartsAreStacked) {
    const Sidebar& s = sidebar();
    EXPECT_EQ(s.panel.x, 14 * app.block_size);
    EXPECT_EQ(s.panel.y, 0);
    EXPECT_EQ(s.panel.w, zgl_bitmap_size(BMP_SIDEBAR).w);
    EXPECT_EQ(s.panel.h, zgl_bitmap_size(BMP_SIDEBAR).h);

    const int gap = static_cast<int>(0.04 * s.panel.h);
    const int line = text_height();
    EXPECT_EQ(s.next_label.y, gap);
    EXPECT_EQ(s.next_box.y, s.next_label.y + s.next_label.h);
    EXPECT_EQ(s.level_label.y, s.next_box.y + s.next_box.h + gap);
    EXPECT_EQ(s.score_label.y, s.level_label.y + s.level_label.h + line + gap);
    EXPECT_EQ(s.flare_icon.y, s.score_label.y + s.score_label.h + line + gap);
    EXPECT_LE(s.flare_icon.y + s.flare_icon.h, s.panel.h);

    for (const Rect* r : {&s.next_label, &s.next_box, &s.level_label, &s.score_label}) {
        EXPECT_GT(r->w, 0);
        EXPECT_LE(std::abs(2 * (r->x - s.panel.x) + r->w - s.panel.w), 1) << "centred";
    }
    const int together = s.flare_icon.w + text_width("x00");
    EXPECT_LE(std::abs(2 * (s.flare_icon.x - s.panel.x) + together - s.panel.w), 1);
}

// --- the preview --------------------------------------------------------------------------------

TEST_F(Sidebar_Test, PreviewBarIsCentredLyingAndStanding) {
    Sidebar& s = sidebar();
    const int block = app.block_size;
    play_record.next.shape = 3;
    play_record.next.rotation = 0; // four cells wide, dx -1 to 2
    s.place_next_piece();
    EXPECT_EQ(play_record.next.x, s.next_box.x + (s.next_box.w - 4 * block) / 2 + block);
    EXPECT_EQ(play_record.next.y, s.next_box.y + (s.next_box.h - block) / 2);

    play_record.next.rotation = 1; // upright, dy -2 to 1
    s.place_next_piece();
    EXPECT_EQ(play_record.next.x, s.next_box.x + (s.next_box.w - block) / 2);
    EXPECT_EQ(play_record.next.y, s.next_box.y + (s.next_box.h - 4 * block) / 2 + 2 * block);
}

TEST_F(Sidebar_Test, EveryShapeAndRotationIsCentredInTheBox) {
    for (int shape = 0; shape < SHAPE_COUNT; ++shape) {
        for (int rotation = 0; rotation < 4; ++rotation) {
            play_record.next.shape = shape;
            play_record.next.rotation = rotation;
            sidebar().place_next_piece();
            double off_x = 0, off_y = 0;
            preview_offset(sidebar(), &off_x, &off_y);
            EXPECT_LE(std::fabs(off_x), 0.5) << shape << "/" << rotation;
            EXPECT_LE(std::fabs(off_y), 0.5) << shape << "/" << rotation;
            EXPECT_EQ(play_record.next.x, std::floor(play_record.next.x)) << "whole pixels";
            EXPECT_EQ(play_record.next.y, std::floor(play_record.next.y)) << "whole pixels";
        }
    }
}

TEST_F(Sidebar_Test, PreviewCentringTruncatesTowardZero) {
    Sidebar& s = sidebar();
    const int block = app.block_size;
    play_record.next.shape = 3;
    play_record.next.rotation = 0;
    s.next_box = {200, 10, 4 * block + 1, block + 3}; // one and three pixels to spare
    s.place_next_piece();
    EXPECT_EQ(play_record.next.x, 200 + 0 + block);
    EXPECT_EQ(play_record.next.y, 10 + 1);

    s.next_box = {200, 10, 4 * block - 3, block - 1}; // three and one pixels short
    s.place_next_piece();
    EXPECT_EQ(play_record.next.x, 200 - 1 + block) << "-3 / 2 is -1, not -2";
    EXPECT_EQ(play_record.next.y, 10 + 0) << "-1 / 2 is 0, not -1";
}

TEST_F(Sidebar_Test, PreviewIsDrawnWhereItWasPlaced) {
    play_record.next.shape = 0; // the square: cells (0,-1) to (1,0)
    play_record.next.tile = 4;
    play_record.next.special_kind = -1;
    play_record.next.special_cell = -1;
    sidebar().place_next_piece();
    paint_screen(0, 0, 0);
    sidebar().draw_sidebar();
    const int block = app.block_size;
    const int x = static_cast<int>(play_record.next.x);
    const int y = static_cast<int>(play_record.next.y) - block;
    const Pixels drawn = pixels_in({x, y, 2 * block, 2 * block});

    paint_screen(0, 0, 0);
    for (int dy = 0; dy < 2; ++dy) {
        for (int dx = 0; dx < 2; ++dx)
            draw_tile(4, x + dx * block, y + dy * block);
    }
    EXPECT_EQ(drawn, pixels_in({x, y, 2 * block, 2 * block}));
}

// --- the counting score -------------------------------------------------------------------------

TEST_F(Sidebar_Test, ShownScoreClimbsByTheStepAndEndsOnTheScore) {
    play_record.score = 420;
    play_record.shown_score = 0;
    play_record.score_step = 4;
    draw_frames(104);
    EXPECT_EQ(play_record.shown_score, 416);
    draw_frames(1);
    EXPECT_EQ(play_record.shown_score, 420) << "105 frames";
    draw_frames(3);
    EXPECT_EQ(play_record.shown_score, 420);
}

TEST_F(Sidebar_Test, LastStepIsClampedToTheScore) {
    play_record.score = 130;
    play_record.shown_score = 100;
    play_record.score_step = 4;
    draw_frames(7);
    EXPECT_EQ(play_record.shown_score, 128);
    draw_frames(1);
    EXPECT_EQ(play_record.shown_score, 130) << "32 clamped to 30 on the eighth frame";
}

TEST_F(Sidebar_Test, ShownScoreStandsStillWithoutStepOrWhilePaused) {
    play_record.score = 50;
    play_record.shown_score = 10;
    play_record.score_step = 0;
    draw_frames(20);
    EXPECT_EQ(play_record.shown_score, 10);

    play_record.score_step = 5;
    play_record.flags |= FLAG_PAUSED;
    draw_frames(20);
    EXPECT_EQ(play_record.shown_score, 10);

    play_record.flags &= ~FLAG_PAUSED;
    draw_frames(1);
    EXPECT_EQ(play_record.shown_score, 15);
}

TEST_F(Sidebar_Test, AScoreNearTheTopOfTheRangeDoesNotOverflow) {
    play_record.score = 2147483647;
    play_record.shown_score = 2147483600;
    play_record.score_step = 1000;
    draw_frames(1);
    EXPECT_EQ(play_record.shown_score, 2147483647);
}

// --- the numbers --------------------------------------------------------------------------------

TEST_F(Sidebar_Test, LevelIsPaddedToThreeDigitsAndPrintedInFullWhenWider) {
    const Rect area = line_under(sidebar().level_label);
    const struct {
        int level;
        const char* shown;
    } cases[] = {{7, "007"}, {42, "042"}, {1000, "1000"}};
    for (const auto& c : cases) {
        play_record.level = c.level;
        sidebar().draw_sidebar();
        const Pixels drawn = pixels_in(area);
        EXPECT_EQ(drawn, panel_with_text(area, c.shown, true)) << c.level;
    }
    play_record.level = 7;
    sidebar().draw_sidebar();
    const Pixels drawn = pixels_in(area);
    EXPECT_NE(drawn, panel_with_text(area, "7", true));
}

TEST_F(Sidebar_Test, ScoreIsPaddedToSevenDigits) {
    const Rect area = line_under(sidebar().score_label);
    play_record.score = 420;
    play_record.shown_score = 420;
    sidebar().draw_sidebar();
    Pixels drawn = pixels_in(area);
    EXPECT_EQ(drawn, panel_with_text(area, "0000420", true));
    EXPECT_NE(drawn, panel_with_text(area, "420", true));

    play_record.score = 123456789;
    play_record.shown_score = 123456789;
    sidebar().draw_sidebar();
    drawn = pixels_in(area);
    EXPECT_EQ(drawn, panel_with_text(area, "123456789", true));
}

TEST_F(Sidebar_Test, ScoreLineShowsTheShownScoreNotTheScore) {
    const Rect area = line_under(sidebar().score_label);
    play_record.score = 420;
    play_record.shown_score = 0;
    play_record.score_step = 4;
    sidebar().draw_sidebar();
    const Pixels drawn = pixels_in(area);
    EXPECT_EQ(drawn, panel_with_text(area, "0000004", true));
    EXPECT_NE(drawn, panel_with_text(area, "0000420", true));
}

TEST_F(Sidebar_Test, FlaresArePaddedToTwoDigitsBesideTheIcon) {
    const Rect area = flare_count_area();
    const struct {
        int flares;
        const char* shown;
    } cases[] = {{5, "05"}, {0, "00"}, {123, "123"}};
    for (const auto& c : cases) {
        play_record.flares = c.flares;
        sidebar().draw_sidebar();
        EXPECT_STREQ(sidebar().text, c.shown) << "the flares are written last";
        const Pixels drawn = pixels_in(area);
        EXPECT_EQ(drawn, panel_with_text(area, c.shown, false)) << c.flares;
    }
}
