// CreateProcessW and the process handle over TestProg.exe (see test_program.cpp) and NoMain.exe,
// copied into the Windows folder of a simulated device.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include "host/device.h"
#include "host/device_log.h"
#include "host/live_objects.h"
#include "kernel/modules/modules.h"
#include "testing/temp_image.h"
#include "host/processes.h"
#include "host/trace.h"

namespace tovarin::kernel {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr wchar_t kImage[] = L"\\Windows\\TestProg.exe";

// What TestProg writes when its WinMain starts with this command line.
std::wstring StartLine(const std::wstring& command_line) {
    return L"WinMain [" + command_line + L"] \\Windows\\TestProg.exe 0 5 Тестовая программа";
}

class ProcessTest : public ::testing::Test {
  protected:
    ProcessTest() {
        for (const char* file : {"TestProg.exe", "NoMain.exe"}) {
            std::filesystem::copy_file(std::filesystem::path(TEST_PROGRAMS_DIR) / file,
                                       image_.AddFolder("Windows") / file);
        }
        device_.emplace(DeviceOptions{.clock = ClockMode::Simulated, .image_root = image_.root()});
        modules::RegisterPlatformBuiltins();
        self_.emplace("test");
    }
    ~ProcessTest() override {
        // The device ends every thread a failed test left behind before any module goes.
        self_.reset();
        device_.reset();
        modules::UnloadAll();
    }

    // Starts TestProg (by whatever name) and keeps its handles in info_.
    bool Start(LPCWSTR application, std::wstring command_line, DWORD flags = 0) {
        command_line_ = std::move(command_line);
        return CreateProcessW(application, command_line_.empty() ? nullptr : command_line_.data(),
                              nullptr, nullptr, FALSE, flags, nullptr, nullptr, nullptr,
                              &info_) != FALSE;
    }

    DWORD ExitCodeOf(HANDLE process) {
        DWORD code = 0xDEAD;
        EXPECT_TRUE(GetExitCodeProcess(process, &code));
        return code;
    }

    static std::vector<std::wstring> StartLines() {
        std::vector<std::wstring> lines;
        for (const TraceLine& line : Device::Current().trace().Lines()) {
            if (line.text.starts_with(L"WinMain")) {
                lines.push_back(line.text);
            }
        }
        return lines;
    }

    static std::vector<StartedRecord> Started() {
        std::vector<StartedRecord> started;
        for (const LogEntry& entry : Device::Current().log().Since(0)) {
            if (const auto* record = std::get_if<StartedRecord>(&entry.what)) {
                started.push_back(*record);
            }
        }
        return started;
    }

    void CloseHandles() {
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
    }

    testing::TempImage image_;
    std::optional<Device> device_;
    std::optional<AttachedThread> self_;
    PROCESS_INFORMATION info_ = {};
    std::wstring command_line_;
};

MATCHER_P2(IsStart, image, command_line, "") {
    return arg.image == image && arg.command_line == command_line;
}

TEST_F(ProcessTest, AProgramFoundByBareNameRunsWinMainAndEndsWithItsResult) {
    ASSERT_TRUE(Start(L"testprog", L"exit 7"));
    EXPECT_NE(info_.hProcess, nullptr);
    EXPECT_NE(info_.hThread, nullptr);
    EXPECT_GE(info_.dwProcessId, 2u);
    EXPECT_NE(info_.dwThreadId, 0u);

    ASSERT_EQ(WaitForSingleObject(info_.hProcess, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCodeOf(info_.hProcess), 7u);
    ASSERT_EQ(WaitForSingleObject(info_.hThread, INFINITE), WAIT_OBJECT_0);
    DWORD thread_code = 0;
    EXPECT_TRUE(GetExitCodeThread(info_.hThread, &thread_code));
    EXPECT_EQ(thread_code, 7u);

    // WinMain got the module, no previous instance, SW_SHOW and the arguments; LoadStringW
    // with NULL read the program's own string table.
    EXPECT_THAT(StartLines(), ElementsAre(StartLine(L"exit 7")));
    EXPECT_THAT(Started(), ElementsAre(IsStart(kImage, L"exit 7")));
    CloseHandles();
}

// The program's threads, the main one and those it creates, report the program's id; the host's
// threads report the host program's 1. A thread's priority is kept.
TEST_F(ProcessTest, ThreadsOfAProgramReportItsIdAndKeepTheirPriority) {
    ASSERT_TRUE(Start(L"TestProg.exe", L"ids"));
    ASSERT_EQ(WaitForSingleObject(info_.hProcess, INFINITE), WAIT_OBJECT_0);
    const std::wstring id = std::to_wstring(info_.dwProcessId);
    std::vector<std::wstring> reports;
    for (const TraceLine& line : Device::Current().trace().Lines()) {
        if (line.text.starts_with(L"ids ")) {
            reports.push_back(line.text);
        }
    }
    EXPECT_THAT(reports, ElementsAre(L"ids " + id + L" " + id + L" " + id + L" 1"));
    EXPECT_EQ(GetCurrentProcessId(), 1u);
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_NORMAL);
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_IDLE));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_IDLE);
    EXPECT_FALSE(SetThreadPriority(GetCurrentThread(), 8));
    EXPECT_EQ(GetThreadPriority(reinterpret_cast<HANDLE>(0x1234)), THREAD_PRIORITY_ERROR_RETURN);
    CloseHandles();
}

