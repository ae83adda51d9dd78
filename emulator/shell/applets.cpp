#include "shell/applets.h"

#include <windows.h>
#include <cpl.h>

#include "common/program_names.h"

namespace tovarin::emulator::phone_shell {
namespace {

// The libraries to ask: the .cpl files of \Windows, and the suite's control panel, which the
// image carries under its .dll name.
std::vector<std::wstring> ControlPanelLibraries() {
    std::vector<std::wstring> found;
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW(L"\\Windows\\*.cpl", &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            found.emplace_back(entry.cFileName);
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    found.insert(found.begin(), kLibraryMarrowfen);
    return found;
}

}  // namespace

ControlPanel::ControlPanel() {
    for (const std::wstring& library : ControlPanelLibraries()) {
        Ask(library);
    }
}

ControlPanel::~ControlPanel() {
    for (HMODULE library : libraries_) {
        FreeLibrary(library);
    }
}

void ControlPanel::Ask(const std::wstring& library) {
    HMODULE module = LoadLibraryW((L"\\Windows\\" + library).c_str());
    if (module == nullptr) {
        return;
    }
    const size_t before = applets_.size();
    auto applet_proc = reinterpret_cast<APPLET_PROC>(GetProcAddressW(module, L"CPlApplet"));
    if (applet_proc != nullptr && applet_proc(nullptr, CPL_INIT, 0, 0) != 0) {
        const LONG count = applet_proc(nullptr, CPL_GETCOUNT, 0, 0);
        for (LONG index = 0; index < count; ++index) {
            NEWCPLINFOW info{};
            info.dwSize = sizeof info;
            applet_proc(nullptr, CPL_NEWINQUIRE, index, reinterpret_cast<LPARAM>(&info));
            applets_.push_back(Applet{library, static_cast<int>(index), info.szName, info.hIcon});
        }
        for (LONG index = 0; index < count; ++index) {
            applet_proc(nullptr, CPL_STOP, index, 0);
        }
        applet_proc(nullptr, CPL_EXIT, 0, 0);
    }
    if (applets_.size() > before) {
        libraries_.push_back(module);
    } else {
        FreeLibrary(module);
    }
}

}  // namespace tovarin::emulator::phone_shell
