#include "console/parser.h"

#include <span>
#include <strings.h>

#include "console/words.h"
#include "host/text.h"

namespace tovarin::emulator::console {
namespace {

constexpr uint64_t kMaxDword = 0xFFFFFFFFu;
// One command lets at most a device day pass: a longer wait is a slip of the keyboard, and the
// device's timers would all fire at once.
constexpr uint64_t kMaxWaitMs = 24ull * 60 * 60 * 1000;

// Why a line is not a command; thrown inside the parser only.
struct Unparsable {
    std::string reason;
};

// Walks the words of one line; every Take... either consumes a word or throws Unparsable.
class Words {
  public:
    explicit Words(std::span<const Word> words) : words_(words) {}

    bool AtEnd() const { return pos_ >= words_.size(); }

    // Whether the next word is this keyword; consumes it when it is.
    bool TakeIf(std::string_view keyword) {
        if (!AtEnd() && !words_[pos_].quoted && words_[pos_].text == keyword) {
            ++pos_;
            return true;
        }
        return false;
    }

    const Word& Take(std::string_view what) {
        if (AtEnd()) {
            throw Unparsable{"missing " + std::string(what)};
        }
        return words_[pos_++];
    }

    std::string TakeKeyword(std::string_view what) {
        const Word& word = Take(what);
        if (word.quoted) {
            throw Unparsable{"expected " + std::string(what) + ", found \"" + word.text + "\""};
        }
        return word.text;
    }

    // Every word left, consumed.
    std::span<const Word> TakeRest() {
        std::span<const Word> rest = words_.subspan(pos_);
        pos_ = words_.size();
        return rest;
    }

    std::wstring TakeText(std::string_view what) { return kernel::Utf8ToWide(Take(what).text); }

    uint64_t TakeNumber(std::string_view what, uint64_t max) {
        const Word& word = Take(what);
        auto value = ParseNumber(word.text, max);
        if (!value) {
            throw Unparsable{"'" + word.text + "' is not a valid " + std::string(what)};
        }
        return *value;
    }

    uint32_t TakeDword(std::string_view what) {
        return static_cast<uint32_t>(TakeNumber(what, kMaxDword));
    }

    RegRoot TakeRoot() {
        std::string root = TakeKeyword("ROOT (HKLM or HKCU)");
        if (root == "HKLM" || root == "HKEY_LOCAL_MACHINE") {
            return RegRoot::LocalMachine;
        }
        if (root == "HKCU" || root == "HKEY_CURRENT_USER") {
            return RegRoot::CurrentUser;
        }
        throw Unparsable{"unknown root '" + root + "' (HKLM or HKCU)"};
    }

    RegValueRef TakeValueRef() {
        RegValueRef ref;
        ref.root = TakeRoot();
        ref.key = TakeText("KEY");
        ref.value = TakeText("VALUE");
        return ref;
    }

    void ExpectEnd() {
        if (!AtEnd()) {
            throw Unparsable{"unexpected '" + words_[pos_].text + "' at the end of the line"};
        }
    }

