// The menu controls: the strict hit test, bitmap buttons, check boxes and the red focus frame.
#include "game_test.h"

#include "media/bitmaps.h"
#include "ui/controls.h"
#include "ui/texts.h"

namespace {

const SDL_Color RED = {255, 0, 0, 0};
const SDL_Color GREY = {40, 40, 40, 0};

using Control_Test = Game_Test;

bool shows(int x, int y, SDL_Color colour) {
    return same_colour(colour_at(nullptr, x, y), colour);
}

// Whether any pixel of the band of rows from `top`, right of `left`, differs from black.
bool has_ink(int left, int top, int height) {
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < SCREEN_WIDTH; ++x)
            if (!shows(x, y, {0, 0, 0, 0})) return true;
    return false;
}

TEST_F(Control_Test, AHitMustLieStrictlyInsideTheRectangle) {
    UI_Control control;
    control.x = control.y = 10;
    control.width = control.height = 20;
    for (const int p : {10, 11, 29, 30}) {
        EXPECT_EQ(control.click(p, 20), p == 11 || p == 29) << "x " << p;
        EXPECT_EQ(control.holds(20, p), p == 11 || p == 29) << "y " << p;
    }
    control.width = 0;
    for (int p = 0; p < 40; ++p)
        for (int q = 0; q < 40; ++q)
            ASSERT_FALSE(control.click(p, q)) << p << ", " << q;
}

TEST_F(Control_Test, AButtonKeepsTheSamePictureAndShowsARedFrameTwoPixelsWide) {
    UI_Bmp_Button button;
    button.set_bitmap(BMP_BUTTON_OK);
    zgl_set_bitmap_alpha(BMP_BUTTON_OK, 100); // a mark that a picture read anew would not have
    button.set_bitmap(BMP_BUTTON_OK);
    SDL_Surface* const picture = zgl_get_bitmap(BMP_BUTTON_OK);
    EXPECT_EQ(picture->format->alpha, 100) << "a released picture is read anew";
    zgl_set_bitmap_alpha(BMP_BUTTON_OK, 255);
    button.x = button.y = 100;
    const int right = 99 + picture->w, bottom = 99 + picture->h;
    for (const bool on : {false, true}) {
        button.highlighted = on;
        paint_screen(GREY.r, GREY.g, GREY.b);
        button.draw();
        for (const int d : {1, 2})
            EXPECT_EQ(shows(100 - d, 100 - d, RED) && shows(right + d, bottom + d, RED), on);
        EXPECT_TRUE(shows(97, 97, GREY) && shows(right + 3, bottom + 3, GREY));
    }
    EXPECT_TRUE(shows(110, 110, colour_at(picture, 10, 10))) << "the picture over the frame";
}

TEST_F(Control_Test, ACheckBoxFlipsPerClickAndIsFramedAroundTheBoxOnly) {
    UI_Bmp_Checkbox box;
    box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, TXT_OPT_UNCONTROLLED_DROP, 250);
    box.x = 20;
    box.y = 30;
    for (const int expected : {1, 0}) {
        EXPECT_TRUE(box.click(22, 32));
        EXPECT_EQ(box.checked, expected) << "two clicks return the box to its first state";
    }
    const int side = box.box_width;
    ASSERT_GT(box.height, side + 2) << "the wrapped label is higher than the box";
    box.highlighted = true;
    paint_screen(GREY.r, GREY.g, GREY.b);
    box.draw();
    EXPECT_TRUE(shows(18, 28, RED) && shows(21 + side, 31 + side, RED));
    EXPECT_TRUE(shows(18, 32 + side, GREY)) << "not below the square";
    EXPECT_TRUE(shows(22 + side, 28, GREY) && shows(240, 28, GREY)) << "not along the label";
}

// The clickable height wraps the label in (width - box) + half a letter; draw wraps it in the
// column from the label's left to `width` counted from the left of the screen.
TEST_F(Control_Test, ACheckBoxWrapsItsLabelInTwoDifferentWidths) {
    const int box_width = zgl_get_bitmap(BMP_CHECKBOX0)->w, half = letter_width() / 2;
    const int label = text_width(get_text(TXT_OPT_RANDOM_COLORS)), line = text_height();
    const int label_x = 16 + box_width + half;
    UI_Bmp_Checkbox box;
    box.x = 16;
    box.y = 40;
    for (const int short_by : {0, 1}) {
        // The drawn column just holds the label, or is one pixel short; the clickable one is wider.
        box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, TXT_OPT_RANDOM_COLORS, label_x + label - short_by);
        EXPECT_EQ(box.height, line);
        paint_screen(0, 0, 0);
        box.draw();
        EXPECT_TRUE(has_ink(label_x, 40, line));
        EXPECT_EQ(has_ink(label_x, 40 + line, line), short_by == 1) << "the last word wraps";
        // The clickable column just holds the label, or is one pixel short.
        box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, TXT_OPT_RANDOM_COLORS,
                  label + box_width - half - short_by);
        EXPECT_EQ(box.height, (1 + short_by) * line);
    }
}

} // namespace
