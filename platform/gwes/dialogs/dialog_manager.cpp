// Dialogs from templates: CreateDialogParamW, CreateDialogIndirectParamW, DialogBoxParamW,
// DialogBoxIndirectParamW and EndDialog.
//
// A dialog is made as the phone makes it: the dialog window (class "Dialog" unless the template
// names one), then every control in template order with its id, style and text, positions
// converted from dialog units with the dialog font's base units; then WM_INITDIALOG, whose TRUE
// gives the focus to the first tab-stop control (its wParam). A control that cannot be made
// fails the dialog unless it has DS_NOFAILCREATE.
//
// The modal loop runs on the caller's thread. The owner is disabled while it runs (WM_ENABLE),
// messages for the dialog go through IsDialogMessageW, and EndDialog ends the loop, after which
// the owner is enabled and activated again and the dialog is destroyed. A WM_QUIT taken by the
// loop ends it and is posted again for the thread's own loop.
#include "gwes/dialogs/dialog_manager.h"

#include <optional>

#include <windows.h>

#include "gwes/messages/message_pump.h"
#include "gwes/window_manager.h"
#include "gwes/windows/geometry.h"
#include "gwes/windows/procedure_handles.h"
#include "kernel/handles.h"
#include "kernel/resources/module_resources.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

// A template given by address outside any resource is read up to this size.
constexpr size_t kLargestLooseTemplate = 64 * 1024;

Window* TopLevelOf(Window* window) {
    while (window && window->parent) {
        window = window->parent;
    }
    return window;
}

// The class a template names, as CreateWindowExW takes it; empty text and no number for none.
std::wstring ClassNameOf(const NameOrNumber& name, bool* found_atom) {
    *found_atom = false;
    if (name.number) {
        std::wstring predefined = PredefinedClassName(*name.number);
        if (!predefined.empty()) {
            return predefined;
        }
        *found_atom = true;  // a registered class's atom
        return {};
    }
    return name.text;
}

HWND FirstTabStop(HWND dialog) {
    return GetNextDlgTabItem(dialog, nullptr, FALSE);
}

// Wakes a modal loop that waits for its next message.
void WakeLoop(HWND dialog) {
    PostMessageW(dialog, WM_NULL, 0, 0);
}

}  // namespace

namespace tovarin::gwes {

std::shared_ptr<DialogState> DialogOf(WindowManager& wm, HWND hwnd) {
    Window* window = wm.windows().Find(hwnd);
    return window ? window->dialog : nullptr;
}

std::shared_ptr<DialogState> DialogOrFail(WindowManager& wm, HWND hwnd) {
    std::shared_ptr<DialogState> state = DialogOf(wm, hwnd);
    if (!state) {
        SetError(ERROR_INVALID_WINDOW_HANDLE);
    }
    return state;
}

std::optional<BaseUnits> DialogBaseUnitsOrFail(HWND hwnd) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    std::shared_ptr<DialogState> state = DialogOrFail(wm, hwnd);
    return state ? std::optional(state->base) : std::nullopt;
}

std::optional<DialogTemplate> ReadTemplateAt(const void* address) {
    if (!address) {
        return std::nullopt;
    }
    std::span<const std::byte> bytes = kernel::resources::ResourceBytesFrom(address);
    if (bytes.empty()) {
        bytes = {static_cast<const std::byte*>(address), kLargestLooseTemplate};
    }
    return ReadDialogTemplate(bytes);
}

std::optional<DialogTemplate> LoadDialogTemplate(HINSTANCE instance, LPCWSTR name) {
    HMODULE module = kernel::resources::ModuleOfInstance(instance);
    std::optional<std::span<const std::byte>> bytes =
        kernel::resources::FindModuleResource(module, RT_DIALOG, name);
    if (!bytes) {
        return std::nullopt;
    }
    std::optional<DialogTemplate> dialog = ReadDialogTemplate(*bytes);
    if (!dialog) {
        SetError(ERROR_RESOURCE_DATA_NOT_FOUND);
    }
    return dialog;
}

// The template's font at the screen's resolution. Text is drawn in the device's one typeface
// whatever the template names, so its metrics match the base units the template was laid out in.
static HFONT DialogFont(const DialogTemplate& dialog) {
    LOGFONTW font{};
    const int points = dialog.point_size > 0 ? dialog.point_size : kSystemFontPoints;
    font.lfHeight = -((points * kScreenDpi + 36) / 72);
    font.lfWeight = dialog.weight ? dialog.weight : FW_NORMAL;
    font.lfItalic = dialog.italic ? TRUE : FALSE;
    font.lfCharSet = dialog.charset;
    const size_t length = std::min<size_t>(dialog.typeface.size(), LF_FACESIZE - 1);
    std::copy_n(dialog.typeface.begin(), length, font.lfFaceName);
    return CreateFontIndirectW(&font);
}

