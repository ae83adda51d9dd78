#include "console/grammar.h"

#include <algorithm>
#include <optional>

#include "console/command_parsers.h"

namespace tovarin::emulator::console {
namespace {

// Whether `command` holds a Record, also inside the grouped records (host, screen, input and
// contact commands).
template <class Record, class Group>
bool HoldsIn(const Group& group) {
    return std::visit(
        [](const auto& each) {
            using Each = std::decay_t<decltype(each)>;
            if constexpr (std::is_same_v<Each, Record>) {
                return true;
            } else if constexpr (requires { each.action.index(); }) {
                return HoldsIn<Record>(each.action);
            } else if constexpr (requires { each.index(); }) {
                return HoldsIn<Record>(each);
            } else {
                return false;
            }
        },
        group);
}

template <class Record>
bool Gives(const Command& command) {
    return HoldsIn<Record>(command);
}

template <class Record>
Command Plain(Arguments&) {
    return Record{};
}

template <CallAction action>
Command Call(Arguments&) {
    return CallCommand{action, {}};
}

template <class Record, class Group>
Command Grouped(Arguments&) {
    return Group{Record{}};
}

bool GivesCall(const Command& command) {
    return Gives<CallCommand>(command);
}

bool GivesExpectFile(const Command& command) {
    return Gives<ExpectFileCommand>(command) || Gives<ExpectFileContainsCommand>(command);
}

using enum BootNeed;
using enum Topic;

// The table. Rows of one record agree on what the record needs of the device.
constexpr CommandForm kGrammar[] = {
    {"boot", "", Independent, Device, "start the device", Plain<BootCommand>, Gives<BootCommand>},
    {"help", "", Independent, Device, "this help", Plain<HelpCommand>, Gives<HelpCommand>},
    {"quit", "", Independent, Device, "end the console (or the script) here, as Ctrl-D does",
     Plain<QuitCommand>, Gives<QuitCommand>},
    {"run", "\"HOSTFILE.scn\"", Independent, Device,
     "the console carries out a script, up to its first failure", ParseRun, Gives<RunCommand>},
    {"wait", "MS", Booted, Device, "let MS of device time pass (at most a day)", ParseWait,
     Gives<WaitCommand>},
    {"mark", "", Booted, Device, "start a new window for the log expectations", Plain<MarkCommand>,
     Gives<MarkCommand>},
    {"reg set", "ROOT \"KEY\" \"VALUE\" dword N | sz \"TEXT\"", PowersOn, Device,
     "set a registry value", ParseRegSet, Gives<RegSetCommand>},
    {"reg delete", "ROOT \"KEY\" \"VALUE\"", PowersOn, Device, "delete a registry value",
     ParseRegDelete, Gives<RegDeleteCommand>},
    {"reg get", "ROOT \"KEY\" \"VALUE\"", PowersOn, Device, "print dword:N, sz:\"TEXT\" or missing",
     ParseRegGet, Gives<RegGetCommand>},
    {"file write", "\"PATH\" <<WORD", PowersOn, Device,
     "the lines up to a line WORD become the file", ParseFileWrite, Gives<FileWriteCommand>},
    {"file delete", "\"PATH\"", PowersOn, Device, "delete a file of the device", ParseFileDelete,
     Gives<FileDeleteCommand>},
    {"disk free", "\"PATH\" BYTES [TOTAL]", PowersOn, Device,
     "bytes free to the caller on PATH's volume [and in all]", ParseDiskFree,
     Gives<DiskFreeCommand>},
    {"service deinit", "\"LIBRARY\"", Booted, Device, "the service host calls the library's Deinit",
     ParseServiceDeinit, Gives<ServiceCommand>},
    {"service init", "\"LIBRARY\"", Booted, Device,
     "the service host calls the library's Init again", ParseServiceInit, Gives<ServiceCommand>},
    {"power ac", "on | off", PowersOn, Device, "external power comes or goes", ParsePowerAc,
     Gives<PowerAcCommand>},
    {"power state", "on | unattended | suspend", Booted, Device,
     "the device enters that system power state", ParsePowerState, Gives<PowerStateCommand>},
    {"event set", "\"NAME\"", Booted, Device, "set a named event that a process created",
     ParseEventSet, Gives<EventSetCommand>},
    {"key", "VK | up | down | left | right | talk | end | record", Booted, Device,
     "press and release a key (0x72 = talk), by code or by name", ParseKey, Gives<KeyCommand>},
    {"msgbox press", "OK | Yes | No | Cancel", Booted, Device, "answer the shown message box",
     ParseMsgboxPress, Gives<MsgboxPressCommand>},

    {"call incoming", "\"NUMBER\"", Booted, Phone, "a call rings (\"\" = withheld number)",
     ParseCallIncoming, GivesCall},
    {"call answer", "", Booted, Phone, "the user answers", Call<CallAction::Answer>, GivesCall},
    {"call miss", "", Booted, Phone, "the caller gives up", Call<CallAction::Miss>, GivesCall},
    {"call end", "", Booted, Phone, "the call ends", Call<CallAction::End>, GivesCall},
    {"call second", "\"NUMBER\"", Booted, Phone, "a second call arrives during a call",
     ParseCallSecond, GivesCall},
    {"call second-end", "", Booted, Phone, "the second call ends", Call<CallAction::SecondEnd>,
     GivesCall},
    {"call dial", "NUMBER | sip:USER@HOST:PORT", Booted, Phone,
     "the user calls NUMBER (answer: the called party answers)", ParseCallDial, GivesCall},
    {"call voice", "\"HOSTFILE.wav\" | tone HZ | silence", Booted, Phone,
     "what the caller says on the line", ParseCallVoice, Gives<AudioCommand>},
    {"mic", "\"HOSTFILE.wav\" | tone HZ | silence", Booted, Phone,
     "what the microphone hears from now on", ParseMic, Gives<AudioCommand>},
    {"speaker record", "\"HOSTFILE.wav\" | off", Booted, Phone,
     "keep what the speaker plays in a WAV file", ParseSpeakerRecord, Gives<AudioCommand>},

    {"expect reg", "ROOT \"KEY\" \"VALUE\" dword N | sz \"TEXT\" | missing | present", PowersOn,
     Expectations, "a registry value", ParseExpectReg, Gives<ExpectRegCommand>},
    {"expect file", "\"PATH\" exists | missing | contains \"TEXT\"", PowersOn, Expectations,
     "PATH (* ? allowed) is there or not, or one match holds TEXT", ParseExpectFile,
     GivesExpectFile},
    {"expect [no] window", "\"CLASS\" \"TITLE\"", Booted, Expectations, "a shown top-level window",
     ParseExpectWindow, Gives<ExpectWindowCommand>},
    {"expect msgbox", "\"TEXT\"", Booted, Expectations, "a shown message box's text holds TEXT",
     ParseExpectMsgbox, Gives<ExpectMsgboxCommand>},
    {"expect event", "\"NAME\" set | clear", Booted, Expectations, "a named event's state",
     ParseExpectEvent, Gives<ExpectEventCommand>},
    {"expect volume", "0xHHHHHHHH", Booted, Expectations, "the wave-out volume of device 0",
     ParseExpectVolume, Gives<ExpectVolumeCommand>},
    {"expect sound", "\"PATH\" [on line | speaker] [volume V]", Booted, Expectations,
     "PATH plays now [to that output], at V hundredths of a dB", ParseExpectSound,
     Gives<ExpectAudioCommand>},
    {"expect no sound", "[on line | speaker]", Booted, Expectations,
     "nothing plays [to that output]", ParseExpectNoSound, Gives<ExpectAudioCommand>},
    {"expect amr", "\"PATH\" MIN_MS MAX_MS", Booted, Expectations,
     "PATH (* and ? allowed) is an AMR-NB file that long", ParseExpectAmr,
     Gives<ExpectAudioCommand>},
    {"expect [no] running", "\"NAME\"", Booted, Expectations,
     "a program with file name NAME is running", ParseExpectRunning, Gives<ExpectRunningCommand>},

    {"expect [no] trace", "\"TEXT\"", Booted, Log, "a trace line holds TEXT", ParseExpectTrace,
     Gives<ExpectTraceCommand>},
    {"expect ioctl", "\"DEVICE\" CODE [WORD ...]", Booted, Log,
     "a control call (\"HAL\" = KernelIoControl)", ParseExpectIoctl, Gives<ExpectIoctlCommand>},
    {"expect no ioctl", "\"DEVICE\" [CODE]", Booted, Log, "no such control call",
     ParseExpectNoIoctl, Gives<ExpectIoctlCommand>},
    {"expect [no] key", "VK", Booted, Log, "VK was pressed", ParseExpectKey,
     Gives<ExpectKeyCommand>},
    {"expect [no] started", "\"NAME\"", Booted, Log, "a program with file name NAME started",
     ParseExpectStarted, Gives<ExpectStartedCommand>},
    {"expect [no] message", "\"CLASS\" MSG [WPARAM]", Booted, Log,
     "a window of class CLASS received MSG", ParseExpectMessage, Gives<ExpectMessageCommand>},

    {"dump", "", Booted, Screen, "the foreground window's tree (class, id, text, state, rect)",
     Grouped<DumpCommand, UiCommand>, Gives<DumpCommand>},
    {"ok", "", Booted, Screen, "tap OK/Done in the foreground window's caption",
     Grouped<OkCommand, UiCommand>, Gives<OkCommand>},
    {"start", "", Booted, Screen, "tap the taskbar's Start button (the Start menu opens)",
     Grouped<StartMenuCommand, UiCommand>, Gives<StartMenuCommand>},
    {"today", "", Booted, Screen, "bring the Today screen to the front",
     Grouped<TodayCommand, UiCommand>, Gives<TodayCommand>},
    {"scroll", "line-down | line-up | page-down | page-up | thumb N", Booted, Screen,
     "work the first vertical scroll bar there is", ParseScroll, Gives<ScrollCommand>},
    {"rotate", "portrait | landscape | square", Booted, Screen,
     "turn the screen (full-screen windows follow)", ParseRotate, Gives<RotateCommand>},
    {"screenshot", "\"HOSTFILE.png\"", Booted, Screen,
     "write the screen as it is now to a PNG file", ParseScreenshot, Gives<ScreenshotCommand>},
    {"expect [no] foreground", "\"TITLE\"", Booted, Screen, "the foreground window's title",
     ParseExpectForeground, Gives<ExpectForegroundCommand>},
    {"expect control",
     "ID text \"TEXT\" | checked | unchecked | enabled | disabled | shown | hidden | readonly"
     " | items \"A\" \"B\" ... | count N | selected \"TEXT\" | selected none | pos N"
     " | rect X Y W H",
     Booted, Screen, "the control's state (rect: in its parent's client area)", ParseExpectControl,
     Gives<ExpectControlCommand>},

    {"click", "ID", Booted, Controls, "the user taps the control", ParseClick, Gives<ClickCommand>},
    {"choose", "ID \"TEXT\" | ID at N", Booted, Controls,
     "the user opens the list and taps that item", ParseChoose, Gives<ChooseCommand>},
    {"type", "ID \"TEXT\"", Booted, Controls, "the user selects all of the edit's text and types",
     ParseType, Gives<TypeCommand>},
    {"tab", "N", Booted, Controls, "the user taps tab N (0-based) of the foreground sheet",
     ParseTab, Gives<TabCommand>},
    {"menu help", "", Booted, Controls, "the user picks Help on the shell's menu",
     Grouped<MenuHelpCommand, InputCommand>, Gives<MenuHelpCommand>},
    {"tap", "X Y", Booted, Controls, "the user taps that point of the screen (pixels)", ParseTap,
     Gives<TapCommand>},
    {"drag", "X Y X2 Y2", Booted, Controls, "the user presses at X Y, draws to X2 Y2 and lifts",
     ParseDrag, Gives<DragCommand>},

    {"applet open", "\"LIBRARY\" N [page P]", Booted, Shell,
     "the control-panel host opens applet N on page P", ParseAppletOpen, Gives<AppletOpenCommand>},
    {"applet list", "\"LIBRARY\"", Booted, Shell, "the host lists the library's applets (traced)",
     ParseAppletList, Gives<AppletListCommand>},
    {"program start", "\"PATH\" [\"ARGS\"]", Booted, Shell, "the shell starts a program",
     ParseProgramStart, Gives<ProgramStartCommand>},
    {"program end", "\"NAME\"", Booted, Shell, "its windows get WM_CLOSE; fails unless it ends",
     ParseProgramEnd, Gives<ProgramEndCommand>},
    {"card insert", "[\"NAME\"]", Independent, Shell,
     "a storage card (\"Storage Card\") appears in the root", ParseCardInsert,
     Gives<CardInsertCommand>},
    {"card remove", "", Independent, Shell, "the storage card goes",
     Grouped<CardRemoveCommand, HostCommand>, Gives<CardRemoveCommand>},
    {"time set", "\"YYYY-MM-DD HH:MM:SS\"", Independent, Shell, "the device's local time",
     ParseTimeSet, Gives<TimeSetCommand>},

    {"contact add", "\"NAME\" \"NUMBER\" [mobile | work | home]", Booted, Contacts,
     "add a contact (or a number to an existing one)", ParseContactAdd, Gives<ContactAddCommand>},
    {"chooser pick", "\"NAME\" \"NUMBER\"", Booted, Contacts,
     "the user picks them in the open chooser", ParseChooserPick, Gives<ChooserPickCommand>},
    {"chooser cancel", "", Booted, Contacts, "the user closes the chooser without a choice",
     Grouped<ChooserCancelCommand, ContactCommand>, Gives<ChooserCancelCommand>},
};

constexpr std::string_view kNegation = "[no]";

std::vector<std::string_view> Keywords(const CommandForm& form) {
    std::vector<std::string_view> keywords;
    std::string_view rest = form.keywords;
    while (!rest.empty()) {
        size_t space = rest.find(' ');
        keywords.push_back(rest.substr(0, space));
        rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    }
    return keywords;
}

bool IsKeyword(const Word& word, std::string_view keyword) {
    return !word.quoted && word.text == keyword;
}

// How many leading words of the line the form's keywords take (all of them, or the match ends
// at the first that differs); `matched` tells whether every keyword was found.
size_t MatchKeywords(const CommandForm& form, std::span<const Word> words, bool* matched,
                     bool* negated) {
    size_t at = 0;
    *negated = false;
    for (std::string_view keyword : Keywords(form)) {
        if (keyword == kNegation) {
            if (at < words.size() && IsKeyword(words[at], "no")) {
                *negated = true;
                ++at;
            }
            continue;
        }
        if (at >= words.size() || !IsKeyword(words[at], keyword)) {
            *matched = false;
            return at;
        }
        ++at;
    }
    *matched = true;
    return at;
}

std::string Joined(std::span<const Word> words) {
    std::string text;
    for (const Word& word : words) {
        text += (text.empty() ? "" : " ") + word.text;
    }
    return text;
}

// "a, b or c"
std::string Alternatives(const std::vector<std::string_view>& names) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + std::string(names[i]);
    }
    return text;
}

