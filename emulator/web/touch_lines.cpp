#include "web/touch_lines.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>

#include "common/window_names.h"
#include "console/list_items.h"
#include "host/controls.h"
#include "host/shell_bars.h"
#include "host/stylus.h"

namespace tovarin::emulator::web {
namespace {

namespace controls = gwes::controls;

bool Is(HWND hwnd, const wchar_t* class_name) {
    wchar_t name[64]{};
    GetClassNameW(hwnd, name, 64);
    return wcscasecmp(name, class_name) == 0;
}

// The combo box of the foreground window that dropped this list; null when none did.
HWND ComboOfList(HWND list) {
    HWND top = console::ForegroundTopLevel();
    if (!top) {
        return nullptr;
    }
    for (HWND control : console::ShownDescendants(top)) {
        if (Is(control, controls::kComboBoxClass) && controls::ComboListOf(control) == list) {
            return control;
        }
    }
    return nullptr;
}

bool HasShownChildren(HWND hwnd) {
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) {
            return true;
        }
    }
    return false;
}

// Whether `click` on the control would reach it: `click` taps the middle of the control.
bool MiddleReaches(HWND control) {
    RECT rect{};
    GetWindowRect(control, &rect);
    HWND reached =
        gwes::StylusTarget(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
    return reached && (reached == control || IsChild(control, reached));
}

// The row of a list box under a screen point; -1 when none is (the bar, the space below the rows).
int ListRowAt(HWND list, POINT screen) {
    POINT client = screen;
    ScreenToClient(list, &client);
    const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (auto row = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0)); row < count;
         ++row) {
        RECT item{};
        if (SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row),
                         reinterpret_cast<LPARAM>(&item)) == LB_ERR) {
            break;
        }
        if (PtInRect(&item, client)) {
            return row;
        }
    }
    return -1;
}

// The tab of a sheet's tab strip under a screen point; -1 when none is.
int TabAt(HWND tabs, POINT screen) {
    POINT client = screen;
    ScreenToClient(tabs, &client);
    const auto count = static_cast<int>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int tab = 0; tab < count; ++tab) {
        RECT rect{};
        SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(tab),
                     reinterpret_cast<LPARAM>(&rect));
        if (PtInRect(&rect, client)) {
            return tab;
        }
    }
    return -1;
}

// Whether the control is the tab strip of the foreground property sheet, whose tabs `tab` taps.
bool IsSheetTabs(HWND control) {
    gwes::sheets::SheetView view;
    HWND top = console::ForegroundTopLevel();
    return top && gwes::sheets::ViewSheet(top, &view) && view.tabs == control;
}

// Whether the point is the taskbar's caption button while it is the shell's OK button (the
// button of a window without one only sends that window behind the others: no command does it).
bool IsOkButton(HWND taskbar, POINT screen) {
    HWND foreground = console::ForegroundTopLevel();
    if (!foreground || !(GetWindowLongW(foreground, GWL_EXSTYLE) & WS_EX_CAPTIONOKBTN)) {
        return false;
    }
    POINT client = screen;
    ScreenToClient(taskbar, &client);
    const RECT button = shell::TaskbarCaptionButton(taskbar);
    return PtInRect(&button, client) != FALSE;
}

std::string Quote(HWND list, int row) {
    return console::Quoted(console::ItemText(list, console::kListBoxMessages, row));
}

std::string PointText(POINT point) {
    return std::to_string(point.x) + " " + std::to_string(point.y);
}

}  // namespace

HWND ControlAt(POINT screen) {
    HWND target = gwes::StylusTarget(screen);
    if (!target) {
        return nullptr;
    }
    if (Is(target, controls::kComboListClass)) {
        return ComboOfList(target);
    }
    HWND parent = GetParent(target);
    if ((GetWindowLongW(target, GWL_STYLE) & WS_CHILD) && parent &&
        Is(parent, controls::kComboBoxClass)) {
        target = parent;  // a drop-down's edit
    }
    return console::AddressOf(target) ? target : nullptr;
}

void TouchRecording::Down(POINT screen) {
    kind_ = Kind::Point;
    down_ = screen;
    farthest_ = 0;
    control_ = nullptr;
    index_ = -1;
    HWND target = gwes::StylusTarget(screen);
    if (!target) {
        return;
    }
    if (Is(target, kWindowClassTaskBar)) {
        kind_ = IsOkButton(target, screen) ? Kind::Ok : Kind::Point;
        return;
    }
    HWND control = ControlAt(screen);
    std::optional<console::ControlAddress> address =
        control ? console::AddressOf(control) : std::nullopt;
    if (!address) {
        return;
    }
    control_ = control;
    address_ = *address;
    if (Is(target, controls::kComboListClass)) {
        kind_ = Kind::ComboList;
    } else if (Is(control, controls::kListBoxClass)) {
        index_ = ListRowAt(control, screen);
        kind_ = index_ >= 0 ? Kind::ListBox : Kind::Point;
    } else if (IsSheetTabs(control)) {
        index_ = TabAt(control, screen);
        kind_ = index_ >= 0 ? Kind::Tab : Kind::Point;
    } else if (Is(control, controls::kComboBoxClass) ||
               (!HasShownChildren(control) && !Is(control, controls::kTrackbarClass) &&
                !Is(control, controls::kTabClass) && !Is(control, controls::kListViewClass) &&
                MiddleReaches(control))) {
        // A slider, a list view, a tab strip or a window of controls acts on where it is
        // touched: only the point says that.
        kind_ = Kind::Control;
    }
}

void TouchRecording::Move(POINT screen) {
    if (kind_ != Kind::None) {
        farthest_ = std::max(farthest_,
                             std::max(std::abs(screen.x - down_.x), std::abs(screen.y - down_.y)));
    }
}

std::optional<TouchLine> TouchRecording::Up(POINT screen) {
    const Kind kind = kind_;
    kind_ = Kind::None;
    Move(screen);
    if (kind == Kind::None) {
        return std::nullopt;
    }
    if (farthest_ > kDragSlop) {
        return TouchLine{"drag " + PointText(down_) + " " + PointText(screen), {}};
    }
    const std::string address = console::ToString(address_);
    switch (kind) {
        case Kind::Control:
            return TouchLine{"click " + address, {}};
        case Kind::ComboList: {
            if (!IsWindow(control_) || SendMessageW(control_, CB_GETDROPPEDSTATE, 0, 0)) {
                return std::nullopt;  // the list scrolled and stays open
            }
            const LRESULT selected = SendMessageW(control_, CB_GETCURSEL, 0, 0);
            if (selected == CB_ERR) {
                return std::nullopt;
            }
            return TouchLine{"choose " + address + " " +
                                 console::Quoted(console::ItemText(
                                     control_, console::kComboBoxMessages, selected)),
                             "click " + address};
        }
        case Kind::ListBox:
            return TouchLine{"choose " + address + " " + Quote(control_, index_), {}};
        case Kind::Tab:
            return TouchLine{"tab " + std::to_string(index_), {}};
        case Kind::Ok:
            return TouchLine{"ok", {}};
        case Kind::Point:
        case Kind::None:
            break;
    }
    return TouchLine{"tap " + PointText(down_), {}};
}

}  // namespace tovarin::emulator::web
