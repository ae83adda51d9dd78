// SHGetSpecialFolderPath: the phone's special folders as device paths.
#include <algorithm>
#include <cwchar>
#include <string>

#include <windows.h>
#include <shlobj.h>

namespace {

// The folders of this phone. Folder 0 is the user's documents folder, as the phone's shell
// reports it.
const wchar_t* FolderPath(int folder) {
    switch (folder) {
        case CSIDL_DESKTOP:
        case CSIDL_PERSONAL:
            return L"\\My Documents";
        case CSIDL_PROGRAMS:
            return L"\\Windows\\Start Menu\\Programs";
        case CSIDL_FAVORITES:
            return L"\\Windows\\Favorites";
        case CSIDL_STARTUP:
            return L"\\Windows\\StartUp";
        case CSIDL_RECENT:
            return L"\\Windows\\Recent";
        case CSIDL_STARTMENU:
            return L"\\Windows\\Start Menu";
        case CSIDL_MYMUSIC:
            return L"\\My Documents\\My Music";
        case CSIDL_MYVIDEO:
            return L"\\My Documents\\My Videos";
        case CSIDL_DESKTOPDIRECTORY:
            return L"\\Windows\\Desktop";
        case CSIDL_FONTS:
            return L"\\Windows\\Fonts";
        case CSIDL_APPDATA:
            return L"\\Application Data";
        case CSIDL_WINDOWS:
            return L"\\Windows";
        case CSIDL_PROGRAM_FILES:
            return L"\\Program Files";
        case CSIDL_MYPICTURES:
            return L"\\My Documents\\My Pictures";
        default:
            return nullptr;  // virtual folders and unknown identifiers
    }
}

bool IsFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != 0xFFFFFFFF && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Makes the folder and every missing parent.
bool MakeFolders(const std::wstring& path) {
    for (size_t end = path.find(L'\\', 1);; end = path.find(L'\\', end + 1)) {
        std::wstring part = path.substr(0, end);
        if (!IsFolder(part) && !CreateDirectoryW(part.c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS) {
            return false;
        }
        if (end == std::wstring::npos) {
            return IsFolder(path);
        }
    }
}

}  // namespace

extern "C" {

BOOL WINAPI SHGetSpecialFolderPath(HWND hwndOwner, LPWSTR lpszPath, int nFolder, BOOL fCreate) {
    (void)hwndOwner;  // the phone's shell asks the user nothing here
    const wchar_t* path = FolderPath(nFolder);
    if (!lpszPath || !path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::wstring folder(path);
    if (fCreate ? !MakeFolders(folder) : !IsFolder(folder)) {
        if (!fCreate) {
            SetLastError(ERROR_PATH_NOT_FOUND);
        }
        return FALSE;
    }
    // The path and its terminator only: callers may give a buffer shorter than MAX_PATH that
    // holds the path, and nothing past the terminator is theirs to have written.
    size_t length = std::min<size_t>(folder.size(), MAX_PATH - 1);
    wmemcpy(lpszPath, path, length);
    lpszPath[length] = L'\0';
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

}  // extern "C"
