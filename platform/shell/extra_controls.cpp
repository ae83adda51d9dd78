// SHInitExtraControls, the shell's start-up entry: registers the shell's extra control class
// "SIPPREF". A dialog that holds that control starts with the input panel lowered, as the
// phone's shell does for a dialog until one of its edits takes the focus.
#include <windows.h>
#include <aygshell.h>

namespace {

constexpr wchar_t kSipPreferenceClass[] = L"SIPPREF";

LRESULT CALLBACK SipPreferenceProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        if (HWND dialog = GetParent(hwnd)) {
            SHSipPreference(dialog, SIP_DOWN);
        }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

extern "C" {

BOOL WINAPI SHInitExtraControls(void) {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = SipPreferenceProc;
    window_class.lpszClassName = kSipPreferenceClass;
    if (RegisterClassW(&window_class) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return FALSE;
    }
    return TRUE;
}

}  // extern "C"
