// The drawing layer in small cases, checked by their pixels: clipping, object selection and
// ownership, raster operations, DIB sections, image-list masks and blending, text layout, and
// the objects a dialog leaves (none).
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "gwes/gdi/gdi_leaks.h"
#include "testing/gwes_fixture.h"

namespace tovarin::gwes::testing {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// A memory device context over a new bitmap of the size, filled with one colour.
class Canvas {
  public:
    Canvas(int width, int height, COLORREF color = kWhite)
        : dc_(CreateCompatibleDC(nullptr)),
          bitmap_(CreateCompatibleBitmap(nullptr, width, height)) {
        old_ = SelectObject(dc_, bitmap_);
        Fill(RECT{0, 0, width, height}, color);
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    void Fill(const RECT& rect, COLORREF color) {
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc_, &rect, brush);
        DeleteObject(brush);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

  private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

class GdiTest : public WindowTest {
  protected:
    GdiTest() : objects_before_(LiveGdiObjects(GetCurrentProcessId())) {}
    ~GdiTest() override { EXPECT_EQ(objects_before_, LiveGdiObjects(GetCurrentProcessId())); }

  private:
    int objects_before_;
};

TEST_F(GdiTest, ASelectedObjectIsNotFreedUntilItIsDeselected) {
    Canvas canvas(4, 4);
    HBRUSH brush = CreateSolidBrush(kRed);
    HGDIOBJ old = SelectObject(canvas.dc(), brush);
    ASSERT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(old));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(brush));
    EXPECT_TRUE(PatBlt(canvas.dc(), 0, 0, 2, 2, PATCOPY));  // still draws with it
    EXPECT_EQ(kRed, canvas.At(1, 1));
    EXPECT_EQ(brush, SelectObject(canvas.dc(), old));
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_EQ(0u, GetObjectType(brush));
    // Stock objects survive deletion; a bitmap goes into one memory device context at a time.
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(static_cast<DWORD>(OBJ_BRUSH), GetObjectType(GetStockObject(BLACK_BRUSH)));
    HDC other = CreateCompatibleDC(nullptr);
    EXPECT_EQ(nullptr, SelectObject(other, canvas.bitmap()));
    EXPECT_TRUE(DeleteDC(other));
}

TEST_F(GdiTest, DrawingStaysInsideTheClipThatSaveAndRestoreKeep) {
    Canvas canvas(10, 10);
    const int saved = SaveDC(canvas.dc());
    EXPECT_EQ(SIMPLEREGION, IntersectClipRect(canvas.dc(), 2, 2, 8, 8));
    EXPECT_EQ(COMPLEXREGION, ExcludeClipRect(canvas.dc(), 4, 4, 6, 6));
    RECT box;
    EXPECT_EQ(SIMPLEREGION, GetClipBox(canvas.dc(), &box));
    EXPECT_TRUE(EqualRect(&box, std::data({RECT{2, 2, 8, 8}})));
    canvas.Fill(RECT{0, 0, 10, 10}, kRed);
    EXPECT_EQ(CLR_INVALID, canvas.At(1, 1));  // outside the clip nothing is read either
    ASSERT_TRUE(RestoreDC(canvas.dc(), saved));
    EXPECT_EQ(kWhite, canvas.At(1, 1));
    EXPECT_EQ(kRed, canvas.At(2, 2));
    EXPECT_EQ(kWhite, canvas.At(5, 5));  // the hole
    EXPECT_EQ(kWhite, canvas.At(8, 8));
    canvas.Fill(RECT{0, 0, 10, 10}, kBlue);
    EXPECT_EQ(kBlue, canvas.At(5, 5));
    EXPECT_FALSE(RestoreDC(canvas.dc(), saved));  // taken already
}

TEST_F(GdiTest, RasterOperationsCombineSourceAndDestination) {
    Canvas source(4, 1);
    source.Fill(RECT{0, 0, 2, 1}, RGB(0xF0, 0x0F, 0x33));
    Canvas target(4, 1, RGB(0x3C, 0x3C, 0x3C));
    ASSERT_TRUE(BitBlt(target.dc(), 0, 0, 1, 1, source.dc(), 0, 0, SRCCOPY));
    ASSERT_TRUE(BitBlt(target.dc(), 1, 0, 1, 1, source.dc(), 0, 0, SRCAND));
    ASSERT_TRUE(BitBlt(target.dc(), 2, 0, 1, 1, source.dc(), 0, 0, SRCINVERT));
    ASSERT_TRUE(BitBlt(target.dc(), 3, 0, 1, 1, nullptr, 0, 0, DSTINVERT));
    EXPECT_EQ(RGB(0xF0, 0x0F, 0x33), target.At(0, 0));
    EXPECT_EQ(RGB(0x30, 0x0C, 0x30), target.At(1, 0));
    EXPECT_EQ(RGB(0xCC, 0x33, 0x0F), target.At(2, 0));
    EXPECT_EQ(RGB(0xC3, 0xC3, 0xC3), target.At(3, 0));
}

TEST_F(GdiTest, StretchingAndTransparentCopiesPickThePixelsTheyShould) {
    Canvas source(2, 1, kBlue);
    source.Fill(RECT{1, 0, 2, 1}, RGB(255, 0, 255));  // the key colour
    Canvas target(4, 2);
    ASSERT_TRUE(StretchBlt(target.dc(), 0, 0, 4, 2, source.dc(), 0, 0, 2, 1, SRCCOPY));
    EXPECT_EQ(kBlue, target.At(1, 1));
    EXPECT_EQ(RGB(255, 0, 255), target.At(2, 0));
    Canvas keyed(2, 1, kRed);
    ASSERT_TRUE(
        TransparentImage(keyed.dc(), 0, 0, 2, 1, source.bitmap(), 0, 0, 2, 1, RGB(255, 0, 255)));
    EXPECT_EQ(kBlue, keyed.At(0, 0));
    EXPECT_EQ(kRed, keyed.At(1, 0));  // left as it was
}

TEST_F(GdiTest, ADibSectionsBitsAndItsDrawingAreOne) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = 2;  // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(nullptr, dib);
    auto* pixels = static_cast<uint32_t*>(bits);
    pixels[0] = 0x00FF0000;  // the bottom-left pixel, red
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    EXPECT_EQ(kRed, GetPixel(dc, 0, 1));
    SetPixel(dc, 1, 0, kBlue);  // top right
    EXPECT_EQ(0x000000FFu, pixels[3]);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
}

