// The console's commands on what the screen shows: dump, expect [no] foreground, expect control,
// ok, scroll and rotate. Parsed in screen_grammar.cpp; carried out in ui_session.cpp.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "console/words.h"

namespace tovarin::emulator::console {

// dump: the foreground window's tree.
struct DumpCommand {};

// expect [no] foreground "TITLE"
struct ExpectForegroundCommand {
    std::wstring title;
    bool negated = false;
};

// expect control ID[/K] STATE
struct ExpectControlCommand {
    enum class Kind {
        Text,
        Checked,
        Unchecked,
        Enabled,
        Disabled,
        Shown,
        Hidden,
        Readonly,
        Items,
        Count,
        Selected,
        SelectedNone,
        Pos,
        Rect
    };
    int id = 0;
    size_t index = 0;  // K of ID/K
    Kind kind = Kind::Text;
    std::wstring text;                // Text, Selected
    std::vector<std::wstring> items;  // Items
    int64_t number = 0;               // Count, Pos
    int32_t rect[4] = {0, 0, 0, 0};   // Rect: x y w h
};

// ok: the user taps OK/Done in the foreground window's caption.
struct OkCommand {};

// start: the user taps the taskbar's Start button (the Start menu opens).
struct StartMenuCommand {};

// today: the Today screen comes to the front.
struct TodayCommand {};

// scroll line-down | line-up | page-down | page-up | thumb N
struct ScrollCommand {
    enum class Action { LineDown, LineUp, PageDown, PageUp, Thumb };
    Action action = Action::LineDown;
    int position = 0;  // Thumb
};

// rotate portrait | landscape | square
struct RotateCommand {
    enum class Orientation { Portrait, Landscape, Square };
    Orientation orientation = Orientation::Portrait;
};

using UiCommand =
    std::variant<DumpCommand, ExpectForegroundCommand, ExpectControlCommand, OkCommand,
                 ScrollCommand, RotateCommand, StartMenuCommand, TodayCommand>;

inline bool IsUiExpectation(const UiCommand& command) {
    return std::holds_alternative<ExpectForegroundCommand>(command) ||
           std::holds_alternative<ExpectControlCommand>(command);
}

}  // namespace tovarin::emulator::console
