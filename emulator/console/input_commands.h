// The console's commands that act on the controls of the foreground window as the user does:
// click, choose, type, tab and menu help. A control is named by its id among the shown
// descendants of the foreground top-level window; ID/K names the K-th (0-based, in creation
// order) of several shown controls with that id.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include <windows.h>

#include "console/ui_input.h"
#include "console/words.h"

namespace tovarin::emulator::console {

// The user taps the control.
struct ClickCommand {
    ControlAddress control;
};
// The user opens the list and taps the item with this text, or the item at this index.
struct ChooseCommand {
    ControlAddress control;
    std::optional<std::wstring> text;
    int index = -1;
};
// The user selects all of the edit's text and types this.
struct TypeCommand {
    ControlAddress control;
    std::wstring text;
};
// The user taps tab N of the foreground property sheet.
struct TabCommand {
    int index = 0;
};
// The user picks Help on the shell's menu.
struct MenuHelpCommand {};
// The user taps a point of the screen, whatever is there (a point outside any control).
struct TapCommand {
    POINT at{};
};
// The user presses at one point of the screen, draws the stylus to another and lifts it there.
struct DragCommand {
    POINT from{};
    POINT to{};
};

struct InputCommand {
    std::variant<ClickCommand, ChooseCommand, TypeCommand, TabCommand, MenuHelpCommand, TapCommand,
                 DragCommand>
        action;
};

}  // namespace tovarin::emulator::console
