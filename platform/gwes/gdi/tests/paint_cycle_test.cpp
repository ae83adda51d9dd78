// The paint cycle as a window sees it: the messages of creation and showing, WM_PAINT after an
// invalidation (in its place among posted messages and timers), and the screen's pixels that
// windows paint, clipped by the windows above them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include <png.h>
#include <windows.h>

#include "host/screen_image.h"
#include "testing/gwes_fixture.h"

namespace tovarin::gwes::testing {
namespace {

using tovarin::testing::ExpectedMessage;
using tovarin::testing::kCheckLparam;
using tovarin::testing::kCheckWparam;
using tovarin::testing::LoggedMessage;

// The messages a window received, those that matter to painting only.
std::vector<LoggedMessage> PaintMessagesOf(HWND hwnd) {
    return Recorder::Instance().SequenceOf(hwnd, {WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW,
                                                  WM_PAINT, WM_ERASEBKGND, WM_TIMER, WM_USER + 5});
}

void PumpAll() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&msg);
    }
}

uint32_t PixelAt(const ScreenImage& image, int x, int y) {
    return image.pixels[static_cast<size_t>(y) * image.width + x] & 0xFFFFFF;
}

class PaintCycleTest : public WindowTest {
  protected:
    PaintCycleTest() { Recorder::Instance().Clear(); }

    // A shown top-level window of the recorder class at the rectangle, its pending paint done.
    static HWND Shown(int x, int y, int width, int height) {
        HWND hwnd = CreateWindowExW(0, kRecorderClass, L"w", WS_VISIBLE, x, y, width, height,
                                    nullptr, nullptr, nullptr, nullptr);
        PumpAll();
        return hwnd;
    }

    static void Fill(HWND hwnd, COLORREF color) {
        HDC hdc = GetDC(hwnd);
        HBRUSH brush = CreateSolidBrush(color);
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(hdc, &client, brush);
        DeleteObject(brush);
        ReleaseDC(hwnd, hdc);
    }
};

TEST_F(PaintCycleTest, CreationSendsSizeAndMoveAndShowingThenPaintsWithErase) {
    HWND hwnd = CreateWindowExW(0, kRecorderClass, L"w", WS_VISIBLE, 10, 60, 200, 100, nullptr,
                                nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, hwnd);
    const ExpectedMessage created[] = {
        {WM_CREATE},
        {WM_SIZE, kCheckLparam, 0, MAKELPARAM(200, 100)},
        {WM_MOVE, kCheckLparam, 0, MAKELPARAM(10, 60)},
        {WM_SHOWWINDOW, kCheckWparam, TRUE},
    };
    EXPECT_SEQUENCE(PaintMessagesOf(hwnd), created);

    PumpAll();
    const ExpectedMessage painted[] = {{WM_CREATE}, {WM_SIZE},
                                       {WM_MOVE},   {WM_SHOWWINDOW, kCheckWparam, TRUE},
                                       {WM_PAINT},  {WM_ERASEBKGND}};
    EXPECT_SEQUENCE(PaintMessagesOf(hwnd), painted);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));
}

TEST_F(PaintCycleTest, AHiddenWindowHearsOfShowingAndGetsNoPaint) {
    HWND hwnd = MakeWindow(L"hidden");
    PumpAll();
    const ExpectedMessage created[] = {{WM_CREATE}, {WM_SIZE}, {WM_MOVE}};
    EXPECT_SEQUENCE(PaintMessagesOf(hwnd), created);
    EXPECT_FALSE(InvalidateRect(hwnd, nullptr, TRUE) == FALSE);
    RECT update;
    EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));

    ShowWindow(hwnd, SW_SHOWNA);
    ShowWindow(hwnd, SW_SHOWNA);  // already shown: nothing more
    PumpAll();
    ShowWindow(hwnd, SW_HIDE);
    const ExpectedMessage shown[] = {{WM_CREATE},
                                     {WM_SIZE},
                                     {WM_MOVE},
                                     {WM_SHOWWINDOW, kCheckWparam, TRUE},
                                     {WM_PAINT},
                                     {WM_ERASEBKGND},
                                     {WM_SHOWWINDOW, kCheckWparam, FALSE}};
    EXPECT_SEQUENCE(PaintMessagesOf(hwnd), shown);
}

TEST_F(PaintCycleTest, PaintComesAfterPostedMessagesAndBeforeTimers) {
    HWND hwnd = Shown(0, 60, 200, 100);
    Recorder::Instance().Clear();
    SetTimer(hwnd, 1, 10, nullptr);
    RECT part{10, 10, 50, 30};
    InvalidateRect(hwnd, &part, FALSE);
    PostMessageW(hwnd, WM_USER + 5, 0, 0);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
    EXPECT_TRUE(EqualRect(&part, &update));

    MSG msg;
    for (int i = 0; i < 3 && GetMessageW(&msg, nullptr, 0, 0); ++i) {
        DispatchMessageW(&msg);
    }
    KillTimer(hwnd, 1);
    // Invalidated without erasing: no WM_ERASEBKGND.
    const ExpectedMessage order[] = {{WM_USER + 5}, {WM_PAINT}, {WM_TIMER, kCheckWparam, 1}};
    EXPECT_SEQUENCE(PaintMessagesOf(hwnd), order);
}

