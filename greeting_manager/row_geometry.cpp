#include "row_geometry.h"

#include "greeting_manager_resources.h"

namespace {

const RowColumns kLandscapeColumns = {50, 200, 200, 395, 430, 560};
const RowColumns kPortraitColumns = {44, 150, 152, 317, 325, 428};
const int kMinimumStep = 5;

int Min(int a, int b) {
    return a < b ? a : b;
}

int Max(int a, int b) {
    return a > b ? a : b;
}

}  // namespace

BOOL IsLandscapeScreen(int width, int height) {
    return width > height;
}

RowColumns RowColumnsFor(BOOL landscape) {
    return landscape ? kLandscapeColumns : kPortraitColumns;
}

RowRects RowRectsFor(const RowColumns& columns, int row) {
    const int top = ROW_HEIGHT * row;
    RowRects rects;
    SetRect(&rects.check, ROW_CHECK_LEFT, top, ROW_CHECK_RIGHT, top + ROW_HEIGHT);
    SetRect(&rects.name, columns.nameLeft, top + ROW_FIELD_TOP, columns.nameRight,
            top + ROW_HEIGHT);
    SetRect(&rects.greeting, columns.greetingLeft, top + ROW_FIELD_TOP, columns.greetingRight,
            top + ROW_DROP_DOWN_BOTTOM);
    SetRect(&rects.answerTime, columns.answerLeft, top + ROW_FIELD_TOP, columns.answerRight,
            top + ROW_DROP_DOWN_BOTTOM);
    return rects;
}

UINT MainTemplateFor(int width, int height) {
    return height <= width ? IDD_QUELLBROOKS_LANDSCAPE : IDD_QUELLBROOKS_PORTRAIT;
}

BOOL PageScrollStep(int code, int thumb, int scrollPos, int pageHeight, int viewportHeight,
                    int rowsHeight, int* step) {
    const int stepBase = pageHeight - viewportHeight;
    const int lineStep = Max(stepBase / 20, kMinimumStep);
    const int pageStep = Max(stepBase / 10, kMinimumStep);
    const int limit = Max(rowsHeight - viewportHeight, 0);
    switch (code) {
        case SB_LINEUP:
        case SB_PAGEUP:
            if (scrollPos <= 0) {
                return FALSE;
            }
            *step = -Min(code == SB_LINEUP ? lineStep : pageStep, scrollPos);
            return TRUE;
        case SB_LINEDOWN:
        case SB_PAGEDOWN:
            if (scrollPos >= limit) {
                return FALSE;
            }
            *step = Min(code == SB_LINEDOWN ? lineStep : pageStep, limit - scrollPos);
            return TRUE;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK:
            *step = Min(Max(thumb, 0), limit) - scrollPos;
            return TRUE;
        default:
            return FALSE;
    }
}

int PageScrollMax(int rows) {
    return ROW_HEIGHT * rows - 1;
}