// The window classes of a program go when it ends, with a window of it still open: started again,
// the program registers them anew (with the procedures of the code it runs now), and the name is
// free to others.
TEST_F(ProcessTest, TheWindowClassesOfAnEndedProgramAreUnregistered) {
    for (int run = 0; run < 2; ++run) {
        ASSERT_TRUE(Start(L"TestProg.exe", L"class TestProgClass"));
        ASSERT_EQ(WaitForSingleObject(info_.hProcess, INFINITE), WAIT_OBJECT_0);
        EXPECT_EQ(ExitCodeOf(info_.hProcess), 0u) << "run " << run;
        CloseHandles();
    }
    WNDCLASSW mine = {};
    mine.lpfnWndProc = DefWindowProcW;
    mine.lpszClassName = L"TestProgClass";
    EXPECT_NE(RegisterClassW(&mine), 0);
    EXPECT_TRUE(UnregisterClassW(L"TestProgClass", nullptr));
}

TEST_F(ProcessTest, TheProcessRunsUntilWinMainReturnsAndThenReleasesItsModule) {
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, L"TestProgGo");
    ASSERT_TRUE(Start(L"TestProg.exe", L"wait TestProgGo 3"));
    WaitForDeviceIdle();

    EXPECT_EQ(ExitCodeOf(info_.hProcess), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(WaitForSingleObject(info_.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    const std::vector<processes::ProcessInfo> running = processes::RunningProcesses();
    ASSERT_EQ(running.size(), 1u);
    EXPECT_EQ(running[0].id, info_.dwProcessId);
    EXPECT_EQ(running[0].image, kImage);
    // WinMain cut its copy of the command line apart; the process's own is whole.
    EXPECT_EQ(running[0].command_line, L"wait TestProgGo 3");
    EXPECT_NE(GetModuleHandleW(L"TestProg.exe"), nullptr);

    SetEvent(go);
    ASSERT_EQ(WaitForSingleObject(info_.hProcess, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCodeOf(info_.hProcess), 3u);
    EXPECT_THAT(processes::RunningProcesses(), IsEmpty());
    EXPECT_EQ(GetModuleHandleW(L"TestProg.exe"), nullptr);
    CloseHandles();
    CloseHandle(go);
}

// However a program ends, it ends as a whole: its threads that wait for ever end too, their
// windows go, and the device gets back its module, the lock of a critical section it still held
// and the handles it left open.
TEST_F(ProcessTest, AProgramEndsWithAllItsThreadsAndGivesBackWhatItHeld) {
    struct Case {
        const wchar_t* command_line;
        bool terminated;  // by TerminateProcess(..., 7) once the program waits
        DWORD exit_code;
    };
    const Case cases[] = {
        {L"linger 3", false, 3},    // WinMain returned, its second thread waits for ever
        {L"exitfrom 4", false, 4},  // a second thread called ExitProcess, the main one waits
        {L"hold", true, 7},         // ended from outside in its critical section
    };
    // The first program started marks the device in its handle table, for good.
    ASSERT_TRUE(Start(L"TestProg.exe", L"exit 0"));
    ASSERT_EQ(WaitForSingleObject(info_.hProcess, INFINITE), WAIT_OBJECT_0);
    CloseHandles();
    WaitForDeviceIdle();
    const diagnostics::LiveObjects before = diagnostics::CountLiveObjects();
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.command_line);
        ASSERT_TRUE(Start(L"TestProg.exe", c.command_line));
        WaitForDeviceIdle();
        if (c.terminated) {
            EXPECT_TRUE(TerminateProcess(info_.hProcess, 7));
        }
        ASSERT_EQ(WaitForSingleObject(info_.hProcess, INFINITE), WAIT_OBJECT_0);
        EXPECT_EQ(ExitCodeOf(info_.hProcess), c.exit_code);
        EXPECT_THAT(processes::RunningProcesses(), IsEmpty());
        EXPECT_EQ(GetModuleHandleW(L"TestProg.exe"), nullptr);
        CloseHandles();
        WaitForDeviceIdle();
        const diagnostics::LiveObjects after = diagnostics::CountLiveObjects();
        EXPECT_EQ(after, before) << diagnostics::Describe(after)
                                 << "\nbefore: " << diagnostics::Describe(before);
    }
}

TEST_F(ProcessTest, WithoutAnApplicationNameTheFirstTokenOfTheCommandLineIsTheImage) {
    ASSERT_TRUE(Start(nullptr, L"\"\\windows\\TESTPROG.EXE\"   exit 4"));
    ASSERT_EQ(WaitForSingleObject(info_.hProcess, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCodeOf(info_.hProcess), 4u);
    CloseHandles();

    ASSERT_TRUE(Start(nullptr, L"TestProg exit 5"));  // ".exe" added, found in \Windows
    ASSERT_EQ(WaitForSingleObject(info_.hProcess, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCodeOf(info_.hProcess), 5u);
    CloseHandles();

    EXPECT_THAT(Started(), ElementsAre(IsStart(kImage, L"exit 4"), IsStart(kImage, L"exit 5")));
}

TEST_F(ProcessTest, AMainThreadThatExitsEndsTheProcessWithItsCode) {
    ASSERT_TRUE(Start(L"TestProg.exe", L"quit 9"));
    ASSERT_EQ(WaitForSingleObject(info_.hProcess, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCodeOf(info_.hProcess), 9u);
    EXPECT_EQ(GetModuleHandleW(L"TestProg.exe"), nullptr);
    CloseHandles();
}

TEST_F(ProcessTest, TwoInstancesRunSideBySideOnOneModule) {
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, L"First");
    ASSERT_TRUE(Start(L"TestProg.exe", L"wait First 1"));
    const PROCESS_INFORMATION first = info_;
    ASSERT_TRUE(Start(L"TestProg.exe", L"exit 2"));
    const PROCESS_INFORMATION second = info_;
    EXPECT_NE(first.dwProcessId, second.dwProcessId);

    ASSERT_EQ(WaitForSingleObject(second.hProcess, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCodeOf(second.hProcess), 2u);
    // The first still holds the module.
    EXPECT_NE(GetModuleHandleW(L"TestProg.exe"), nullptr);
    const std::vector<processes::ProcessInfo> running = processes::RunningProcesses();
    ASSERT_EQ(running.size(), 1u);
    EXPECT_EQ(running[0].id, first.dwProcessId);

    SetEvent(go);
    ASSERT_EQ(WaitForSingleObject(first.hProcess, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCodeOf(first.hProcess), 1u);
    EXPECT_EQ(GetModuleHandleW(L"TestProg.exe"), nullptr);
    for (HANDLE handle : {first.hProcess, first.hThread, second.hProcess, second.hThread, go}) {
        CloseHandle(handle);
    }
}

TEST_F(ProcessTest, ASuspendedProcessStartsWithResumeThread) {
    ASSERT_TRUE(Start(L"TestProg.exe", L"exit 6", CREATE_SUSPENDED));
    WaitForDeviceIdle();
    EXPECT_THAT(StartLines(), IsEmpty());
    EXPECT_EQ(ExitCodeOf(info_.hProcess), static_cast<DWORD>(STILL_ACTIVE));
    // The start is recorded when the process is made, not when it first runs.
    EXPECT_THAT(Started(), ElementsAre(IsStart(kImage, L"exit 6")));

    EXPECT_EQ(ResumeThread(info_.hThread), 1u);
    ASSERT_EQ(WaitForSingleObject(info_.hProcess, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(ExitCodeOf(info_.hProcess), 6u);
    EXPECT_THAT(StartLines(), ElementsAre(StartLine(L"exit 6")));
    CloseHandles();
}

TEST_F(ProcessTest, AProcessWhoseMainThreadNeverRanGoesWithItsDevice) {
    ASSERT_TRUE(Start(L"TestProg.exe", L"exit 1", CREATE_SUSPENDED));
    EXPECT_EQ(processes::RunningProcesses().size(), 1u);
    self_.reset();
    device_.reset();
    EXPECT_THAT(processes::RunningProcesses(), IsEmpty());
}

TEST_F(ProcessTest, WithoutProcessInformationOrCommandLineTheProgramStillRuns) {
    ASSERT_TRUE(CreateProcessW(kImage, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                               nullptr, nullptr));
    WaitForDeviceIdle();  // the program has ended: nothing of it waits
    EXPECT_THAT(StartLines(), ElementsAre(StartLine(L"")));  // WinMain gets an empty command line
    EXPECT_THAT(Started(), ElementsAre(IsStart(kImage, L"")));
    EXPECT_THAT(processes::RunningProcesses(), IsEmpty());
    EXPECT_EQ(GetModuleHandleW(L"TestProg.exe"), nullptr);
}

TEST_F(ProcessTest, ImagesThatCannotBeStarted) {
    image_.AddFile("Windows/Broken.exe", "not a shared object");
    image_.AddFile("My Documents/readme.txt", "text");
    struct Case {
        LPCWSTR application;
        const wchar_t* command_line;
        DWORD error;
    };
    const Case cases[] = {
        {L"Absent.exe", nullptr, ERROR_FILE_NOT_FOUND},
        {L"\\My Documents\\TestProg.exe", nullptr, ERROR_FILE_NOT_FOUND},  // only where named
        {L"\\Windows\\TestProg", nullptr, ERROR_FILE_NOT_FOUND},  // a path gets no extension
        {L"\\Windows", nullptr, ERROR_FILE_NOT_FOUND},            // a folder
        {nullptr, L"Absent -x", ERROR_FILE_NOT_FOUND},
        {L"NoMain.exe", nullptr, ERROR_BAD_EXE_FORMAT},  // a module, but no WinMain
        {L"Broken.exe", nullptr, ERROR_BAD_EXE_FORMAT},  // not a module at all
        {nullptr, nullptr, ERROR_INVALID_PARAMETER},
        {L"", L"exit 1", ERROR_INVALID_PARAMETER},
        {nullptr, L"   ", ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        std::wstring command_line = c.command_line ? c.command_line : L"";
        PROCESS_INFORMATION info = {};
        SetLastError(0);
        EXPECT_FALSE(CreateProcessW(c.application, c.command_line ? command_line.data() : nullptr,
                                    nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info));
        EXPECT_EQ(GetLastError(), c.error) << (c.application ? c.application : L"(null)") << " / "
                                           << (c.command_line ? c.command_line : L"(null)");
        EXPECT_EQ(info.hProcess, nullptr);
    }
    EXPECT_THAT(Started(), IsEmpty());
    // A module that was loaded to be looked at is let go again.
    EXPECT_EQ(GetModuleHandleW(L"NoMain.exe"), nullptr);
}

TEST_F(ProcessTest, ProcessHandleFunctionsCheckTheirArguments) {
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeProcess(reinterpret_cast<HANDLE>(0x0FFFFFF0), &code));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(GetExitCodeProcess(GetCurrentProcess(), &code));
    EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));

    // A thread handle is not a process handle.
    ASSERT_TRUE(Start(L"TestProg.exe", L"exit 1"));
    EXPECT_FALSE(GetExitCodeProcess(info_.hThread, &code));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(GetExitCodeProcess(info_.hProcess, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    EXPECT_FALSE(TerminateProcess(reinterpret_cast<HANDLE>(0x0FFFFFF0), 1));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(TerminateProcess(GetCurrentProcess(), 1));  // the host program's thread
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));

    ASSERT_EQ(WaitForSingleObject(info_.hProcess, INFINITE), WAIT_OBJECT_0);
    EXPECT_FALSE(TerminateProcess(info_.hProcess, 2));  // it has ended: its code stays
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ExitCodeOf(info_.hProcess), 1u);
    CloseHandles();
    EXPECT_FALSE(GetExitCodeProcess(info_.hProcess, &code));  // closed
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
}  // namespace tovarin::kernel
