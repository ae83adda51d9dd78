// DrawIconEx and DrawIcon on a memory bitmap, with icons the resource compiler built: which
// pixels an icon covers and with what colour, its clear parts (the mask, the alpha channel), what
// DI_IMAGE and DI_MASK draw alone, and the calls the device refuses.
#include "gwes/gdi/resource_images.h"
#include "gwes/tests/dialog_fixture.h"
#include "gwes/tests/dialogs/dialog_test_ids.h"

namespace tovarin::gwes::testing {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrey = RGB(0x80, 0x80, 0x80);
constexpr int kCanvas = 40;
constexpr int kAt = 10;  // where the icons go on the canvas

class IconDrawingTest : public DialogTest {
  protected:
    void SetUp() override {
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateCompatibleBitmap(nullptr, kCanvas, kCanvas);
        previous_ = SelectObject(dc_, bitmap_);
        Clear();
    }
    void TearDown() override {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }

    void Clear() {
        HBRUSH grey = CreateSolidBrush(kGrey);
        RECT all{0, 0, kCanvas, kCanvas};
        FillRect(dc_, &all, grey);
        DeleteObject(grey);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_, kAt + x, kAt + y); }

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

TEST_F(IconDrawingTest, AnIconCoversItsOwnSizeAndLeavesItsClearPartsAlone) {
    HICON icon = LoadIconW(module_, MAKEINTRESOURCEW(IDI_QUARTERS));
    ASSERT_NE(icon, nullptr);
    ASSERT_TRUE(DrawIcon(dc_, kAt, kAt, icon));
    // Top row first, as the resource holds it bottom-up.
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(At(7, 7), kRed);
    EXPECT_EQ(At(8, 0), kGreen);
    EXPECT_EQ(At(15, 7), kGreen);
    EXPECT_EQ(At(0, 8), kBlue);
    EXPECT_EQ(At(7, 15), kBlue);
    // The clear quarter, and nothing outside the icon's 16 x 16.
    EXPECT_EQ(At(8, 8), kGrey);
    EXPECT_EQ(At(15, 15), kGrey);
    EXPECT_EQ(At(-1, 0), kGrey);
    EXPECT_EQ(At(0, -1), kGrey);
    EXPECT_EQ(At(16, 0), kGrey);
    EXPECT_EQ(At(0, 16), kGrey);

    // The colours alone fill the clear quarter with its black; the mask alone blackens what the
    // icon covers and keeps the rest.
    Clear();
    ASSERT_TRUE(DrawIconEx(dc_, kAt, kAt, icon, 16, 16, 0, nullptr, DI_IMAGE));
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(At(8, 8), kBlack);
    Clear();
    ASSERT_TRUE(DrawIconEx(dc_, kAt, kAt, icon, 0, 0, 0, nullptr, DI_MASK));
    EXPECT_EQ(At(0, 0), kBlack);
    EXPECT_EQ(At(8, 0), kBlack);
    EXPECT_EQ(At(8, 8), kGrey);
    EXPECT_TRUE(DestroyIcon(icon));
}

TEST_F(IconDrawingTest, AnAlphaChannelBlendsTheIconOverWhatIsUnder) {
    HICON icon = LoadIconW(module_, MAKEINTRESOURCEW(IDI_ALPHA));
    ASSERT_NE(icon, nullptr);
    ASSERT_TRUE(DrawIcon(dc_, kAt, kAt, icon));
    EXPECT_EQ(At(0, 0), kRed);
    EXPECT_EQ(At(3, 7), kRed);
    // Half red over the grey: (255 * 128 + 128 * 127) / 255 and (128 * 127) / 255.
    EXPECT_EQ(At(4, 0), RGB(192, 64, 64));
    EXPECT_EQ(At(6, 0), kGrey);
    EXPECT_EQ(At(8, 0), kGrey);
    EXPECT_TRUE(DestroyIcon(icon));
}

TEST_F(IconDrawingTest, RefusesWhatTheDeviceDoesNotDraw) {
    HICON icon = LoadIconW(module_, MAKEINTRESOURCEW(IDI_QUARTERS));
    ASSERT_NE(icon, nullptr);
    struct Call {
        int width, height;
        UINT step;
        UINT flags;
    };
    // Another size (no stretching), an animation step, no drawing at all.
    for (const Call& call : {Call{32, 32, 0, DI_NORMAL}, Call{16, 8, 0, DI_NORMAL},
                             Call{0, 0, 1, DI_NORMAL}, Call{0, 0, 0, 0}}) {
        SetLastError(0);
        EXPECT_FALSE(DrawIconEx(dc_, kAt, kAt, icon, call.width, call.height, call.step, nullptr,
                                call.flags));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    EXPECT_EQ(At(0, 0), kGrey) << "a refused call draws nothing";
    HBRUSH brush = CreateSolidBrush(kGrey);
    EXPECT_FALSE(DrawIconEx(dc_, kAt, kAt, icon, 0, 0, 0, brush, DI_NORMAL));
    DeleteObject(brush);

    // A bitmap, a destroyed icon and no handle are no icons.
    HBITMAP bitmap = LoadBitmapW(module_, MAKEINTRESOURCEW(IDB_TEST));
    EXPECT_FALSE(DrawIcon(dc_, kAt, kAt, reinterpret_cast<HICON>(bitmap)));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    DeleteObject(bitmap);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DrawIcon(dc_, kAt, kAt, icon));
    EXPECT_FALSE(DrawIcon(dc_, kAt, kAt, nullptr));
    // An icon on no device context.
    HICON system = LoadIconW(nullptr, IDI_APPLICATION);
    EXPECT_FALSE(DrawIcon(nullptr, 0, 0, system));
    EXPECT_TRUE(DrawIcon(dc_, 0, 0, system));
}

}  // namespace
}  // namespace tovarin::gwes::testing
