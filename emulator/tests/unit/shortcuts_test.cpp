#include "shell/shortcuts.h"

#include <gtest/gtest.h>

namespace tovarin::emulator::phone_shell {
namespace {

Shortcut Parsed(const std::string& text) {
    Shortcut shortcut;
    EXPECT_TRUE(ParseShortcut(text, &shortcut)) << text;
    return shortcut;
}

TEST(Shortcut, AQuotedProgramMayHaveSpacesAndArguments) {
    const Shortcut quoted =
        Parsed("52#\"\\Program Files\\VarnholtCM\\Voicemail\\Voicemail.exe\" -inbox 2\r\n");
    EXPECT_EQ(quoted.program, L"\\Program Files\\VarnholtCM\\Voicemail\\Voicemail.exe");
    EXPECT_EQ(quoted.arguments, L"-inbox 2");
    const Shortcut bare = Parsed("26#\\Windows\\Quellbrooks.exe");
    EXPECT_EQ(bare.program, L"\\Windows\\Quellbrooks.exe");
    EXPECT_EQ(bare.arguments, L"");
    EXPECT_EQ(Parsed("9#\\Windows\\ctlpnl.exe Marrowfen.dll,0").arguments, L"Marrowfen.dll,0");
}

TEST(Shortcut, AFileThatNamesNoProgramIsNoShortcut) {
    Shortcut shortcut;
    EXPECT_FALSE(ParseShortcut("\\Windows\\Quellbrooks.exe", &shortcut));  // no '#'
    EXPECT_FALSE(ParseShortcut("12#", &shortcut));
    EXPECT_FALSE(ParseShortcut("12#  \"\\Windows\\cut.exe", &shortcut));  // no closing quote
}

}  // namespace
}  // namespace tovarin::emulator::phone_shell
