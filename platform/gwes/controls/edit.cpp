// The EDIT class, single-line: the text (kept as the window's text, so that GetWindowTextW of any
// thread reads it), the selection, the length limit, read-only and password styles.
//
// What the user types arrives as WM_CHAR: a character replaces the selection, backspace deletes
// the selection or the character before the caret. Each change sends EN_UPDATE and then EN_CHANGE
// to the parent; a character that would pass the limit is refused with EN_MAXTEXT. A read-only or
// disabled edit takes no typing. A program's WM_SETTEXT and EM_REPLACESEL change the text too and
// notify the same way; the limit holds for typing and EM_REPLACESEL only, as documented.
#include <algorithm>
#include <cwctype>
#include <string>

#include "gwes/controls/control_paint.h"
#include "gwes/controls/control_painters.h"
#include "gwes/controls/control_state.h"
#include "gwes/controls/standard_controls.h"

namespace tovarin::gwes::controls {
namespace {

constexpr size_t kDefaultLimit = 30000;
constexpr size_t kLargestLimit = 0x7FFFFFFE;

struct EditState : ControlState {
    size_t sel_start = 0;  // the selection [sel_start, sel_end); the caret is at sel_end
    size_t sel_end = 0;
    size_t limit = kDefaultLimit;
    wchar_t password_char = 0;
    bool modified = false;
};

void Notify(HWND hwnd) {
    NotifyParent(hwnd, EN_UPDATE);
    NotifyParent(hwnd, EN_CHANGE);
}

// Replaces the selection with `insert`; false (nothing changes) when that would pass `limit`.
bool ReplaceSelection(HWND hwnd, EditState& state, std::wstring_view insert, size_t limit) {
    std::wstring text = StoredText(hwnd);
    const size_t start = std::min(state.sel_start, text.size());
    const size_t end = std::min(std::max(state.sel_end, start), text.size());
    if (text.size() - (end - start) + insert.size() > limit) {
        return false;
    }
    text.replace(start, end - start, insert);
    StoreText(hwnd, text);
    state.sel_start = state.sel_end = start + insert.size();
    return true;
}

bool Accepts(HWND hwnd, wchar_t c) {
    if (c < L' ') {
        return false;
    }
    return !(StyleOf(hwnd) & ES_NUMBER) || (c >= L'0' && c <= L'9');
}

wchar_t Cased(HWND hwnd, wchar_t c) {
    const DWORD style = StyleOf(hwnd);
    if (style & ES_UPPERCASE) {
        return static_cast<wchar_t>(std::towupper(c));
    }
    if (style & ES_LOWERCASE) {
        return static_cast<wchar_t>(std::towlower(c));
    }
    return c;
}

void Typed(HWND hwnd, EditState& state, wchar_t c) {
    if (!IsEnabled(hwnd) || (StyleOf(hwnd) & ES_READONLY)) {
        return;
    }
    if (c == VK_BACK) {
        if (state.sel_start == state.sel_end) {
            if (state.sel_start == 0) {
                return;
            }
            state.sel_start--;
        }
        ReplaceSelection(hwnd, state, L"", kLargestLimit);
    } else if (!Accepts(hwnd, c)) {
        return;
    } else {
        const wchar_t typed = Cased(hwnd, c);
        if (!ReplaceSelection(hwnd, state, std::wstring_view(&typed, 1), state.limit)) {
            NotifyParent(hwnd, EN_MAXTEXT);
            return;
        }
    }
    state.modified = true;
    Notify(hwnd);
}

void SetSelection(HWND hwnd, EditState& state, LONG start, LONG end) {
    const size_t length = StoredText(hwnd).size();
    if (start == -1) {  // no selection: the caret stays where the selection ended
        state.sel_start = state.sel_end = std::min(state.sel_end, length);
        return;
    }
    auto clamp = [length](LONG value) {
        return value < 0 ? length : std::min(static_cast<size_t>(value), length);
    };
    const size_t a = clamp(start);
    const size_t b = clamp(end);
    state.sel_start = std::min(a, b);
    state.sel_end = std::max(a, b);
}

LRESULT CALLBACK EditProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    auto state = StateForMessage<EditState>(hwnd, message);
    if (!state) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    RepaintAfter repaint(hwnd, message);
    switch (message) {
        case WM_CREATE:
            if (StyleOf(hwnd) & ES_PASSWORD) {
                state->password_char = L'*';
            }
            return 0;
        case WM_CHAR:
            Typed(hwnd, *state, static_cast<wchar_t>(wparam));
            return 0;
        case WM_KEYDOWN:
            if (wparam == VK_DELETE && IsEnabled(hwnd) && !(StyleOf(hwnd) & ES_READONLY)) {
                if (state->sel_start == state->sel_end) {
                    state->sel_end = std::min(state->sel_end + 1, StoredText(hwnd).size());
                }
                if (state->sel_start != state->sel_end) {
                    ReplaceSelection(hwnd, *state, L"", kLargestLimit);
                    state->modified = true;
                    Notify(hwnd);
                }
            }
            return 0;
        case WM_LBUTTONDOWN:
            if (IsEnabled(hwnd)) {
                // A tap takes the focus and puts the caret at the end of the text.
                TakeFocus(hwnd);
                const size_t length = StoredText(hwnd).size();
                state->sel_start = state->sel_end = length;
            }
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        case WM_SETTEXT: {
            DefWindowProcW(hwnd, message, wparam, lparam);
            state->sel_start = state->sel_end = 0;
            state->modified = false;
            Notify(hwnd);
            return TRUE;
        }
        case WM_SETFOCUS:
            NotifyParent(hwnd, EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            NotifyParent(hwnd, EN_KILLFOCUS);
            return 0;
        case EM_GETSEL: {
            if (wparam) {
                *reinterpret_cast<DWORD*>(wparam) = static_cast<DWORD>(state->sel_start);
            }
            if (lparam) {
                *reinterpret_cast<DWORD*>(lparam) = static_cast<DWORD>(state->sel_end);
            }
            return MAKELONG(std::min<size_t>(state->sel_start, 0xFFFF),
                            std::min<size_t>(state->sel_end, 0xFFFF));
        }
        case EM_SETSEL:
            SetSelection(hwnd, *state, static_cast<LONG>(wparam), static_cast<LONG>(lparam));
            return 0;
        case EM_REPLACESEL: {
            const auto* text = reinterpret_cast<LPCWSTR>(lparam);
            if (ReplaceSelection(hwnd, *state, text ? text : L"", state->limit)) {
                Notify(hwnd);
            } else {
                NotifyParent(hwnd, EN_MAXTEXT);
            }
            return 0;
        }
        case EM_LIMITTEXT:
            state->limit = wparam == 0 ? kLargestLimit : static_cast<size_t>(wparam);
            return 0;
        case EM_GETLIMITTEXT:
            return static_cast<LRESULT>(state->limit);
        case EM_SETREADONLY:
            SetStyleBits(hwnd, ES_READONLY, wparam != 0);
            return TRUE;
        case EM_SETPASSWORDCHAR:
            state->password_char = static_cast<wchar_t>(wparam);
            SetStyleBits(hwnd, ES_PASSWORD, wparam != 0);
            return 0;
        case EM_GETPASSWORDCHAR:
            return state->password_char;
        case EM_GETMODIFY:
            return state->modified ? TRUE : FALSE;
        case EM_SETMODIFY:
            state->modified = wparam != 0;
            return 0;
        case EM_GETLINECOUNT:
            return 1;
        case WM_PAINT:
            PaintEdit(hwnd);
            return 0;
        case WM_SETFONT:
        case WM_GETFONT:
            return FontMessage(hwnd, *state, message, wparam, lparam);
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

}  // namespace

WNDPROC EditProcedure() {
    return &EditProc;
}

}  // namespace tovarin::gwes::controls
