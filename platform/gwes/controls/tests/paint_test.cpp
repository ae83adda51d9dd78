// Controls as the screen shows them: the pixels that tell a user a box is ticked, a button is
// pushed or disabled, a list is open; and the WM_CTLCOLOR* messages a parent hears before its
// controls paint, whose answer the controls paint with.
#include <algorithm>
#include <functional>

#include "gwes/controls/standard_controls.h"
#include "gwes/controls/tests/controls_fixture.h"
#include "host/screen_image.h"

namespace tovarin::gwes::controls::testing {
namespace {

struct Asked {
    UINT message = 0;
    int id = 0;
    bool operator==(const Asked&) const = default;
};

std::vector<Asked> g_asked;
HBRUSH g_static_brush = nullptr;  // what the parent answers to WM_CTLCOLORSTATIC, if anything

LRESULT CALLBACK ColorParentProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        g_asked.push_back({message, GetDlgCtrlID(reinterpret_cast<HWND>(lparam))});
        if (message == WM_CTLCOLORSTATIC && g_static_brush) {
            return reinterpret_cast<LRESULT>(g_static_brush);
        }
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

bool Dark(uint32_t pixel) {
    return ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF) < 3 * 0x40;
}

class PaintTest : public ControlsTest {
  protected:
    // Delivers the pending paints, then the screen as the user sees it.
    static ScreenImage Screen() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&msg);
        }
        return CaptureScreen();
    }

    // The pixels of the window's part (client coordinates; the whole client area when empty).
    static std::vector<uint32_t> Pixels(const ScreenImage& screen, HWND hwnd, RECT part = {}) {
        if (IsRectEmpty(&part)) {
            GetClientRect(hwnd, &part);
        }
        POINT origin{0, 0};
        ClientToScreen(hwnd, &origin);
        OffsetRect(&part, origin.x, origin.y);
        std::vector<uint32_t> pixels;
        for (int y = std::max<LONG>(0, part.top); y < std::min<LONG>(screen.height, part.bottom);
             ++y) {
            for (int x = std::max<LONG>(0, part.left); x < std::min<LONG>(screen.width, part.right);
                 ++x) {
                pixels.push_back(screen.pixels[static_cast<size_t>(y * screen.width + x)]);
            }
        }
        return pixels;
    }

    static size_t Count(const std::vector<uint32_t>& pixels,
                        const std::function<bool(uint32_t)>& which) {
        return static_cast<size_t>(std::count_if(pixels.begin(), pixels.end(), which));
    }

    static uint32_t Opaque(COLORREF color) {
        return 0xFF000000u | (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    }
};

TEST_F(PaintTest, ACheckedBoxShowsItsMarkAndRussianLabelsDraw) {
    HWND box = Make(L"Button", L"Записывать звонки", BS_AUTOCHECKBOX, 1001, {10, 10, 300, 50});
    const RECT mark{0, 0, 40, 40};
    const RECT label{40, 0, 290, 40};
    const ScreenImage before = Screen();
    EXPECT_GT(Count(Pixels(before, box, label), Dark), 50u) << "the label is drawn";
    SendMessageW(box, BM_SETCHECK, BST_CHECKED, 0);
    const ScreenImage after = Screen();
    EXPECT_GT(Count(Pixels(after, box, mark), Dark), Count(Pixels(before, box, mark), Dark) + 20)
        << "the tick adds dark pixels inside the box";
    EXPECT_EQ(Pixels(before, box, label), Pixels(after, box, label));
}

TEST_F(PaintTest, AGroupBoxMadeBeforeItsRadioButtonsLetsThemShow) {
    // As in a dialog template: the box first, so it is above the buttons it frames in z-order.
    Make(L"Button", L"Режим", BS_GROUPBOX, 1010, {10, 10, 460, 110});
    HWND radio = Make(L"Button", L"Один", BS_AUTORADIOBUTTON, 1004, {30, 45, 210, 76});
    SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_GT(Count(Pixels(Screen(), radio), Dark), 50u) << "the button and its label show";
    InvalidateRect(GetParent(radio), nullptr, TRUE);  // the box repainting covers nothing
    EXPECT_GT(Count(Pixels(Screen(), radio), Dark), 50u);
}

