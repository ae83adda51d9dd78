// What every standard control shares: the state record a control keeps beside its window, the
// notifications it sends to its parent, and the geometry and style it reads from its window.
//
// A control's state is touched only by the window's own thread (its procedure), so the records
// need no lock of their own; the table that maps windows to records has one. The table belongs to
// the device, so a window that went without WM_DESTROY (its thread ended) costs nothing after the
// device is gone, and WM_CREATE always starts a fresh record for a reused handle value.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include <windows.h>

namespace tovarin::gwes::controls {

struct ControlState {
    virtual ~ControlState() = default;
    HFONT font = nullptr;  // WM_SETFONT's; the system font when null
};

void AttachState(HWND hwnd, std::shared_ptr<ControlState> state);
void DetachState(HWND hwnd);
std::shared_ptr<ControlState> StateOf(HWND hwnd);

template <typename T>
std::shared_ptr<T> StateAs(HWND hwnd) {
    return std::dynamic_pointer_cast<T>(StateOf(hwnd));
}

// The usual shape of a control's procedure: a record made on WM_CREATE and dropped on
// WM_DESTROY; any other message before WM_CREATE or after WM_DESTROY goes to DefWindowProcW.
template <typename T>
std::shared_ptr<T> StateForMessage(HWND hwnd, UINT message) {
    if (message == WM_CREATE) {
        auto state = std::make_shared<T>();
        AttachState(hwnd, state);
        return state;
    }
    std::shared_ptr<T> state = StateAs<T>(hwnd);
    if (message == WM_DESTROY) {
        DetachState(hwnd);
    }
    return state;
}

// WM_COMMAND to the control's parent (or owner) with the control's id and the code.
void NotifyParent(HWND control, WORD code);
// WM_NOTIFY to the parent with an NMHDR at the head of `header` filled in; returns the answer.
LRESULT NotifyParentNm(HWND control, UINT code, void* header);

HWND ParentOf(HWND control);
int ControlId(HWND control);
DWORD StyleOf(HWND control);
void SetStyleBits(HWND control, DWORD bits, bool on);
bool IsEnabled(HWND control);
SIZE ClientSize(HWND control);
// The window's top-left corner in screen coordinates.
POINT ScreenOrigin(HWND hwnd);
bool IsClass(HWND hwnd, std::wstring_view class_name);

// The window's text as stored (WM_SETTEXT through the default procedure keeps it there, and other
// threads read it from there).
std::wstring StoredText(HWND hwnd);
void StoreText(HWND hwnd, std::wstring_view text);

// A tap point in a control's client coordinates, from a stylus message's lParam.
inline POINT PointOf(LPARAM lparam) {
    return POINT{static_cast<SHORT>(LOWORD(lparam)), static_cast<SHORT>(HIWORD(lparam))};
}
bool Inside(HWND control, POINT point);

// A tapped control takes the keyboard focus, as on the phone (WM_KILLFOCUS / WM_SETFOCUS).
void TakeFocus(HWND control);

}  // namespace tovarin::gwes::controls