TEST_F(GdiTest, ImageListsDrawThroughTheirMasksAndBlendWithTheSelection) {
    Canvas images(4, 2, kBlack);  // two images of 2 x 2
    images.Fill(RECT{0, 0, 1, 2}, kRed);
    HBITMAP mask = CreateBitmap(4, 2, 1, 1, nullptr);  // all white: transparent
    {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, mask);
        PatBlt(dc, 0, 0, 1, 2, BLACKNESS);  // the first column is opaque
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    HIMAGELIST list = ImageList_Create(2, 2, ILC_MASK | ILC_COLOR24, 2, 1);
    EXPECT_EQ(0, ImageList_Add(list, images.bitmap(), mask));
    EXPECT_EQ(2, ImageList_GetImageCount(list));
    int cx = 0;
    int cy = 0;
    ASSERT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
    EXPECT_EQ(2, cx);

    Canvas target(6, 2, kWhite);
    ASSERT_TRUE(ImageList_Draw(list, 0, target.dc(), 0, 0, ILD_TRANSPARENT));
    EXPECT_EQ(kRed, target.At(0, 0));
    EXPECT_EQ(kWhite, target.At(1, 0));  // masked out
    ImageList_SetBkColor(list, kBlue);
    ASSERT_TRUE(ImageList_Draw(list, 0, target.dc(), 2, 0, ILD_NORMAL));
    EXPECT_EQ(kBlue, target.At(3, 0));  // the background where the mask is
    ASSERT_TRUE(ImageList_Draw(list, 0, target.dc(), 4, 0, ILD_TRANSPARENT | ILD_SELECTED));
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    EXPECT_EQ(RGB((255 + GetRValue(highlight) + 1) / 2, (GetGValue(highlight) + 1) / 2,
                  (GetBValue(highlight) + 1) / 2),
              target.At(4, 0));
    EXPECT_EQ(kWhite, target.At(5, 0));
    EXPECT_FALSE(ImageList_Draw(list, 2, target.dc(), 0, 0, ILD_NORMAL));

    EXPECT_EQ(2, ImageList_AddMasked(list, images.bitmap(), kBlack));
    EXPECT_EQ(4, ImageList_GetImageCount(list));
    ASSERT_TRUE(ImageList_Draw(list, 3, target.dc(), 0, 0, ILD_MASK));
    EXPECT_EQ(kWhite, target.At(0, 0));  // all black: all masked
    EXPECT_TRUE(ImageList_Destroy(list));
    DeleteObject(mask);
}

