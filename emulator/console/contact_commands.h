// The console's commands on the phone's contacts: adding to the contact store, and the user's
// choice in the open contact chooser.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "console/words.h"

namespace tovarin::emulator::console {

// contact add "NAME" "NUMBER" [mobile|work|home]
struct ContactAddCommand {
    std::wstring name;
    std::wstring number;
    enum class Type { Mobile, Work, Home } type = Type::Mobile;
};
// chooser pick "NAME" "NUMBER": the user taps the contact, then that number.
struct ChooserPickCommand {
    std::wstring name;
    std::wstring number;
};
// chooser cancel: the user closes the chooser without a choice.
struct ChooserCancelCommand {};

struct ContactCommand {
    std::variant<ContactAddCommand, ChooserPickCommand, ChooserCancelCommand> action;
};

}  // namespace tovarin::emulator::console
