// The sound recorder's three owner-drawn buttons: a push-button frame with a glyph from one of two
// image lists, the normal one or, for a disabled button, the greyed one. The glyph strips are
// bitmaps 3030 (colour) and 3031 (greyed) with the common mask 3032.
#include <windows.h>
#include <commctrl.h>

#include "applet/applet.h"
#include "marrowfen_resources.h"
#include "media/sounds.h"

namespace {

const int kGlyphWidth = 48;
const int kGlyphHeight = 32;
const int kGlyphCount = 5;
// The glyph sits this far into the button.
const int kGlyphLeft = 0;
const int kGlyphTop = 2;
// A pressed button's glyph is blended with the selection colour.
const UINT kPressedStyle = ILD_TRANSPARENT | ILD_BLEND50;

HIMAGELIST normalImages = NULL;
HIMAGELIST disabledImages = NULL;

void DrawGlyph(HIMAGELIST images, int image, const DRAWITEMSTRUCT* item, UINT style) {
    if (images != NULL) {
        ImageList_Draw(images, image, item->hDC, item->rcItem.left + kGlyphLeft,
                       item->rcItem.top + kGlyphTop, style);
    }
}

void DrawFrame(const DRAWITEMSTRUCT* item, UINT state) {
    RECT frame = item->rcItem;
    DrawFrameControl(item->hDC, &frame, DFC_BUTTON, DFCS_BUTTONPUSH | state);
}

}  // namespace

void CreateRecorderImageLists() {
    DestroyRecorderImageLists();
    normalImages =
        ImageList_Create(kGlyphWidth, kGlyphHeight, ILC_COLOR | ILC_MASK, kGlyphCount, 0);
    disabledImages =
        ImageList_Create(kGlyphWidth, kGlyphHeight, ILC_COLOR | ILC_MASK, kGlyphCount, 0);
    HBITMAP glyphs = LoadBitmapW(g_instance, MAKEINTRESOURCEW(IDB_RECORDER_GLYPHS));
    HBITMAP greyed = LoadBitmapW(g_instance, MAKEINTRESOURCEW(IDB_RECORDER_GLYPHS_GREYED));
    HBITMAP mask = LoadBitmapW(g_instance, MAKEINTRESOURCEW(IDB_RECORDER_GLYPHS_MASK));
    if (normalImages != NULL && glyphs != NULL) {
        ImageList_Add(normalImages, glyphs, mask);
    }
    if (disabledImages != NULL && greyed != NULL) {
        ImageList_Add(disabledImages, greyed, mask);
    }
    // The lists keep copies of the images.
    if (glyphs != NULL) {
        DeleteObject(reinterpret_cast<HGDIOBJ>(glyphs));
    }
    if (greyed != NULL) {
        DeleteObject(reinterpret_cast<HGDIOBJ>(greyed));
    }
    if (mask != NULL) {
        DeleteObject(reinterpret_cast<HGDIOBJ>(mask));
    }
}

void DestroyRecorderImageLists() {
    if (normalImages != NULL) {
        ImageList_Destroy(normalImages);
        normalImages = NULL;
    }
    if (disabledImages != NULL) {
        ImageList_Destroy(disabledImages);
        disabledImages = NULL;
    }
}

void DrawRecorderButton(const DRAWITEMSTRUCT* item, int image) {
    if ((item->itemAction & ODA_DRAWENTIRE) != 0) {
        DrawFrame(item, 0);
        BOOL disabled = (item->itemState & ODS_DISABLED) != 0;
        DrawGlyph(disabled ? disabledImages : normalImages, image, item, ILD_TRANSPARENT);
    }
    if ((item->itemAction & ODA_SELECT) != 0 && (item->itemState & ODS_FOCUS) != 0) {
        if ((item->itemState & ODS_SELECTED) != 0) {
            DrawFrame(item, DFCS_PUSHED);
            DrawGlyph(normalImages, image, item, kPressedStyle);
        } else {
            DrawFrame(item, 0);
            DrawGlyph(normalImages, image, item, ILD_TRANSPARENT);
        }
    }
}