TEST_F(GdiTest, TextIsMeasuredAndLaidOutInTheDialogFontsCells) {
    Canvas canvas(200, 80);
    LOGFONTW logfont{};
    logfont.lfHeight = -21;  // 8 points at 192 dpi
    HFONT font = CreateFontIndirectW(&logfont);
    HGDIOBJ old = SelectObject(canvas.dc(), font);
    TEXTMETRICW metrics{};
    ASSERT_TRUE(GetTextMetricsW(canvas.dc(), &metrics));
    EXPECT_EQ(25, metrics.tmHeight);  // the vertical dialog base unit of 8 points
    EXPECT_EQ(12, metrics.tmAveCharWidth);

    const wchar_t* text = L"Удалить запись?";
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32W(canvas.dc(), text, -1, &size) == FALSE);
    ASSERT_TRUE(GetTextExtentPoint32W(canvas.dc(), text, static_cast<int>(wcslen(text)), &size));
    EXPECT_GT(size.cx, 100);
    RECT calc{0, 0, 0, 0};
    EXPECT_EQ(25, DrawTextW(canvas.dc(), text, -1, &calc, DT_CALCRECT | DT_SINGLELINE));
    EXPECT_EQ(size.cx, calc.right);
    RECT narrow{0, 0, size.cx - 30, 0};
    EXPECT_EQ(50, DrawTextW(canvas.dc(), text, -1, &narrow, DT_CALCRECT | DT_WORDBREAK));

    // Drawn centred with an ellipsis: ink inside the rectangle only.
    RECT box{20, 10, 120, 40};
    SetBkMode(canvas.dc(), TRANSPARENT);
    EXPECT_EQ(25, DrawTextW(canvas.dc(), text, -1, &box,
                            DT_CENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX));
    int inked = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (canvas.At(x, y) != kWhite) {
                EXPECT_TRUE(x >= 20 && x < 120 && y >= 10 && y < 35) << x << "," << y;
                ++inked;
            }
        }
    }
    EXPECT_GT(inked, 50);
    SelectObject(canvas.dc(), old);
    DeleteObject(font);
}

TEST_F(GdiTest, FramesEdgesAndLinesHaveThePhonesPixels) {
    Canvas canvas(40, 20);
    RECT button{0, 0, 20, 10};
    ASSERT_TRUE(DrawFrameControl(canvas.dc(), &button, DFC_BUTTON, DFCS_BUTTONPUSH));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWFRAME), canvas.At(0, 0));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), canvas.At(5, 5));
    ASSERT_TRUE(DrawFrameControl(canvas.dc(), &button, DFC_BUTTON,
                                 DFCS_BUTTONPUSH | DFCS_PUSHED | DFCS_ADJUSTRECT));
    EXPECT_NE(GetSysColor(COLOR_BTNFACE), canvas.At(5, 5));  // darker when pushed
    EXPECT_EQ(1, button.left);

    RECT edge{20, 0, 30, 10};
    ASSERT_TRUE(DrawEdge(canvas.dc(), &edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST));
    EXPECT_EQ(GetSysColor(COLOR_3DSHADOW), canvas.At(20, 0));
    EXPECT_EQ(GetSysColor(COLOR_3DHIGHLIGHT), canvas.At(29, 9));
    EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), canvas.At(21, 1));
    EXPECT_TRUE(EqualRect(&edge, std::data({RECT{22, 2, 28, 8}})));

    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    HGDIOBJ old = SelectObject(canvas.dc(), pen);
    MoveToEx(canvas.dc(), 30, 15, nullptr);
    LineTo(canvas.dc(), 35, 15);
    EXPECT_EQ(kRed, canvas.At(30, 15));
    EXPECT_EQ(kRed, canvas.At(34, 15));
    EXPECT_EQ(kWhite, canvas.At(35, 15));  // the last point is not drawn
    SelectObject(canvas.dc(), old);
    DeleteObject(pen);
}

