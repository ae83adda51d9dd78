// The console's grammar: one table with every command the console takes, its keywords, its
// arguments, whether it may come before `boot`, and its line of help. The table drives the parser
// (a line's leading keywords pick the command, whose parser reads the rest), the help that
// `help` and `tovarin-emu help` print, and the command summary of emulator/README.md (a test
// checks that the README shows every command of the table).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "console/arguments.h"
#include "console/commands.h"

namespace tovarin::emulator::console {

// What a command needs of the device.
enum class BootNeed {
    Booted,       // the device must be up
    PowersOn,     // before `boot` too: the device is powered (its registry and files loaded, the
                  // phone not started) and the command acts on it and on the image
    Independent,  // at any time, without powering the device (boot, help, the image's clock and
                  // cards)
};

// The parts of the help, in the order in which it shows them.
enum class Topic { Device, Phone, Expectations, Log, Screen, Controls, Shell, Contacts };

struct CommandForm {
    // The keywords that name the command. "[no]" before the last one: the command also has the
    // form "... no ...", which its parser sees as Arguments::negated().
    std::string_view keywords;
    std::string_view arguments;  // what follows the keywords, as the help shows it
    BootNeed boot;
    Topic topic;
    std::string_view help;  // what the command does, in one line
    Command (*parse)(Arguments& arguments);
    // Whether a command record is one that this form gives.
    bool (*gives)(const Command& command);
};

// Every command of the console, grouped by topic.
std::span<const CommandForm> Grammar();

// The form that the line's leading keywords name and the words after them, or why they name none.
struct FormMatch {
    const CommandForm* form = nullptr;  // null: `reason` says why
    std::string reason;
    size_t keyword_count = 0;  // the words the keywords took ("no" included)
    bool negated = false;
};
FormMatch MatchForm(std::span<const Word> words);

// What the command needs of the device (Booted for a record that no form gives).
BootNeed BootNeedOf(const Command& command);

// Whether carrying the command out reads or writes a file of the host rather than the device's:
// a form whose arguments take a host path names it HOSTFILE in the table (`mic "HOSTFILE.wav"`),
// and the command is one of them when it names such a file (`mic tone 440` names none). The web
// page refuses these, so that whoever can reach the page cannot reach the host's files.
bool TouchesHostFile(const Command& command);

// The form's usage: its keywords and arguments, as the help and the README show them.
std::string Usage(const CommandForm& form);

// The help: how lines and words are written, then every command with its line of help.
std::vector<std::string> HelpLines();

}  // namespace tovarin::emulator::console
