// Controls under test sit in a parent window that records what reaches it: WM_COMMAND (id and
// code), WM_NOTIFY (id and code), WM_DRAWITEM (action and state) and WM_HSCROLL / WM_VSCROLL
// (code and position). A tap is WM_LBUTTONDOWN and WM_LBUTTONUP at a point of the control, as the
// stylus delivers them.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "kernel/tests/device_fixture.h"

namespace tovarin::gwes::controls::testing {

struct Heard {
    UINT message = 0;
    int id = 0;     // the control id (WM_COMMAND, WM_NOTIFY, WM_DRAWITEM); 0 for scrolls
    int code = 0;   // notification code, draw action or scroll code
    int extra = 0;  // draw state, scroll position
    bool operator==(const Heard&) const = default;
};
void PrintTo(const Heard& heard, std::ostream* out);

inline Heard Command(int id, int code) {
    return {WM_COMMAND, id, code, 0};
}
inline Heard Notify(int id, int code) {
    return {WM_NOTIFY, id, code, 0};
}

class ControlsTest : public kernel::testing::SimulatedDeviceTest {
  protected:
    ControlsTest();
    ~ControlsTest() override;

    HWND Make(LPCWSTR window_class, LPCWSTR text, DWORD style, int id,
              RECT rect = {10, 10, 210, 50});
    static void Tap(HWND control, POINT point = {5, 5});
    // What the parent has heard since the last call.
    std::vector<Heard> TakeHeard();

    HWND parent_ = nullptr;
};

}  // namespace tovarin::gwes::controls::testing
