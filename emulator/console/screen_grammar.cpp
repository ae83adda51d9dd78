// The parsers of the commands on the screen and on the controls of the foreground window.
#include <limits>

#include "console/command_parsers.h"

namespace tovarin::emulator::console {
namespace {

constexpr int64_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int64_t kIntMax = std::numeric_limits<int32_t>::max();

}  // namespace

Command ParseScroll(Arguments& arguments) {
    using Action = ScrollCommand::Action;
    static constexpr std::pair<const char*, Action> kSteps[] = {
        {"line-down", Action::LineDown},
        {"line-up", Action::LineUp},
        {"page-down", Action::PageDown},
        {"page-up", Action::PageUp},
    };
    for (const auto& [name, action] : kSteps) {
        if (arguments.TakeIf(name)) {
            return UiCommand{ScrollCommand{action}};
        }
    }
    if (arguments.TakeIf("thumb")) {
        const auto position =
            static_cast<int>(arguments.TakeSigned("thumb position N", kIntMin, kIntMax));
        return UiCommand{ScrollCommand{Action::Thumb, position}};
    }
    throw Unparsable{"usage: scroll line-down | line-up | page-down | page-up | thumb N"};
}

Command ParseRotate(Arguments& arguments) {
    using Orientation = RotateCommand::Orientation;
    if (arguments.TakeIf("portrait")) {
        return UiCommand{RotateCommand{Orientation::Portrait}};
    }
    if (arguments.TakeIf("landscape")) {
        return UiCommand{RotateCommand{Orientation::Landscape}};
    }
    if (arguments.TakeIf("square")) {
        return UiCommand{RotateCommand{Orientation::Square}};
    }
    throw Unparsable{"usage: rotate portrait | landscape | square"};
}

Command ParseScreenshot(Arguments& arguments) {
    const Word& file = arguments.Take("the host file: screenshot \"HOSTFILE.png\"");
    if (file.text.empty()) {
        throw Unparsable{"screenshot needs a file name"};
    }
    return ScreenshotCommand{file.text};
}

Command ParseRun(Arguments& arguments) {
    const Word& file = arguments.Take("the script: run \"HOSTFILE.scn\"");
    if (file.text.empty()) {
        throw Unparsable{"run needs a script's file name"};
    }
    return RunCommand{file.text};
}

Command ParseExpectForeground(Arguments& arguments) {
    return UiCommand{
        ExpectForegroundCommand{arguments.TakeQuotedText("TITLE"), arguments.negated()}};
}

Command ParseExpectControl(Arguments& arguments) {
    using Kind = ExpectControlCommand::Kind;
    ExpectControlCommand command;
    const ControlAddress address = arguments.TakeControl();
    command.id = address.id;
    command.index = address.index;
    const std::string state = arguments.TakeKeyword(
        "STATE (text \"T\", checked, unchecked, enabled, disabled, shown, hidden, readonly, "
        "items \"A\" ..., count N, selected \"T\", selected none, pos N, rect X Y W H)");
    static constexpr std::pair<const char*, Kind> kPlainStates[] = {
        {"checked", Kind::Checked},   {"unchecked", Kind::Unchecked}, {"enabled", Kind::Enabled},
        {"disabled", Kind::Disabled}, {"shown", Kind::Shown},         {"hidden", Kind::Hidden},
        {"readonly", Kind::Readonly},
    };
    for (const auto& [name, kind] : kPlainStates) {
        if (state == name) {
            command.kind = kind;
            return UiCommand{command};
        }
    }
    if (state == "text") {
        command.kind = Kind::Text;
        command.text = arguments.TakeQuotedText("TEXT");
    } else if (state == "items") {
        command.kind = Kind::Items;
        while (!arguments.AtEnd()) {
            command.items.push_back(arguments.TakeQuotedText("an item"));
        }
    } else if (state == "selected") {
        if (arguments.TakeIf("none")) {
            command.kind = Kind::SelectedNone;
        } else {
            command.kind = Kind::Selected;
            command.text = arguments.TakeQuotedText("TEXT or none");
        }
    } else if (state == "count") {
        command.kind = Kind::Count;
        command.number = static_cast<int64_t>(arguments.TakeNumber("count N", INT64_MAX));
    } else if (state == "pos") {
        command.kind = Kind::Pos;
        command.number = arguments.TakeSigned("pos N", INT64_MIN, INT64_MAX);
    } else if (state == "rect") {
        command.kind = Kind::Rect;
        for (int32_t& edge : command.rect) {
            edge = static_cast<int32_t>(arguments.TakeSigned("number of pixels", kIntMin, kIntMax));
        }
    } else {
        throw Unparsable{"unknown control state '" + state + "'"};
    }
    return UiCommand{command};
}

Command ParseClick(Arguments& arguments) {
    return InputCommand{ClickCommand{arguments.TakeControl()}};
}

Command ParseChoose(Arguments& arguments) {
    ChooseCommand choose{arguments.TakeControl()};
    if (arguments.TakeIf("at")) {
        choose.index = static_cast<int>(arguments.TakeNumber("item index", 0xFFFF));
    } else {
        choose.text = arguments.TakeQuotedText("the item's TEXT (or at N)");
    }
    return InputCommand{choose};
}

Command ParseType(Arguments& arguments) {
    ControlAddress control = arguments.TakeControl();
    return InputCommand{TypeCommand{control, arguments.TakeQuotedText("TEXT")}};
}

Command ParseTab(Arguments& arguments) {
    return InputCommand{TabCommand{static_cast<int>(arguments.TakeNumber("tab N", 0xFFFF))}};
}

namespace {

// A point of the screen in pixels from its top left corner (whether something is there is the
// command's to find out).
POINT TakeScreenPoint(Arguments& arguments, std::string_view x, std::string_view y) {
    constexpr uint64_t kMaxPixel = 4095;
    const auto px = static_cast<LONG>(arguments.TakeNumber(x, kMaxPixel));
    return POINT{px, static_cast<LONG>(arguments.TakeNumber(y, kMaxPixel))};
}

}  // namespace

Command ParseTap(Arguments& arguments) {
    return InputCommand{TapCommand{TakeScreenPoint(arguments, "X", "Y")}};
}

Command ParseDrag(Arguments& arguments) {
    DragCommand drag;
    drag.from = TakeScreenPoint(arguments, "X", "Y");
    drag.to = TakeScreenPoint(arguments, "X2", "Y2");
    return InputCommand{drag};
}

}  // namespace tovarin::emulator::console
