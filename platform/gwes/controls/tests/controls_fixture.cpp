#include "gwes/controls/tests/controls_fixture.h"

#include <mutex>
#include <ostream>

namespace tovarin::gwes::controls::testing {
namespace {

std::mutex g_mutex;
std::vector<struct Heard> g_heard;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    struct Heard heard {};
    switch (message) {
        case WM_COMMAND:
            heard = {message, LOWORD(wparam), static_cast<SHORT>(HIWORD(wparam)), 0};
            break;
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lparam);
            EXPECT_EQ(wparam, header->idFrom);
            heard = {message, static_cast<int>(header->idFrom), static_cast<int>(header->code), 0};
            break;
        }
        case WM_DRAWITEM: {
            const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
            EXPECT_EQ(static_cast<UINT>(ODT_BUTTON), draw->CtlType);
            EXPECT_EQ(wparam, draw->CtlID);
            heard = {message, static_cast<int>(draw->CtlID), static_cast<int>(draw->itemAction),
                     static_cast<int>(draw->itemState)};
            break;
        }
        case WM_HSCROLL:
        case WM_VSCROLL:
            heard = {message, 0, LOWORD(wparam), static_cast<SHORT>(HIWORD(wparam))};
            break;
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    std::lock_guard guard(g_mutex);
    g_heard.push_back(heard);
    return 0;
}

}  // namespace

void PrintTo(const struct Heard& heard, std::ostream* out) {
    *out << "{msg 0x" << std::hex << heard.message << std::dec << " id " << heard.id << " code "
         << heard.code << " extra " << heard.extra << "}";
}

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

std::vector<struct Heard> ControlsTest::TakeHeard() {
    std::lock_guard guard(g_mutex);
    std::vector<struct Heard> heard;
    heard.swap(g_heard);
    return heard;
}

}  // namespace tovarin::gwes::controls::testing
