// The dialog manager: dialogs made from templates, their state, and the modal loop.
#pragma once

#include <memory>
#include <optional>

#include <windows.h>

#include "gwes/dialogs/dialog_template.h"
#include "gwes/dialogs/dialog_units.h"

namespace tovarin::gwes {

class WindowManager;

// What the dialog manager keeps of a dialog (Window::dialog).
struct DialogState {
    DLGPROC proc = nullptr;
    LONG proc_handle = 0;  // what DWL_DLGPROC holds for `proc`
    BaseUnits base;
    bool modal = false;
    bool ended = false;
    INT_PTR result = 0;
    HWND saved_focus = nullptr;  // the control that had the focus when the dialog went inactive
    UINT default_id = IDOK;
    HFONT font = nullptr;  // made from the template's font; the dialog owns it
};

// Kernel lock held: the dialog state of a window, null for other windows.
std::shared_ptr<DialogState> DialogOf(WindowManager& wm, HWND hwnd);
// The same, failing with ERROR_INVALID_WINDOW_HANDLE for a handle of no dialog.
std::shared_ptr<DialogState> DialogOrFail(WindowManager& wm, HWND hwnd);
// Without the lock: the dialog's base units, which place its items; none, with
// ERROR_INVALID_WINDOW_HANDLE, for a handle of no dialog.
std::optional<BaseUnits> DialogBaseUnitsOrFail(HWND hwnd);

// Makes the dialog of a template (WM_INITDIALOG included), shown if its style says so and
// `show` allows. Null on failure, with the last error set.
HWND CreateDialogFromTemplate(HINSTANCE instance, const DialogTemplate& dialog, HWND parent,
                              DLGPROC proc, LPARAM param, bool modal);

// The template behind a pointer a caller gave: bounded by its resource when it lies in one found
// through FindResourceW, otherwise by the largest template the device accepts.
std::optional<DialogTemplate> ReadTemplateAt(const void* address);

// The template resource of a module (RT_DIALOG).
std::optional<DialogTemplate> LoadDialogTemplate(HINSTANCE instance, LPCWSTR name);

}  // namespace tovarin::gwes
