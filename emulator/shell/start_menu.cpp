#include "shell/start_menu.h"

#include <aygshell.h>

#include <algorithm>
#include <cwchar>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/program_names.h"
#include "host/icons.h"
#include "host_trace.h"
#include "shell/applets.h"
#include "shell/programs.h"
#include "shell/shortcuts.h"
#include "shell/today.h"

namespace tovarin::emulator::phone_shell {
namespace {

constexpr wchar_t kStartMenuClass[] = L"StartMenu";
constexpr wchar_t kSettingsClass[] = L"ShellSettings";
constexpr wchar_t kItemClass[] = L"ShellItem";
constexpr wchar_t kTracePart[] = L"shell";

constexpr int kTaskbarHeight = 52;
constexpr int kMenuWidth = 300;
constexpr int kRowHeight = 56;
constexpr int kGridColumns = 3;
constexpr int kCellHeight = 140;
constexpr int kIconSize = 64;

// What a row of the Start menu opens.
struct MenuItem {
    enum class Kind { Today, Program, Settings } kind;
    Shortcut shortcut;  // for a program
};

// The windows live on the taskbar's thread, one of each at a time. The Settings window owns the
// control panel it shows (its applets' libraries stay loaded for their icons): made when the
// window opens, deleted when it is destroyed, or by ReleaseStartMenu when the window goes with its
// thread (then without WM_DESTROY), leaving its libraries to go with the device.
thread_local std::vector<MenuItem> t_menu_items;
thread_local ControlPanel* t_control_panel = nullptr;
thread_local HWND t_menu = nullptr;
thread_local HWND t_settings = nullptr;

void Trace(const std::wstring& text) {
    HostTrace(kTracePart, text);
}

const std::vector<Applet>& ShownApplets() {
    static const std::vector<Applet> none;
    return t_control_panel != nullptr ? t_control_panel->applets() : none;
}

// The applet of a cell of the settings grid; null for a row of the menu.
const Applet* AppletOf(HWND item) {
    const size_t index = static_cast<size_t>(GetDlgCtrlID(item) - kSettingsFirstId);
    return GetDlgCtrlID(item) >= kSettingsFirstId && index < ShownApplets().size()
               ? &ShownApplets()[index]
               : nullptr;
}

// The applet's own icon, centred in `place`; false when it has none the device can draw.
bool DrawAppletIcon(HDC dc, const Applet* applet, const RECT& place) {
    if (applet == nullptr || applet->icon == nullptr) {
        return false;
    }
    const std::optional<SIZE> size = gwes::IconSize(applet->icon);
    return size && DrawIcon(dc, (place.left + place.right - size->cx) / 2,
                            (place.top + place.bottom - size->cy) / 2, applet->icon) != FALSE;
}

// A row of the menu or a cell of the settings grid: its text, and for a cell the applet's icon
// over it. A tap tells the parent as a button would.
void PaintItem(HWND item) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(item, &paint);
    RECT client{};
    GetClientRect(item, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
    wchar_t text[64] = {};
    GetWindowTextW(item, text, static_cast<int>(std::size(text)));
    const bool cell = GetDlgCtrlID(item) >= kSettingsFirstId;
    LOGFONTW look{};
    look.lfHeight = cell ? -20 : -24;
    std::wcscpy(look.lfFaceName, L"Tahoma");
    HFONT font = CreateFontIndirectW(&look);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HGDIOBJ>(font));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    const int mark = cell ? kIconSize : 32;
    const int left = cell ? (client.right - mark) / 2 : 12;
    const int top = cell ? 12 : (client.bottom - mark) / 2;
    RECT icon{left, top, left + mark, top + mark};
    const Applet* applet = AppletOf(item);
    if (!DrawAppletIcon(dc, applet, icon)) {
        // The mark in place of a picture: a square with the item's first letter, grey for an
        // applet that gives no icon.
        HBRUSH blue = CreateSolidBrush(GetSysColor(cell ? COLOR_GRAYTEXT : COLOR_HIGHLIGHT));
        FillRect(dc, &icon, blue);
        DeleteObject(reinterpret_cast<HGDIOBJ>(blue));
        SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
        DrawTextW(dc, text, text[0] != L'\0' ? 1 : 0, &icon,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    }
    RECT label = cell ? RECT{4, top + mark + 6, client.right - 4, client.bottom}
                      : RECT{left + mark + 12, 0, client.right - 8, client.bottom};
    DrawTextW(dc, text, -1, &label,
              cell ? (DT_CENTER | DT_WORDBREAK | DT_NOPREFIX)
                   : (DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX));
    SelectObject(dc, previous);
    DeleteObject(reinterpret_cast<HGDIOBJ>(font));
    EndPaint(item, &paint);
}

LRESULT CALLBACK ItemProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_PAINT:
            PaintItem(hwnd);
            return 0;
        case WM_LBUTTONUP:
            PostMessageW(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                         reinterpret_cast<LPARAM>(hwnd));
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

HWND MakeItem(HWND parent, const std::wstring& text, int id, const RECT& place) {
    return CreateWindowExW(0, kItemClass, text.c_str(), WS_CHILD | WS_VISIBLE, place.left,
                           place.top, place.right - place.left, place.bottom - place.top, parent,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), nullptr, nullptr);
}

void LayOutSettings(HWND settings) {
    RECT client{};
    GetClientRect(settings, &client);
    const int width = (client.right - client.left) / kGridColumns;
    for (size_t i = 0; i < ShownApplets().size(); ++i) {
        const int column = static_cast<int>(i) % kGridColumns;
        const int row = static_cast<int>(i) / kGridColumns;
        SetWindowPos(GetDlgItem(settings, kSettingsFirstId + static_cast<int>(i)), nullptr,
                     column * width, 8 + row * kCellHeight, width, kCellHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void OpenSettings() {
    if (t_settings != nullptr) {
        DestroyWindow(t_settings);
    }
    auto control_panel = std::make_unique<ControlPanel>();
    t_settings = CreateWindowExW(0, kSettingsClass, L"Настройки", WS_POPUP, 0, 0, 0, 0, nullptr,
                                 nullptr, nullptr, nullptr);
    if (t_settings == nullptr) {
        return;
    }
    t_control_panel = control_panel.release();
    const std::vector<Applet>& applets = t_control_panel->applets();
    SHINITDLGINFO full_screen{};
    full_screen.dwMask = SHIDIM_FLAGS;
    full_screen.hDlg = t_settings;
    full_screen.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_EMPTYMENU;
    SHInitDialog(&full_screen);
    for (size_t i = 0; i < applets.size(); ++i) {
        MakeItem(t_settings, applets[i].name, kSettingsFirstId + static_cast<int>(i), RECT{});
    }
    LayOutSettings(t_settings);
    ShowWindow(t_settings, SW_SHOW);
    SetForegroundWindow(t_settings);
    Trace(L"settings show " + std::to_wstring(applets.size()) + L" applet(s)");
}

void OpenMenuItem(size_t index) {
    if (index >= t_menu_items.size()) {
        return;
    }
    const MenuItem item = t_menu_items[index];
    DestroyWindow(t_menu);
    switch (item.kind) {
        case MenuItem::Kind::Today:
            ShowToday();
            break;
        case MenuItem::Kind::Program:
            StartProgram(item.shortcut.program, item.shortcut.arguments);
            break;
        case MenuItem::Kind::Settings:
            OpenSettings();
            break;
    }
}

LRESULT CALLBACK StartMenuProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND:
            OpenMenuItem(static_cast<size_t>(LOWORD(wparam) - kStartMenuFirstId));
            return 0;
        case WM_ACTIVATE:
            // A tap elsewhere closes the menu.
            if (LOWORD(wparam) == WA_INACTIVE && t_menu == hwnd) {
                PostMessageW(hwnd, WM_CLOSE, 0, 0);
            }
            return 0;
        case WM_DESTROY:
            if (t_menu == hwnd) {
                t_menu = nullptr;
            }
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

LRESULT CALLBACK SettingsProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wparam);
            if (id == IDOK) {
                DestroyWindow(hwnd);
                return 0;
            }
            const size_t index = static_cast<size_t>(id - kSettingsFirstId);
            if (index < ShownApplets().size()) {
                const Applet& applet = ShownApplets()[index];
                StartProgram(kProgramControlPanelHost,
                             applet.library + L"," + std::to_wstring(applet.index));
            }
            return 0;
        }
        case WM_SIZE:
            LayOutSettings(hwnd);
            return 0;
        case WM_DESTROY:
            if (t_settings == hwnd) {
                t_settings = nullptr;
                delete t_control_panel;
                t_control_panel = nullptr;
            }
            return 0;
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

}  // namespace

bool RegisterStartMenuClasses() {
    WNDCLASSW menu_class{};
    menu_class.lpfnWndProc = &StartMenuProc;
    menu_class.lpszClassName = kStartMenuClass;
    WNDCLASSW settings_class{};
    settings_class.lpfnWndProc = &SettingsProc;
    settings_class.lpszClassName = kSettingsClass;
    settings_class.hbrBackground = GetSysColorBrush(COLOR_WINDOW);  // over the Today screen
    WNDCLASSW item_class{};
    item_class.lpfnWndProc = &ItemProc;
    item_class.lpszClassName = kItemClass;
    return RegisterClassW(&menu_class) != 0 && RegisterClassW(&settings_class) != 0 &&
           RegisterClassW(&item_class) != 0;
}

void OpenStartMenu() {
    if (t_menu != nullptr) {
        DestroyWindow(t_menu);
    }
    t_menu_items.clear();
    t_menu_items.push_back({MenuItem::Kind::Today, {L"Сегодня", L"", L""}});
    for (Shortcut& shortcut : StartMenuShortcuts()) {
        t_menu_items.push_back({MenuItem::Kind::Program, std::move(shortcut)});
    }
    t_menu_items.push_back({MenuItem::Kind::Settings, {L"Настройки", L"", L""}});
    const int height = static_cast<int>(t_menu_items.size()) * kRowHeight + 2;
    t_menu = CreateWindowExW(0, kStartMenuClass, L"Пуск", WS_POPUP | WS_BORDER, 0, kTaskbarHeight,
                             kMenuWidth, height, nullptr, nullptr, nullptr, nullptr);
    if (t_menu == nullptr) {
        return;
    }
    for (size_t i = 0; i < t_menu_items.size(); ++i) {
        const int top = static_cast<int>(i) * kRowHeight;
        MakeItem(t_menu, t_menu_items[i].shortcut.name, kStartMenuFirstId + static_cast<int>(i),
                 RECT{0, top, kMenuWidth - 2, top + kRowHeight});
    }
    ShowWindow(t_menu, SW_SHOW);
    SetForegroundWindow(t_menu);
}

void ReleaseStartMenu() {
    if (t_control_panel != nullptr) {
        t_control_panel->KeepLibrariesLoaded();
        delete t_control_panel;
        t_control_panel = nullptr;
    }
    t_settings = nullptr;
    t_menu = nullptr;
    t_menu_items.clear();
}

}  // namespace tovarin::emulator::phone_shell
