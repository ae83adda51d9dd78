// RelayoutDialog: a dialog's controls take their places from another template of the same
// dialog (the phone's layout for the other orientation).
#include <cwctype>
#include <map>
#include <string>
#include <optional>
#include <vector>

#include <aygshell.h>
#include <windows.h>

#include "gwes/dialogs/dialog_manager.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

struct Control {
    HWND hwnd;
    LONG id;
};

std::vector<Control> ControlsOf(HWND dialog) {
    std::vector<Control> controls;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        controls.push_back({child, GetWindowLongW(child, GWL_ID)});
    }
    return controls;
}

bool KeepsItsOwnText(HWND control) {
    wchar_t name[32] = {};
    GetClassNameW(control, name, 32);
    std::wstring upper(name);
    for (wchar_t& c : upper) {
        c = static_cast<wchar_t>(std::towupper(c));
    }
    // A list's text is its selection, which stays.
    return upper == L"COMBOBOX" || upper == L"LISTBOX";
}

}  // namespace

extern "C" {

BOOL WINAPI RelayoutDialog(HINSTANCE hInst, HWND hDlg, LPCWSTR lpDialogTemplate) {
    std::optional<BaseUnits> base = DialogBaseUnitsOrFail(hDlg);
    if (!base) {
        return FALSE;
    }
    std::optional<DialogTemplate> layout = LoadDialogTemplate(hInst, lpDialogTemplate);
    if (!layout) {
        return FALSE;
    }
    // The k-th control of an id takes the place of the k-th template item of that id.
    std::map<LONG, std::vector<HWND>> by_id;
    for (const Control& control : ControlsOf(hDlg)) {
        by_id[control.id].push_back(control.hwnd);
    }
    std::map<LONG, size_t> used;
    HDWP batch = BeginDeferWindowPos(static_cast<int>(layout->items.size()));
    std::vector<std::pair<HWND, std::wstring>> texts;
    for (const DialogItemTemplate& item : layout->items) {
        const LONG id = static_cast<LONG>(item.id);
        auto controls = by_id.find(id);
        size_t& index = used[id];
        if (controls == by_id.end() || index >= controls->second.size()) {
            continue;  // this dialog has no such control
        }
        HWND control = controls->second[index++];
        RECT rect = PlacementToPixels(item.x, item.y, item.cx, item.cy, *base);
        batch = DeferWindowPos(batch, control, nullptr, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
        if (!batch) {
            return FALSE;
        }
        if (!item.text.number && !item.text.text.empty() && !KeepsItsOwnText(control)) {
            texts.emplace_back(control, item.text.text);
        }
    }
    if (!EndDeferWindowPos(batch)) {
        return FALSE;
    }
    for (const auto& [control, text] : texts) {
        SetWindowTextW(control, text.c_str());
    }
    return TRUE;
}

}  // extern "C"
