#include <chrono>

#include "console/host_commands.h"
#include "host/text.h"

namespace tovarin::emulator::console {
namespace {

using Parsed = std::variant<HostCommand, std::string>;

// Reads the words after the command's name; each Take... fails with a reason instead of throwing,
// so that the caller can stop at the first problem.
class HostWords {
  public:
    HostWords(const std::vector<Word>& words, size_t start) : words_(words), pos_(start) {}

    bool AtEnd() const { return pos_ >= words_.size(); }
    const Word* Peek() const { return AtEnd() ? nullptr : &words_[pos_]; }
    bool TakeIf(std::string_view keyword) {
        if (Peek() && !Peek()->quoted && Peek()->text == keyword) {
            ++pos_;
            return true;
        }
        return false;
    }
    std::optional<std::string> Take() {
        return AtEnd() ? std::nullopt : std::optional(words_[pos_++].text);
    }
    std::optional<std::wstring> TakeText() {
        std::optional<std::string> text = Take();
        return text ? std::optional(kernel::Utf8ToWide(*text)) : std::nullopt;
    }
    std::optional<uint32_t> TakeNumber(uint64_t max) {
        std::optional<std::string> text = Take();
        if (!text) {
            return std::nullopt;
        }
        std::optional<uint64_t> value = ParseNumber(*text, max);
        return value ? std::optional(static_cast<uint32_t>(*value)) : std::nullopt;
    }
    std::string Rest() const {
        return AtEnd() ? "" : "unexpected '" + words_[pos_].text + "' at the end of the line";
    }

  private:
    const std::vector<Word>& words_;
    size_t pos_;
};

// The command, or the reason when words are left over.
Parsed Finished(HostWords& words, HostCommand command) {
    if (!words.AtEnd()) {
        return words.Rest();
    }
    return command;
}

Parsed ParseApplet(HostWords& words) {
    if (words.TakeIf("open")) {
        AppletOpenCommand command;
        std::optional<std::wstring> library = words.TakeText();
        if (!library || library->empty()) {
            return std::string("missing LIBRARY after 'applet open'");
        }
        command.library = *library;
        std::optional<uint32_t> applet = words.TakeNumber(0xFFFF);
        if (!applet) {
            return std::string("expected the applet number N (0 to 65535) after the library");
        }
        command.applet = *applet;
        if (words.TakeIf("page")) {
            std::optional<uint32_t> page = words.TakeNumber(0xFFFF);
            if (!page) {
                return std::string("expected the page number P (0 to 65535) after 'page'");
            }
            command.page = *page;
        }
        return Finished(words, command);
    }
    if (words.TakeIf("list")) {
        std::optional<std::wstring> library = words.TakeText();
        if (!library || library->empty()) {
            return std::string("missing LIBRARY after 'applet list'");
        }
        return Finished(words, AppletListCommand{*library});
    }
    return std::string("expected open or list after 'applet'");
}

Parsed ParseProgram(HostWords& words) {
    if (words.TakeIf("start")) {
        std::optional<std::wstring> path = words.TakeText();
        if (!path || path->empty()) {
            return std::string("missing PATH after 'program start'");
        }
        ProgramStartCommand command{*path, {}};
        if (!words.AtEnd()) {
            command.arguments = *words.TakeText();
        }
        return Finished(words, command);
    }
    if (words.TakeIf("end")) {
        std::optional<std::wstring> name = words.TakeText();
        if (!name || name->empty()) {
            return std::string("missing NAME after 'program end'");
        }
        return Finished(words, ProgramEndCommand{*name});
    }
    return std::string("expected start or end after 'program'");
}

Parsed ParseCard(HostWords& words) {
    if (words.TakeIf("insert")) {
        CardInsertCommand command{L"Storage Card"};
        if (!words.AtEnd()) {
            command.name = *words.TakeText();
            if (command.name.empty() ||
                command.name.find_first_of(L"\\/:*?\"<>|") != std::wstring::npos ||
                command.name == L"." || command.name == L"..") {
                return std::string("a card's NAME is one folder name, without \\ / : * ? \" < > |");
            }
        }
        return Finished(words, command);
    }
    if (words.TakeIf("remove")) {
        return Finished(words, CardRemoveCommand{});
    }
    return std::string("expected insert or remove after 'card'");
}

Parsed ParseTime(HostWords& words) {
    if (!words.TakeIf("set")) {
        return std::string("expected set after 'time'");
    }
    std::optional<std::string> text = words.Take();
    if (!text) {
        return std::string("missing \"YYYY-MM-DD HH:MM:SS\" after 'time set'");
    }
    std::optional<int64_t> unix_ms = ParseLocalTime(*text);
    if (!unix_ms) {
        return "'" + *text + "' is not a time \"YYYY-MM-DD HH:MM:SS\"";
    }
    return Finished(words, TimeSetCommand{kernel::Utf8ToWide(*text), *unix_ms});
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

std::optional<Parsed> ParseHostCommand(const std::vector<Word>& words) {
    if (words.empty() || words[0].quoted) {
        return std::nullopt;
    }
    const std::string& name = words[0].text;
    HostWords rest(words, 1);
    if (name == "applet") {
        return ParseApplet(rest);
    }
    if (name == "program") {
        return ParseProgram(rest);
    }
    if (name == "card") {
        return ParseCard(rest);
    }
    if (name == "time") {
        return ParseTime(rest);
    }
    if (name != "expect") {
        return std::nullopt;
    }
    // expect [no] running "NAME" and expect file "PATH" contains "TEXT"; the other expectations
    // belong to the general parser.
    bool negated = rest.TakeIf("no");
    if (rest.TakeIf("running")) {
        std::optional<std::wstring> program = rest.TakeText();
        if (!program || program->empty()) {
            return Parsed(std::string("missing NAME after 'expect running'"));
        }
        return Finished(rest, ExpectRunningCommand{*program, negated});
    }
    if (!negated && words.size() >= 4 && !words[1].quoted && words[1].text == "file" &&
        !words[3].quoted && words[3].text == "contains") {
        if (words.size() < 5) {
            return Parsed(std::string("missing TEXT after 'contains'"));
        }
        if (words.size() > 5) {
            return Parsed("unexpected '" + words[5].text + "' at the end of the line");
        }
        return Parsed(ExpectFileContainsCommand{kernel::Utf8ToWide(words[2].text), words[4].text});
    }
    return std::nullopt;
}

bool WorksBeforeBoot(const HostCommand& command) {
    return std::holds_alternative<TimeSetCommand>(command) ||
           std::holds_alternative<CardInsertCommand>(command) ||
           std::holds_alternative<CardRemoveCommand>(command);
}

bool IsHostExpectation(const HostCommand& command) {
    return std::holds_alternative<ExpectFileContainsCommand>(command) ||
           std::holds_alternative<ExpectRunningCommand>(command);
}

}  // namespace tovarin::emulator::console
