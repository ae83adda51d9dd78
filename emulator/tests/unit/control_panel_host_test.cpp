// The control-panel host (ctlpnl.exe) as a library sees it: the messages its CPlApplet receives,
// in order, for an open, a listing and a library that declines to start; and the maker's
// VerifyRunProcess that the library asks.
#include <windows.h>

#include "booted_emulator.h"
#include "host/device_log.h"
#include "host/trace.h"

namespace tovarin::emulator::testing {
namespace {

class ControlPanelHostTest : public BootedEmulatorTest {
  protected:
    void SetUp() override { Boot({{L"TestPanel.cpl", TOVARIN_TEST_PANEL_PATH}}); }

    // Runs a program to its end (or until the device settles) and returns its exit code.
    static DWORD Run(const wchar_t* image, const wchar_t* arguments) {
        std::wstring command_line = arguments;
        PROCESS_INFORMATION started{};
        EXPECT_TRUE(CreateProcessW(image, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, nullptr, &started));
        kernel::WaitForDeviceIdle();
        DWORD exit_code = 0;
        GetExitCodeProcess(started.hProcess, &exit_code);
        CloseHandle(started.hThread);
        CloseHandle(started.hProcess);
        return exit_code;
    }

    // The trace lines since boot that start with `tag`, without the tag and the line end.
    std::vector<std::wstring> Traces(std::wstring_view tag) const {
        std::vector<std::wstring> lines;
        for (const kernel::LogEntry& entry : emulator_->device().log().Since(0)) {
            const auto* line = std::get_if<kernel::TraceLine>(&entry.what);
            if (line != nullptr && line->text.starts_with(tag)) {
                std::wstring text = line->text.substr(tag.size());
                while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) {
                    text.pop_back();
                }
                lines.push_back(text);
            }
        }
        return lines;
    }
};

TEST_F(ControlPanelHostTest, OpensAnAppletWithItsPageAndStopsEveryApplet) {
    EXPECT_EQ(0u, Run(L"\\Windows\\ctlpnl.exe", L"TestPanel.cpl,1,3"));
    std::vector<std::wstring> expected = {
        L"CPL_INIT",
        L"CPL_GETCOUNT",
        L"CPL_NEWINQUIRE 0",
        L"CPL_NEWINQUIRE 1",
        L"CPL_DBLCLK 0x00030001 data 11",  // applet 1 | page 3 << 16, the applet's own data
        L"CPL_STOP 0 data 10",
        L"CPL_STOP 1 data 11",
        L"CPL_EXIT",
    };
    EXPECT_EQ(expected, Traces(L"TestPanel: "));
    EXPECT_EQ(1u, CountTraces(L"ctlpnl: TestPanel.cpl: CPL_DBLCLK applet 1 page 3 returned 1"));
    EXPECT_EQ(1u, CountTraces(L"ctlpnl: TestPanel.cpl unloaded"));
}

TEST_F(ControlPanelHostTest, ListsEveryAppletWithItsIdName) {
    EXPECT_EQ(0u, Run(L"\\Windows\\ctlpnl.exe", L"TestPanel.cpl"));
    std::vector<std::wstring> expected = {
        L"CPL_INIT",           L"CPL_GETCOUNT",       L"CPL_NEWINQUIRE 0",
        L"CPL_IDNAME 0",       L"CPL_NEWINQUIRE 1",   L"CPL_IDNAME 1",
        L"CPL_STOP 0 data 10", L"CPL_STOP 1 data 11", L"CPL_EXIT",
    };
    EXPECT_EQ(expected, Traces(L"TestPanel: "));
    EXPECT_EQ(1u, CountTraces(L"ctlpnl: applet 0: name \"Проверка\", info \"Четыре страницы\", "
                              L"icon yes, data 10, id name \"TestPanelSheet\""));
    EXPECT_EQ(1u, CountTraces(L"ctlpnl: applet 1: name \"Второй\", info \"Без окна\", icon no, "
                              L"data 11, id name \"TestPanelPlain\""));
}

TEST_F(ControlPanelHostTest, AnAppletNumberOutOfRangeIsNotOpened) {
    EXPECT_EQ(4u, Run(L"\\Windows\\ctlpnl.exe", L"TestPanel.cpl,2"));
    std::vector<std::wstring> traces = Traces(L"TestPanel: ");
    EXPECT_EQ(traces.end(), std::find_if(traces.begin(), traces.end(), [](const auto& line) {
                  return line.starts_with(L"CPL_DBLCLK");
              }));
    EXPECT_EQ(L"CPL_EXIT", traces.back());
    EXPECT_EQ(2u, Run(L"\\Windows\\ctlpnl.exe", L"Missing.cpl,0"));
    EXPECT_EQ(1u, Run(L"\\Windows\\ctlpnl.exe", L"TestPanel.cpl,x"));
}

TEST_F(ControlPanelHostTest, ALibraryThatDeclinesGetsNothingMoreWhileHopperRuns) {
    HMODULE pellax = LoadLibraryW(L"Pellax.dll");
    ASSERT_NE(nullptr, pellax);
    auto verify =
        reinterpret_cast<int(WINAPI*)(LPCWSTR)>(GetProcAddressW(pellax, L"VerifyRunProcess"));
    ASSERT_NE(nullptr, verify);
    EXPECT_EQ(0, verify(L"hopper.exe"));

    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), Run(L"hopper.exe", L""));
    EXPECT_EQ(1, verify(L"HOPPER.EXE"));  // file names compare without regard to case
    EXPECT_EQ(0, verify(L"hopper"));
    EXPECT_EQ(0, verify(L""));

    EXPECT_EQ(3u, Run(L"\\Windows\\ctlpnl.exe", L"TestPanel.cpl,0"));
    EXPECT_EQ(std::vector<std::wstring>{L"CPL_INIT"}, Traces(L"TestPanel: "));

    // Closing hopper's window ends it.
    HWND hopper = FindWindowW(L"hopper", nullptr);
    ASSERT_NE(nullptr, hopper);
    PostMessageW(hopper, WM_CLOSE, 0, 0);
    kernel::WaitForDeviceIdle();
    EXPECT_EQ(0, verify(L"hopper.exe"));
    FreeLibrary(pellax);
}

}  // namespace
}  // namespace tovarin::emulator::testing
