#include "shell/call_history_window.h"

#include <windows.h>
#include <aygshell.h>

#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

#include "host/contacts.h"
#include "host/controls.h"
#include "host_trace.h"
#include "phone/call_history.h"
#include "shell/shell_text.h"

namespace tovarin::emulator::phone_shell {
namespace {

constexpr wchar_t kCallHistoryClass[] = L"CallHistory";

constexpr int kRowHeight = 64;
constexpr int kMargin = 12;
constexpr COLORREF kMissedColour = RGB(0xC0, 0x00, 0x00);

thread_local HWND t_history = nullptr;
// The calls the list shows, in its order.
thread_local std::vector<phone::CallRecord> t_calls;

const wchar_t* DirectionText(phone::CallDirection direction) {
    switch (direction) {
        case phone::CallDirection::Incoming:
            return L"Входящий";
        case phone::CallDirection::Missed:
            return L"Пропущенный";
        case phone::CallDirection::Outgoing:
            return L"Исходящий";
    }
    return L"";
}

std::wstring WhenText(const SYSTEMTIME& at) {
    wchar_t when[32] = {};
    std::swprintf(when, std::size(when), L"%02u.%02u %02u:%02u", unsigned{at.wDay},
                  unsigned{at.wMonth}, unsigned{at.wHour}, unsigned{at.wMinute});
    return when;
}

// Who called: the contact's name when the contacts have the number, else the number.
struct Caller {
    std::wstring name;
    std::wstring number;  // "Номер скрыт" when withheld
};

Caller CallerOf(const phone::CallRecord& call) {
    if (call.number.empty()) {
        return {L"", L"Номер скрыт"};
    }
    return {pim::ContactNameOfNumber(call.number), call.number};
}

// A row's text, as `expect control ... items` reads it.
std::wstring LineOf(const phone::CallRecord& call) {
    const Caller caller = CallerOf(call);
    return WhenText(call.started) + L" " + DirectionText(call.direction) + L" " +
           (caller.name.empty() ? caller.number : caller.name + L" (" + caller.number + L")");
}

// A row: the caller large on top (red for a missed call), under it what happened and the number
// of a named caller, and the time at the right; a thin line under each row.
void DrawRow(const DRAWITEMSTRUCT& draw) {
    if (draw.itemID >= t_calls.size()) {
        return;
    }
    const phone::CallRecord& call = t_calls[draw.itemID];
    const Caller caller = CallerOf(call);
    const bool selected = (draw.itemState & ODS_SELECTED) != 0;
    RECT row = draw.rcItem;
    FillRect(draw.hDC, &row, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    RECT line{row.left + kMargin, row.bottom - 1, row.right - kMargin, row.bottom};
    FillRect(draw.hDC, &line, GetSysColorBrush(COLOR_BTNFACE));
    const bool missed = call.direction == phone::CallDirection::Missed;
    const COLORREF strong = selected ? GetSysColor(COLOR_HIGHLIGHTTEXT)
                            : missed ? kMissedColour
                                     : GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF quiet = GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT);
    const int middle = (row.top + row.bottom) / 2;
    DrawShellLine(draw.hDC, caller.name.empty() ? caller.number : caller.name,
                  RECT{row.left + kMargin, row.top + 2, row.right - 130, middle + 2}, 24, true,
                  strong, DT_LEFT);
    std::wstring detail = DirectionText(call.direction);
    if (!caller.name.empty()) {
        detail += L", " + caller.number;
    }
    DrawShellLine(draw.hDC, detail,
                  RECT{row.left + kMargin, middle, row.right - kMargin, row.bottom - 4}, 20, false,
                  quiet, DT_LEFT);
    DrawShellLine(draw.hDC, WhenText(call.started),
                  RECT{row.right - 130, row.top + 2, row.right - kMargin, middle + 2}, 20, false,
                  quiet, DT_RIGHT);
}

void LayOut(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    SetWindowPos(GetDlgItem(window, kCallHistoryListId), nullptr, 0, 0, client.right, client.bottom,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK CallHistoryProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK) {
                DestroyWindow(hwnd);
            }
            return 0;
        case WM_DRAWITEM:
            DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lparam));
            return TRUE;
        case WM_SIZE:
            LayOut(hwnd);
            return 0;
        case WM_DESTROY:
            if (t_history == hwnd) {
                t_history = nullptr;
            }
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

}  // namespace

bool RegisterCallHistoryClasses() {
    WNDCLASSW history_class{};
    history_class.lpfnWndProc = &CallHistoryProc;
    history_class.lpszClassName = kCallHistoryClass;
    return RegisterClassW(&history_class) != 0;
}

void OpenCallHistory() {
    if (t_history != nullptr) {
        DestroyWindow(t_history);
    }
    t_history = CreateWindowExW(0, kCallHistoryClass, L"Журнал звонков", WS_POPUP, 0, 0, 0, 0,
                                nullptr, nullptr, nullptr, nullptr);
    if (t_history == nullptr) {
        return;
    }
    HWND list = CreateWindowExW(0, gwes::controls::kListBoxClass, L"",
                                WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOINTEGRALHEIGHT |
                                    LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                                0, 0, 0, 0, t_history,
                                reinterpret_cast<HMENU>(static_cast<intptr_t>(kCallHistoryListId)),
                                nullptr, nullptr);
    SendMessageW(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(kRowHeight, 0));
    t_calls = phone::ReadCallHistory();
    for (const phone::CallRecord& call : t_calls) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(LineOf(call).c_str()));
    }
    SHINITDLGINFO full_screen{};
    full_screen.dwMask = SHIDIM_FLAGS;
    full_screen.hDlg = t_history;
    full_screen.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_EMPTYMENU;
    SHInitDialog(&full_screen);
    LayOut(t_history);
    phone::MarkCallHistorySeen();
    ShowWindow(t_history, SW_SHOW);
    SetForegroundWindow(t_history);
    HostTrace(L"shell", L"call history shows " + std::to_wstring(t_calls.size()) + L" call(s)");
}

}  // namespace tovarin::emulator::phone_shell
