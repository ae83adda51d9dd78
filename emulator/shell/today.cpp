#include "shell/today.h"

#include <aygshell.h>

#include <cwchar>
#include <iterator>
#include <string>

#include "common/names.h"
#include "host/device.h"
#include "phone/call_history.h"
#include "shell/call_history_window.h"
#include "shell/new_messages.h"
#include "shell/programs.h"
#include "shell/shell_text.h"

namespace tovarin::emulator::phone_shell {
namespace {

constexpr wchar_t kTodayClass[] = L"Today";
constexpr wchar_t kTodayItemClass[] = L"TodayItem";

// Fires at the start of each minute of device time, for the clock and the date.
constexpr UINT_PTR kMinuteTimer = 1;

constexpr int kMargin = 16;
constexpr int kRowHeight = 56;
constexpr int kIconSize = 36;

thread_local HWND t_today = nullptr;

constexpr const wchar_t* kWeekdays[] = {L"воскресенье", L"понедельник", L"вторник", L"среда",
                                        L"четверг",     L"пятница",     L"суббота"};
constexpr const wchar_t* kMonths[] = {L"января",   L"февраля", L"марта",  L"апреля",
                                      L"мая",      L"июня",    L"июля",   L"августа",
                                      L"сентября", L"октября", L"ноября", L"декабря"};

std::wstring OwnerName() {
    wchar_t name[128] = {};
    DWORD size = sizeof name - sizeof name[0];
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyOwner, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return L"";
    }
    DWORD type = 0;
    if (RegQueryValueExW(key, kValueOwnerName, nullptr, &type, reinterpret_cast<BYTE*>(name),
                         &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        name[0] = L'\0';
    }
    RegCloseKey(key);
    return name;
}

// Each row's text now.
void ShowRows(HWND today) {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    wchar_t time[16] = {};
    std::swprintf(time, std::size(time), L"%u:%02u", unsigned{now.wHour}, unsigned{now.wMinute});
    std::wstring date = std::wstring(kWeekdays[now.wDayOfWeek % 7]) + L", " +
                        std::to_wstring(now.wDay) + L" " + kMonths[(now.wMonth + 11) % 12] + L" " +
                        std::to_wstring(now.wYear) + L" г.";
    const std::wstring owner = OwnerName();
    struct Row {
        int id;
        std::wstring text;
    };
    const Row rows[] = {
        {kTodayTimeId, time},
        {kTodayDateId, date},
        {kTodayOwnerId, owner},
        {kTodayMissedCallsId,
         L"Пропущенные вызовы: " + std::to_wstring(phone::UnseenMissedCalls())},
        {kTodayMessagesId, L"Новые сообщения: " + std::to_wstring(NewMessageCount())},
    };
    for (const Row& row : rows) {
        HWND child = GetDlgItem(today, row.id);
        wchar_t shown[128] = {};
        GetWindowTextW(child, shown, static_cast<int>(std::size(shown)));
        if (row.text != shown) {
            SetWindowTextW(child, row.text.c_str());
            InvalidateRect(child, nullptr, FALSE);
        }
    }
    // Only a change is shown: each change to the screen has the screen look again.
    HWND owner_row = GetDlgItem(today, kTodayOwnerId);
    if ((IsWindowVisible(owner_row) != FALSE) == owner.empty()) {
        ShowWindow(owner_row, owner.empty() ? SW_HIDE : SW_SHOWNA);
    }
}

// In real time the screen turns its clock at each minute. In simulated time a timer of its own
// would keep the clock moving on a device whose other threads all wait for ever, which must be
// seen as stuck; there the console tells the taskbar when it let time pass (RefreshToday).
void ArmMinuteTimer(HWND today) {
    if (kernel::Device::Current().options().clock != kernel::ClockMode::Real) {
        return;
    }
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const UINT into_minute = now.wSecond * 1000u + now.wMilliseconds;
    SetTimer(today, kMinuteTimer, 60000u - into_minute, nullptr);
}

struct RowLook {
    int height;
    bool bold;
    int colour;
    const wchar_t* icon;  // a symbol drawn in a blue square at the row's left, or none
};

RowLook LookOf(int id) {
    switch (id) {
        case kTodayTimeId:
            return {52, true, COLOR_HIGHLIGHT, nullptr};
        case kTodayDateId:
            return {24, true, COLOR_WINDOWTEXT, nullptr};
        case kTodayOwnerId:
            return {22, false, COLOR_GRAYTEXT, nullptr};
        case kTodayMissedCallsId:
            return {24, false, COLOR_WINDOWTEXT, L"\u260E"};
        default:
            return {24, false, COLOR_WINDOWTEXT, L"\u2709"};
    }
}

void PaintRow(HWND row) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(row, &paint);
    RECT client{};
    GetClientRect(row, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    const int id = GetDlgCtrlID(row);
    const RowLook look = LookOf(id);
    RECT text_place{kMargin, 0, client.right - kMargin, client.bottom};
    if (look.icon != nullptr) {
        const int top = (client.bottom - kIconSize) / 2;
        RECT icon{kMargin, top, kMargin + kIconSize, top + kIconSize};
        FillRect(dc, &icon, GetSysColorBrush(COLOR_HIGHLIGHT));
        DrawShellLine(dc, look.icon, icon, 26, false, GetSysColor(COLOR_HIGHLIGHTTEXT), DT_CENTER);
        text_place.left = icon.right + 14;
    }
    if (id == kTodayDateId) {
        // The heading's thin grey line parts the date from the items under it.
        RECT line{kMargin, client.bottom - 1, client.right - kMargin, client.bottom};
        FillRect(dc, &line, GetSysColorBrush(COLOR_GRAYTEXT));
    }
    wchar_t text[128] = {};
    GetWindowTextW(row, text, static_cast<int>(std::size(text)));
    DrawShellLine(dc, text, text_place, look.height, look.bold, GetSysColor(look.colour), DT_LEFT);
    EndPaint(row, &paint);
}

LRESULT CALLBACK TodayItemProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT:
            PaintRow(hwnd);
            return 0;
        case WM_LBUTTONUP:
            TellParentOfTap(hwnd);
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

void LayOut(HWND today) {
    RECT client{};
    GetClientRect(today, &client);
    struct Place {
        int id;
        int top;
        int height;
    };
    // The owner's row keeps its place when hidden, so that the items stay where a finger knows
    // them.
    const Place places[] = {
        {kTodayTimeId, 8, 72},
        {kTodayDateId, 80, 44},
        {kTodayOwnerId, 128, 36},
        {kTodayMissedCallsId, 172, kRowHeight},
        {kTodayMessagesId, 172 + kRowHeight, kRowHeight},
    };
    for (const Place& place : places) {
        SetWindowPos(GetDlgItem(today, place.id), nullptr, 0, place.top, client.right, place.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void OnRowTapped(int id) {
    if (id == kTodayMissedCallsId) {
        OpenCallHistory();
    } else if (id == kTodayMessagesId) {
        MarkMessagesSeen();
        StartProgram(kProgramVoicemail, L"");
    }
}

LRESULT CALLBACK TodayProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            OnRowTapped(LOWORD(wparam));
            ShowRows(hwnd);
            return 0;
        case WM_TIMER:
            if (wparam == kMinuteTimer) {
                ShowRows(hwnd);
                ArmMinuteTimer(hwnd);
                return 0;
            }
            break;
        case WM_SIZE:
            LayOut(hwnd);
            return 0;
        case WM_DESTROY:
            KillTimer(hwnd, kMinuteTimer);
            if (t_today == hwnd) {
                t_today = nullptr;
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

bool RegisterTodayClasses() {
    WNDCLASSW today_class{};
    today_class.lpfnWndProc = &TodayProc;
    today_class.lpszClassName = kTodayClass;
    today_class.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
    WNDCLASSW item_class{};
    item_class.lpfnWndProc = &TodayItemProc;
    item_class.lpszClassName = kTodayItemClass;
    return RegisterClassW(&today_class) != 0 && RegisterClassW(&item_class) != 0 &&
           RegisterCallHistoryClasses();
}

bool MakeToday() {
    HWND today = CreateWindowExW(0, kTodayClass, L"Сегодня", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 nullptr, nullptr);
    if (today == nullptr) {
        return false;
    }
    for (int id :
         {kTodayTimeId, kTodayDateId, kTodayOwnerId, kTodayMissedCallsId, kTodayMessagesId}) {
        if (CreateWindowExW(0, kTodayItemClass, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, today,
                            reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr,
                            nullptr) == nullptr) {
            DestroyWindow(today);
            return false;
        }
    }
    SHINITDLGINFO full_screen{};
    full_screen.dwMask = SHIDIM_FLAGS;
    full_screen.hDlg = today;
    full_screen.dwFlags = SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_EMPTYMENU;
    SHInitDialog(&full_screen);
    LayOut(today);
    ShowRows(today);
    t_today = today;
    ArmMinuteTimer(today);
    ShowWindow(today, SW_SHOW);
    SetForegroundWindow(today);
    return true;
}

void RefreshToday() {
    if (t_today != nullptr) {
        ShowRows(t_today);
    }
}

void ShowToday() {
    if (t_today == nullptr) {
        return;
    }
    SetWindowPos(t_today, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(t_today);
    ShowRows(t_today);
}

}  // namespace tovarin::emulator::phone_shell
