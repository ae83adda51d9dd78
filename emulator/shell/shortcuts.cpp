#include "shell/shortcuts.h"

#include <windows.h>

#include <algorithm>

#include "host/text.h"

namespace tovarin::emulator::phone_shell {
namespace {

constexpr const wchar_t* kStartMenuFolders[] = {L"\\Windows\\Start Menu",
                                                L"\\Windows\\Start Menu\\Programs"};
constexpr DWORD kLargestShortcut = 4096;

bool ReadSmallFile(const std::wstring& path, std::string* text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    char buffer[kLargestShortcut];
    DWORD read = 0;
    const bool done = ReadFile(file, buffer, sizeof buffer, &read, nullptr) != FALSE;
    CloseHandle(file);
    text->assign(buffer, read);
    return done;
}

std::wstring Trimmed(const std::wstring& text) {
    const size_t first = text.find_first_not_of(L" \t\r\n");
    if (first == std::wstring::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(L" \t\r\n") - first + 1);
}

}  // namespace

bool ParseShortcut(const std::string& text, Shortcut* shortcut) {
    const std::wstring wide = kernel::Utf8ToWide(text);
    const size_t hash = wide.find(L'#');
    if (hash == std::wstring::npos) {
        return false;
    }
    std::wstring target = Trimmed(wide.substr(hash + 1));
    if (!target.empty() && target[0] == L'"') {
        const size_t close = target.find(L'"', 1);
        if (close == std::wstring::npos) {
            return false;
        }
        shortcut->program = target.substr(1, close - 1);
        shortcut->arguments = Trimmed(target.substr(close + 1));
    } else {
        const size_t space = target.find(L' ');
        shortcut->program = target.substr(0, space);
        shortcut->arguments = space == std::wstring::npos ? L"" : Trimmed(target.substr(space));
    }
    return !shortcut->program.empty();
}

std::vector<Shortcut> StartMenuShortcuts() {
    std::vector<Shortcut> found;
    for (const wchar_t* folder : kStartMenuFolders) {
        std::vector<Shortcut> here;
        WIN32_FIND_DATAW entry{};
        const std::wstring pattern = std::wstring(folder) + L"\\*.lnk";
        HANDLE search = FindFirstFileW(pattern.c_str(), &entry);
        if (search == INVALID_HANDLE_VALUE) {
            continue;
        }
        do {
            std::string text;
            Shortcut shortcut;
            const std::wstring file = entry.cFileName;
            if (ReadSmallFile(std::wstring(folder) + L"\\" + file, &text) &&
                ParseShortcut(text, &shortcut)) {
                shortcut.name = file.substr(0, file.size() - 4);
                here.push_back(std::move(shortcut));
            }
        } while (FindNextFileW(search, &entry));
        FindClose(search);
        std::sort(here.begin(), here.end(),
                  [](const Shortcut& a, const Shortcut& b) { return a.name < b.name; });
        found.insert(found.end(), here.begin(), here.end());
    }
    return found;
}

}  // namespace tovarin::emulator::phone_shell