TEST_F(PaintTest, AGroupBoxShowsItsParentsBackgroundInsideNotWhatTheScreenHeld) {
    const RECT place{10, 10, 460, 110};
    HDC dc = GetDC(parent_);
    FillRect(dc, &place, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    ReleaseDC(parent_, dc);
    HWND box = Make(L"Button", L"Режим", BS_GROUPBOX, 1010, place);
    const RECT inside{20, 40, 440, 90};
    EXPECT_EQ(Count(Pixels(Screen(), box, inside), Dark), 0u);
}

// A window's scroll bar is its own to paint, also where a child reaches under it: the child shows
// only inside the client area. Two panels get a bar once their children are there; the one whose
// child is wider than its client area shows the same bar as the one whose child is not.
TEST_F(PaintTest, AChildReachingUnderItsParentsScrollBarLeavesTheBarShowing) {
    WNDCLASSW panel_class{};
    panel_class.lpfnWndProc = DefWindowProcW;  // paints the frame and its scroll bar
    panel_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    panel_class.lpszClassName = L"ScrollPanel";
    RegisterClassW(&panel_class);
    HWND wide_panel = Make(L"ScrollPanel", L"", 0, 1020, {10, 10, 210, 210});
    HWND narrow_panel = Make(L"ScrollPanel", L"", 0, 1021, {250, 10, 450, 210});
    for (HWND panel : {wide_panel, narrow_panel}) {
        const int width = panel == wide_panel ? 200 : 150;
        CreateWindowExW(0, L"Button", L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, 0, width, 200,
                        panel, nullptr, nullptr, nullptr);
    }
    Screen();
    for (HWND panel : {wide_panel, narrow_panel}) {
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE, 0, 999, 100, 0, 0};
        SetScrollInfo(panel, SB_VERT, &info, TRUE);
    }
    const ScreenImage screen = Screen();
    RECT client{};
    GetClientRect(wide_panel, &client);
    ASSERT_EQ(174, client.right);
    const RECT bar{client.right, 0, client.right + 26, 200};
    const std::vector<uint32_t> shown = Pixels(screen, wide_panel, bar);
    EXPECT_EQ(Pixels(screen, narrow_panel, bar), shown);
    EXPECT_GT(Count(shown, Dark), 20u) << "the arrows show";
    UnregisterClassW(L"ScrollPanel", nullptr);
}

TEST_F(PaintTest, PushingAButtonChangesItAndReleasingRestoresIt) {
    HWND button = Make(L"Button", L"Далее", BS_PUSHBUTTON, 1002, {10, 10, 170, 60});
    const std::vector<uint32_t> released = Pixels(Screen(), button);
    SendMessageW(button, BM_SETSTATE, TRUE, 0);
    const std::vector<uint32_t> pushed = Pixels(Screen(), button);
    EXPECT_NE(released, pushed);
    SendMessageW(button, BM_SETSTATE, FALSE, 0);
    EXPECT_EQ(released, Pixels(Screen(), button));
}

TEST_F(PaintTest, ADisabledButtonsTextIsGrey) {
    HWND button = Make(L"Button", L"Удалить", BS_PUSHBUTTON, 1003, {10, 10, 170, 60});
    const uint32_t grey = Opaque(GetSysColor(COLOR_GRAYTEXT));
    const RECT inside{3, 3, 157, 47};  // within the frame
    EXPECT_GT(Count(Pixels(Screen(), button, inside), Dark), 20u);
    EnableWindow(button, FALSE);
    const std::vector<uint32_t> disabled = Pixels(Screen(), button, inside);
    EXPECT_EQ(0u, Count(disabled, Dark)) << "no black text is left";
    EXPECT_GT(Count(disabled, [grey](uint32_t p) { return p == grey; }), 20u);
}

