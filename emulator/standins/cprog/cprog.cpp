// cprog.exe as the emulator stands it in: the phone's dial pad, "Телефон" in the Start menu. A
// full-screen window with the number field, the twelve keys 1-9 * 0 #, a backspace key, and the
// soft key "Вызов" in its own menu-bar strip; "Вызов" hands the number to the phone application,
// which dials it as `call dial` does and shows its call screen over the pad. The pad stays open
// until it is closed with the caption's OK.
#include <aygshell.h>
#include <wchar.h>
#include <windows.h>

#include "common/phone_requests.h"
#include "dial_pad_layout.h"

namespace {

const wchar_t kProgram[] = L"cprog";
const wchar_t kWindowClass[] = L"DialPad";
const wchar_t kTitle[] = L"Телефон";

// The phone's look: key faces, the menu-bar strip, the highlight.
const COLORREF kKeyFace = RGB(0xE8, 0xE8, 0xE8);
const COLORREF kKeyPushed = RGB(0xC0, 0xC8, 0xD8);
const COLORREF kKeyBorder = RGB(0x40, 0x40, 0x40);
const COLORREF kLetters = RGB(0x60, 0x60, 0x60);
const COLORREF kBar = RGB(0x1C, 0x3C, 0x78);
const COLORREF kBarPushed = RGB(0x31, 0x6A, 0xC5);

HFONT g_numberFont = NULL;
HFONT g_digitFont = NULL;
HFONT g_lettersFont = NULL;
HFONT g_softKeyFont = NULL;

HFONT MakeFont(int height, BOOL bold) {
    LOGFONTW look = {};
    look.lfHeight = -height;
    look.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    wcscpy(look.lfFaceName, L"Tahoma");
    return CreateFontIndirectW(&look);
}

void MakeFonts() {
    g_numberFont = MakeFont(40, TRUE);
    g_digitFont = MakeFont(40, TRUE);
    g_lettersFont = MakeFont(18, FALSE);
    g_softKeyFont = MakeFont(22, FALSE);
}

void FreeFonts() {
    HFONT* fonts[] = {&g_numberFont, &g_digitFont, &g_lettersFont, &g_softKeyFont};
    for (HFONT* font : fonts) {
        if (*font) {
            DeleteObject(*font);
            *font = NULL;
        }
    }
}

void PaintLabel(HDC dc, HFONT font, COLORREF colour, LPCWSTR text, RECT area, UINT format) {
    HGDIOBJ previous = SelectObject(dc, font);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text, -1, &area, format | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previous);
}

void Fill(HDC dc, const RECT& area, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}

// A key: a grey face with a dark border, its digit large and its letters small under it; pushed,
// it is darker and its face moves down and right by a pixel.
void DrawKey(const DRAWITEMSTRUCT& item) {
    const DialKey* key = DialKeyOfId(static_cast<int>(item.CtlID));
    const BOOL pushed = (item.itemState & ODS_SELECTED) != 0;
    RECT face = item.rcItem;
    Fill(item.hDC, face, kKeyBorder);
    InflateRect(&face, -1, -1);
    Fill(item.hDC, face, pushed ? kKeyPushed : kKeyFace);
    if (pushed) {
        OffsetRect(&face, 1, 1);
    }
    if (key == NULL) {
        return;
    }
    RECT digit = face;
    RECT letters = face;
    if (key->letters[0] != L'\0') {
        digit.bottom = face.top + (face.bottom - face.top) * 2 / 3;
        letters.top = digit.bottom - 6;
        letters.bottom = face.bottom - 4;
        PaintLabel(item.hDC, g_lettersFont, kLetters, key->letters, letters, DT_CENTER | DT_TOP);
    }
    PaintLabel(item.hDC, g_digitFont, RGB(0, 0, 0), key->label, digit, DT_CENTER | DT_VCENTER);
}

// The soft key: the menu bar's dark blue with its label in white at the bar's left.
void DrawSoftKey(const DRAWITEMSTRUCT& item) {
    const BOOL pushed = (item.itemState & ODS_SELECTED) != 0;
    Fill(item.hDC, item.rcItem, pushed ? kBarPushed : kBar);
    RECT label = item.rcItem;
    label.left += 16;
    PaintLabel(item.hDC, g_softKeyFont, RGB(0xFF, 0xFF, 0xFF), L"Вызов", label,
               DT_LEFT | DT_VCENTER);
}

void AddToNumber(HWND window, wchar_t character) {
    HWND field = GetDlgItem(window, kNumberFieldId);
    wchar_t number[kLongestNumber + 1] = {};
    int length = GetWindowTextW(field, number, kLongestNumber + 1);
    if (length >= kLongestNumber) {
        return;
    }
    number[length] = character;
    number[length + 1] = L'\0';
    SetWindowTextW(field, number);
}

void TakeLastFromNumber(HWND window) {
    HWND field = GetDlgItem(window, kNumberFieldId);
    wchar_t number[kLongestNumber + 1] = {};
    int length = GetWindowTextW(field, number, kLongestNumber + 1);
    if (length > 0) {
        number[length - 1] = L'\0';
        SetWindowTextW(field, number);
    }
}

