// The parsers of the commands on the device, the registry and files, the phone and sound.
#include <strings.h>

#include "console/command_parsers.h"

namespace tovarin::emulator::console {
namespace {

// One command lets at most a device day pass: a longer wait is a slip of the keyboard, and the
// device's timers would all fire at once.
constexpr uint64_t kMaxWaitMs = 24ull * 60 * 60 * 1000;
constexpr uint64_t kMaxHz = 4000;  // the highest tone an 8000 Hz line carries

RegRoot TakeRoot(Arguments& arguments) {
    std::string root = arguments.TakeKeyword("ROOT (HKLM or HKCU)");
    if (root == "HKLM" || root == "HKEY_LOCAL_MACHINE") {
        return RegRoot::LocalMachine;
    }
    if (root == "HKCU" || root == "HKEY_CURRENT_USER") {
        return RegRoot::CurrentUser;
    }
    throw Unparsable{"unknown root '" + root + "' (HKLM or HKCU)"};
}

// "HOSTFILE.wav" | tone HZ | silence: what the microphone hears or the caller says.
Command TakeSound(AudioCommand::Target target, Arguments& arguments) {
    AudioCommand command{.target = target};
    if (arguments.TakeIf("silence")) {
        command.kind = AudioCommand::Kind::Silence;
    } else if (arguments.TakeIf("tone")) {
        command.kind = AudioCommand::Kind::Tone;
        const Word& hz = arguments.Take("HZ");
        std::optional<uint64_t> value = hz.quoted ? std::nullopt : ParseNumber(hz.text, kMaxHz);
        if (!value || *value == 0) {
            throw Unparsable{"'" + hz.text + "' is not a tone from 1 to 4000 Hz"};
        }
        command.hz = static_cast<uint32_t>(*value);
    } else {
        const Word& file = arguments.Take("\"HOSTFILE.wav\", tone HZ or silence");
        if (!file.quoted) {
            throw Unparsable{"expected \"HOSTFILE.wav\", tone HZ or silence, found '" + file.text +
                             "'"};
        }
        command.kind = AudioCommand::Kind::File;
        command.host_file = file.text;
    }
    return command;
}

}  // namespace

RegValueRef TakeValueRef(Arguments& arguments) {
    RegValueRef ref;
    ref.root = TakeRoot(arguments);
    ref.key = arguments.TakeText("KEY");
    ref.value = arguments.TakeText("VALUE");
    return ref;
}

Command ParseWait(Arguments& arguments) {
    uint64_t ms = arguments.TakeNumber("MS", 0xFFFFFFFFu);
    if (ms > kMaxWaitMs) {
        throw Unparsable{"a wait is at most one device day (" + std::to_string(kMaxWaitMs) +
                         " ms)"};
    }
    return WaitCommand{static_cast<uint32_t>(ms)};
}

Command ParseRegSet(Arguments& arguments) {
    RegSetCommand command{.target = TakeValueRef(arguments)};
    std::string type = arguments.TakeKeyword("the type (dword or sz)");
    if (type == "dword") {
        command.data = arguments.TakeDword("number");
    } else if (type == "sz") {
        command.data = arguments.TakeText("TEXT");
    } else {
        throw Unparsable{"unknown type '" + type + "' (dword or sz)"};
    }
    return command;
}

Command ParseRegDelete(Arguments& arguments) {
    return RegDeleteCommand{TakeValueRef(arguments)};
}

Command ParseRegGet(Arguments& arguments) {
    return RegGetCommand{TakeValueRef(arguments)};
}

Command ParseFileWrite(Arguments& arguments) {
    FileWriteCommand command{.path = arguments.TakeText("PATH")};
    std::string marker = arguments.TakeKeyword("<<WORD");
    if (marker.size() <= 2 || marker.compare(0, 2, "<<") != 0) {
        throw Unparsable{"expected <<WORD after the path, found '" + marker + "'"};
    }
    command.end_word = marker.substr(2);
    return command;
}

Command ParseFileDelete(Arguments& arguments) {
    return FileDeleteCommand{arguments.TakeText("PATH")};
}

Command ParseDiskFree(Arguments& arguments) {
    DiskFreeCommand command{.path = arguments.TakeText("PATH")};
    command.bytes = arguments.TakeNumber("BYTES", UINT64_MAX);
    if (!arguments.AtEnd()) {
        command.total_free = arguments.TakeNumber("TOTAL", UINT64_MAX);
        if (*command.total_free < command.bytes) {
            throw Unparsable{"the volume's free bytes cannot be fewer than the caller's"};
        }
    }
    return command;
}

Command ParseCallIncoming(Arguments& arguments) {
    return CallCommand{CallAction::Incoming, arguments.TakeText("NUMBER")};
}

Command ParseCallSecond(Arguments& arguments) {
    return CallCommand{CallAction::Second, arguments.TakeText("NUMBER")};
}

Command ParseCallDial(Arguments& arguments) {
    return CallCommand{CallAction::Dial, arguments.TakeText("NUMBER")};
}

Command ParseCallVoice(Arguments& arguments) {
    return TakeSound(AudioCommand::Target::CallerVoice, arguments);
}

Command ParseMic(Arguments& arguments) {
    return TakeSound(AudioCommand::Target::Microphone, arguments);
}

Command ParseSpeakerRecord(Arguments& arguments) {
    AudioCommand command{.target = AudioCommand::Target::SpeakerRecord};
    if (arguments.TakeIf("off")) {
        command.kind = AudioCommand::Kind::Off;
        return command;
    }
    const Word& file = arguments.Take("\"HOSTFILE.wav\" or off after 'speaker record'");
    command.kind = AudioCommand::Kind::File;
    command.host_file = file.text;
    return command;
}

Command ParseKey(Arguments& arguments) {
    // The phone's keys by name; any other key by its virtual-key code.
    static constexpr std::pair<const char*, uint8_t> kNamedKeys[] = {
        {"up", 0x26},   {"down", 0x28}, {"left", 0x25},   {"right", 0x27},
        {"talk", 0x72}, {"end", 0x73},  {"record", 0x8B},
    };
    for (const auto& [name, vk] : kNamedKeys) {
        if (arguments.TakeIf(name)) {
            return KeyCommand{vk};
        }
    }
    return KeyCommand{static_cast<uint8_t>(arguments.TakeNumber("VK or a key's name", 0xFF))};
}

Command ParseEventSet(Arguments& arguments) {
    return EventSetCommand{arguments.TakeText("NAME")};
}

Command ParseMsgboxPress(Arguments& arguments) {
    const std::string name = arguments.TakeKeyword("BUTTON");
    static constexpr std::pair<const char*, MessageBoxButton> kButtons[] = {
        {"OK", MessageBoxButton::Ok},
        {"Yes", MessageBoxButton::Yes},
        {"No", MessageBoxButton::No},
        {"Cancel", MessageBoxButton::Cancel},
    };
    for (const auto& [button_name, button] : kButtons) {
        if (strcasecmp(name.c_str(), button_name) == 0) {
            return MsgboxPressCommand{button};
        }
    }
    throw Unparsable{"unknown button '" + name + "' (OK, Yes, No or Cancel)"};
}

Command ParseServiceDeinit(Arguments& arguments) {
    return ServiceCommand{ServiceAction::Deinit, arguments.TakeText("LIBRARY")};
}

Command ParseServiceInit(Arguments& arguments) {
    return ServiceCommand{ServiceAction::Init, arguments.TakeText("LIBRARY")};
}

Command ParsePowerAc(Arguments& arguments) {
    std::string supply = arguments.TakeKeyword("on or off");
    if (supply != "on" && supply != "off") {
        throw Unparsable{"expected on or off, found '" + supply + "'"};
    }
    return PowerAcCommand{supply == "on"};
}

Command ParsePowerState(Arguments& arguments) {
    std::string state = arguments.TakeKeyword("on, unattended or suspend");
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

}  // namespace tovarin::emulator::console
