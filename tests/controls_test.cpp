// The menu controls: the strict hit test, the focus frame, bitmap buttons and check boxes.
#include "game_test.h"

#include "media/bitmaps.h"
#include "ui/controls.h"
#include "ui/texts.h"

namespace {

const SDL_Color RED = {255, 0, 0, 0};
const SDL_Color GREY = {40, 40, 40, 0};

using Control_Test = Game_Test;

// Whether any pixel of the screen rectangle differs from black.
bool has_ink(int left, int top, int width, int height) {
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            if (!same_colour(colour_at(nullptr, x, y), {0, 0, 0, 0})) return true;
    return false;
}

// ---- The hit test ---------------------------------------------------------------------------

TEST_F(Control_Test, AHitMustLieStrictlyInsideTheRectangle) {
    UI_Control control;
    control.x = 10;
    control.y = 10;
    control.width = 20;
    control.height = 20;
    // Across, at the middle height.
    EXPECT_FALSE(control.click(10, 20));
    EXPECT_TRUE(control.click(11, 20));
    EXPECT_TRUE(control.click(29, 20));
    EXPECT_FALSE(control.click(30, 20));
    // Down, at the middle width.
    EXPECT_FALSE(control.click(20, 10));
    EXPECT_TRUE(control.click(20, 11));
    EXPECT_TRUE(control.click(20, 29));
    EXPECT_FALSE(control.click(20, 30));
    // The test the screens use for the mouse pointer is the same.
    EXPECT_FALSE(control.holds(10, 20));
    EXPECT_TRUE(control.holds(11, 11));
    EXPECT_TRUE(control.holds(29, 29));
    EXPECT_FALSE(control.holds(20, 30));
}

TEST_F(Control_Test, AControlWithoutWidthOrHeightIsNeverHit) {
    UI_Control flat;
    flat.x = 10;
    flat.y = 10;
    flat.width = 0;
    flat.height = 20;
    UI_Control thin;
    thin.x = 10;
    thin.y = 10;
    thin.width = 20;
    thin.height = 0;
    for (int p = 0; p < 40; ++p) {
        for (int q = 0; q < 40; ++q) {
            EXPECT_FALSE(flat.click(p, q)) << p << ", " << q;
            EXPECT_FALSE(thin.click(p, q)) << p << ", " << q;
        }
    }
}

// ---- Bitmap buttons -------------------------------------------------------------------------

TEST_F(Control_Test, AButtonTakesTheSizeOfItsPicture) {
    UI_Bmp_Button button;
    button.set_bitmap(BMP_BUTTON_OK);
    const Size size = zgl_bitmap_size(BMP_BUTTON_OK);
    ASSERT_GT(size.w, 0);
    EXPECT_EQ(button.width, size.w);
    EXPECT_EQ(button.height, size.h);
}

TEST_F(Control_Test, SettingTheSamePictureAgainKeepsIt) {
    UI_Bmp_Button button;
    button.set_bitmap(BMP_BUTTON_OK);
    SDL_Surface* const first = zgl_get_bitmap(BMP_BUTTON_OK);
    button.set_bitmap(BMP_BUTTON_OK);
    // A released picture would have been read again into a new surface.
    EXPECT_EQ(zgl_get_bitmap(BMP_BUTTON_OK), first);
}

TEST_F(Control_Test, AButtonGivesBackTheOldPictureAndItsLastOneWhenDestroyed) {
    {
        UI_Bmp_Button button;
        button.set_bitmap(BMP_BUTTON_OK);
        button.set_bitmap(BMP_BUTTON_CANCEL);
        EXPECT_EQ(zgl_bitmap_size(BMP_BUTTON_OK).w, 0) << "the old picture is given back";
        EXPECT_GT(zgl_bitmap_size(BMP_BUTTON_CANCEL).w, 0);
    }
    EXPECT_EQ(zgl_bitmap_size(BMP_BUTTON_CANCEL).w, 0);
}

TEST_F(Control_Test, AHighlightedButtonShowsARedFrameTwoPixelsWide) {
    UI_Bmp_Button button;
    button.set_bitmap(BMP_BUTTON_OK);
    button.x = 100;
    button.y = 100;
    const int right = button.x + button.width;
    const int bottom = button.y + button.height;

    paint_screen(GREY.r, GREY.g, GREY.b);
    button.draw();
    EXPECT_TRUE(same_colour(colour_at(nullptr, 98, 98), GREY)) << "no frame without the focus";
    EXPECT_TRUE(same_colour(colour_at(nullptr, right + 1, bottom + 1), GREY));

    button.highlighted = true;
    button.draw();
    for (const int d : {1, 2}) {
        EXPECT_TRUE(same_colour(colour_at(nullptr, 100 - d, 100 - d), RED)) << d;
        EXPECT_TRUE(same_colour(colour_at(nullptr, right - 1 + d, bottom - 1 + d), RED)) << d;
        EXPECT_TRUE(same_colour(colour_at(nullptr, 100 + button.width / 2, 100 - d), RED)) << d;
        EXPECT_TRUE(same_colour(colour_at(nullptr, 100 - d, 100 + button.height / 2), RED)) << d;
    }
    EXPECT_TRUE(same_colour(colour_at(nullptr, 97, 97), GREY));
    EXPECT_TRUE(same_colour(colour_at(nullptr, right + 2, bottom + 2), GREY));
    // The picture covers the frame's inside.
    SDL_Surface* picture = zgl_get_bitmap(BMP_BUTTON_OK);
    const int cx = button.width / 2;
    const int cy = button.height / 2;
    EXPECT_TRUE(same_colour(colour_at(nullptr, 100 + cx, 100 + cy), colour_at(picture, cx, cy)));
}

// ---- Check boxes ----------------------------------------------------------------------------

class Checkbox_Test : public Game_Test {
  protected:
    void SetUp() override {
        Game_Test::SetUp();
        box_width = zgl_get_bitmap(BMP_CHECKBOX0)->w;
        half_letter = letter_width() / 2;
    }
    // The width that wraps `text` on exactly one line in the column the clickable height uses.
    int width_for_one_line(Text_Id label) const {
        return text_width(get_text(label)) + box_width - half_letter;
    }
    int box_width = 0;
    int half_letter = 0;
};

TEST_F(Checkbox_Test, TwoClicksReturnTheBoxToItsFirstState) {
    UI_Bmp_Checkbox box;
    box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, TXT_OPT_SPECIAL_BLOCKS, 300);
    box.x = 10;
    box.y = 10;
    ASSERT_EQ(box.checked, 0);
    EXPECT_TRUE(box.click(12, 12));
    EXPECT_EQ(box.checked, 1);
    EXPECT_TRUE(box.click(12, 12));
    EXPECT_EQ(box.checked, 0);
    EXPECT_FALSE(box.click(10, 12)) << "a miss leaves the box alone";
    EXPECT_EQ(box.checked, 0);
}

