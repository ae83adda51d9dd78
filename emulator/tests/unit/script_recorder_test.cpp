// The page's test recorder, without a browser: the set-up that a saved script starts with, the
// waits between the actions, and a pick in a list taking the place of the tap that opened it.
#include <gtest/gtest.h>

#include "console/parser.h"
#include "web/script_recorder.h"

namespace tovarin::emulator::web {
namespace {

// The user's line as the console carries it out.
void Done(ScriptRecorder& recorder, const std::string& line, const std::string& content = {}) {
    std::string end;
    auto parsed = console::ParseLine(line, &end);
    ASSERT_TRUE(std::holds_alternative<console::Command>(parsed)) << line;
    auto command = std::get<console::Command>(parsed);
    if (auto* write = std::get_if<console::FileWriteCommand>(&command)) {
        write->content = content;
        write->end_word = end;
    }
    recorder.NoteChange(command, line);
}

// The script's lines after its first two comment lines.
std::vector<std::string> Body(const ScriptRecorder& recorder) {
    std::vector<std::string> lines;
    std::string script = recorder.Script();
    for (size_t start = 0, end; (end = script.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(script.substr(start, end - start));
    }
    return {lines.begin() + 2, lines.end()};
}

TEST(ScriptRecorder, SetUpKeepsTheLastChangeOfEachValueAndFileAndTheDeviceAsItWas) {
    ScriptRecorder recorder;
    Done(recorder, R"(reg set HKLM "\Software\A" "X" dword 1)");
    Done(recorder, R"(file write "\My Documents\note.txt" <<END)", "Привет\n");
    Done(recorder, R"(file write "\My Documents\gone.txt" <<EOF)", "x\n");
    Done(recorder, R"(reg set HKCU "\Software\B" "Y" sz "текст")");
    // Names are compared as the device compares them: without regard to case.
    Done(recorder, R"(reg set HKLM "\SOFTWARE\a" "x" dword 2)");
    Done(recorder, R"(file delete "\My Documents\GONE.txt")");
    Done(recorder, R"(file delete "\Windows\greeting.amr")");
    Done(recorder, R"(time set "2026-01-02 03:04:05")");
    Done(recorder, "power ac on");
    Done(recorder, "call incoming \"5550001\"");  // not a set-up
    recorder.Begin({.booted = true,
                    .local_time = "2026-03-08 09:30:12",
                    .external_power = false,
                    .card = "Карта"},
                   5000);
    // What is done after the recording began is the recording's, not its set-up.
    Done(recorder, R"(reg set HKLM "\Software\Later" "Z" dword 3)");
    EXPECT_EQ(Body(recorder), (std::vector<std::string>{
                                  R"(time set "2026-03-08 09:30:12")",
                                  R"(card insert "Карта")",
                                  R"(file write "\My Documents\note.txt" <<END)",
                                  "Привет",
                                  "END",
                                  R"(reg set HKCU "\Software\B" "Y" sz "текст")",
                                  R"(reg set HKLM "\SOFTWARE\a" "x" dword 2)",
                                  "boot",
                                  "# What was done.",
                              }));
}

TEST(ScriptRecorder, BeforeTheBootTheUsersOwnTimeAndPowerAreTheSetUp) {
    ScriptRecorder recorder;
    Done(recorder, R"(time set "2026-01-02 03:04:05")");
    Done(recorder, "power ac on");
    recorder.Begin({}, 0);
    recorder.Add("boot", 0, 1200);
    EXPECT_EQ(Body(recorder),
              (std::vector<std::string>{R"(time set "2026-01-02 03:04:05")", "power ac on",
                                        "# What was done.", "boot"}));
}

TEST(ScriptRecorder, WaitsForTheTimeBetweenActionsToTheNearest100Ms) {
    ScriptRecorder recorder;
    recorder.Add("click 1", 100, 100);  // not recording: nothing
    recorder.Begin({.booted = true, .local_time = "2026-01-01 00:00:00"}, 10'000);
    recorder.Add("click 1001", 10'049, 10'060);  // under 50 ms: no wait
    recorder.Add("wait 5000", 10'060, 15'060);   // the user's own wait, as typed
    recorder.Add("click 6050", 16'310, 16'320);
    // The pick takes the place of the tap that opened the list, and of nothing else.
    recorder.Add("choose 6050 \"15 сек\"", 16'330, 16'340, "click 6050");
    recorder.Add("choose 6000 \"1 мин\"", 17'000, 17'010, "click 6000");
    // A clock that starts again (a boot) is no time let pass.
    recorder.Add("key talk", 20, 30);
    recorder.End();
    recorder.Add("ok", 40, 50);
    EXPECT_EQ(recorder.lines(), (std::vector<std::string>{"click 1001", "wait 5000", "wait 1300",
                                                          "choose 6050 \"15 сек\"", "wait 700",
                                                          "choose 6000 \"1 мин\"", "key talk"}));
}

}  // namespace
}  // namespace tovarin::emulator::web
