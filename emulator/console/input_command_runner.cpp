// The control commands act as the user's stylus does: a tap is delivered to the window under the
// control's centre, and the control then sends its notifications exactly as it does for a finger.
// Between the taps of one command (open a list, then tap an item) the device settles, so that
// each tap meets the screen the previous one left.
#include "console/session.h"
#include "console/input_commands.h"
#include "console/list_items.h"
#include "console/ui_input.h"

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <functional>

#include "host/controls.h"
#include "host/device.h"
#include "host/stylus.h"
#include "host/text.h"

namespace tovarin::emulator::console {
namespace {

std::wstring TextOf(HWND hwnd) {
    WCHAR text[256]{};
    GetWindowTextW(hwnd, text, 256);
    return text;
}

bool Is(HWND hwnd, const wchar_t* class_name) {
    WCHAR name[64]{};
    GetClassNameW(hwnd, name, 64);
    return wcscasecmp(name, class_name) == 0;
}

struct Found {
    HWND hwnd = nullptr;
    std::string failure;
};

Found Find(const ControlAddress& address) {
    auto found = FindControl(address);
    if (auto* reason = std::get_if<std::string>(&found)) {
        return {nullptr, *reason};
    }
    return {std::get<HWND>(found), {}};
}

// A tap on a control's middle through the stylus; the device settles after it.
std::optional<std::string> Tap(HWND control) {
    std::optional<std::string> failure = TapControl(control);
    kernel::WaitForDeviceIdle();
    if (failure && failure->ends_with(" is disabled")) {
        *failure += ": the user cannot tap it";
    }
    return failure;
}

// A tap at a point of a window's client area.
std::optional<std::string> TapAt(HWND hwnd, POINT client) {
    ClientToScreen(hwnd, &client);
    std::optional<std::string> failure = TapPoint(client);
    kernel::WaitForDeviceIdle();
    return failure;
}

Outcome Click(const ClickCommand& command) {
    Found found = Find(command.control);
    if (!found.hwnd) {
        return Outcome::Failed(found.failure);
    }
    if (auto failure = Tap(found.hwnd)) {
        return Outcome::Failed(*failure);
    }
    return Outcome::Done();
}

// Scrolls the list, as the user would, until the row is in view; then taps it.
std::optional<std::string> TapRow(HWND list, int row) {
    const auto height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    RECT client{};
    GetClientRect(list, &client);
    const int rows = std::max(1, static_cast<int>(client.bottom) / std::max(1, height));
    const auto top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    if (row < top || row >= top + rows) {
        SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, row - rows + 1)), 0);
    }
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return TapAt(list, POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
}

Outcome Choose(const ChooseCommand& command) {
    Found found = Find(command.control);
    if (!found.hwnd) {
        return Outcome::Failed(found.failure);
    }
    HWND control = found.hwnd;
    const bool combo = Is(control, gwes::controls::kComboBoxClass);
    if (!combo && !Is(control, gwes::controls::kListBoxClass)) {
        return Outcome::Failed(DescribeWindow(control) + " is not a list");
    }
    HWND list = combo ? gwes::controls::ComboListOf(control) : control;
    const auto count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    int row = command.index;
    if (command.text) {
        row = static_cast<int>(SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(command.text->c_str())));
        if (row < 0) {
            return Outcome::Failed(
                DescribeWindow(control) + " has no item " + Quoted(*command.text),
                QuotedItemsOf(list));
        }
    } else if (row >= count) {
        return Outcome::Failed(DescribeWindow(control) + " has " + std::to_string(count) +
                                   " items, none at " + std::to_string(row),
                               QuotedItemsOf(list));
    }
    if (combo && !SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0)) {
        if (auto failure = Tap(control)) {
            return Outcome::Failed(*failure);
        }
        if (!SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0)) {
            return Outcome::Failed(DescribeWindow(control) + " did not open its list when tapped");
        }
    }
    if (auto failure = TapRow(list, row)) {
        return Outcome::Failed(*failure);
    }
    return Outcome::Done();
}

