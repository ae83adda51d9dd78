// Where the rows stand in either orientation, which template the dialog takes, and how far the
// page scrolls.
#include <gtest/gtest.h>

#include "greeting_manager_resources.h"
#include "row_geometry.h"

namespace {

void ExpectRect(const RECT& rect, int left, int top, int right, int bottom) {
    EXPECT_EQ(left, rect.left);
    EXPECT_EQ(top, rect.top);
    EXPECT_EQ(right, rect.right);
    EXPECT_EQ(bottom, rect.bottom);
}

TEST(RowGeometryTest, RowsAreFortyPixelsApartWithEachOrientationsColumns) {
    const RowRects upright = RowRectsFor(RowColumnsFor(IsLandscapeScreen(480, 640)), 2);
    ExpectRect(upright.check, 5, 80, 40, 120);
    ExpectRect(upright.name, 44, 85, 150, 120);
    ExpectRect(upright.greeting, 152, 85, 317, 240);
    ExpectRect(upright.answerTime, 325, 85, 428, 240);
    const RowRects turned = RowRectsFor(RowColumnsFor(IsLandscapeScreen(640, 480)), 0);
    ExpectRect(turned.check, 5, 0, 40, 40);
    ExpectRect(turned.name, 50, 5, 200, 40);
    ExpectRect(turned.greeting, 200, 5, 395, 160);
    ExpectRect(turned.answerTime, 430, 5, 560, 160);

    // A square screen: upright columns, turned template.
    EXPECT_FALSE(IsLandscapeScreen(480, 480));
    EXPECT_EQ(static_cast<UINT>(IDD_QUELLBROOKS_LANDSCAPE), MainTemplateFor(480, 480));
    EXPECT_EQ(static_cast<UINT>(IDD_QUELLBROOKS_PORTRAIT), MainTemplateFor(480, 640));
    EXPECT_EQ(static_cast<UINT>(IDD_QUELLBROOKS_LANDSCAPE), MainTemplateFor(640, 480));
}

TEST(RowGeometryTest, ScrollStepsFollowThePageAndStopAtTheRowsEnds) {
    // Steps from a page 100 pixels higher than the view: line steps of 5, page steps of 10; the
    // rows end 100 pixels below the view.
    const int page = 473;
    const int view = 373;
    const int rows = 473;
    struct Case {
        int code, thumb, pos;
        bool moves;
        int step;
    } cases[] = {
        {SB_LINEDOWN, 0, 0, true, 5},          {SB_PAGEDOWN, 0, 0, true, 10},
        {SB_PAGEDOWN, 0, 95, true, 5},         {SB_LINEDOWN, 0, 100, false, 0},
        {SB_LINEUP, 0, 0, false, 0},           {SB_LINEUP, 0, 3, true, -3},
        {SB_PAGEUP, 0, 50, true, -10},         {SB_THUMBTRACK, 70, 20, true, 50},
        {SB_THUMBPOSITION, 400, 0, true, 100},  // the thumb stops at the rows' end
        {SB_THUMBPOSITION, -5, 10, true, -10}, {SB_TOP, 0, 50, false, 0},
        {SB_ENDSCROLL, 0, 50, false, 0},
    };
    for (const Case& each : cases) {
        int step = 0;
        EXPECT_EQ(each.moves,
                  PageScrollStep(each.code, each.thumb, each.pos, page, view, rows, &step) != 0)
            << each.code << " at " << each.pos;
        if (each.moves) {
            EXPECT_EQ(each.step, step) << each.code << " at " << each.pos;
        }
    }
    // The phone's full-screen page (536 pixels): 8 and 16 whatever the rows; a tiny page still
    // moves by 5.
    int step = 0;
    ASSERT_TRUE(PageScrollStep(SB_LINEDOWN, 0, 0, 536, VIEWPORT_PORTRAIT, 1200, &step));
    EXPECT_EQ(8, step);
    ASSERT_TRUE(PageScrollStep(SB_PAGEDOWN, 0, 0, 536, VIEWPORT_PORTRAIT, 1200, &step));
    EXPECT_EQ(16, step);
    ASSERT_TRUE(PageScrollStep(SB_PAGEDOWN, 0, 0, 393, VIEWPORT_PORTRAIT, 1200, &step));
    EXPECT_EQ(5, step);
}

TEST(RowGeometryTest, EveryRowCanBeScrolledWhollyIntoViewInEitherOrientation) {
    for (int view : {VIEWPORT_PORTRAIT, VIEWPORT_LANDSCAPE}) {
        for (int rows : {1, 9, 15, 30, MAX_ROWS}) {
            const int rowsHeight = ROW_HEIGHT * rows;
            // Page-down until the page stops: the last row's bottom is then the view's bottom
            // (or the rows fit and nothing moves).
            int pos = 0;
            int step = 0;
            while (PageScrollStep(SB_PAGEDOWN, 0, pos, 536, view, rowsHeight, &step)) {
                pos += step;
            }
            const int end = rowsHeight > view ? rowsHeight - view : 0;
            EXPECT_EQ(end, pos) << rows << " rows in " << view;
            // The scroll bar's thumb, at the end of the range with a page of `view`, is there too.
            const int thumbEnd = PageScrollMax(rows) - view + 1;
            ASSERT_TRUE(
                PageScrollStep(SB_THUMBPOSITION, thumbEnd, 0, 536, view, rowsHeight, &step));
            EXPECT_EQ(end, step) << rows << " rows in " << view;
        }
    }
    // No rows: a range that holds nothing to scroll, and no command moves the page down.
    EXPECT_LT(PageScrollMax(0), 0);
    int step = 0;
    EXPECT_FALSE(PageScrollStep(SB_PAGEDOWN, 0, 0, 536, VIEWPORT_PORTRAIT, 0, &step));
}

}  // namespace
