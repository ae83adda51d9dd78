// The console's one table of commands: every row is reachable by its keywords, rows that give one
// record agree on what it needs of the device, numbers follow one rule, and the README's command
// summary shows every command of the table.
#include "console/grammar.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "console/parser.h"

namespace tovarin::emulator::console {
namespace {

// One line for every row of the table (a new row without one fails the first test).
constexpr const char* kExamples[] = {
    "boot",
    "help",
    "wait 500",
    "mark",
    R"(reg set HKLM "K" "V" dword 0x10)",
    R"(reg delete HKCU "K" "V")",
    R"(reg get HKLM "K" "V")",
    R"(file write "\x" <<END)",
    R"(file delete "\x")",
    R"(disk free "\" 1000 2000)",
    R"(service deinit "Wexmoor.dll")",
    R"(service init "Wexmoor.dll")",
    "power ac on",
    "power state unattended",
    R"(event set "E")",
    "key 0x72",
    "msgbox press yes",
    R"(call incoming "5550001")",
    "call answer",
    "call miss",
    "call end",
    R"(call second "5550002")",
    "call second-end",
    "call dial sip:alice@127.0.0.1:5062",
    "call voice tone 440",
    "mic silence",
    "speaker record off",
    R"(expect reg HKLM "K" "V" missing)",
    R"(expect file "\x" contains "text")",
    R"(expect no window "Dialog" "T")",
    R"(expect msgbox "T")",
    R"(expect event "E" set)",
    "expect volume 0x99999999",
    R"(expect sound "\Windows\kiss.amr" volume -0x10)",
    "expect no sound",
    R"(expect amr "\My Documents\*.amr" 900 1100)",
    R"(expect no running "hopper.exe")",
    R"(expect trace "T")",
    R"(expect ioctl "KBM0:" 0x45600001)",
    R"(expect no ioctl "KBM0:")",
    "expect no key 114",
    R"(expect started "Oxbane.exe")",
    R"(expect message "Dialog" 0x0111 2)",
    "dump",
    "ok",
    "start",
    "today",
    "scroll thumb -8",
    "rotate square",
    R"(screenshot "out.png")",
    R"(expect no foreground "T")",
    "expect control 1001 pos 0x10",
    "click 131/2",
    "choose 1040 at 3",
    R"(type 1020 "")",
    "tab 2",
    "menu help",
    "tap 240 0x140",
    "drag 10 20 400 20",
    R"(applet open "Marrowfen.dll" 0 page 3)",
    R"(applet list "Marrowfen.dll")",
    R"(program start "\Windows\Quellbrooks.exe")",
    R"(program end "Quellbrooks.exe")",
    "card insert",
    "card remove",
    R"(time set "2026-03-08 09:30:00")",
    R"(contact add "A" "1" work)",
    "quit",
    R"(run "calls.scn")",
    R"(chooser pick "A" "1")",
    "chooser cancel",
};

const CommandForm* FormOf(const std::string& line) {
    SplitLine split = SplitWords(line);
    return MatchForm(split.words).form;
}

TEST(Grammar, EveryCommandIsReachedByItsKeywordsAndAgreesOnWhatItNeeds) {
    std::set<const CommandForm*> reached;
    for (const char* line : kExamples) {
        auto parsed = ParseLine(line);
        ASSERT_TRUE(std::holds_alternative<Command>(parsed))
            << line << ": " << std::get<std::string>(parsed);
        const CommandForm* form = FormOf(line);
        ASSERT_NE(form, nullptr) << line;
        EXPECT_TRUE(form->gives(std::get<Command>(parsed))) << line;
        // What the session asks of a record is what this row says: rows that give one record
        // must not disagree.
        EXPECT_EQ(BootNeedOf(std::get<Command>(parsed)), form->boot) << line;
        reached.insert(form);
    }
    for (const CommandForm& form : Grammar()) {
        EXPECT_TRUE(reached.contains(&form)) << "no example reaches '" << form.keywords << "'";
    }
}

TEST(Grammar, AContactTakesOnlyATelephoneNumber) {
    for (const char* number : {"+7 (916) 123-45-67", "5550001", "*100#", "8.800.555.35.35"}) {
        EXPECT_TRUE(std::holds_alternative<Command>(
            ParseLine(std::string(R"(contact add "A" ")") + number + "\"")))
            << number;
    }
    for (const char* number :
         {"anonymous", "555 0001 ext 2", "7+916", "++7", "()-", "+", "5550001;reg", "１２３"}) {
        auto parsed = ParseLine(std::string(R"(contact add "A" ")") + number + "\"");
        ASSERT_TRUE(std::holds_alternative<std::string>(parsed)) << number;
        EXPECT_NE(std::get<std::string>(parsed).find("is not a telephone number"),
                  std::string::npos)
            << std::get<std::string>(parsed);
    }
}

TEST(Grammar, KeywordsNameOneCommandEach) {
    std::set<std::string_view> seen;
    for (const CommandForm& form : Grammar()) {
        EXPECT_TRUE(seen.insert(form.keywords).second) << form.keywords;
        EXPECT_FALSE(form.help.empty()) << form.keywords;
    }
}

TEST(Grammar, NumbersAreDecimalOrHexadecimalEverywhere) {
    auto control = [](const std::string& line) {
        auto parsed = ParseLine(line);
        EXPECT_TRUE(std::holds_alternative<Command>(parsed)) << line;
        return std::get<ExpectControlCommand>(std::get<UiCommand>(std::get<Command>(parsed)));
    };
    EXPECT_EQ(control("expect control 1001 pos 0x10").number, 16);
    EXPECT_EQ(control("expect control 0x3E9 pos -0x10").id, 1001);
    EXPECT_EQ(control("expect control 0x3E9 pos -0x10").number, -16);
    EXPECT_EQ(control("expect control 0x84/0x2 count 0").index, 2u);
    const ExpectControlCommand rect = control("expect control 132 rect -1 0x10 106 0X23");
    EXPECT_EQ(std::vector<int32_t>(rect.rect, rect.rect + 4),
              (std::vector<int32_t>{-1, 16, 106, 35}));
    auto input = [](const std::string& line) {
        return std::get<InputCommand>(std::get<Command>(ParseLine(line))).action;
    };
    EXPECT_EQ(std::get<TabCommand>(input("tab 0x1")).index, 1);
    EXPECT_EQ(std::get<ChooseCommand>(input("choose 1040 at 0xA")).index, 10);
    auto applet = std::get<AppletOpenCommand>(
        std::get<HostCommand>(std::get<Command>(ParseLine(R"(applet open "X.cpl" 0x1 page 0x2)"))));
    EXPECT_EQ(applet.applet, 1u);
    EXPECT_EQ(applet.page, 2u);
    // Neither octal, nor a sign where none belongs, nor a suffix.
    for (const char* line :
         {"expect control 1001 pos 1e3", "expect control 1001 count -1", "click -1", "tab +1",
          "wait 0x", "expect control 1001 pos --1", "key 0x100"}) {
        EXPECT_TRUE(std::holds_alternative<std::string>(ParseLine(line))) << line;
    }
    EXPECT_EQ(std::get<WaitCommand>(std::get<Command>(ParseLine("wait 010"))).ms, 10u);
}

TEST(Grammar, TheReasonNamesWhatMayFollow) {
    auto reason = [](const std::string& line) {
        auto parsed = ParseLine(line);
        return std::holds_alternative<std::string>(parsed) ? std::get<std::string>(parsed) : "";
    };
    EXPECT_EQ(reason("card"), "missing insert or remove after 'card'");
    EXPECT_EQ(reason("card eject"),
              "unknown command 'card eject' (after 'card': insert or remove)");
    EXPECT_EQ(reason("expect no msgbox \"T\""), "'expect no msgbox' is not a command");
    EXPECT_EQ(reason("reboot"), "unknown command 'reboot'");
}

// The words of a text with every run of blanks (line ends included) made one space.
std::string Flattened(const std::string& text) {
    std::istringstream words(text);
    std::string flat;
    for (std::string word; words >> word;) {
        flat += (flat.empty() ? "" : " ") + word;
    }
    return flat;
}

TEST(Grammar, TheReadmeSummaryShowsEveryCommand) {
    std::ifstream readme(TOVARIN_EMULATOR_README);
    ASSERT_TRUE(readme) << TOVARIN_EMULATOR_README;
    std::stringstream text;
    text << readme.rdbuf();
    const std::string flat = Flattened(text.str());
    for (const CommandForm& form : Grammar()) {
        const std::string usage = Flattened(Usage(form));
        EXPECT_NE(flat.find(usage), std::string::npos)
            << "emulator/README.md does not show `" << usage << "` (tovarin-emu help prints it)";
    }
    std::string help;
    for (const std::string& line : HelpLines()) {
        EXPECT_LE(line.size(), 100u) << line;
        help += line + "\n";
    }
    for (const CommandForm& form : Grammar()) {
        EXPECT_NE(Flattened(help).find(Flattened(Usage(form)) + " " + std::string(form.help)),
                  std::string::npos)
            << form.keywords;
    }
}

}  // namespace
}  // namespace tovarin::emulator::console
