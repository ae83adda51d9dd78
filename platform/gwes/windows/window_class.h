// Window classes of the device. Class names compare without regard to case, as on the phone; a
// class may also be named by the atom that RegisterClassW returned.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <windows.h>

namespace tovarin::gwes {

struct WindowClass {
    std::wstring name;
    ATOM atom = 0;
    WNDPROC proc = nullptr;
    UINT style = 0;
    int window_extra_bytes = 0;
    HBRUSH background = nullptr;  // WM_ERASEBKGND's fill: a brush, or COLOR_* + 1
    HINSTANCE instance = nullptr;
    bool built_in = false;    // classes of the system, which cannot be unregistered
    uint32_t process_id = 0;  // the process that registered it: its classes go when it ends
    int windows = 0;          // live windows of the class
};

// Guarded by the kernel lock.
class ClassTable {
  public:
    // The class named by a string or by an atom (MAKEINTATOM); null when there is none.
    std::shared_ptr<WindowClass> Find(LPCWSTR name_or_atom) const;
    // Adds a class; returns its atom, or 0 when a class of that name exists.
    ATOM Add(WindowClass window_class);
    // Removes a class; returns the error code of the documented failure, or 0.
    DWORD Remove(LPCWSTR name_or_atom);
    // Removes the classes an ended process registered. A window still there (its last thread's
    // windows go after the process has ended) keeps its class to the end.
    void RemoveAllOf(uint32_t process_id);

  private:
    std::vector<std::shared_ptr<WindowClass>> classes_;
    ATOM next_atom_ = 0xC000;  // the range of registered (string) atoms
};

// The system's built-in dialog class: dialogs, message boxes and the phone's call dialog.
inline constexpr const wchar_t kDialogClassName[] = L"Dialog";
// Extra bytes of a dialog window: DWL_MSGRESULT, DWL_DLGPROC and DWL_USER are slots in them.
inline constexpr int kDialogWindowExtraBytes = 32;

}  // namespace tovarin::gwes
