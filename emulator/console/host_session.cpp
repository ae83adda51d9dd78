// The console's host commands (host_commands.h): the control-panel host, the program launcher,
// storage cards, the device clock, and the expectations on files and running programs.
#include <algorithm>
#include <fstream>
#include <iterator>

#include "common/program_names.h"
#include "console/device_files.h"
#include "console/session.h"
#include "console/state_checks.h"
#include "host/window_tree.h"
#include "host_trace.h"
#include "hosts/taskbar.h"
#include "image/device_clock.h"
#include "image/storage_cards.h"
#include "host/device.h"
#include "host/device_paths.h"
#include "host/folder_changes.h"
#include "host/text.h"
#include "host/processes.h"

namespace tovarin::emulator::console {
namespace {

constexpr uint32_t kProgramEndWaitMs = 5000;

// ctlpnl.exe's exit codes.
constexpr DWORD kHostBadCommandLine = 1;
constexpr DWORD kHostNoLibrary = 2;
constexpr DWORD kHostDeclined = 3;
constexpr DWORD kHostNoSuchApplet = 4;

std::string Utf8(const std::wstring& text) {
    return kernel::WideToUtf8(text);
}

std::wstring FileNameOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::vector<kernel::processes::ProcessInfo> ProcessesNamed(const std::wstring& name) {
    std::vector<kernel::processes::ProcessInfo> found;
    for (const auto& process : kernel::processes::RunningProcesses()) {
        if (kernel::TextsEqualIgnoringCase(FileNameOf(process.image), FileNameOf(name))) {
            found.push_back(process);
        }
    }
    return found;
}

std::vector<std::string> RunningPrograms() {
    std::vector<std::string> found;
    for (const auto& process : kernel::processes::RunningProcesses()) {
        found.push_back(Utf8(process.image) + " (process " + std::to_string(process.id) + ")");
    }
    if (found.empty()) {
        found.push_back("no program is running");
    }
    return found;
}

// The files of a device folder whose names end with one of the extensions.
std::vector<std::string> FilesIn(const std::wstring& folder,
                                 std::initializer_list<const wchar_t*> extensions) {
    std::vector<std::string> found;
    for (const wchar_t* extension : extensions) {
        WIN32_FIND_DATAW entry{};
        std::wstring pattern = folder + L"\\*" + extension;
        HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE) {
            continue;
        }
        do {
            found.push_back(Utf8(folder + L"\\" + entry.cFileName));
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    if (found.empty()) {
        found.push_back("nothing in " + Utf8(folder));
    }
    return found;
}

std::wstring FolderOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos || slash == 0 ? L"\\Windows" : path.substr(0, slash);
}

// Starts a program as the shell does; the process handle, or nullptr with the error.
HANDLE StartProgram(const std::wstring& path, const std::wstring& arguments, DWORD* error) {
    PROCESS_INFORMATION started{};
    std::wstring command_line = arguments;
    if (!CreateProcessW(path.c_str(), command_line.empty() ? nullptr : command_line.data(), nullptr,
                        nullptr, FALSE, 0, nullptr, nullptr, nullptr, &started)) {
        *error = GetLastError();
        return nullptr;
    }
    CloseHandle(started.hThread);
    return started.hProcess;
}

// Waits for the process in device time: in simulated time until the device has settled (the
// process ended, or its threads wait for the user), in real time up to ms for it to end.
// STILL_ACTIVE while it runs.
DWORD SettledExitCode(HANDLE process, uint32_t ms) {
    if (kernel::Device::Current().options().clock == kernel::ClockMode::Simulated) {
        kernel::WaitForDeviceIdle();
    } else {
        WaitForSingleObject(process, ms);
    }
    DWORD exit_code = STILL_ACTIVE;
    GetExitCodeProcess(process, &exit_code);
    return exit_code;
}

Outcome HostFailure(DWORD exit_code, const std::wstring& library) {
    switch (exit_code) {
        case kHostNoLibrary:
            return Outcome::Failed(
                "the control-panel host cannot load " + Utf8(library) +
                    " as a control-panel library (see the trace); the libraries in \\Windows:",
                FilesIn(L"\\Windows", {L".dll", L".cpl"}));
        case kHostDeclined:
            return Outcome::Failed(Utf8(library) +
                                   " declines to start: CPL_INIT returned 0 (see the trace)");
        case kHostNoSuchApplet:
            return Outcome::Failed(Utf8(library) +
                                   " has no such applet (the trace gives its count)");
        case kHostBadCommandLine:
            return Outcome::Failed("the control-panel host cannot read its command line");
        default:
            return Outcome::Failed("the control-panel host ended with " +
                                   std::to_string(exit_code));
    }
}

}  // namespace

Outcome Session::Do(const HostCommand& command) {
    return std::visit(
        [this](const auto& each) -> Outcome {
            using T = std::decay_t<decltype(each)>;
            if constexpr (std::is_same_v<T, AppletOpenCommand>) {
                std::wstring arguments = each.library + L"," + std::to_wstring(each.applet) + L"," +
                                         std::to_wstring(each.page);
                DWORD error = 0;
                HANDLE host = StartProgram(kProgramControlPanelHost, arguments, &error);
                if (!host) {
                    return Outcome::Failed("cannot start the control-panel host (error " +
                                           std::to_string(error) + ")");
                }
                // The sheet is shown (the host waits in the applet's modal loop) or CPL_DBLCLK
                // has returned and the host has ended.
                DWORD exit_code = SettledExitCode(host, 2000);
                CloseHandle(host);
                return exit_code == STILL_ACTIVE || exit_code == 0
                           ? Outcome::Done()
                           : HostFailure(exit_code, each.library);
            } else if constexpr (std::is_same_v<T, AppletListCommand>) {
                DWORD error = 0;
                HANDLE host = StartProgram(kProgramControlPanelHost, each.library, &error);
                if (!host) {
                    return Outcome::Failed("cannot start the control-panel host (error " +
                                           std::to_string(error) + ")");
                }
                WaitForSingleObject(host, INFINITE);
                DWORD exit_code = STILL_ACTIVE;
                GetExitCodeProcess(host, &exit_code);
                CloseHandle(host);
                return exit_code == 0 ? Outcome::Done() : HostFailure(exit_code, each.library);
            } else if constexpr (std::is_same_v<T, ProgramStartCommand>) {
                DWORD error = 0;
                HANDLE process = StartProgram(each.path, each.arguments, &error);
                if (!process) {
                    return Outcome::Failed("cannot start " + Utf8(each.path) + " (error " +
                                               std::to_string(error) + "); the programs there:",
                                           FilesIn(FolderOf(each.path), {L".exe"}));
                }
                CloseHandle(process);
                return Outcome::Done();
            } else if constexpr (std::is_same_v<T, ProgramEndCommand>) {
                return EndProgram(each.name);
            } else if constexpr (std::is_same_v<T, CardInsertCommand>) {
                std::filesystem::path folder;
                std::string error;
                if (!InsertCard(settings_.image_root, each.name, &folder, &error)) {
                    return Outcome::Failed("cannot insert the card: " + error);
                }
                if (emulator_) {
                    HostTrace(L"card", L"inserted \\" + each.name);
                    kernel::NotifyFolderChange(folder, kernel::FolderChange::DirName);
                }
                return Outcome::Done();
            } else if constexpr (std::is_same_v<T, CardRemoveCommand>) {
                std::filesystem::path folder;
                std::string error;
                if (!RemoveCard(settings_.image_root, &folder, &error)) {
                    return Outcome::Failed("cannot remove a card: " + error);
                }
                if (emulator_) {
                    HostTrace(L"card",
                              L"removed \\" + kernel::Utf8ToWide(folder.filename().string()));
                    kernel::NotifyFolderChange(folder, kernel::FolderChange::DirName);
                }
                return Outcome::Done();
            } else if constexpr (std::is_same_v<T, TimeSetCommand>) {
                if (emulator_) {
                    emulator_->device().SetWallClockMs(each.unix_ms);
                    HostTrace(L"clock", L"local time set to " + each.text);
                    TellTaskbarTheClockMoved();
                }
                // Before boot the image keeps the time too, which the boot starts from.
                std::string error;
                if (!booted() && !WriteImageClock(settings_.image_root, each.unix_ms, &error)) {
                    return Outcome::Failed(error);
                }
                return Outcome::Done();
            } else if constexpr (std::is_same_v<T, ExpectFileContainsCommand>) {
                // A pattern holds when any file it matches holds the text ("some recording
                // holds ..."); what each one holds is shown when none does.
                std::vector<std::wstring> matches = MatchingFiles(each.path);
                if (matches.empty()) {
                    return Outcome::Failed("the expectation did not hold",
                                           {"no file " + Utf8(each.path)});
                }
                std::vector<std::string> held;
                for (const std::wstring& match : matches) {
                    std::optional<std::string> content = ReadDeviceFile(match);
                    if (!content) {
                        continue;  // a folder, or a file device code cannot open
                    }
                    if (content->find(each.text) != std::string::npos) {
                        return Outcome::Done();
                    }
                    constexpr size_t kShown = 400;
                    held.push_back(Utf8(match) + " holds: \"" + content->substr(0, kShown) +
                                   (content->size() > kShown ? "...\"" : "\""));
                }
                if (held.empty()) {
                    held.push_back("no file that can be read matches " + Utf8(each.path));
                }
                return Outcome::Failed("the expectation did not hold", std::move(held));
            } else if constexpr (std::is_same_v<T, ExpectRunningCommand>) {
                bool running = !ProcessesNamed(each.name).empty();
                return running != each.negated
                           ? Outcome::Done()
                           : Outcome::Failed("the expectation did not hold", RunningPrograms());
            }
        },
        command);
}

Outcome Session::EndProgram(const std::wstring& name) {
    std::vector<kernel::processes::ProcessInfo> processes = ProcessesNamed(name);
    if (processes.empty()) {
        return Outcome::Failed("no program " + Utf8(name) + " is running", RunningPrograms());
    }
    std::vector<HWND> windows;
    for (const gwes::WindowInfo& window : gwes::TopLevelWindows()) {
        DWORD process_id = 0;
        GetWindowThreadProcessId(window.hwnd, &process_id);
        for (const auto& process : processes) {
            if (process.id == process_id) {
                windows.push_back(window.hwnd);
            }
        }
    }
    if (windows.empty()) {
        return Outcome::Failed(Utf8(name) + " has no window to close");
    }
    for (HWND window : windows) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    // The program handles WM_CLOSE on its own thread; it has ended when it is gone from the list.
    for (uint32_t waited = 0;; waited += 50) {
        if (emulator_->device().options().clock == kernel::ClockMode::Simulated) {
            kernel::WaitForDeviceIdle();
        }
        if (ProcessesNamed(name).empty()) {
            return Outcome::Done();
        }
        if (emulator_->device().options().clock == kernel::ClockMode::Simulated ||
            waited >= kProgramEndWaitMs) {
            return Outcome::Failed(Utf8(name) + " did not end after WM_CLOSE", RunningPrograms());
        }
        kernel::AdvanceDeviceTime(50);
    }
}

}  // namespace tovarin::emulator::console