TEST_F(Checkbox_Test, TheClickableHeightWrapsTheLabelPastTheBoxPlusHalfALetter) {
    UI_Bmp_Checkbox box;
    const int one_line = width_for_one_line(TXT_OPT_UNCONTROLLED_DROP);
    box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, TXT_OPT_UNCONTROLLED_DROP, one_line);
    EXPECT_EQ(box.box_width, box_width);
    EXPECT_EQ(box.height, text_height());
    box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, TXT_OPT_UNCONTROLLED_DROP, one_line - 1);
    EXPECT_EQ(box.height, 2 * text_height());
}

TEST_F(Checkbox_Test, WithoutALabelTheHeightIsTheBoxs) {
    UI_Bmp_Checkbox box;
    box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, 0, 200);
    EXPECT_EQ(box.width, 200);
    EXPECT_EQ(box.height, zgl_bitmap_size(BMP_CHECKBOX0).h);
}

// draw treats the width as the right edge of the label column, measured from the screen's left.
TEST_F(Checkbox_Test, TheDrawnLabelEndsAtTheWidthMeasuredFromTheLeftOfTheScreen) {
    const Text_Id label = TXT_OPT_RANDOM_COLORS;
    const int x = 16;
    const int y = 40;
    const int label_x = x + box_width + half_letter;
    const int label_width = text_width(get_text(label));
    const int line = text_height();

    UI_Bmp_Checkbox box;
    box.x = x;
    box.y = y;
    box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, label, label_x + label_width);
    paint_screen(0, 0, 0);
    box.draw();
    EXPECT_TRUE(has_ink(label_x, y, SCREEN_WIDTH - label_x, line));
    EXPECT_FALSE(has_ink(label_x, y + line, SCREEN_WIDTH - label_x, line)) << "one line";

    box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, label, label_x + label_width - 1);
    EXPECT_EQ(box.height, line) << "the clickable height still wraps in the wider column";
    paint_screen(0, 0, 0);
    box.draw();
    EXPECT_TRUE(has_ink(label_x, y + line, SCREEN_WIDTH - label_x, line)) << "the last word wraps";
}

