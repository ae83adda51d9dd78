#include "console/parser.h"

#include <gtest/gtest.h>

namespace tovarin::emulator::console {
namespace {

// The command of a line that must parse.
template <typename T>
T Parsed(const std::string& line) {
    auto result = ParseLine(line);
    if (auto* reason = std::get_if<std::string>(&result)) {
        ADD_FAILURE() << line << ": " << *reason;
        return T{};
    }
    const Command& command = std::get<Command>(result);
    if (!std::holds_alternative<T>(command)) {
        ADD_FAILURE() << line << ": parsed as another command (index " << command.index() << ")";
        return T{};
    }
    return std::get<T>(command);
}

std::string Reason(const std::string& line) {
    auto result = ParseLine(line);
    auto* reason = std::get_if<std::string>(&result);
    return reason ? *reason : "";
}

TEST(ParseLine, ReportsWhatIsWrongWithServiceAndPowerCommands) {
    EXPECT_NE(Reason("service").find("deinit or init"), std::string::npos);
    EXPECT_NE(Reason(R"(service stop "Wexmoor.dll")").find("stop"), std::string::npos);
    EXPECT_NE(Reason("service deinit").find("LIBRARY"), std::string::npos);
    EXPECT_NE(Reason(R"(service init "A.dll" "B.dll")"), "");
    EXPECT_NE(Reason(R"("service" deinit "A.dll")"), "");
    EXPECT_NE(Reason("power").find("ac or state"), std::string::npos);
    EXPECT_NE(Reason("power battery low").find("battery"), std::string::npos);
    EXPECT_NE(Reason("power ac").find("on or off"), std::string::npos);
    EXPECT_NE(Reason("power ac 1").find("'1'"), std::string::npos);
    EXPECT_NE(Reason(R"(power ac "on")"), "");
    EXPECT_NE(Reason("power ac on now"), "");
    EXPECT_NE(Reason("power state off").find("off"), std::string::npos);
    EXPECT_NE(Reason("power state"), "");
}

TEST(ParseLine, ReportsWhatIsWrong) {
    EXPECT_NE(Reason("reboot"), "");
    EXPECT_NE(Reason("wait"), "");
    EXPECT_NE(Reason("wait 10 20"), "");
    EXPECT_NE(Reason("wait -5"), "");
    EXPECT_EQ(Parsed<WaitCommand>("wait 86400000").ms, 86400000u);  // one device day at most
    EXPECT_NE(Reason("wait 86400001").find("one device day"), std::string::npos);
    EXPECT_EQ(Parsed<DiskFreeCommand>(R"(disk free "\" 0x100000000)").bytes, 0x100000000u);
    EXPECT_EQ(Parsed<CallCommand>(R"(call incoming "")").number, L"");
    EXPECT_NE(Reason(R"(disk free "\" 2000 1000)"), "");  // the volume has less than the caller
    EXPECT_NE(Reason("expect no volume 0xFFFFFFFF"), "");
    EXPECT_NE(Reason(R"(reg set HKCR "K" "V" dword 1)"), "");
    EXPECT_NE(Reason(R"(reg set HKLM "K" "V" qword 1)"), "");
    EXPECT_NE(Reason(R"(reg set HKLM "K" "V" dword 0x100000000)"), "");
    EXPECT_NE(Reason(R"(reg get HKLM "K")"), "");
    EXPECT_NE(Reason("key 0x100"), "");
    EXPECT_NE(Reason("call hold"), "");
    EXPECT_NE(Reason("call incoming"), "");
    EXPECT_NE(Reason("msgbox press Maybe"), "");
    EXPECT_NE(Reason(R"(expect no reg HKLM "K" "V" missing)"), "");
    EXPECT_NE(Reason(R"(expect no ioctl "WAV1:" 1 2)"), "");
    EXPECT_NE(Reason(R"(expect ioctl "WAV1:")"), "");
    EXPECT_NE(Reason(R"(expect file "\x" there)"), "");
    EXPECT_NE(Reason(R"(expect event "E" on)"), "");
    EXPECT_NE(Reason(R"(file write "\x" EOF)"), "");
    EXPECT_NE(Reason(R"(file write "\x" "<<EOF")"), "");
    // A keyword must not be quoted; a quoted word is always an argument.
    EXPECT_NE(Reason(R"("boot")"), "");
    EXPECT_NE(Reason(R"(expect "no" trace "x")"), "");
    // The reason names the offending word.
    EXPECT_NE(Reason("wait soon").find("soon"), std::string::npos);
}

std::vector<ReadResult> ReadAll(const std::string& text) {
    TextLineSource source(text);
    CommandReader reader(source);
    std::vector<ReadResult> results;
    while (auto next = reader.Next()) {
        results.push_back(std::move(*next));
    }
    return results;
}

TEST(ParseLine, AudioCommandsAndExpectations) {
    auto mic = Parsed<AudioCommand>("mic \"voice.wav\"");
    EXPECT_EQ(mic.target, AudioCommand::Target::Microphone);
    EXPECT_EQ(mic.kind, AudioCommand::Kind::File);
    EXPECT_EQ(mic.host_file, "voice.wav");
    auto voice = Parsed<AudioCommand>("call voice tone 440");
    EXPECT_EQ(voice.target, AudioCommand::Target::CallerVoice);
    EXPECT_EQ(voice.hz, 440u);
    EXPECT_EQ(Parsed<AudioCommand>("mic silence").kind, AudioCommand::Kind::Silence);
    EXPECT_EQ(Parsed<AudioCommand>("speaker record off").kind, AudioCommand::Kind::Off);
    EXPECT_EQ(Parsed<AudioCommand>("speaker record \"out.wav\"").host_file, "out.wav");

    auto sound = Parsed<ExpectAudioCommand>("expect sound \"\\Windows\\Car.amr\" volume -500");
    EXPECT_EQ(sound.path, L"\\Windows\\Car.amr");
    EXPECT_EQ(sound.volume, -500);
    EXPECT_FALSE(Parsed<ExpectAudioCommand>("expect sound \"x.amr\"").volume.has_value());
    EXPECT_EQ(Parsed<ExpectAudioCommand>("expect no sound").kind,
              ExpectAudioCommand::Kind::NoSound);
    auto amr = Parsed<ExpectAudioCommand>("expect amr \"\\My Documents\\*.amr\" 900 1100");
    EXPECT_EQ(amr.min_ms, 900u);
    EXPECT_EQ(amr.max_ms, 1100u);

    EXPECT_EQ(Reason("mic tone 0"), "'0' is not a tone from 1 to 4000 Hz");
    EXPECT_EQ(Reason("mic tone 5000"), "'5000' is not a tone from 1 to 4000 Hz");
    EXPECT_EQ(Reason("mic loud"), "expected \"HOSTFILE.wav\", tone HZ or silence, found 'loud'");
    EXPECT_EQ(Reason("expect sound \"x\" volume 5"), "'5' is not a volume from -10000 to 0");
    EXPECT_EQ(Reason("expect amr \"x\" 9 1"), "'9 1' is not a range MIN_MS MAX_MS");
    EXPECT_EQ(Reason("expect no amr"), "'expect no amr' is not a command");
    EXPECT_EQ(Reason("speaker play"), "unknown command 'speaker play' (after 'speaker': record)");

    // An output narrows the expectation; without one, both outputs count.
    auto on_line = Parsed<ExpectAudioCommand>("expect sound \"x.amr\" on line volume -600");
    EXPECT_EQ(on_line.output, media::AudioOutput::Line);
    EXPECT_EQ(on_line.volume, -600);
    EXPECT_EQ(Parsed<ExpectAudioCommand>("expect no sound on speaker").output,
              media::AudioOutput::Speaker);
    EXPECT_FALSE(Parsed<ExpectAudioCommand>("expect no sound").output.has_value());
    EXPECT_EQ(Reason("expect sound \"x\" on air"),
              "expected line or speaker after 'on', found 'air'");
    EXPECT_EQ(Reason("expect sound \"x\" volume -5 on line"),
              "unexpected 'on' at the end of the line");
}

TEST(ParseLine, KeysByNameOrCode) {
    EXPECT_EQ(Parsed<KeyCommand>("key up").vk, 0x26);
    EXPECT_EQ(Parsed<KeyCommand>("key down").vk, 0x28);
    EXPECT_EQ(Parsed<KeyCommand>("key left").vk, 0x25);
    EXPECT_EQ(Parsed<KeyCommand>("key right").vk, 0x27);
    EXPECT_EQ(Parsed<KeyCommand>("key talk").vk, 0x72);
    EXPECT_EQ(Parsed<KeyCommand>("key end").vk, 0x73);
    EXPECT_EQ(Parsed<KeyCommand>("key record").vk, 0x8B);
    EXPECT_EQ(Parsed<KeyCommand>("key 0x0D").vk, 0x0D);
    EXPECT_NE(Reason("key sideways"), "");
}

TEST(CommandReader, SkipsBlankAndCommentLinesAndCountsLines) {
    auto results = ReadAll("# a script\r\n\r\nboot\r\n   \n  # indented comment\nwait 500");
    ASSERT_EQ(results.size(), 2u);
    const auto& boot = std::get<ParsedCommand>(results[0]);
    EXPECT_EQ(boot.line, 3u);
    EXPECT_EQ(boot.text, "boot");
    const auto& wait = std::get<ParsedCommand>(results[1]);
    EXPECT_EQ(wait.line, 6u);
    EXPECT_EQ(std::get<WaitCommand>(wait.command).ms, 500u);
}

TEST(CommandReader, HeredocTakesEveryLineUpToItsWordWithLfEnds) {
    auto results = ReadAll(
        "file write \"\\Windows\\Quellbrooks.xml\" <<XML\r\n"
        "<?xml version='1.0'?>\r\n"
        "# not a comment here\n"
        "\n"
        "  XML\n"
        "XML\n"
        "mark\n");
    ASSERT_EQ(results.size(), 2u);
    const auto& write = std::get<ParsedCommand>(results[0]);
    EXPECT_EQ(write.line, 1u);
    EXPECT_EQ(std::get<FileWriteCommand>(write.command).path, L"\\Windows\\Quellbrooks.xml");
    EXPECT_EQ(std::get<FileWriteCommand>(write.command).content,
              "<?xml version='1.0'?>\n# not a comment here\n\n  XML\n");
    EXPECT_EQ(std::get<ParsedCommand>(results[1]).line, 7u);
}

TEST(CommandReader, EmptyHeredocMakesAnEmptyFile) {
    auto results = ReadAll("file write \"\\x\" <<END\nEND\n");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(std::get<FileWriteCommand>(std::get<ParsedCommand>(results[0]).command).content, "");
}

TEST(CommandReader, HeredocWithoutItsEndIsAnError) {
    auto results = ReadAll("boot\nfile write \"\\x\" <<END\nline\nEN D\n");
    ASSERT_EQ(results.size(), 2u);
    const auto* error = std::get_if<ParseError>(&results[1]);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->line, 2u);
    EXPECT_NE(error->reason.find("END"), std::string::npos);
}

TEST(CommandReader, TheContentOfAFileWriteThatDoesNotParseIsNoCommand) {
    auto results = ReadAll(
        "file write <<END\n"  // no path
        "call incoming \"5550001\"\n"
        "END\n"
        "file write \"\\y\" <<EOF extra\n"
        "reg delete HKLM \"K\" \"V\"\n"
        "EOF\n"
        "mark\n");
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(std::get<ParseError>(results[0]).line, 1u);
    EXPECT_EQ(std::get<ParseError>(results[1]).line, 4u);
    EXPECT_EQ(std::get<ParsedCommand>(results[2]).line, 7u);
}

TEST(CommandReader, ReportsTheLineOfAnUnparsableCommand) {
    auto results = ReadAll("boot\n\nexpect trace \"unterminated\n");
    ASSERT_EQ(results.size(), 2u);
    const auto* error = std::get_if<ParseError>(&results[1]);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->line, 3u);
    EXPECT_EQ(error->text, "expect trace \"unterminated");
}

}  // namespace
}  // namespace tovarin::emulator::console
