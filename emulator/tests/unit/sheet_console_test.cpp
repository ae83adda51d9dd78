// The control commands end to end: a script boots a phone whose SheetProbe.dll service shows a
// two-page property sheet, and taps, chooses, types and switches tabs as a user does; the pages'
// traces show what each control told them.
#include <gtest/gtest.h>

#include "booted_emulator.h"
#include "console/script_runner.h"

namespace tovarin::emulator::testing {
namespace {

class SheetConsoleTest : public ::testing::Test {
  protected:
    // Runs the script on a fresh image with SheetProbe.dll listed as a service; the exit code.
    int Run(const std::string& script) {
        return RunScriptWithService(script, {L"SheetProbe.dll", TOVARIN_SHEET_PROBE_PATH},
                                    {L"SheetProbe", L"SheetProbe.dll", L"SHP"});
    }
};

TEST_F(SheetConsoleTest, AUserWorksTheSheetsControls) {
    EXPECT_EQ(console::kExitHeld, Run(R"(boot
expect foreground "Настройка"
expect trace "SheetProbe: page 0 PSN_SETACTIVE"
mark
click 1010
expect control 1010 checked
expect trace "SheetProbe: 1010 BN_CLICKED"
choose 1040 "зал"
expect control 1040 selected "Зал"
expect trace "SheetProbe: 1040 CBN_SELCHANGE"
mark
choose 1040 at 2
expect no trace "CBN_SELCHANGE"
choose 1040 at 3
expect control 1040 selected "Улица"
expect trace "SheetProbe: 1040 CBN_SELCHANGE"
type 1020 "Привет"
expect control 1020 text "Привет"
expect trace "SheetProbe: 1020 EN_CHANGE"
tab 1
expect trace "SheetProbe: page 0 PSN_KILLACTIVE"
expect trace "SheetProbe: page 1 PSN_SETACTIVE"
expect control 1010 hidden
click 1061
expect control 1061 checked
expect control 1060 unchecked
choose 1070 "два"
expect control 1070 selected "два"
expect trace "SheetProbe: 1070 LBN_SELCHANGE"
mark
menu help
expect trace "SheetProbe: page 1 PSN_HELP"
tab 0
expect control 1020 text "Привет"
ok
expect no foreground "Настройка"
expect trace "SheetProbe: page 0 PSN_APPLY"
expect trace "SheetProbe: page 1 PSN_APPLY"
expect trace "SheetProbe: PropertySheet 1"
)"));
}

TEST_F(SheetConsoleTest, CommandsThatCannotActFail) {
    EXPECT_EQ(console::kExitFailed, Run("boot\nclick 1050\n"));           // disabled
    EXPECT_EQ(console::kExitFailed, Run("boot\nclick 9999\n"));           // no such control
    EXPECT_EQ(console::kExitFailed, Run("boot\nchoose 1040 \"Лес\"\n"));  // no such item
    EXPECT_EQ(console::kExitFailed, Run("boot\nchoose 1010 at 0\n"));     // not a list
    EXPECT_EQ(console::kExitFailed, Run("boot\ntype 1040 \"x\"\n"));      // not an edit
    EXPECT_EQ(console::kExitFailed, Run("boot\ntab 2\n"));                // past the last tab
}

}  // namespace
}  // namespace tovarin::emulator::testing
