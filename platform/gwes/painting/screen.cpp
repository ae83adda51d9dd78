// GetSystemMetrics, SystemParametersInfoW (the work area) and turning the screen.
#include "host/screen.h"

#include <vector>

#include "gwes/window_manager.h"
#include "gwes/windows/geometry.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;

namespace {

constexpr int kPortraitWidth = 480;
constexpr int kPortraitHeight = 640;
constexpr int kIconSize = 64;       // SM_CXICON at 192 dpi
constexpr int kSmallIconSize = 32;  // SM_CXSMICON
constexpr int kBorder = 1;
constexpr int kEdge = 2;
constexpr int kDoubleClickArea = 8;

RECT FullScreenRect(const WindowManager& wm, bool cover_menu_bar) {
    RECT rect = WorkArea(wm);
    if (cover_menu_bar) {
        rect.bottom = wm.screen_height();
    }
    return rect;
}

// Kernel lock held: the menu-bar area, the bottom strip of the screen as it is turned now.
RECT MenuBarAreaOf(const WindowManager& wm) {
    return RECT{0, wm.screen_height() - kMenuBarHeight, wm.screen_width(), wm.screen_height()};
}

}  // namespace

namespace tovarin::gwes {

void TurnScreen(Orientation orientation) {
    WindowManager& wm = WindowManager::Current();
    std::vector<std::pair<HWND, RECT>> moves;
    {
        auto lock = wm.Lock();
        const RECT old_work = WorkArea(wm);
        switch (orientation) {
            case Orientation::Portrait:
                wm.SetScreenSize(kPortraitWidth, kPortraitHeight);
                break;
            case Orientation::Landscape:
                wm.SetScreenSize(kPortraitHeight, kPortraitWidth);
                break;
            case Orientation::Square:
                wm.SetScreenSize(kPortraitWidth, kPortraitWidth);
                break;
        }
        const RECT bar = MenuBarAreaOf(wm);
        for (Window* top : wm.windows().top_level()) {
            if (top->window_class->name == kMenuBarClassName) {
                moves.emplace_back(top->handle, bar);
                continue;
            }
            // Windows the shell sized full-screen, and windows that covered the work area.
            const bool covered_work = top->x == old_work.left && top->y == old_work.top &&
                                      top->width == old_work.right - old_work.left &&
                                      top->height == old_work.bottom - old_work.top;
            if (top->full_screen || covered_work) {
                moves.emplace_back(top->handle,
                                   FullScreenRect(wm, top->full_screen && top->covers_menu_bar));
            }
        }
    }
    for (const auto& [hwnd, rect] : moves) {
        SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.right - rect.left,
                     rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

Orientation CurrentOrientation() {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    if (wm.screen_width() == wm.screen_height()) {
        return Orientation::Square;
    }
    return wm.screen_width() > wm.screen_height() ? Orientation::Landscape : Orientation::Portrait;
}

void KeepFullScreen(HWND hwnd, bool cover_menu_bar) {
    WindowManager& wm = WindowManager::Current();
    RECT rect{};
    {
        auto lock = wm.Lock();
        Window* window = wm.windows().Find(hwnd);
        if (!window) {
            return;
        }
        window->full_screen = true;
        window->covers_menu_bar = cover_menu_bar;
        rect = FullScreenRect(wm, cover_menu_bar);
    }
    SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT MenuBarArea() {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    return MenuBarAreaOf(wm);
}

}  // namespace tovarin::gwes

extern "C" {

int WINAPI GetSystemMetrics(int nIndex) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    switch (nIndex) {
        case SM_CXSCREEN:
        case SM_CXFULLSCREEN:
            return wm.screen_width();
        case SM_CYSCREEN:
            return wm.screen_height();
        case SM_CYFULLSCREEN:
            return wm.screen_height() - kTaskbarHeight - kMenuBarHeight;
        case SM_CXVSCROLL:
        case SM_CYHSCROLL:
        case SM_CYVSCROLL:
        case SM_CXHSCROLL:
        case SM_CYVTHUMB:
        case SM_CXHTHUMB:
            return kScrollBarSize;
        case SM_CYCAPTION:
            return kTaskbarHeight;
        case SM_CYMENU:
            return kMenuBarHeight;
        case SM_CXBORDER:
        case SM_CYBORDER:
            return kBorder;
        case SM_CXDLGFRAME:
        case SM_CYDLGFRAME:
        case SM_CXFRAME:
        case SM_CYFRAME:
        case SM_CXEDGE:
        case SM_CYEDGE:
            return kEdge;
        case SM_CXICON:
        case SM_CYICON:
            return kIconSize;
        case SM_CXSMICON:
        case SM_CYSMICON:
            return kSmallIconSize;
        case SM_CXDOUBLECLK:
        case SM_CYDOUBLECLK:
            return kDoubleClickArea;
        default:
            return 0;  // a metric the device does not have
    }
}

BOOL WINAPI SystemParametersInfoW(UINT uiAction, UINT, PVOID pvParam, UINT) {
    if (uiAction != SPI_GETWORKAREA || !pvParam) {
        tovarin::kernel::SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    *static_cast<RECT*>(pvParam) = WorkArea(wm);
    return TRUE;
}

}  // extern "C"