Outcome Type(const TypeCommand& command) {
    Found found = Find(command.control);
    if (!found.hwnd) {
        return Outcome::Failed(found.failure);
    }
    HWND edit = found.hwnd;
    if (Is(edit, gwes::controls::kComboBoxClass)) {
        edit = GetWindow(edit, GW_CHILD);  // a drop-down's edit
    }
    if (!edit || !Is(edit, gwes::controls::kEditClass)) {
        return Outcome::Failed(DescribeWindow(found.hwnd) + " is not an edit");
    }
    if (GetWindowLongW(edit, GWL_STYLE) & ES_READONLY) {
        return Outcome::Failed(DescribeWindow(found.hwnd) +
                               " is read-only: typing changes nothing");
    }
    if (auto failure = Tap(edit)) {
        return Outcome::Failed(*failure);
    }
    // The user's select-all; the typed text then replaces the selection.
    SendMessageW(edit, EM_SETSEL, 0, -1);
    if (command.text.empty()) {
        PostMessageW(edit, WM_CHAR, VK_BACK, 1);
    }
    for (wchar_t c : command.text) {
        PostMessageW(edit, WM_CHAR, static_cast<WPARAM>(c), 1);
    }
    kernel::WaitForDeviceIdle();
    return Outcome::Done();
}

Outcome Tab(const TabCommand& command) {
    HWND top = GetForegroundWindow();
    gwes::sheets::SheetView view;
    if (!top || !gwes::sheets::ViewSheet(top, &view)) {
        return Outcome::Failed("the foreground window " + Quoted(top ? TextOf(top) : L"") +
                               " is not a property sheet");
    }
    if (command.index >= view.count) {
        return Outcome::Failed("the sheet " + Quoted(TextOf(top)) + " has " +
                               std::to_string(view.count) + " tabs, none at " +
                               std::to_string(command.index));
    }
    RECT tab{};
    SendMessageW(view.tabs, TCM_GETITEMRECT, static_cast<WPARAM>(command.index),
                 reinterpret_cast<LPARAM>(&tab));
    if (auto failure =
            TapAt(view.tabs, POINT{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2})) {
        return Outcome::Failed(*failure);
    }
    return Outcome::Done();
}

Outcome TapScreen(const TapCommand& command) {
    std::optional<std::string> failure = TapPoint(command.at);
    kernel::WaitForDeviceIdle();
    return failure ? Outcome::Failed(*failure) : Outcome::Done();
}

// The stylus moves in steps of at most this many pixels, as a finger's touches arrive.
constexpr int kDragStepPixels = 8;

Outcome Drag(const DragCommand& command) {
    if (!gwes::StylusDown(command.from)) {
        kernel::WaitForDeviceIdle();
        return Outcome::Failed("nothing to press at " + std::to_string(command.from.x) + "," +
                               std::to_string(command.from.y));
    }
    kernel::WaitForDeviceIdle();
    const LONG dx = command.to.x - command.from.x;
    const LONG dy = command.to.y - command.from.y;
    const LONG steps = std::max<LONG>(1, std::max(std::abs(dx), std::abs(dy)) / kDragStepPixels);
    for (LONG step = 1; step <= steps; ++step) {
        gwes::StylusMove(
            POINT{command.from.x + dx * step / steps, command.from.y + dy * step / steps});
        kernel::WaitForDeviceIdle();
    }
    gwes::StylusUp(command.to);
    kernel::WaitForDeviceIdle();
    return Outcome::Done();
}

Outcome MenuHelp() {
    HWND top = GetForegroundWindow();
    if (!top) {
        return Outcome::Failed("no window is in the foreground to ask for help");
    }
    PostMessageW(top, WM_HELP, 0, 0);
    return Outcome::Done();
}

}  // namespace

Outcome Session::Do(const InputCommand& command) {
    return std::visit(
        [](const auto& action) -> Outcome {
            using T = std::decay_t<decltype(action)>;
            if constexpr (std::is_same_v<T, ClickCommand>) {
                return Click(action);
            } else if constexpr (std::is_same_v<T, ChooseCommand>) {
                return Choose(action);
            } else if constexpr (std::is_same_v<T, TypeCommand>) {
                return Type(action);
            } else if constexpr (std::is_same_v<T, TabCommand>) {
                return Tab(action);
            } else if constexpr (std::is_same_v<T, TapCommand>) {
                return TapScreen(action);
            } else if constexpr (std::is_same_v<T, DragCommand>) {
                return Drag(action);
            } else {
                return MenuHelp();
            }
        },
        command.action);
}

}  // namespace tovarin::emulator::console