TEST_F(Checkbox_Test, TheBoxShowsThePictureOfItsState) {
    UI_Bmp_Checkbox box;
    box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, TXT_OPT_SPECIAL_BLOCKS, 300);
    box.x = 20;
    box.y = 30;
    for (const int checked : {0, 1}) {
        box.checked = checked;
        paint_screen(GREY.r, GREY.g, GREY.b);
        box.draw();
        SDL_Surface* picture = zgl_get_bitmap(checked ? BMP_CHECKBOX1 : BMP_CHECKBOX0);
        for (int py = 0; py < picture->h; ++py)
            for (int px = 0; px < picture->w; ++px)
                ASSERT_TRUE(
                    same_colour(colour_at(nullptr, 20 + px, 30 + py), colour_at(picture, px, py)))
                    << "checked " << checked << " at " << px << ", " << py;
    }
}

TEST_F(Checkbox_Test, AHighlightedBoxIsFramedAroundTheBoxOnly) {
    UI_Bmp_Checkbox box;
    box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, TXT_OPT_UNCONTROLLED_DROP, 250);
    ASSERT_GT(box.height, box_width) << "the label wraps over more lines than the box is high";
    box.x = 20;
    box.y = 30;
    box.highlighted = true;
    paint_screen(GREY.r, GREY.g, GREY.b);
    box.draw();
    EXPECT_TRUE(same_colour(colour_at(nullptr, 18, 28), RED));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 20 + box_width + 1, 30 + box_width + 1), RED));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 18, 30 + box_width + 1), RED));
    // Not below the square, though the control is higher, and not along the label.
    EXPECT_TRUE(same_colour(colour_at(nullptr, 18, 30 + box_width + 2), GREY));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 19, 30 + box.height), GREY));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 20 + box_width + 2, 28), GREY));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 250, 28), GREY));
}

TEST_F(Checkbox_Test, ABoxWithoutALabelDrawsOnlyItsFrame) {
    UI_Bmp_Checkbox box;
    box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, 0, 200);
    box.x = 20;
    box.y = 30;
    paint_screen(0, 0, 0);
    box.draw();
    EXPECT_FALSE(has_ink(0, 0, SCREEN_WIDTH, 80));
    box.highlighted = true;
    box.draw();
    EXPECT_TRUE(same_colour(colour_at(nullptr, 19, 29), RED));
    EXPECT_TRUE(same_colour(colour_at(nullptr, 20 + box_width / 2, 30 + box_width / 2), RED))
        << "the frame's inside shows no box";
}

TEST_F(Checkbox_Test, ABoxGivesBackItsPicturesAndLabel) {
    {
        UI_Bmp_Checkbox box;
        box.setup(BMP_CHECKBOX0, BMP_CHECKBOX1, TXT_OPT_SPECIAL_BLOCKS, 300);
        box.setup(BMP_BUTTON_OK, BMP_BUTTON_CANCEL, TXT_OPT_RANDOM_COLORS, 300);
        EXPECT_EQ(zgl_bitmap_size(BMP_CHECKBOX0).w, 0);
        EXPECT_EQ(zgl_bitmap_size(BMP_CHECKBOX1).w, 0);
        EXPECT_STREQ(text_of(TXT_OPT_SPECIAL_BLOCKS), "");
        EXPECT_STREQ(text_of(TXT_OPT_RANDOM_COLORS), "Use random colors for shapes");
    }
    EXPECT_EQ(zgl_bitmap_size(BMP_BUTTON_OK).w, 0);
    EXPECT_EQ(zgl_bitmap_size(BMP_BUTTON_CANCEL).w, 0);
    EXPECT_STREQ(text_of(TXT_OPT_RANDOM_COLORS), "");
}

// ---- Focus among controls -------------------------------------------------------------------

TEST_F(Control_Test, TheFocusWrapsAroundAndCarriesTheOnlyHighlight) {
    UI_Control controls[3];
    Focus_Ring focus({&controls[0], &controls[1], &controls[2]});
    focus.move_to(0);
    focus.step(-1);
    EXPECT_EQ(focus.focus(), 2);
    focus.step(+1);
    EXPECT_EQ(focus.focus(), 0);
    focus.step(+1);
    EXPECT_EQ(focus.focus(), 1);
    EXPECT_FALSE(controls[0].highlighted);
    EXPECT_TRUE(controls[1].highlighted);
    EXPECT_FALSE(controls[2].highlighted);
}

} // namespace
