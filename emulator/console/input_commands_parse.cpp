#include "console/input_commands.h"

#include "host/text.h"

namespace tovarin::emulator::console {
namespace {

std::optional<ControlAddress> ParseControl(const Word& word) {
    return word.quoted ? std::nullopt : ParseControlAddress(word.text);
}

std::variant<InputCommand, std::string> Parse(std::string_view name, std::span<const Word> words) {
    if (name == "tab") {
        auto index = words.size() == 1 && !words[0].quoted ? ParseNumber(words[0].text, 0xFFFF)
                                                           : std::nullopt;
        if (!index) {
            return std::string("usage: tab N");
        }
        return InputCommand{TabCommand{static_cast<int>(*index)}};
    }
    if (name == "menu") {
        if (words.size() != 1 || words[0].quoted || words[0].text != "help") {
            return std::string("usage: menu help");
        }
        return InputCommand{MenuHelpCommand{}};
    }
    const std::string usage = name == "click"    ? "usage: click ID"
                              : name == "choose" ? "usage: choose ID \"TEXT\" | choose ID at N"
                                                 : "usage: type ID \"TEXT\"";
    if (words.empty()) {
        return usage;
    }
    auto control = ParseControl(words[0]);
    if (!control) {
        return "'" + words[0].text + "' is not a control id (ID or ID/K)";
    }
    if (name == "click") {
        if (words.size() != 1) {
            return usage;
        }
        return InputCommand{ClickCommand{*control}};
    }
    if (name == "type") {
        if (words.size() != 2 || !words[1].quoted) {
            return usage;
        }
        return InputCommand{TypeCommand{*control, kernel::Utf8ToWide(words[1].text)}};
    }
    ChooseCommand choose{*control};
    if (words.size() == 2 && words[1].quoted) {
        choose.text = kernel::Utf8ToWide(words[1].text);
        return InputCommand{choose};
    }
    if (words.size() == 3 && !words[1].quoted && words[1].text == "at") {
        auto index = words[2].quoted ? std::nullopt : ParseNumber(words[2].text, 0xFFFF);
        if (!index) {
            return "'" + words[2].text + "' is not an item index";
        }
        choose.index = static_cast<int>(*index);
        return InputCommand{choose};
    }
    return usage;
}

}  // namespace

std::optional<std::variant<InputCommand, std::string>> ParseInputCommand(
    std::string_view name, std::span<const Word> words) {
    if (name != "click" && name != "choose" && name != "type" && name != "tab" && name != "menu") {
        return std::nullopt;
    }
    return Parse(name, words);
}

std::vector<std::string> InputHelpLines() {
    return {
        "Controls of the foreground window (ID/K: the K-th shown control with that id):",
        "  click ID                              the user taps the control",
        "  choose ID \"TEXT\" | choose ID at N     the user opens the list and taps that item",
        "  type ID \"TEXT\"                        the user selects the edit's text and types TEXT",
        "  tab N                                 the user taps tab N (0-based) of the sheet",
        "  menu help                             the user picks Help on the shell's menu",
    };
}

}  // namespace tovarin::emulator::console