HWND CreateDialogFromTemplate(HINSTANCE instance, const DialogTemplate& dialog, HWND parent,
                              DLGPROC proc, LPARAM param, bool modal) {
    WindowManager& wm = WindowManager::Current();
    const bool child = (dialog.style & WS_CHILD) != 0;
    const BaseUnits base =
        dialog.has_font ? BaseUnitsForPoints(dialog.point_size) : SystemBaseUnits();

    RECT rect = PlacementToPixels(dialog.x, dialog.y, dialog.cx, dialog.cy, base);
    {
        auto lock = wm.Lock();
        Window* parent_window = parent ? wm.WindowOrFail(parent) : nullptr;
        if (parent && !parent_window) {
            return nullptr;
        }
        if (child && !parent_window) {
            lock.unlock();
            SetError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
        if (!child) {
            const RECT work = WorkArea(wm);
            POINT origin{work.left, work.top};
            if (dialog.style & DS_CENTER) {
                origin.x = work.left + (work.right - work.left - (rect.right - rect.left)) / 2;
                origin.y = work.top + (work.bottom - work.top - (rect.bottom - rect.top)) / 2;
                OffsetRect(&rect, origin.x - rect.left, origin.y - rect.top);
            } else if (Window* owner = TopLevelOf(parent_window);
                       owner && !(dialog.style & DS_ABSALIGN)) {
                POINT client = ClientOriginOnScreen(*owner);
                OffsetRect(&rect, client.x, client.y);
            } else if (!(dialog.style & DS_ABSALIGN)) {
                OffsetRect(&rect, origin.x, origin.y);
            }
        }
    }

    bool by_atom = false;
    std::wstring class_name = ClassNameOf(dialog.window_class, &by_atom);
    LPCWSTR window_class = kDialogClassName;
    if (by_atom) {
        window_class = MAKEINTRESOURCEW(*dialog.window_class.number);
    } else if (!class_name.empty()) {
        window_class = class_name.c_str();
    }
    const DWORD style = dialog.style & ~static_cast<DWORD>(WS_VISIBLE);
    // A dialog inside another takes part in its parent's keyboard navigation.
    const DWORD ex_style =
        dialog.ex_style | ((dialog.style & DS_CONTROL) ? WS_EX_CONTROLPARENT : 0);
    HWND hwnd = CreateWindowExW(ex_style, window_class, dialog.caption.c_str(), style, rect.left,
                                rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                nullptr, instance, nullptr);
    if (!hwnd) {
        return nullptr;
    }
    auto state = std::make_shared<DialogState>();
    if (dialog.has_font) {
        state->font = DialogFont(dialog);
    }
    state->proc = proc;
    state->proc_handle = ProcedureHandle(reinterpret_cast<WNDPROC>(proc));
    state->base = base;
    state->modal = modal;
    {
        auto lock = wm.Lock();
        Window* window = wm.windows().Find(hwnd);
        if (!window) {
            return nullptr;
        }
        window->dialog = state;
        if (window->extra.size() > DWL_DLGPROC / 4) {
            window->extra[DWL_DLGPROC / 4] = state->proc_handle;
        }
    }

    // The dialog, then each control as it is made, hears of the dialog's font.
    if (state->font) {
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(state->font), FALSE);
    }
    for (const DialogItemTemplate& item : dialog.items) {
        bool item_by_atom = false;
        std::wstring item_class = ClassNameOf(item.window_class, &item_by_atom);
        LPCWSTR class_arg =
            item_by_atom ? MAKEINTRESOURCEW(*item.window_class.number) : item_class.c_str();
        // A text given as a number (an icon or bitmap of a static control) reaches the control
        // as the phone passes it: 0xFFFF followed by the number.
        std::wstring text = item.text.text;
        if (item.text.number) {
            text = std::wstring{wchar_t{0xFFFF}, static_cast<wchar_t>(*item.text.number)};
        }
        RECT item_rect = PlacementToPixels(item.x, item.y, item.cx, item.cy, base);
        LPVOID creation = item.creation_data.empty()
                              ? nullptr
                              : const_cast<std::byte*>(item.creation_data.data());
        HWND control = CreateWindowExW(
            item.ex_style | WS_EX_NOPARENTNOTIFY, class_arg, text.c_str(), item.style | WS_CHILD,
            item_rect.left, item_rect.top, item_rect.right - item_rect.left,
            item_rect.bottom - item_rect.top, hwnd,
            reinterpret_cast<HMENU>(static_cast<uintptr_t>(item.id)), instance, creation);
        if (control && state->font) {
            SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(state->font), FALSE);
        }
        if (!control && !(dialog.style & DS_NOFAILCREATE)) {
            DWORD error = GetLastError();
            DestroyWindow(hwnd);
            SetError(error ? error : ERROR_CLASS_DOES_NOT_EXIST);
            return nullptr;
        }
    }

    HWND first = FirstTabStop(hwnd);
    if (SendMessageW(hwnd, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param) && first &&
        IsWindow(first)) {
        SetFocus(first);
    }
    if (!IsWindow(hwnd)) {
        return nullptr;  // the dialog procedure destroyed it
    }
    if ((dialog.style & WS_VISIBLE) && !modal) {
        bool ended = false;
        {
            auto lock = wm.Lock();
            ended = state->ended;
        }
        if (!ended) {
            ShowWindow(hwnd, SW_SHOWNORMAL);
        }
    }
    return hwnd;
}

}  // namespace tovarin::gwes