// Hands the number to the phone application; the phone shows its call screen while it dials.
void Dial(HWND window) {
    wchar_t number[kLongestNumber + 1] = {};
    GetDlgItemTextW(window, kNumberFieldId, number, kLongestNumber + 1);
    if (number[0] == L'\0') {
        NKDbgPrintfW(L"%s: no number to dial\r\n", kProgram);
        return;
    }
    HWND phone = FindWindowW(kWindowClassPhoneApplication, NULL);
    if (phone == NULL) {
        NKDbgPrintfW(L"%s: the phone application is not running\r\n", kProgram);
        return;
    }
    if (SendMessageW(phone, kMessagePhoneDial, 0, reinterpret_cast<LPARAM>(number)) == 1) {
        NKDbgPrintfW(L"%s: dialling %s\r\n", kProgram, number);
    } else {
        NKDbgPrintfW(L"%s: the phone cannot dial %s now\r\n", kProgram, number);
    }
}

void OnCommand(HWND window, int id) {
    const DialKey* key = DialKeyOfId(id);
    if (key != NULL) {
        AddToNumber(window, key->label[0]);
    } else if (id == kBackspaceId) {
        TakeLastFromNumber(window);
    } else if (id == kCallSoftKeyId) {
        Dial(window);
    } else if (id == IDOK) {
        DestroyWindow(window);
    }
}

void LayOut(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    for (int i = 0; i < kDialPadControlCount; ++i) {
        const int id = kDialPadControls[i];
        RECT place = DialPadPlace(id, client);
        SetWindowPos(GetDlgItem(window, id), NULL, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

BOOL MakeControls(HWND window, HINSTANCE instance) {
    HWND field =
        CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_CENTER, 0, 0, 0, 0,
                        window, reinterpret_cast<HMENU>(kNumberFieldId), instance, NULL);
    if (field == NULL) {
        return FALSE;
    }
    SendMessageW(field, WM_SETFONT, reinterpret_cast<WPARAM>(g_numberFont), FALSE);
    for (int i = 0; i < kDialPadControlCount; ++i) {
        const int id = kDialPadControls[i];
        if (id == kNumberFieldId) {
            continue;
        }
        const DialKey* key = DialKeyOfId(id);
        LPCWSTR text = key ? key->label : (id == kBackspaceId ? L"←" : L"Вызов");
        const DWORD style = WS_CHILD | WS_VISIBLE | (id == kBackspaceId ? 0 : BS_OWNERDRAW);
        HWND button =
            CreateWindowExW(0, L"BUTTON", text, style, 0, 0, 0, 0, window,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, NULL);
        if (button == NULL) {
            return FALSE;
        }
        if (id == kBackspaceId) {
            SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(g_digitFont), FALSE);
        }
    }
    LayOut(window);
    return TRUE;
}

LRESULT CALLBACK DialPadProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(hwnd, LOWORD(wParam));
            return 0;
        case WM_DRAWITEM: {
            const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item->CtlID == kCallSoftKeyId) {
                DrawSoftKey(*item);
            } else {
                DrawKey(*item);
            }
            return TRUE;
        }
        case WM_SIZE:
            LayOut(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

extern "C" __declspec(dllexport) int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int) {
    // One dial pad: a second start brings the first one forward.
    HWND running = FindWindowW(kWindowClass, NULL);
    if (running != NULL) {
        SetForegroundWindow(running);
        NKDbgPrintfW(L"%s: dial pad brought forward\r\n", kProgram);
        return 0;
    }
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DialPadProc;
    windowClass.hInstance = hInstance;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    windowClass.lpszClassName = kWindowClass;
    if (RegisterClassW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        NKDbgPrintfW(L"%s: cannot register its window class (error %u)\r\n", kProgram,
                     GetLastError());
        return 1;
    }
    MakeFonts();
    HWND window =
        CreateWindowExW(0, kWindowClass, kTitle, WS_POPUP, 0, 0, 0, 0, NULL, NULL, hInstance, NULL);
    if (window == NULL || !MakeControls(window, hInstance)) {
        NKDbgPrintfW(L"%s: cannot create its window (error %u)\r\n", kProgram, GetLastError());
        if (window != NULL) {
            DestroyWindow(window);
        }
        FreeFonts();
        return 1;
    }
    // Full-screen under the taskbar and down to the screen's bottom, where the pad draws its own
    // soft key; OK in the caption closes it.
    SHINITDLGINFO shell = {};
    shell.dwMask = SHIDIM_FLAGS;
    shell.hDlg = window;
    shell.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_FULLSCREENNOMENUBAR;
    if (!SHInitDialog(&shell)) {
        NKDbgPrintfW(L"%s: the shell cannot show its window (error %u)\r\n", kProgram,
                     GetLastError());
    }
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    NKDbgPrintfW(L"%s: dial pad shown\r\n", kProgram);
    MSG msg = {};
    while (GetMessageW(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    FreeFonts();
    NKDbgPrintfW(L"%s: closed\r\n", kProgram);
    return static_cast<int>(msg.wParam);
}
