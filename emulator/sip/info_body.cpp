#include "sip/info_body.h"

namespace tovarin::emulator::sip {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool IsSignalName(std::string_view name) {
    constexpr std::string_view kSignal = "signal";
    if (name.size() != kSignal.size()) {
        return false;
    }
    for (size_t i = 0; i < name.size(); ++i) {
        const char lower =
            name[i] >= 'A' && name[i] <= 'Z' ? static_cast<char>(name[i] + 32) : name[i];
        if (lower != kSignal[i]) {
            return false;
        }
    }
    return true;
}

std::optional<char> Key(std::string_view value) {
    if (value.size() != 1) {
        return std::nullopt;
    }
    const char c = value[0];
    if ((c >= '0' && c <= '9') || c == '*' || c == '#' || (c >= 'A' && c <= 'D')) {
        return c;
    }
    if (c >= 'a' && c <= 'd') {
        return static_cast<char>(c - 'a' + 'A');
    }
    return std::nullopt;
}

}  // namespace

std::optional<char> KeyOfInfoBody(std::string_view body) {
    while (!body.empty()) {
        const size_t end = body.find('\n');
        const std::string_view line = body.substr(0, end);
        body = end == std::string_view::npos ? std::string_view() : body.substr(end + 1);
        const size_t equals = line.find('=');
        if (equals != std::string_view::npos && IsSignalName(Trim(line.substr(0, equals)))) {
            return Key(Trim(line.substr(equals + 1)));
        }
    }
    return std::nullopt;
}

}  // namespace tovarin::emulator::sip