TEST_F(PaintCycleTest, ValidatingOrUpdatingLeavesNoPaintInTheQueue) {
    HWND hwnd = Shown(0, 60, 200, 100);
    Recorder::Instance().Clear();
    InvalidateRect(hwnd, nullptr, TRUE);
    ValidateRect(hwnd, nullptr);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));

    InvalidateRect(hwnd, nullptr, TRUE);
    UpdateWindow(hwnd);  // painted at once, past the queue
    const ExpectedMessage updated[] = {{WM_PAINT}, {WM_ERASEBKGND}};
    EXPECT_SEQUENCE(PaintMessagesOf(hwnd), updated);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(PaintCycleTest, HidingAWindowRepaintsWhatWasUnderIt) {
    HWND below = Shown(0, 60, 300, 300);
    HWND above = Shown(50, 110, 100, 100);
    Recorder::Instance().Clear();
    ShowWindow(above, SW_HIDE);
    RECT update;
    ASSERT_TRUE(GetUpdateRect(below, &update, FALSE));
    const RECT uncovered{50, 50, 150, 150};
    EXPECT_TRUE(EqualRect(&uncovered, &update));
    PumpAll();
    const ExpectedMessage repainted[] = {{WM_PAINT}, {WM_ERASEBKGND}};
    EXPECT_SEQUENCE(PaintMessagesOf(below), repainted);
}

TEST_F(PaintCycleTest, MovingAWindowRepaintsItAndWhatItUncovered) {
    HWND below = Shown(0, 60, 300, 300);
    HWND moved = Shown(0, 60, 100, 100);
    Recorder::Instance().Clear();
    ASSERT_TRUE(SetWindowPos(moved, nullptr, 150, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER));
    RECT update;
    ASSERT_TRUE(GetUpdateRect(below, &update, FALSE));
    const RECT uncovered{0, 0, 100, 100};
    EXPECT_TRUE(EqualRect(&uncovered, &update));
    ASSERT_TRUE(GetUpdateRect(moved, &update, FALSE));
    PumpAll();
    const ExpectedMessage repainted[] = {
        {WM_MOVE, kCheckLparam, 0, MAKELPARAM(150, 60)}, {WM_PAINT}, {WM_ERASEBKGND}};
    EXPECT_SEQUENCE(PaintMessagesOf(moved), repainted);
}

TEST_F(PaintCycleTest, AWindowDrawsOnlyWhereNoWindowIsAboveIt) {
    HWND below = Shown(0, 60, 300, 300);
    HWND above = Shown(100, 160, 100, 100);
    HWND child = CreateWindowExW(0, kRecorderClass, L"c", WS_CHILD | WS_VISIBLE, 200, 0, 50, 50,
                                 below, nullptr, nullptr, nullptr);
    PumpAll();
    Fill(above, RGB(0, 0, 255));
    Fill(child, RGB(0, 255, 0));
    Fill(below, RGB(255, 0, 0));

    ScreenImage screen = CaptureScreen();
    ASSERT_EQ(480, screen.width);
    ASSERT_EQ(640, screen.height);
    EXPECT_EQ(0xFF0000u, PixelAt(screen, 10, 70));    // the lower window's own part
    EXPECT_EQ(0x0000FFu, PixelAt(screen, 150, 210));  // the window above it is untouched
    EXPECT_EQ(0x00FF00u, PixelAt(screen, 220, 70));   // and so is its child
    EXPECT_EQ(0xFFFFFFu, PixelAt(screen, 400, 70));   // the desktop beside it
}

TEST_F(PaintCycleTest, ScreenshotsArePngFilesAndObserversHearOfChanges) {
    HWND hwnd = Shown(0, 60, 100, 100);
    int calls = 0;
    const uint64_t token = AddScreenObserver([&] { ++calls; });
    Fill(hwnd, RGB(1, 2, 3));
    EXPECT_EQ(1, calls);
    RemoveScreenObserver(token);
    Fill(hwnd, RGB(4, 5, 6));
    EXPECT_EQ(1, calls);

    const std::string path = ::testing::TempDir() + "screen_test.png";
    std::string error;
    ASSERT_TRUE(WriteScreenshot(path, &error)) << error;
    // Read back, the file holds the screen pixel for pixel.
    png_image read{};
    read.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&read, path.c_str())) << read.message;
    read.format = PNG_FORMAT_BGRA;
    std::vector<uint32_t> pixels(static_cast<size_t>(read.width) * read.height);
    ASSERT_TRUE(png_image_finish_read(&read, nullptr, pixels.data(), 0, nullptr));
    std::remove(path.c_str());
    const ScreenImage screen = CaptureScreen();
    ASSERT_EQ(screen.width, static_cast<int>(read.width));
    ASSERT_EQ(screen.height, static_cast<int>(read.height));
    EXPECT_TRUE(pixels == screen.pixels);
    EXPECT_EQ(0xFF040506u, pixels[static_cast<size_t>(70 * screen.width + 10)]);
    EXPECT_FALSE(WriteScreenshot("/nonexistent-dir/x.png", &error));
    EXPECT_NE(std::string::npos, error.find("cannot open"));
}

}  // namespace
}  // namespace tovarin::gwes::testing
