// A dialog's controls: GetDlgItem, GetDlgCtrlID, SetDlgItemTextW, GetDlgItemTextW,
// SetDlgItemInt, GetDlgItemInt, CheckDlgButton, IsDlgButtonChecked, CheckRadioButton,
// SendDlgItemMessageW, MapDialogRect and GetDialogBaseUnits. Texts and checks go through the
// control's own messages (WM_SETTEXT, WM_GETTEXT, BM_SETCHECK, BM_GETCHECK).
#include <climits>
#include <cwctype>
#include <optional>
#include <string>

#include <windows.h>

#include "gwes/dialogs/dialog_manager.h"
#include "gwes/window_manager.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

// Decimal text as GetDlgItemInt reads it: spaces, an optional minus sign (signed only), at least
// one digit, spaces; nothing else, and a value in range.
std::optional<long long> ParseInteger(const std::wstring& text, bool is_signed) {
    size_t at = 0;
    while (at < text.size() && std::iswspace(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && text[at] == L'-' && is_signed) {
        negative = true;
        ++at;
    }
    long long value = 0;
    size_t digits = 0;
    while (at < text.size() && text[at] >= L'0' && text[at] <= L'9') {
        value = value * 10 + (text[at] - L'0');
        if (value > 0xFFFFFFFFLL) {
            return std::nullopt;
        }
        ++at;
        ++digits;
    }
    while (at < text.size() && std::iswspace(text[at])) {
        ++at;
    }
    if (digits == 0 || at != text.size()) {
        return std::nullopt;
    }
    if (negative) {
        value = -value;
    }
    if (is_signed && (value > INT_MAX || value < INT_MIN)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

extern "C" {

HWND WINAPI GetDlgItem(HWND hDlg, int nIDDlgItem) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    const Window* dialog = wm.WindowOrFail(hDlg);
    if (!dialog) {
        return nullptr;
    }
    for (const Window* child : dialog->children) {
        if (child->id == nIDDlgItem) {
            return child->handle;
        }
    }
    lock.unlock();
    SetError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hWnd) {
    return ReadWindow(hWnd, 0, [](WindowManager&, const Window& window) {
        return window.parent ? window.id : 0;
    });
}

BOOL WINAPI SetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPCWSTR lpString) {
    HWND control = GetDlgItem(hDlg, nIDDlgItem);
    return control ? SetWindowTextW(control, lpString) : FALSE;
}

UINT WINAPI GetDlgItemTextW(HWND hDlg, int nIDDlgItem, LPWSTR lpString, int cchMax) {
    if (lpString && cchMax > 0) {
        lpString[0] = L'\0';
    }
    HWND control = GetDlgItem(hDlg, nIDDlgItem);
    if (!control) {
        return 0;
    }
    return static_cast<UINT>(GetWindowTextW(control, lpString, cchMax));
}

BOOL WINAPI SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned) {
    std::wstring text =
        bSigned ? std::to_wstring(static_cast<int>(uValue)) : std::to_wstring(uValue);
    return SetDlgItemTextW(hDlg, nIDDlgItem, text.c_str());
}

UINT WINAPI GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned) {
    if (lpTranslated) {
        *lpTranslated = FALSE;
    }
    HWND control = GetDlgItem(hDlg, nIDDlgItem);
    if (!control) {
        return 0;
    }
    int length = GetWindowTextLengthW(control);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(control, text.data(), length + 1)));
    std::optional<long long> value = ParseInteger(text, bSigned != 0);
    if (!value) {
        return 0;
    }
    if (lpTranslated) {
        *lpTranslated = TRUE;
    }
    return static_cast<UINT>(*value);
}

BOOL WINAPI CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck) {
    HWND control = GetDlgItem(hDlg, nIDButton);
    if (!control) {
        return FALSE;
    }
    SendMessageW(control, BM_SETCHECK, uCheck, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND hDlg, int nIDButton) {
    HWND control = GetDlgItem(hDlg, nIDButton);
    return control ? static_cast<UINT>(SendMessageW(control, BM_GETCHECK, 0, 0)) : 0;
}

BOOL WINAPI CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id) {
        if (HWND control = GetDlgItem(hDlg, id)) {
            SendMessageW(control, BM_SETCHECK, id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED,
                         0);
        }
    }
    return TRUE;
}

LRESULT WINAPI SendDlgItemMessageW(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam,
                                   LPARAM lParam) {
    HWND control = GetDlgItem(hDlg, nIDDlgItem);
    return control ? SendMessageW(control, Msg, wParam, lParam) : 0;
}

BOOL WINAPI MapDialogRect(HWND hDlg, LPRECT lpRect) {
    std::optional<BaseUnits> base = DialogBaseUnitsOrFail(hDlg);
    if (!base) {
        return FALSE;
    }
    if (!lpRect) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpRect = DialogRectToPixels(*lpRect, *base);
    return TRUE;
}

LONG WINAPI GetDialogBaseUnits(void) {
    const BaseUnits base = SystemBaseUnits();
    return MAKELONG(base.x, base.y);
}

}  // extern "C"
