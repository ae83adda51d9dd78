// The console's commands as the parser gives them: one record per command of the grammar
// (grammar.h). Texts
// that reach the device (keys, values, paths, names) are wide; file contents stay UTF-8 bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "console/audio_commands.h"
#include "console/contact_commands.h"
#include "console/host_commands.h"
#include "console/input_commands.h"
#include "console/screen_commands.h"
#include "console/ui_commands.h"

namespace tovarin::emulator::console {

enum class RegRoot { LocalMachine, CurrentUser };

struct RegValueRef {
    RegRoot root = RegRoot::LocalMachine;
    std::wstring key;
    std::wstring value;
};

struct BootCommand {};
struct HelpCommand {};
// Ends the console (or the script) here, as the end of its input does.
struct QuitCommand {};
struct WaitCommand {
    uint32_t ms = 0;
};
struct MarkCommand {};
// The console carries out a script file's commands, as --script does, on the phone as it is.
struct RunCommand {
    std::string file;  // a file of the computer
};

struct RegSetCommand {
    RegValueRef target;
    std::variant<uint32_t, std::wstring> data;  // dword or sz
};
struct RegDeleteCommand {
    RegValueRef target;
};
struct RegGetCommand {
    RegValueRef target;
};

struct FileWriteCommand {
    std::wstring path;
    std::string end_word;  // the line that ends the content (<<WORD)
    std::string content;   // UTF-8, every line ended by LF
};
struct FileDeleteCommand {
    std::wstring path;
};
struct DiskFreeCommand {
    std::wstring path;
    uint64_t bytes = 0;                  // free to the caller
    std::optional<uint64_t> total_free;  // free on the whole volume; none: the caller's
};

enum class CallAction { Incoming, Answer, Miss, End, Second, SecondEnd, Dial };
struct CallCommand {
    CallAction action = CallAction::Incoming;
    // Incoming and Second: empty when the number is withheld; Dial: the number or SIP address
    std::wstring number;
};

struct KeyCommand {
    uint8_t vk = 0;
};
struct EventSetCommand {
    std::wstring name;
};

enum class MessageBoxButton { Ok, Yes, No, Cancel };
struct MsgboxPressCommand {
    MessageBoxButton button = MessageBoxButton::Ok;
};

// The service host calls a loaded service's Deinit, or its Init again.
enum class ServiceAction { Deinit, Init };
struct ServiceCommand {
    ServiceAction action = ServiceAction::Deinit;
    std::wstring library;  // the library's file name ("Wexmoor.dll")
};

// External power comes (online) or goes.
struct PowerAcCommand {
    bool online = false;
};
// The system power state that the device enters.
enum class PowerStateName { On, Unattended, Suspend };
struct PowerStateCommand {
    PowerStateName state = PowerStateName::On;
};

// Expectations. `negated` is the "expect no ..." form.
struct ExpectRegCommand {
    enum class Kind { Dword, Sz, Missing, Present };
    RegValueRef target;
    Kind kind = Kind::Present;
    uint32_t dword = 0;
    std::wstring sz;
};
struct ExpectFileCommand {
    std::wstring path;  // may hold * and ?
    bool exists = true;
};
struct ExpectWindowCommand {
    std::wstring window_class;
    std::wstring title;
    bool negated = false;
};
struct ExpectMsgboxCommand {
    std::wstring text;
};
struct ExpectEventCommand {
    std::wstring name;
    bool set = true;
};
struct ExpectTraceCommand {
    std::wstring text;
    bool negated = false;
};
struct ExpectIoctlCommand {
    std::wstring device;
    std::optional<uint32_t> code;  // always given unless negated
    std::vector<uint32_t> words;   // leading input words; none in the negated form
    bool negated = false;
};
struct ExpectKeyCommand {
    uint8_t vk = 0;
    bool negated = false;
};
struct ExpectStartedCommand {
    std::wstring name;
    bool negated = false;
};
// The wave-out volume of device 0.
struct ExpectVolumeCommand {
    uint32_t volume = 0;
};
struct ExpectMessageCommand {
    std::wstring window_class;
    uint32_t message = 0;
    std::optional<uint64_t> wparam;
    bool negated = false;
};

using Command =
    std::variant<BootCommand, HelpCommand, WaitCommand, MarkCommand, RegSetCommand,
                 RegDeleteCommand, RegGetCommand, FileWriteCommand, FileDeleteCommand,
                 DiskFreeCommand, CallCommand, KeyCommand, EventSetCommand, MsgboxPressCommand,
                 ServiceCommand, PowerAcCommand, PowerStateCommand, ExpectRegCommand,
                 ExpectFileCommand, ExpectWindowCommand, ExpectMsgboxCommand, ExpectEventCommand,
                 ExpectTraceCommand, ExpectIoctlCommand, ExpectKeyCommand, ExpectStartedCommand,
                 ExpectMessageCommand, ExpectVolumeCommand, AudioCommand, ExpectAudioCommand,
                 UiCommand, InputCommand, HostCommand, ContactCommand, ScreenshotCommand,
                 QuitCommand, RunCommand>;

// Whether the command is one of the expect forms.
inline bool IsExpectation(const Command& command) {
    return std::holds_alternative<ExpectRegCommand>(command) ||
           std::holds_alternative<ExpectFileCommand>(command) ||
           std::holds_alternative<ExpectWindowCommand>(command) ||
           std::holds_alternative<ExpectMsgboxCommand>(command) ||
           std::holds_alternative<ExpectEventCommand>(command) ||
           std::holds_alternative<ExpectTraceCommand>(command) ||
           std::holds_alternative<ExpectIoctlCommand>(command) ||
           std::holds_alternative<ExpectKeyCommand>(command) ||
           std::holds_alternative<ExpectStartedCommand>(command) ||
           std::holds_alternative<ExpectMessageCommand>(command) ||
           std::holds_alternative<ExpectVolumeCommand>(command) ||
           std::holds_alternative<ExpectAudioCommand>(command) ||
           (std::holds_alternative<HostCommand>(command) &&
            IsHostExpectation(std::get<HostCommand>(command))) ||
           (std::holds_alternative<UiCommand>(command) &&
            IsUiExpectation(std::get<UiCommand>(command)));
}

}  // namespace tovarin::emulator::console
