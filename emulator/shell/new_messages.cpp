#include "shell/new_messages.h"

#include <cwchar>
#include <string>

#include "common/names.h"
#include "common/settings_defaults.h"

namespace tovarin::emulator::phone_shell {
namespace {

// The folder the answering recorder writes its messages into.
std::wstring MessageFolder() {
    wchar_t folder[MAX_PATH] = {};
    DWORD size = sizeof folder - sizeof folder[0];
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyAnswerMachine, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD type = 0;
        if (RegQueryValueExW(key, kValueAnswerMachineSaveDir, nullptr, &type,
                             reinterpret_cast<BYTE*>(folder), &size) != ERROR_SUCCESS ||
            type != REG_SZ) {
            folder[0] = L'\0';
        }
        RegCloseKey(key);
    }
    if (folder[0] == L'\0' || std::wcscmp(folder, kDefaultAnswerMachineSaveDir) == 0) {
        return kFolderMyDocuments;
    }
    return folder;
}

ULONGLONG Ticks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// Calls `each` with the write time of every recording in the folder.
template <typename Each>
void ForEachRecording(Each each) {
    const std::wstring pattern = MessageFolder() + L"\\*.amr";
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            each(Ticks(found.ftLastWriteTime));
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

ULONGLONG LastLook() {
    ULONGLONG seen = 0;
    DWORD size = sizeof seen;
    DWORD type = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyShell, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return 0;
    }
    if (RegQueryValueExW(key, kValueMessagesSeen, nullptr, &type, reinterpret_cast<BYTE*>(&seen),
                         &size) != ERROR_SUCCESS ||
        type != REG_BINARY || size != sizeof seen) {
        seen = 0;
    }
    RegCloseKey(key);
    return seen;
}

}  // namespace

DWORD NewMessageCount() {
    const ULONGLONG seen = LastLook();
    DWORD count = 0;
    ForEachRecording([&](ULONGLONG written) { count += written > seen ? 1 : 0; });
    return count;
}

void MarkMessagesSeen() {
    ULONGLONG newest = LastLook();
    ForEachRecording([&](ULONGLONG written) { newest = written > newest ? written : newest; });
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKeyShell, 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(key, kValueMessagesSeen, 0, REG_BINARY, reinterpret_cast<const BYTE*>(&newest),
                   sizeof newest);
    RegCloseKey(key);
}

}  // namespace tovarin::emulator::phone_shell