// Why no form takes the line: the keywords that could follow its longest known start.
std::string NoFormReason(std::span<const Word> words) {
    size_t longest = 0;
    for (const CommandForm& form : kGrammar) {
        bool matched = false;
        bool negated = false;
        longest = std::max(longest, MatchKeywords(form, words, &matched, &negated));
    }
    if (longest == 0) {
        return words.empty()
                   ? "missing a command"
                   : "unknown command '" +
                         (words[0].quoted ? "\"" + words[0].text + "\"" : words[0].text) + "'";
    }
    // "expect no volume": a command without the "no" form.
    if (IsKeyword(words[longest - 1], "no") && longest < words.size()) {
        std::vector<Word> without_no(words.begin(), words.end());
        without_no.erase(without_no.begin() + static_cast<std::ptrdiff_t>(longest - 1));
        if (MatchForm(without_no).form) {
            return "'" + Joined(words.first(longest + 1)) + "' is not a command";
        }
    }
    std::vector<std::string_view> next;
    for (const CommandForm& form : kGrammar) {
        bool matched = false;
        bool negated = false;
        if (MatchKeywords(form, words, &matched, &negated) != longest || matched) {
            continue;
        }
        std::vector<std::string_view> keywords = Keywords(form);
        size_t at = negated ? longest - 1 : longest;
        keywords.erase(std::remove(keywords.begin(), keywords.end(), kNegation), keywords.end());
        if (at < keywords.size() &&
            std::find(next.begin(), next.end(), keywords[at]) == next.end()) {
            next.push_back(keywords[at]);
        }
    }
    const std::string start = Joined(words.first(longest));
    if (longest >= words.size()) {
        return "missing " + Alternatives(next) + " after '" + start + "'";
    }
    return "unknown command '" + start + " " + words[longest].text + "' (after '" + start +
           "': " + Alternatives(next) + ")";
}

