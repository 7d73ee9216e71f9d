// The menu controls: the strict hit test, bitmap buttons, check boxes and the red focus frame.
#include "game_test.h"

#include "media/bitmaps.h"
#include "media/texts.h"
#include "ui/controls.h"

namespace {

using Control_Test = Game_Test;

const SDL_Color RED = {255, 0, 0, 0}, BLACK = {0, 0, 0, 0};

// How many pixels of the screen's rectangle (the whole screen by default) show the colour.
int count(SDL_Color colour, int left = 0, int top = 0, int width = 320, int height = 320) {
    int n = 0;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            n += same_colour(colour_at(nullptr, x, y), colour);
    return n;
}

TEST_F(Control_Test, AHitMustLieStrictlyInsideTheRectangle) {
    UI_Control control;
    control.x = control.y = 10;
    control.width = control.height = 20;
    for (const int p : {10, 11, 29, 30})
        EXPECT_EQ(control.click(p, 20) + control.holds(20, p), p == 11 || p == 29 ? 2 : 0) << p;
    control.width = 0;
    for (int p = 0; p < 40; ++p)
        EXPECT_FALSE(control.click(p, 20)) << p;
}

// The frame is two pixels wide around the button, under its picture, and only while it has the
// focus: all the red on the screen lies in the frame's rectangle, and fills it but the picture.
TEST_F(Control_Test, AButtonKeepsItsPictureAndIsFramedAroundWhileItHasTheFocus) {
    UI_Bmp_Button button;
    button.set_bitmap(BMP_BUTTON_OK);
    zgl_set_bitmap_alpha(BMP_BUTTON_OK, 100); // a mark that a picture read anew would not have
    button.set_bitmap(BMP_BUTTON_OK);
    EXPECT_EQ(zgl_get_bitmap(BMP_BUTTON_OK)->format->alpha, 100) << "a picture read anew";
    const int w = button.width, h = button.height, ring = (w + 4) * (h + 4) - w * h;
    button.x = button.y = 100;
    for (const bool on : {false, true}) {
        button.highlighted = on;
        paint_screen(0, 0, 0);
        button.draw();
        EXPECT_EQ(count(RED) + count(RED, 98, 98, w + 4, h + 4), on ? 2 * ring : 0);
    }
}

// Only the square of the box is framed, not the label. The clickable height wraps the label in
// (width - box) + half a letter; draw wraps it in the column from the label's left to `width`
// counted from the left of the screen.
TEST_F(Control_Test, ACheckBoxFlipsPerClickFramesItsBoxAloneAndWrapsItsLabelInTwoWidths) {
    UI_Bmp_Checkbox box;
    box.x = box.y = 30;
    box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, TXT_OPT_UNCONTROLLED_DROP, 250);
    for (const int expected : {1, 0})
        EXPECT_TRUE(box.click(32, 32) && box.checked == expected) << "two clicks undo each other";
    const int side = box.box_width, square = (side + 4) * (side + 4) - side * side;
    ASSERT_GT(box.height, side + 2) << "the wrapped label is higher than the box";
    box.highlighted = true;
    box.draw();
    EXPECT_EQ(count(RED) + count(RED, 28, 28, side + 4, side + 4), 2 * square);
    const int half = letter_width() / 2, line = text_height();
    const int label = text_width(get_text(TXT_OPT_RANDOM_COLORS)), label_x = 30 + side + half;
    const int band = (SCREEN_WIDTH - label_x) * line;
    for (const int cut : {0, 1}) {
        // The clickable column just holds the label, or is `cut` pixels short.
        box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, TXT_OPT_RANDOM_COLORS, label + side - half - cut);
        EXPECT_EQ(box.height, (1 + cut) * line);
        // So does the drawn one: then the last word wraps onto a second line.
        box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, TXT_OPT_RANDOM_COLORS, label_x + label - cut);
        paint_screen(0, 0, 0);
        box.draw();
        EXPECT_LT(count(BLACK, label_x, 30, SCREEN_WIDTH - label_x, line), band);
        EXPECT_EQ(count(BLACK, label_x, 30 + line, SCREEN_WIDTH - label_x, line) < band, cut);
    }
}

} // namespace