namespace {

INT_PTR RunModal(HINSTANCE instance, const std::optional<DialogTemplate>& dialog, HWND parent,
                 DLGPROC proc, LPARAM param) {
    if (!dialog) {
        return -1;
    }
    WindowManager& wm = WindowManager::Current();
    HWND owner = nullptr;
    if (parent) {
        auto lock = wm.Lock();
        Window* window = wm.WindowOrFail(parent);
        if (!window) {
            return -1;
        }
        owner = TopLevelOf(window)->handle;
    }
    HWND hwnd =
        CreateDialogFromTemplate(instance, *dialog, (dialog->style & WS_CHILD) ? parent : owner,
                                 proc, param, /*modal=*/true);
    if (!hwnd) {
        return -1;
    }
    std::shared_ptr<DialogState> state;
    {
        auto lock = wm.Lock();
        state = DialogOf(wm, hwnd);
    }
    auto ended = [&] {
        auto lock = wm.Lock();
        return state->ended || !wm.windows().Find(hwnd);
    };

    const bool disabled_owner = owner && !ended() && IsWindowEnabled(owner);
    if (disabled_owner) {
        EnableWindow(owner, FALSE);
    }
    if (!ended()) {
        ShowWindow(hwnd, SW_SHOWNORMAL);
    }
    std::optional<int> quit_code;
    MSG message;
    while (!ended()) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) {
            break;
        }
        if (got == 0) {
            quit_code = static_cast<int>(message.wParam);
            break;
        }
        if (!IsDialogMessageW(hwnd, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (disabled_owner && IsWindow(owner)) {
        EnableWindow(owner, TRUE);
    }
    if (IsWindow(hwnd)) {
        DestroyWindow(hwnd);  // its owner takes the activation back
    }
    if (quit_code) {
        PostQuitMessage(*quit_code);
    }
    auto lock = wm.Lock();
    return state->result;
}

}  // namespace

extern "C" {

HWND WINAPI CreateDialogIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW lpTemplate,
                                       HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    std::optional<DialogTemplate> dialog = ReadTemplateAt(lpTemplate);
    if (!dialog) {
        SetError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateDialogFromTemplate(hInstance, *dialog, hWndParent, lpDialogFunc, dwInitParam,
                                    /*modal=*/false);
}

HWND WINAPI CreateDialogParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    std::optional<DialogTemplate> dialog = LoadDialogTemplate(hInstance, lpTemplateName);
    if (!dialog) {
        return nullptr;
    }
    return CreateDialogFromTemplate(hInstance, *dialog, hWndParent, lpDialogFunc, dwInitParam,
                                    /*modal=*/false);
}

INT_PTR WINAPI DialogBoxIndirectParamW(HINSTANCE hInstance, LPCDLGTEMPLATEW hDialogTemplate,
                                       HWND hWndParent, DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    std::optional<DialogTemplate> dialog = ReadTemplateAt(hDialogTemplate);
    if (!dialog) {
        SetError(ERROR_INVALID_PARAMETER);
    }
    return RunModal(hInstance, dialog, hWndParent, lpDialogFunc, dwInitParam);
}

INT_PTR WINAPI DialogBoxParamW(HINSTANCE hInstance, LPCWSTR lpTemplateName, HWND hWndParent,
                               DLGPROC lpDialogFunc, LPARAM dwInitParam) {
    return RunModal(hInstance, LoadDialogTemplate(hInstance, lpTemplateName), hWndParent,
                    lpDialogFunc, dwInitParam);
}

BOOL WINAPI EndDialog(HWND hDlg, INT_PTR nResult) {
    WindowManager& wm = WindowManager::Current();
    bool modal = false;
    {
        auto lock = wm.Lock();
        std::shared_ptr<DialogState> state = DialogOrFail(wm, hDlg);
        if (!state) {
            return FALSE;
        }
        state->ended = true;
        state->result = nResult;
        modal = state->modal;
    }
    if (modal) {
        WakeLoop(hDlg);
    } else {
        ShowWindow(hDlg, SW_HIDE);  // a modeless dialog is hidden; its owner destroys it
    }
    return TRUE;
}

}  // extern "C"
