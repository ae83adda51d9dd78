// Where the greeting manager puts its rows, in the page's pixels, and how far the page scrolls.
#pragma once

#include <windows.h>

#define MAX_ROWS 300

// Rows are 40 pixels apart; the combo boxes' rectangles include their 155-pixel drop-down list.
#define ROW_HEIGHT 40
#define ROW_CHECK_LEFT 5
#define ROW_CHECK_RIGHT 40
#define ROW_FIELD_TOP 5
#define ROW_DROP_DOWN_BOTTOM 160

// The visible height of the rows page in each layout.
#define VIEWPORT_PORTRAIT 373
#define VIEWPORT_LANDSCAPE 240

// The horizontal extent of the three columns after the check box.
struct RowColumns {
    int nameLeft, nameRight;
    int greetingLeft, greetingRight;
    int answerLeft, answerRight;
};

// The landscape set on a screen wider than high; the portrait set otherwise (also square).
BOOL IsLandscapeScreen(int width, int height);
RowColumns RowColumnsFor(BOOL landscape);

struct RowRects {
    RECT check, name, greeting, answerTime;
};
RowRects RowRectsFor(const RowColumns& columns, int row);

// The main dialog's template for the screen: the turned one when the screen is not higher than
// wide.
UINT MainTemplateFor(int width, int height);

// The step of a vertical scroll command on the page (SB_ code, thumb position), or FALSE when the
// command does not move it. The line and page steps are a twentieth and a tenth of
// pageHeight - viewportHeight, at least 5 pixels. Every command stops at 0 and at the end of the
// rows (rowsHeight - viewportHeight, 0 when the rows fit), so that the last row can be scrolled
// wholly into view and no further; a thumb command moves to the thumb within those bounds.
BOOL PageScrollStep(int code, int thumb, int scrollPos, int pageHeight, int viewportHeight,
                    int rowsHeight, int* step);

// The largest value of the page's vertical scroll range for this many rows: the range covers
// the rows' height, so that the thumb's end shows the last row wholly; below 0 (nothing to
// scroll) without rows.
int PageScrollMax(int rows);
