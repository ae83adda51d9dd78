// The parsers of the expectations: on the device's state, on what plays and was recorded, and on
// the device log since the last mark.
#include "console/command_parsers.h"
#include "host/text.h"

namespace tovarin::emulator::console {

Command ParseExpectReg(Arguments& arguments) {
    ExpectRegCommand command{.target = TakeValueRef(arguments)};
    std::string kind = arguments.TakeKeyword("dword, sz, missing or present");
    if (kind == "dword") {
        command.kind = ExpectRegCommand::Kind::Dword;
        command.dword = arguments.TakeDword("number");
    } else if (kind == "sz") {
        command.kind = ExpectRegCommand::Kind::Sz;
        command.sz = arguments.TakeText("TEXT");
    } else if (kind == "missing") {
        command.kind = ExpectRegCommand::Kind::Missing;
    } else if (kind == "present") {
        command.kind = ExpectRegCommand::Kind::Present;
    } else {
        throw Unparsable{"unknown reg expectation '" + kind + "'"};
    }
    return command;
}

Command ParseExpectFile(Arguments& arguments) {
    std::wstring path = arguments.TakeText("PATH");
    std::string state = arguments.TakeKeyword("exists, missing or contains");
    if (state == "contains") {
        return HostCommand{ExpectFileContainsCommand{std::move(path),
                                                     arguments.Take("TEXT after 'contains'").text}};
    }
    if (state != "exists" && state != "missing") {
        throw Unparsable{"expected exists, missing or contains, found '" + state + "'"};
    }
    return ExpectFileCommand{std::move(path), state == "exists"};
}

Command ParseExpectWindow(Arguments& arguments) {
    ExpectWindowCommand command{.window_class = arguments.TakeText("CLASS")};
    command.title = arguments.TakeText("TITLE");
    command.negated = arguments.negated();
    return command;
}

Command ParseExpectMsgbox(Arguments& arguments) {
    return ExpectMsgboxCommand{arguments.TakeText("TEXT")};
}

Command ParseExpectEvent(Arguments& arguments) {
    ExpectEventCommand command{.name = arguments.TakeText("NAME")};
    std::string state = arguments.TakeKeyword("set or clear");
    if (state != "set" && state != "clear") {
        throw Unparsable{"expected set or clear, found '" + state + "'"};
    }
    command.set = state == "set";
    return command;
}

Command ParseExpectVolume(Arguments& arguments) {
    return ExpectVolumeCommand{arguments.TakeDword("VOLUME")};
}

// "on line" or "on speaker", when it comes next.
std::optional<media::AudioOutput> TakeOutput(Arguments& arguments) {
    if (!arguments.TakeIf("on")) {
        return std::nullopt;
    }
    const std::string output = arguments.TakeKeyword("line or speaker");
    if (output == "line") {
        return media::AudioOutput::Line;
    }
    if (output == "speaker") {
        return media::AudioOutput::Speaker;
    }
    throw Unparsable{"expected line or speaker after 'on', found '" + output + "'"};
}

Command ParseExpectSound(Arguments& arguments) {
    ExpectAudioCommand command{.kind = ExpectAudioCommand::Kind::Sound};
    command.path = arguments.TakeText("PATH");
    command.output = TakeOutput(arguments);
    if (arguments.AtEnd()) {
        return command;
    }
    if (!arguments.TakeIf("volume")) {
        throw Unparsable{"unexpected '" + arguments.Take("").text +
                         "' ([on line|speaker] [volume V])"};
    }
    const Word& volume = arguments.Take("V");
    command.volume = volume.quoted ? std::nullopt : ParseSignedNumber(volume.text);
    if (!command.volume || *command.volume < -10000 || *command.volume > 0) {
        throw Unparsable{"'" + volume.text + "' is not a volume from -10000 to 0"};
    }
    return command;
}

Command ParseExpectNoSound(Arguments& arguments) {
    ExpectAudioCommand command{.kind = ExpectAudioCommand::Kind::NoSound};
    command.output = TakeOutput(arguments);
    return command;
}

Command ParseExpectAmr(Arguments& arguments) {
    ExpectAudioCommand command{.kind = ExpectAudioCommand::Kind::Amr};
    command.path = arguments.TakeText("PATH");
    if (arguments.Left() != 2) {
        throw Unparsable{"expected MIN_MS MAX_MS after the path"};
    }
    const std::string min_text = arguments.Take("MIN_MS").text;
    const std::string max_text = arguments.Take("MAX_MS").text;
    const std::optional<uint64_t> min = ParseNumber(min_text, 0xFFFFFFFFu);
    const std::optional<uint64_t> max = ParseNumber(max_text, 0xFFFFFFFFu);
    if (!min || !max || *min > *max) {
        throw Unparsable{"'" + min_text + " " + max_text + "' is not a range MIN_MS MAX_MS"};
    }
    command.min_ms = static_cast<uint32_t>(*min);
    command.max_ms = static_cast<uint32_t>(*max);
    return command;
}

Command ParseExpectRunning(Arguments& arguments) {
    std::wstring program = arguments.TakeText("NAME after 'expect running'");
    if (program.empty()) {
        throw Unparsable{"missing NAME after 'expect running'"};
    }
    return HostCommand{ExpectRunningCommand{std::move(program), arguments.negated()}};
}

Command ParseExpectTrace(Arguments& arguments) {
    return ExpectTraceCommand{arguments.TakeText("TEXT"), arguments.negated()};
}

Command ParseExpectIoctl(Arguments& arguments) {
    ExpectIoctlCommand command{.device = arguments.TakeText("DEVICE")};
    command.code = arguments.TakeDword("CODE");
    while (!arguments.AtEnd()) {
        command.words.push_back(arguments.TakeDword("WORD"));
    }
    return command;
}

Command ParseExpectNoIoctl(Arguments& arguments) {
    ExpectIoctlCommand command{.device = arguments.TakeText("DEVICE"), .negated = true};
    if (!arguments.AtEnd()) {
        command.code = arguments.TakeDword("CODE");
    }
    return command;
}

Command ParseExpectKey(Arguments& arguments) {
    return ExpectKeyCommand{static_cast<uint8_t>(arguments.TakeNumber("VK", 0xFF)),
                            arguments.negated()};
}

Command ParseExpectStarted(Arguments& arguments) {
    return ExpectStartedCommand{arguments.TakeText("NAME"), arguments.negated()};
}

Command ParseExpectMessage(Arguments& arguments) {
    ExpectMessageCommand command{.window_class = arguments.TakeText("CLASS")};
    command.message = arguments.TakeDword("MSG");
    if (!arguments.AtEnd()) {
        command.wparam = arguments.TakeNumber("WPARAM", UINT64_MAX);
    }
    command.negated = arguments.negated();
    return command;
}

}  // namespace tovarin::emulator::console