TEST_F(PaintTest, AnOpenDropDownListIsDrawnOverTheControlsUnderIt) {
    HWND combo = Make(L"ComboBox", L"", CBS_DROPDOWNLIST, 1004, {10, 10, 250, 200});
    HWND below = Make(L"Static", L"Под списком", SS_LEFT, 1005, {10, 60, 250, 100});
    for (LPCWSTR item : {L"Нет", L"Эхо", L"Зал"}) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    }
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    const uint32_t highlight = Opaque(GetSysColor(COLOR_HIGHLIGHT));
    auto highlighted = [highlight](uint32_t p) { return p == highlight; };
    EXPECT_EQ(0u, Count(Pixels(Screen(), below), highlighted));
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    HWND list = ComboListOf(combo);
    ScreenImage open = Screen();
    EXPECT_GT(Count(Pixels(open, list), highlighted), 200u) << "the chosen row is highlighted";
    EXPECT_GT(Count(Pixels(open, below), highlighted), 200u) << "the list covers the static";
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ(0u, Count(Pixels(Screen(), below), highlighted)) << "closed, the static shows again";
}

TEST_F(PaintTest, ControlsAskTheirParentForColoursAndPaintWithTheAnswer) {
    WNDCLASSW parent_class{};
    parent_class.lpfnWndProc = &ColorParentProc;
    parent_class.lpszClassName = L"ColorParent";
    RegisterClassW(&parent_class);
    HWND parent = CreateWindowExW(0, L"ColorParent", L"", WS_VISIBLE, 0, 52, 480, 536, nullptr,
                                  nullptr, nullptr, nullptr);
    auto make = [parent](LPCWSTR window_class, DWORD style, int id, int top) {
        return CreateWindowExW(0, window_class, L"Текст", WS_CHILD | WS_VISIBLE | style, 10, top,
                               200, 36, parent, reinterpret_cast<HMENU>(static_cast<intptr_t>(id)),
                               nullptr, nullptr);
    };
    HWND label = make(L"Static", SS_LEFT, 1, 10);
    make(L"Button", BS_PUSHBUTTON, 2, 50);
    make(L"Button", BS_AUTOCHECKBOX, 3, 90);
    make(L"Edit", WS_BORDER, 4, 130);
    make(L"Edit", ES_READONLY, 5, 170);
    make(L"ListBox", 0, 6, 210);
    make(L"ComboBox", CBS_DROPDOWNLIST, 7, 250);
    const HBRUSH red = CreateSolidBrush(RGB(0xFF, 0, 0));
    g_static_brush = red;
    g_asked.clear();
    const ScreenImage screen = Screen();
    std::sort(g_asked.begin(), g_asked.end(),
              [](const Asked& a, const Asked& b) { return a.id < b.id; });
    EXPECT_EQ((std::vector<Asked>{{WM_CTLCOLORSTATIC, 1},
                                  {WM_CTLCOLORBTN, 2},
                                  {WM_CTLCOLORSTATIC, 3},
                                  {WM_CTLCOLOREDIT, 4},
                                  {WM_CTLCOLORSTATIC, 5},
                                  {WM_CTLCOLORLISTBOX, 6},
                                  {WM_CTLCOLOREDIT, 7}}),
              g_asked);
    EXPECT_GT(Count(Pixels(screen, label), [](uint32_t p) { return p == 0xFFFF0000u; }), 1000u)
        << "the static's background is the parent's brush";

    // The default answers are the system colours' brushes, from DefWindowProc and DefDlgProc.
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW)),
              DefWindowProcW(parent, WM_CTLCOLOREDIT, 0, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE)),
              DefWindowProcW(parent, WM_CTLCOLORBTN, 0, 0));
    g_static_brush = nullptr;
    DestroyWindow(parent);
    DeleteObject(red);
}

TEST_F(PaintTest, ControlsKeepTheFontTheyAreGiven) {
    LOGFONTW look{};
    look.lfHeight = -30;
    HFONT font = CreateFontIndirectW(&look);
    for (LPCWSTR window_class : {L"Button", L"Static", L"Edit", L"ListBox", L"ComboBox",
                                 L"SysListView32", L"msctls_trackbar32", L"SysTabControl32"}) {
        HWND control = Make(window_class, L"", 0, 1006);
        EXPECT_EQ(nullptr, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
        EXPECT_EQ(font, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)))
            << window_class;
        DestroyWindow(control);
    }
    DeleteObject(font);
}

}  // namespace
}  // namespace tovarin::gwes::controls::testing
