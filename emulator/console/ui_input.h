// What the console's user-interface commands share: finding the control a command names in the
// foreground window, and tapping the screen through the device's stylus input, so that a
// control reacts exactly as to a user's touch (its own messages and notifications).
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tovarin::emulator::console {

// The foreground top-level window; null when there is none.
HWND ForegroundTopLevel();

// "ID" or "ID/K": the K-th (0-based, in creation order) shown control with that id.
struct ControlAddress {
    int id = 0;
    size_t index = 0;
};
// nullopt when the text is not such an address.
std::optional<ControlAddress> ParseControlAddress(const std::string& text);
std::string ToString(const ControlAddress& address);

// The shown descendants of a window in creation order (depth first).
std::vector<HWND> ShownDescendants(HWND window);

// The control a command names in the foreground window, or why there is none (with what is
// there instead).
std::variant<HWND, std::string> FindControl(const ControlAddress& address);
// The address that names a shown control of the foreground window (FindControl's inverse);
// nullopt for a window that no address names (no id, hidden, or elsewhere).
std::optional<ControlAddress> AddressOf(HWND control);

// A control as messages name it: CLASS id "text".
std::string DescribeWindow(HWND hwnd);

// Taps the screen at a point; the reason when the touch reaches no window.
std::optional<std::string> TapPoint(POINT screen);

// Taps the middle of a control as a user does; fails (with the reason) when the control is
// disabled, hidden or covered by another window, as the user cannot tap it then.
std::optional<std::string> TapControl(HWND control);

// Presses at one point, moves to another and lifts there (a drag).
std::optional<std::string> DragPoint(POINT from, POINT to);

}  // namespace tovarin::emulator::console
