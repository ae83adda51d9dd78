#include "gwes/controls/tests/controls_fixture.h"

#include <ostream>

namespace tovarin::gwes::controls::testing {
namespace {

tovarin::testing::MessageLog g_heard;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    using tovarin::testing::kParent;
    using tovarin::testing::kSent;
    switch (message) {
        case WM_NOTIFY:
            EXPECT_EQ(wparam, reinterpret_cast<const NMHDR*>(lparam)->idFrom);
            g_heard.AddReceived(message, wparam, lparam, kSent | kParent);
            return 0;
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            EXPECT_EQ(static_cast<UINT>(ODT_BUTTON), draw->CtlType);
            EXPECT_EQ(wparam, draw->CtlID);
            g_heard.Add(
                {message, kSent | kParent, wparam, MAKELPARAM(draw->itemAction, draw->itemState)});
            return 0;
        }
        case WM_COMMAND:
        case WM_HSCROLL:
        case WM_VSCROLL:
            g_heard.AddReceived(message, wparam, lparam, kSent | kParent);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

}  // namespace

ControlsTest::ControlsTest() {
    WNDCLASSW parent_class{};
    parent_class.lpfnWndProc = &ParentProc;
    parent_class.lpszClassName = L"ControlsParent";
    RegisterClassW(&parent_class);
    parent_ = CreateWindowExW(0, L"ControlsParent", L"Parent", WS_VISIBLE, 0, 52, 480, 536, nullptr,
                              nullptr, nullptr, nullptr);
    TakeHeard();
}

ControlsTest::~ControlsTest() {
    DestroyWindow(parent_);
}

HWND ControlsTest::Make(LPCWSTR window_class, LPCWSTR text, DWORD style, int id, RECT rect) {
    HWND control =
        CreateWindowExW(0, window_class, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                        rect.right - rect.left, rect.bottom - rect.top, parent_,
                        reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
    EXPECT_NE(nullptr, control) << window_class;
    return control;
}

void ControlsTest::Tap(HWND control, POINT point) {
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    SendMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
}

std::vector<LoggedMessage> ControlsTest::TakeHeard() {
    return g_heard.Take();
}

}  // namespace tovarin::gwes::controls::testing
