// Controls under test sit in a parent window that logs what reaches it
// (testing/message_sequence.h): WM_COMMAND, WM_NOTIFY (its code as lParam), WM_DRAWITEM (action and
// state as lParam) and WM_HSCROLL / WM_VSCROLL. A tap is WM_LBUTTONDOWN and WM_LBUTTONUP at a point
// of the control, as the stylus delivers them.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include <windows.h>
#include <commctrl.h>

#include "testing/device_fixture.h"
#include "testing/message_sequence.h"

namespace tovarin::gwes::controls::testing {

using tovarin::testing::ExpectedMessage;
using tovarin::testing::LoggedMessage;
using Table = std::vector<ExpectedMessage>;

// What the parent hears, as the rows of an expected table.
inline ExpectedMessage Command(int id, int code) {
    using namespace tovarin::testing;
    return {WM_COMMAND, kSent | kParent | kCheckWparam,
            MAKEWPARAM(static_cast<WORD>(id), static_cast<WORD>(code))};
}
inline ExpectedMessage Notify(int id, int code) {
    using namespace tovarin::testing;
    return {WM_NOTIFY, kSent | kParent | kCheckWparam | kCheckLparam, static_cast<WPARAM>(id),
            static_cast<LPARAM>(code)};
}
// An owner-drawn button's WM_DRAWITEM, logged with the action and the state in lParam.
inline ExpectedMessage DrawItem(int id, UINT action, UINT state) {
    using namespace tovarin::testing;
    return {WM_DRAWITEM, kSent | kParent | kCheckWparam | kCheckLparam, static_cast<WPARAM>(id),
            MAKELPARAM(action, state)};
}
// WM_HSCROLL or WM_VSCROLL with its code and position (the sender's handle is not compared).
inline ExpectedMessage Scroll(UINT message, int code, int position) {
    using namespace tovarin::testing;
    return {message, kSent | kParent | kCheckWparam,
            MAKEWPARAM(static_cast<WORD>(code), static_cast<WORD>(position))};
}

class ControlsTest : public kernel::testing::SimulatedDeviceTest {
  protected:
    ControlsTest();
    ~ControlsTest() override;

    HWND Make(LPCWSTR window_class, LPCWSTR text, DWORD style, int id,
              RECT rect = {10, 10, 210, 50});
    static void Tap(HWND control, POINT point = {5, 5});
    // What the parent has heard since the last call.
    static std::vector<LoggedMessage> TakeHeard();

    HWND parent_ = nullptr;
};

}  // namespace tovarin::gwes::controls::testing