  private:
    std::span<const Word> words_;
    size_t pos_ = 0;
};

Command ParseReg(Words& words) {
    std::string verb = words.TakeKeyword("set, delete or get after 'reg'");
    if (verb == "set") {
        RegSetCommand command{.target = words.TakeValueRef()};
        std::string type = words.TakeKeyword("the type (dword or sz)");
        if (type == "dword") {
            command.data = words.TakeDword("number");
        } else if (type == "sz") {
            command.data = words.TakeText("TEXT");
        } else {
            throw Unparsable{"unknown type '" + type + "' (dword or sz)"};
        }
        return command;
    }
    if (verb == "delete") {
        return RegDeleteCommand{words.TakeValueRef()};
    }
    if (verb == "get") {
        return RegGetCommand{words.TakeValueRef()};
    }
    throw Unparsable{"unknown reg command '" + verb + "'"};
}

Command ParseFile(Words& words, std::string* heredoc_end) {
    std::string verb = words.TakeKeyword("write or delete after 'file'");
    if (verb == "write") {
        FileWriteCommand command{.path = words.TakeText("PATH")};
        std::string marker = words.TakeKeyword("<<WORD");
        if (marker.size() <= 2 || marker.compare(0, 2, "<<") != 0) {
            throw Unparsable{"expected <<WORD after the path, found '" + marker + "'"};
        }
        if (heredoc_end) {
            *heredoc_end = marker.substr(2);
        }
        return command;
    }
    if (verb == "delete") {
        return FileDeleteCommand{words.TakeText("PATH")};
    }
    throw Unparsable{"unknown file command '" + verb + "'"};
}

template <class Parsed>
Command Take(std::variant<Parsed, std::string> parsed) {
    if (auto* reason = std::get_if<std::string>(&parsed)) {
        throw Unparsable{*reason};
    }
    return std::get<Parsed>(std::move(parsed));
}

Command ParseCall(Words& words) {
    std::string verb = words.TakeKeyword("a call action");
    if (verb == "voice") {
        return Take(ParseAudioCommand(AudioCommand::Target::CallerVoice, words.TakeRest()));
    }
    if (verb == "incoming") {
        return CallCommand{CallAction::Incoming, words.TakeText("NUMBER")};
    }
    if (verb == "second") {
        return CallCommand{CallAction::Second, words.TakeText("NUMBER")};
    }
    if (verb == "answer") {
        return CallCommand{CallAction::Answer, {}};
    }
    if (verb == "miss") {
        return CallCommand{CallAction::Miss, {}};
    }
    if (verb == "end") {
        return CallCommand{CallAction::End, {}};
    }
    if (verb == "second-end") {
        return CallCommand{CallAction::SecondEnd, {}};
    }
    throw Unparsable{"unknown call action '" + verb + "'"};
}

Command ParseService(Words& words) {
    std::string verb = words.TakeKeyword("deinit or init after 'service'");
    if (verb == "deinit") {
        return ServiceCommand{ServiceAction::Deinit, words.TakeText("LIBRARY")};
    }
    if (verb == "init") {
        return ServiceCommand{ServiceAction::Init, words.TakeText("LIBRARY")};
    }
    throw Unparsable{"unknown service command '" + verb + "' (deinit or init)"};
}

Command ParsePower(Words& words) {
    std::string what = words.TakeKeyword("ac or state after 'power'");
    if (what == "ac") {
        std::string supply = words.TakeKeyword("on or off");
        if (supply != "on" && supply != "off") {
            throw Unparsable{"expected on or off, found '" + supply + "'"};
        }
        return PowerAcCommand{supply == "on"};
    }
    if (what == "state") {
        std::string state = words.TakeKeyword("on, unattended or suspend");
        if (state == "on") {
            return PowerStateCommand{PowerStateName::On};
        }
        if (state == "unattended") {
            return PowerStateCommand{PowerStateName::Unattended};
        }
        if (state == "suspend") {
            return PowerStateCommand{PowerStateName::Suspend};
        }
        throw Unparsable{"unknown power state '" + state + "' (on, unattended or suspend)"};
    }
    throw Unparsable{"unknown power command '" + what + "' (ac or state)"};
}

MessageBoxButton ParseButton(const std::string& name) {
    if (strcasecmp(name.c_str(), "OK") == 0) {
        return MessageBoxButton::Ok;
    }
    if (strcasecmp(name.c_str(), "Yes") == 0) {
        return MessageBoxButton::Yes;
    }
    if (strcasecmp(name.c_str(), "No") == 0) {
        return MessageBoxButton::No;
    }
    if (strcasecmp(name.c_str(), "Cancel") == 0) {
        return MessageBoxButton::Cancel;
    }
    throw Unparsable{"unknown button '" + name + "' (OK, Yes, No or Cancel)"};
}

Command ParseExpectReg(Words& words) {
    ExpectRegCommand command{.target = words.TakeValueRef()};
    std::string kind = words.TakeKeyword("dword, sz, missing or present");
    if (kind == "dword") {
        command.kind = ExpectRegCommand::Kind::Dword;
        command.dword = words.TakeDword("number");
    } else if (kind == "sz") {
        command.kind = ExpectRegCommand::Kind::Sz;
        command.sz = words.TakeText("TEXT");
    } else if (kind == "missing") {
        command.kind = ExpectRegCommand::Kind::Missing;
    } else if (kind == "present") {
        command.kind = ExpectRegCommand::Kind::Present;
    } else {
        throw Unparsable{"unknown reg expectation '" + kind + "'"};
    }
    return command;
}

Command ParseExpect(Words& words) {
    bool negated = words.TakeIf("no");
    std::string what = words.TakeKeyword("what to expect");
    auto positive_only = [&] {
        if (negated) {
            throw Unparsable{"'expect no " + what + "' is not a command"};
        }
    };
    if (what == "sound" || what == "amr") {
        return Take(ParseExpectAudio(negated, what == "amr", words.TakeRest()));
    }
    if (what == "reg") {
        positive_only();
        return ParseExpectReg(words);
    }
    if (what == "file") {
        positive_only();
        ExpectFileCommand command{.path = words.TakeText("PATH")};
        std::string state = words.TakeKeyword("exists or missing");
        if (state != "exists" && state != "missing") {
            throw Unparsable{"expected exists or missing, found '" + state + "'"};
        }
        command.exists = state == "exists";
        return command;
    }
    if (what == "window") {
        ExpectWindowCommand command{.window_class = words.TakeText("CLASS")};
        command.title = words.TakeText("TITLE");
        command.negated = negated;
        return command;
    }
    if (what == "msgbox") {
        positive_only();
        return ExpectMsgboxCommand{words.TakeText("TEXT")};
    }
    if (what == "event") {
        positive_only();
        ExpectEventCommand command{.name = words.TakeText("NAME")};
        std::string state = words.TakeKeyword("set or clear");
        if (state != "set" && state != "clear") {
            throw Unparsable{"expected set or clear, found '" + state + "'"};
        }
        command.set = state == "set";
        return command;
    }
    if (what == "trace") {
        return ExpectTraceCommand{words.TakeText("TEXT"), negated};
    }
    if (what == "ioctl") {
        ExpectIoctlCommand command{.device = words.TakeText("DEVICE"), .negated = negated};
        if (negated) {
            if (!words.AtEnd()) {
                command.code = words.TakeDword("CODE");
            }
        } else {
            command.code = words.TakeDword("CODE");
            while (!words.AtEnd()) {
                command.words.push_back(words.TakeDword("WORD"));
            }
        }
        return command;
    }
    if (what == "key") {
        return ExpectKeyCommand{static_cast<uint8_t>(words.TakeNumber("VK", 0xFF)), negated};
    }
    if (what == "started") {
        return ExpectStartedCommand{words.TakeText("NAME"), negated};
    }
    if (what == "message") {
        ExpectMessageCommand command{.window_class = words.TakeText("CLASS")};
        command.message = words.TakeDword("MSG");
        if (!words.AtEnd()) {
            command.wparam = words.TakeNumber("WPARAM", UINT64_MAX);
        }
        command.negated = negated;
        return command;
    }
    if (what == "volume") {
        positive_only();
        return ExpectVolumeCommand{words.TakeDword("VOLUME")};
    }
    throw Unparsable{"unknown expectation '" + what + "'"};
}

Command ParseWords(Words& words, std::string* heredoc_end) {
    std::string name = words.TakeKeyword("a command");
    if (name == "boot") {
        return BootCommand{};
    }
    if (name == "help") {
        return HelpCommand{};
    }
    if (name == "mark") {
        return MarkCommand{};
    }
    if (name == "wait") {
        uint64_t ms = words.TakeNumber("MS", kMaxDword);
        if (ms > kMaxWaitMs) {
            throw Unparsable{"a wait is at most one device day (" + std::to_string(kMaxWaitMs) +
                             " ms)"};
        }
        return WaitCommand{static_cast<uint32_t>(ms)};
    }
    if (name == "reg") {
        return ParseReg(words);
    }
    if (name == "file") {
        return ParseFile(words, heredoc_end);
    }
    if (name == "disk") {
        std::string verb = words.TakeKeyword("free after 'disk'");
        if (verb != "free") {
            throw Unparsable{"unknown disk command '" + verb + "'"};
        }
        DiskFreeCommand command{.path = words.TakeText("PATH")};
        command.bytes = words.TakeNumber("BYTES", UINT64_MAX);
        if (!words.AtEnd()) {
            command.total_free = words.TakeNumber("TOTAL", UINT64_MAX);
            if (*command.total_free < command.bytes) {
                throw Unparsable{"the volume's free bytes cannot be fewer than the caller's"};
            }
        }
        return command;
    }
    if (name == "call") {
        return ParseCall(words);
    }
    if (name == "mic") {
        return Take(ParseAudioCommand(AudioCommand::Target::Microphone, words.TakeRest()));
    }
    if (name == "speaker") {
        return Take(ParseAudioCommand(AudioCommand::Target::SpeakerRecord, words.TakeRest()));
    }
    if (name == "key") {
        return KeyCommand{static_cast<uint8_t>(words.TakeNumber("VK", 0xFF))};
    }
    if (name == "event") {
        std::string verb = words.TakeKeyword("set after 'event'");
        if (verb != "set") {
            throw Unparsable{"unknown event command '" + verb + "'"};
        }
        return EventSetCommand{words.TakeText("NAME")};
    }
    if (name == "msgbox") {
        std::string verb = words.TakeKeyword("press after 'msgbox'");
        if (verb != "press") {
            throw Unparsable{"unknown msgbox command '" + verb + "'"};
        }
        return MsgboxPressCommand{ParseButton(words.TakeKeyword("BUTTON"))};
    }
    if (name == "service") {
        return ParseService(words);
    }
    if (name == "power") {
        return ParsePower(words);
    }
    if (name == "expect") {
        return ParseExpect(words);
    }
    if (name == "contact" || name == "chooser") {
        auto contact = ParseContactCommand(name, words.TakeRest());
        if (auto* reason = std::get_if<std::string>(&*contact)) {
            throw Unparsable{*reason};
        }
        return std::get<ContactCommand>(*contact);
    }
    if (name == "screenshot") {
        auto screen = ParseScreenCommand(name, words.TakeRest());
        if (auto* reason = std::get_if<std::string>(&*screen)) {
            throw Unparsable{*reason};
        }
        return std::get<ScreenshotCommand>(*screen);
    }
    if (auto input = ParseInputCommand(name, words.TakeRest())) {
        if (auto* reason = std::get_if<std::string>(&*input)) {
            throw Unparsable{*reason};
        }
        return std::get<InputCommand>(*input);
    }
    throw Unparsable{"unknown command '" + name + "'"};
}

std::string WithoutCarriageReturn(std::string line) {
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

}  // namespace

std::optional<std::string> TextLineSource::NextLine() {
    if (pos_ >= text_.size()) {
        return std::nullopt;
    }
    size_t end = text_.find('\n', pos_);
    if (end == std::string::npos) {
        end = text_.size();
    }
    std::string line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    return WithoutCarriageReturn(std::move(line));
}

std::variant<Command, std::string> ParseLine(std::string_view line, std::string* heredoc_end) {
    SplitLine split = SplitWords(line);
    if (!split.error.empty()) {
        return split.error;
    }
    if (auto ui = ParseUiCommand(split.words)) {
        if (auto* reason = std::get_if<std::string>(&*ui)) {
            return *reason;
        }
        return Command(std::get<UiCommand>(*ui));
    }
    if (auto host = ParseHostCommand(split.words)) {
        if (auto* reason = std::get_if<std::string>(&*host)) {
            return *reason;
        }
        return Command(std::get<HostCommand>(*host));
    }
    try {
        Words words(split.words);
        Command command = ParseWords(words, heredoc_end);
        words.ExpectEnd();
        return command;
    } catch (const Unparsable& failure) {
        return failure.reason;
    }
}

namespace {

// The end word of a `file write ... <<WORD` line that did not parse, or "" for any other line.
std::string HeredocEndOfBrokenFileWrite(std::string_view line) {
    SplitLine split = SplitWords(line);
    const std::vector<Word>& words = split.words;
    if (words.size() < 2 || words[0].quoted || words[0].text != "file" || words[1].quoted ||
        words[1].text != "write") {
        return "";
    }
    for (const Word& word : words) {
        if (!word.quoted && word.text.size() > 2 && word.text.compare(0, 2, "<<") == 0) {
            return word.text.substr(2);
        }
    }
    return "";
}

}  // namespace

void CommandReader::SkipContent(const std::string& end_word) {
    while (std::optional<std::string> line = source_.NextLine()) {
        ++line_number_;
        if (WithoutCarriageReturn(std::move(*line)) == end_word) {
            return;
        }
    }
}

std::optional<ReadResult> CommandReader::Next() {
    std::optional<std::string> line;
    do {
        line = source_.NextLine();
        if (!line) {
            return std::nullopt;
        }
        ++line_number_;
    } while (IsBlankOrComment(*line));

    std::string text = WithoutCarriageReturn(std::move(*line));
    size_t first_line = line_number_;
    std::string heredoc_end;
    auto parsed = ParseLine(text, &heredoc_end);
    if (auto* reason = std::get_if<std::string>(&parsed)) {
        // The content of a `file write` that cannot be carried out is still its content: it must
        // not run as commands.
        if (heredoc_end.empty()) {
            heredoc_end = HeredocEndOfBrokenFileWrite(text);
        }
        if (!heredoc_end.empty()) {
            SkipContent(heredoc_end);
        }
        return ParseError{first_line, text, *reason};
    }
    Command command = std::move(std::get<Command>(parsed));
    if (auto* write = std::get_if<FileWriteCommand>(&command)) {
        for (;;) {
            std::optional<std::string> body = source_.NextLine();
            if (!body) {
                return ParseError{first_line, text,
                                  "the file's content has no closing line '" + heredoc_end + "'"};
            }
            ++line_number_;
            std::string content_line = WithoutCarriageReturn(std::move(*body));
            if (content_line == heredoc_end) {
                break;
            }
            write->content += content_line;
            write->content += '\n';
        }
    }
    return ParsedCommand{first_line, std::move(text), std::move(command)};
}

}  // namespace tovarin::emulator::console
