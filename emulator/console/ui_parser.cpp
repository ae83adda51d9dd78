#include <charconv>
#include <limits>

#include "console/ui_commands.h"
#include "console/ui_input.h"
#include "host/text.h"

namespace tovarin::emulator::console {
namespace {

using Result = std::variant<UiCommand, std::string>;

bool IsKeyword(const Word& word, std::string_view keyword) {
    return !word.quoted && word.text == keyword;
}

std::optional<int64_t> Integer(const Word& word) {
    if (word.quoted) {
        return std::nullopt;
    }
    int64_t value = 0;
    const char* begin = word.text.data();
    const char* end = begin + word.text.size();
    auto [after, error] = std::from_chars(begin, end, value);
    if (error != std::errc{} || after != end || word.text.empty()) {
        return std::nullopt;
    }
    return value;
}

Result ParseExpectControl(const std::vector<Word>& words) {
    // expect control ID STATE ...
    if (words.size() < 4) {
        return std::string(
            "usage: expect control ID STATE (text \"T\", checked, unchecked, "
            "enabled, disabled, shown, hidden, readonly, items \"A\" ..., count N, "
            "selected \"T\", selected none, pos N, rect X Y W H)");
    }
    std::optional<ControlAddress> address =
        words[2].quoted ? std::nullopt : ParseControlAddress(words[2].text);
    if (!address) {
        return "'" + words[2].text + "' is not a control id (ID or ID/K)";
    }
    ExpectControlCommand command;
    command.id = address->id;
    command.index = address->index;
    const std::string state = words[3].quoted ? "" : words[3].text;
    const size_t rest = words.size() - 4;
    using Kind = ExpectControlCommand::Kind;
    auto no_more = [&](Kind kind) -> Result {
        if (rest != 0) {
            return "unexpected '" + words[4].text + "' after " + state;
        }
        command.kind = kind;
        return UiCommand(command);
    };
    if (state == "checked")
        return no_more(Kind::Checked);
    if (state == "unchecked")
        return no_more(Kind::Unchecked);
    if (state == "enabled")
        return no_more(Kind::Enabled);
    if (state == "disabled")
        return no_more(Kind::Disabled);
    if (state == "shown")
        return no_more(Kind::Shown);
    if (state == "hidden")
        return no_more(Kind::Hidden);
    if (state == "readonly")
        return no_more(Kind::Readonly);
    if (state == "text") {
        if (rest != 1 || !words[4].quoted) {
            return std::string("expected text \"TEXT\"");
        }
        command.kind = Kind::Text;
        command.text = kernel::Utf8ToWide(words[4].text);
        return UiCommand(command);
    }
    if (state == "items") {
        command.kind = Kind::Items;
        for (size_t at = 4; at < words.size(); ++at) {
            if (!words[at].quoted) {
                return "expected a quoted item, found '" + words[at].text + "'";
            }
            command.items.push_back(kernel::Utf8ToWide(words[at].text));
        }
        return UiCommand(command);
    }
    if (state == "selected") {
        if (rest == 1 && IsKeyword(words[4], "none")) {
            command.kind = Kind::SelectedNone;
            return UiCommand(command);
        }
        if (rest != 1 || !words[4].quoted) {
            return std::string("expected selected \"TEXT\" or selected none");
        }
        command.kind = Kind::Selected;
        command.text = kernel::Utf8ToWide(words[4].text);
        return UiCommand(command);
    }
    if (state == "count" || state == "pos") {
        std::optional<int64_t> number = rest == 1 ? Integer(words[4]) : std::nullopt;
        if (!number || (state == "count" && *number < 0)) {
            return "expected " + state + " N";
        }
        command.kind = state == "count" ? Kind::Count : Kind::Pos;
        command.number = *number;
        return UiCommand(command);
    }
    if (state == "rect") {
        if (rest != 4) {
            return std::string("expected rect X Y W H");
        }
        command.kind = Kind::Rect;
        for (size_t at = 0; at < 4; ++at) {
            std::optional<int64_t> number = Integer(words[4 + at]);
            if (!number || *number < std::numeric_limits<int32_t>::min() ||
                *number > std::numeric_limits<int32_t>::max()) {
                return "'" + words[4 + at].text + "' is not a number of pixels";
            }
            command.rect[at] = static_cast<int32_t>(*number);
        }
        return UiCommand(command);
    }
    return "unknown control state '" + words[3].text + "'";
}

}  // namespace

std::optional<std::variant<UiCommand, std::string>> ParseUiCommand(const std::vector<Word>& words) {
    if (words.empty() || words[0].quoted) {
        return std::nullopt;
    }
    const std::string& name = words[0].text;
    if (name == "dump" || name == "ok") {
        if (words.size() != 1) {
            return Result("unexpected '" + words[1].text + "' after " + name);
        }
        return name == "dump" ? Result(UiCommand(DumpCommand{})) : Result(UiCommand(OkCommand{}));
    }
    if (name == "rotate") {
        using Orientation = RotateCommand::Orientation;
        if (words.size() == 2 && !words[1].quoted) {
            if (words[1].text == "portrait")
                return Result(UiCommand(RotateCommand{Orientation::Portrait}));
            if (words[1].text == "landscape")
                return Result(UiCommand(RotateCommand{Orientation::Landscape}));
            if (words[1].text == "square")
                return Result(UiCommand(RotateCommand{Orientation::Square}));
        }
        return Result(std::string("usage: rotate portrait | landscape | square"));
    }
    if (name == "scroll") {
        using Action = ScrollCommand::Action;
        const std::string usage =
            "usage: scroll line-down | line-up | page-down | page-up | thumb N";
        if (words.size() == 2 && !words[1].quoted) {
            const std::string& how = words[1].text;
            if (how == "line-down")
                return Result(UiCommand(ScrollCommand{Action::LineDown}));
            if (how == "line-up")
                return Result(UiCommand(ScrollCommand{Action::LineUp}));
            if (how == "page-down")
                return Result(UiCommand(ScrollCommand{Action::PageDown}));
            if (how == "page-up")
                return Result(UiCommand(ScrollCommand{Action::PageUp}));
        }
        if (words.size() == 3 && IsKeyword(words[1], "thumb")) {
            std::optional<int64_t> position = Integer(words[2]);
            if (position && *position >= std::numeric_limits<int>::min() &&
                *position <= std::numeric_limits<int>::max()) {
                return Result(UiCommand(ScrollCommand{Action::Thumb, static_cast<int>(*position)}));
            }
        }
        return Result(usage);
    }
    if (name == "expect" && words.size() >= 2) {
        const bool negated = IsKeyword(words[1], "no");
        const size_t what = negated ? 2 : 1;
        if (words.size() > what && IsKeyword(words[what], "foreground")) {
            if (words.size() != what + 2 || !words[what + 1].quoted) {
                return Result(std::string("usage: expect [no] foreground \"TITLE\""));
            }
            return Result(UiCommand(
                ExpectForegroundCommand{kernel::Utf8ToWide(words[what + 1].text), negated}));
        }
        if (words.size() > what && IsKeyword(words[what], "control")) {
            if (negated) {
                return Result(std::string("'expect no control' is not a command"));
            }
            return ParseExpectControl(words);
        }
    }
    return std::nullopt;
}

}  // namespace tovarin::emulator::console
