// The parsers of the commands on what the shell does around programs (the control-panel host, the
// program launcher, storage cards, the clock) and on the contacts.
#include <chrono>
#include <cstdio>

#include "console/command_parsers.h"
#include "host/text.h"

namespace tovarin::emulator::console {
namespace {

// A name that must not be empty ("" names nothing the device could find).
std::wstring TakeName(Arguments& arguments, const std::string& what) {
    std::wstring name = arguments.TakeText(what);
    if (name.empty()) {
        throw Unparsable{"missing " + what};
    }
    return name;
}

}  // namespace

std::optional<int64_t> ParseLocalTime(const std::string& text) {
    using namespace std::chrono;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    char tail = 0;
    if (text.size() != 19 ||
        std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &s, &tail) !=
            6 ||
        text[4] != '-' || text[7] != '-' || text[10] != ' ' || text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    year_month_day date{year{y}, month{static_cast<unsigned>(mo)}, day{static_cast<unsigned>(d)}};
    if (y < 1601 || !date.ok() || h > 23 || mi > 59 || s > 59) {
        return std::nullopt;
    }
    seconds since_epoch = duration_cast<seconds>(sys_days{date}.time_since_epoch()) + hours{h} +
                          minutes{mi} + seconds{s};
    return duration_cast<milliseconds>(since_epoch).count();
}

Command ParseAppletOpen(Arguments& arguments) {
    AppletOpenCommand command{.library = TakeName(arguments, "LIBRARY after 'applet open'")};
    command.applet = static_cast<uint32_t>(arguments.TakeNumber("applet number N", 0xFFFF));
    if (arguments.TakeIf("page")) {
        command.page = static_cast<uint32_t>(arguments.TakeNumber("page number P", 0xFFFF));
    }
    return HostCommand{command};
}

Command ParseAppletList(Arguments& arguments) {
    return HostCommand{AppletListCommand{TakeName(arguments, "LIBRARY after 'applet list'")}};
}

Command ParseProgramStart(Arguments& arguments) {
    ProgramStartCommand command{TakeName(arguments, "PATH after 'program start'"), {}};
    if (!arguments.AtEnd()) {
        command.arguments = arguments.TakeText("ARGS");
    }
    return HostCommand{command};
}

Command ParseProgramEnd(Arguments& arguments) {
    return HostCommand{ProgramEndCommand{TakeName(arguments, "NAME after 'program end'")}};
}

Command ParseCardInsert(Arguments& arguments) {
    CardInsertCommand command{L"Storage Card"};
    if (!arguments.AtEnd()) {
        command.name = arguments.TakeText("NAME");
        if (command.name.empty() ||
            command.name.find_first_of(L"\\/:*?\"<>|") != std::wstring::npos ||
            command.name == L"." || command.name == L"..") {
            throw Unparsable{"a card's NAME is one folder name, without \\ / : * ? \" < > |"};
        }
    }
    return HostCommand{command};
}

Command ParseTimeSet(Arguments& arguments) {
    const std::string text = arguments.Take("\"YYYY-MM-DD HH:MM:SS\" after 'time set'").text;
    std::optional<int64_t> unix_ms = ParseLocalTime(text);
    if (!unix_ms) {
        throw Unparsable{"'" + text + "' is not a time \"YYYY-MM-DD HH:MM:SS\""};
    }
    return HostCommand{TimeSetCommand{kernel::Utf8ToWide(text), *unix_ms}};
}

namespace {

// Digits, * and # (a + only first), with a number's visual separators; at least one of the first.
bool IsTelephoneNumber(const std::wstring& number) {
    bool dialled = false;
    for (size_t i = 0; i < number.size(); ++i) {
        const wchar_t c = number[i];
        if ((c >= L'0' && c <= L'9') || c == L'*' || c == L'#') {
            dialled = true;
        } else if (c == L'+' ? i != 0
                             : std::wstring_view(L" -.()").find(c) == std::wstring_view::npos) {
            return false;
        }
    }
    return dialled;
}

}  // namespace

Command ParseContactAdd(Arguments& arguments) {
    ContactAddCommand add{arguments.TakeQuotedText("NAME")};
    add.number = arguments.TakeQuotedText("NUMBER");
    if (add.name.empty() || add.number.empty()) {
        throw Unparsable{"a contact needs a name and a number"};
    }
    if (!IsTelephoneNumber(add.number)) {
        throw Unparsable{"'" + kernel::WideToUtf8(add.number) +
                         "' is not a telephone number: digits, * and # (a + only first), with "
                         "the separators space, -, ., ( and )"};
    }
    if (!arguments.AtEnd()) {
        const Word& type = arguments.Take("the number's type");
        if (type.quoted || (type.text != "mobile" && type.text != "work" && type.text != "home")) {
            throw Unparsable{"'" + type.text + "' is not a number type (mobile, work or home)"};
        }
        add.type = type.text == "mobile" ? ContactAddCommand::Type::Mobile
                   : type.text == "work" ? ContactAddCommand::Type::Work
                                         : ContactAddCommand::Type::Home;
    }
    return ContactCommand{add};
}

Command ParseChooserPick(Arguments& arguments) {
    std::wstring name = arguments.TakeQuotedText("NAME");
    return ContactCommand{ChooserPickCommand{std::move(name), arguments.TakeQuotedText("NUMBER")}};
}

}  // namespace tovarin::emulator::console