TEST_F(GdiTest, OpaqueTextFillsItsRectangleAndRightAlignedTextEndsAtTheRight) {
    Canvas canvas(100, 30);
    SetBkColor(canvas.dc(), kBlue);
    RECT band{0, 0, 100, 5};
    ASSERT_TRUE(ExtTextOutW(canvas.dc(), 0, 0, ETO_OPAQUE, &band, L"", 0, nullptr));
    EXPECT_EQ(kBlue, canvas.At(99, 4));
    EXPECT_EQ(kWhite, canvas.At(0, 5));

    SetBkMode(canvas.dc(), TRANSPARENT);
    RECT line{0, 5, 100, 30};
    DrawTextW(canvas.dc(), L"Да", -1, &line, DT_RIGHT | DT_SINGLELINE);
    int leftmost = 100;
    for (int y = 5; y < 30; ++y) {
        for (int x = 0; x < 100; ++x) {
            if (canvas.At(x, y) != kWhite) {
                leftmost = std::min(leftmost, x);
            }
        }
    }
    EXPECT_GT(leftmost, 60);
    EXPECT_LT(leftmost, 100);
}

INT_PTR CALLBACK RecordsFont(HWND, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_SETFONT) {
        EXPECT_EQ(static_cast<DWORD>(OBJ_FONT), GetObjectType(reinterpret_cast<HGDIOBJ>(wparam)));
    }
    return FALSE;
}

TEST_F(GdiTest, ADialogGetsItsFontAndLeavesNoObjectBehind) {
    // A template with DS_SETFONT (9 points, "Tahoma") and one static control.
    std::vector<WORD> words;
    auto dword = [&](DWORD value) {
        words.push_back(LOWORD(value));
        words.push_back(HIWORD(value));
    };
    auto text = [&](const wchar_t* value) {
        for (; *value; ++value) {
            words.push_back(static_cast<WORD>(*value));
        }
        words.push_back(0);
    };
    dword(DS_SETFONT | WS_POPUP | WS_VISIBLE);
    dword(0);
    words.insert(words.end(), {1, 0, 0, 100, 50, 0, 0});  // count, x, y, cx, cy, menu, class
    text(L"");
    words.push_back(9);
    text(L"Tahoma");
    if (words.size() % 2) {
        words.push_back(0);  // items start on a DWORD
    }
    dword(WS_CHILD | WS_VISIBLE);
    dword(0);
    words.insert(words.end(), {4, 4, 60, 10, 100});  // x y cx cy id
    text(kRecorderClass);
    text(L"Имя");
    words.push_back(0);
    Recorder::Instance().Clear();

    HWND dialog = CreateDialogIndirectParamW(
        nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(words.data()), nullptr, &RecordsFont, 0);
    ASSERT_NE(nullptr, dialog);
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    LOGFONTW logfont{};
    ASSERT_EQ(static_cast<int>(sizeof logfont), GetObjectW(font, sizeof logfont, &logfont));
    EXPECT_EQ(-24, logfont.lfHeight);
    // The control hears of the font once it is made and shown.
    HWND control = GetDlgItem(dialog, 100);
    const tovarin::testing::ExpectedMessage made_then_font[] = {
        {WM_CREATE},
        {WM_SIZE},
        {WM_MOVE},
        {WM_SHOWWINDOW},
        {WM_SETFONT, tovarin::testing::kCheckWparam, reinterpret_cast<WPARAM>(font)},
    };
    EXPECT_SEQUENCE(Recorder::Instance().SequenceOf(
                        control, {WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW, WM_SETFONT}),
                    made_then_font);
    EXPECT_TRUE(DestroyWindow(dialog));
    // The fixture checks that the dialog's font went with it.
}

}  // namespace
}  // namespace tovarin::gwes::testing