std::string_view TopicTitle(Topic topic) {
    switch (topic) {
        case Device:
            return "The device:";
        case Phone:
            return "The phone and sound:";
        case Expectations:
            return "Expectations (they fail the script when they do not hold):";
        case Log:
            return "Expectations on the log since the last mark:";
        case Screen:
            return "The screen (controls are named by id in the foreground window; ID/K is the "
                   "K-th shown one):";
        case Controls:
            return "Acting on controls as the user does:";
        case Shell:
            return "Control panel, programs, cards and the clock:";
        case Contacts:
            return "Contacts (\\My Documents\\Contacts.vcf) and the contact chooser:";
    }
    return "";
}

}  // namespace

std::span<const CommandForm> Grammar() {
    return kGrammar;
}

FormMatch MatchForm(std::span<const Word> words) {
    for (const CommandForm& form : kGrammar) {
        bool matched = false;
        bool negated = false;
        size_t taken = MatchKeywords(form, words, &matched, &negated);
        if (matched) {
            return FormMatch{&form, {}, taken, negated};
        }
    }
    return FormMatch{nullptr, NoFormReason(words), 0, false};
}

BootNeed BootNeedOf(const Command& command) {
    for (const CommandForm& form : kGrammar) {
        if (form.gives(command)) {
            return form.boot;
        }
    }
    return Booted;
}

