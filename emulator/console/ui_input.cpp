#include "console/ui_input.h"

#include <limits>

#include "host/stylus.h"
#include "host/text.h"
#include "console/words.h"

namespace tovarin::emulator::console {
namespace {

std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t buffer[128] = {};
    GetClassNameW(hwnd, buffer, 128);
    return buffer;
}

void CollectShown(HWND parent, std::vector<HWND>& out) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE)) {
            continue;  // a hidden window hides everything in it
        }
        out.push_back(child);
        CollectShown(child, out);
    }
}

bool IsWithin(HWND window, HWND ancestor) {
    return window == ancestor || IsChild(ancestor, window);
}

}  // namespace

HWND ForegroundTopLevel() {
    return GetForegroundWindow();
}

std::optional<ControlAddress> ParseControlAddress(const std::string& text) {
    // ID and K follow the console's rule for numbers (decimal or 0x-hexadecimal).
    const size_t slash = text.find('/');
    const std::optional<uint64_t> id =
        ParseNumber(std::string_view(text).substr(0, slash), std::numeric_limits<int>::max());
    if (!id) {
        return std::nullopt;
    }
    ControlAddress address{static_cast<int>(*id), 0};
    if (slash == std::string::npos) {
        return address;
    }
    const std::optional<uint64_t> index =
        ParseNumber(std::string_view(text).substr(slash + 1), std::numeric_limits<uint32_t>::max());
    if (!index) {
        return std::nullopt;
    }
    address.index = static_cast<size_t>(*index);
    return address;
}

std::string ToString(const ControlAddress& address) {
    std::string text = std::to_string(address.id);
    if (address.index != 0) {
        text += "/" + std::to_string(address.index);
    }
    return text;
}

std::vector<HWND> ShownDescendants(HWND window) {
    std::vector<HWND> shown;
    CollectShown(window, shown);
    return shown;
}

std::string DescribeWindow(HWND hwnd) {
    return kernel::WideToUtf8(ClassOf(hwnd)) + " " + std::to_string(GetDlgCtrlID(hwnd)) + " \"" +
           kernel::WideToUtf8(TextOf(hwnd)) + "\"";
}

std::variant<HWND, std::string> FindControl(const ControlAddress& address) {
    HWND top = ForegroundTopLevel();
    if (!top) {
        return std::string("no window is in the foreground");
    }
    std::vector<HWND> matching;
    std::vector<std::string> ids;
    for (HWND control : ShownDescendants(top)) {
        if (GetDlgCtrlID(control) == address.id) {
            matching.push_back(control);
        }
        ids.push_back(std::to_string(GetDlgCtrlID(control)));
    }
    if (address.index < matching.size()) {
        return matching[address.index];
    }
    std::string reason =
        "no shown control " + ToString(address) + " in \"" + kernel::WideToUtf8(TextOf(top)) + "\"";
    if (!matching.empty()) {
        reason +=
            " (" + std::to_string(matching.size()) + " with id " + std::to_string(address.id) + ")";
    }
    std::string there;
    for (const std::string& id : ids) {
        there += (there.empty() ? "" : " ") + id;
    }
    return reason + "; shown control ids: " + (there.empty() ? "none" : there);
}

std::optional<ControlAddress> AddressOf(HWND control) {
    HWND top = ForegroundTopLevel();
    const int id = control ? GetDlgCtrlID(control) : 0;
    if (!top || id == 0) {
        return std::nullopt;
    }
    size_t index = 0;
    for (HWND shown : ShownDescendants(top)) {
        if (shown == control) {
            return ControlAddress{id, index};
        }
        index += GetDlgCtrlID(shown) == id ? 1 : 0;
    }
    return std::nullopt;
}

std::optional<std::string> TapPoint(POINT screen) {
    if (!gwes::StylusTap(screen)) {
        return "nothing to tap at " + std::to_string(screen.x) + "," + std::to_string(screen.y);
    }
    return std::nullopt;
}

std::optional<std::string> TapControl(HWND control) {
    if (!IsWindow(control)) {
        return std::string("the control is gone");
    }
    if (!IsWindowVisible(control)) {
        return DescribeWindow(control) + " is hidden";
    }
    for (HWND each = control; each; each = GetParent(each)) {
        if (!IsWindowEnabled(each)) {
            return DescribeWindow(control) + " is disabled";
        }
        if (!(GetWindowLongW(each, GWL_STYLE) & WS_CHILD)) {
            break;
        }
    }
    RECT rect{};
    GetWindowRect(control, &rect);
    const POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    HWND reached = gwes::StylusTarget(middle);
    if (!reached || !IsWithin(reached, control)) {
        return DescribeWindow(control) + " is covered by " +
               (reached ? DescribeWindow(reached) : std::string("nothing"));
    }
    gwes::StylusTap(middle);
    return std::nullopt;
}

std::optional<std::string> DragPoint(POINT from, POINT to) {
    if (!gwes::StylusDown(from)) {
        return "nothing to press at " + std::to_string(from.x) + "," + std::to_string(from.y);
    }
    gwes::StylusMove(to);
    gwes::StylusUp(to);
    return std::nullopt;
}

}  // namespace tovarin::emulator::console