bool TouchesHostFile(const Command& command) {
    const bool takes_host_file =
        std::any_of(std::begin(kGrammar), std::end(kGrammar), [&command](const CommandForm& form) {
            return form.gives(command) && form.arguments.find("HOSTFILE") != std::string_view::npos;
        });
    if (!takes_host_file) {
        return false;
    }
    // The forms that offer a file among other sources: only the file touches the host.
    if (const auto* audio = std::get_if<AudioCommand>(&command)) {
        return audio->kind == AudioCommand::Kind::File;
    }
    return true;
}

std::string Usage(const CommandForm& form) {
    std::string usage(form.keywords);
    if (!form.arguments.empty()) {
        usage += " ";
        usage += form.arguments;
    }
    return usage;
}

std::vector<std::string> HelpLines() {
    constexpr size_t kHelpColumn = 40;
    constexpr size_t kWidth = 100;
    std::vector<std::string> lines = {
        "One command a line; # starts a comment. Words are separated by spaces; \"a b\\c\" is one",
        "word (no escapes). Numbers are decimal or 0x-hexadecimal (a '-' before those that may be",
        "negative); times are device milliseconds. ROOT is HKLM or HKCU.",
    };
    std::string before_boot;
    for (const CommandForm& form : kGrammar) {
        if (form.boot != Booted && form.keywords != "boot" && form.keywords != "help") {
            before_boot += (before_boot.empty() ? "" : ", ") + std::string(form.keywords);
        }
    }
    // The commands that may come before boot, as a sentence broken into lines.
    std::string sentence =
        "Before boot, on the image and the device's initial state: " + before_boot + ".";
    while (sentence.size() > kWidth) {
        const size_t cut = sentence.rfind(' ', kWidth);
        lines.push_back(sentence.substr(0, cut));
        sentence.erase(0, cut + 1);
    }
    lines.push_back(sentence);
    std::optional<Topic> topic;
    for (const CommandForm& form : kGrammar) {
        if (form.topic != topic) {
            topic = form.topic;
            lines.emplace_back(TopicTitle(form.topic));
        }
        // The usage, broken before an alternative when it is too long, then the help at its
        // column (on a line of its own when the usage reaches it).
        const std::string usage = Usage(form);
        std::string line = "  ";
        size_t from = 0;
        while (line.size() + usage.size() - from > kWidth) {
            size_t cut = usage.rfind(" | ", from + kWidth - line.size());
            if (cut == std::string::npos || cut <= from) {
                break;
            }
            lines.push_back(line + usage.substr(from, cut - from));
            line = "      ";
            from = cut + 1;
        }
        line += usage.substr(from);
        if (line.size() + 2 > kHelpColumn) {
            lines.push_back(line);
            line.clear();
        }
        line.resize(kHelpColumn, ' ');
        lines.push_back(line + std::string(form.help));
    }
    return lines;
}

}  // namespace tovarin::emulator::console
