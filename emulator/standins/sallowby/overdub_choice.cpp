#include "overdub_choice.h"

#include <regext.h>
#include <string.h>
#include <strsafe.h>
#include <wchar.h>

#include "common/names.h"
#include "sound_paths.h"

namespace {

// A list position of "BGGain" or "BGGain2" (0..9, shown as "10".."100") to hundredths of a
// decibel, as the page previews it; a value beyond the list is taken as its end.
LONG GainToVolume(DWORD position) {
    if (position > 9) {
        position = 9;
    }
    return (static_cast<LONG>(position) - 10) * 600;
}

DWORD ReadDword(LPCWSTR value) {
    DWORD data = 0;
    if (FAILED(RegistryGetDWORD(HKEY_LOCAL_MACHINE, kKeyOverdub, value, &data))) {
        data = 0;
    }
    return data;
}

// folder + name into path; empty when either is missing.
void ReadFile(LPCWSTR folderValue, LPCWSTR nameValue, LPWSTR path) {
    WCHAR folder[MAX_PATH];
    WCHAR name[MAX_PATH];
    path[0] = L'\0';
    if (FAILED(RegistryGetString(HKEY_LOCAL_MACHINE, kKeyOverdub, folderValue, folder, MAX_PATH)) ||
        FAILED(RegistryGetString(HKEY_LOCAL_MACHINE, kKeyOverdub, nameValue, name, MAX_PATH)) ||
        folder[0] == L'\0' || name[0] == L'\0') {
        return;
    }
    JoinPath(folder, name, path, MAX_PATH);
}

// The storage card: a folder of the root with the temporary attribute, as the device marks it.
BOOL IsOnStorageCard(LPCWSTR path) {
    WCHAR root[MAX_PATH];
    StringCchCopyW(root, MAX_PATH, path);
    LPWSTR end = wcschr(root + 1, L'\\');
    if (end == NULL) {
        return FALSE;
    }
    *end = L'\0';
    DWORD attributes = GetFileAttributesW(root);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
           (attributes & FILE_ATTRIBUTE_TEMPORARY) != 0;
}

}  // namespace

void ReadOverdubChoice(OverdubChoice* choice) {
    memset(choice, 0, sizeof(*choice));
    ReadFile(kValueOverdubSaveDir, kValueOverdubFileName, choice->background);
    choice->backgroundOn = ReadDword(kValueOverdubEnable) == 1 &&
                           ReadDword(kValueBackgroundIndex) != 0 && choice->background[0] != L'\0';
    choice->backgroundVolume = GainToVolume(ReadDword(kValueBGGain));
    choice->effectsOn = ReadDword(kValueEnable2) == 1;
    choice->effectVolume = GainToVolume(ReadDword(kValueBGGain2));
    for (int slot = 0; slot < 4; ++slot) {
        choice->effectIndex[slot] = ReadDword(kValueEffectIndexBySlot[slot]);
        ReadFile(kValueEffectSaveDirBySlot[slot], kValueEffectFileNameBySlot[slot],
                 choice->effect[slot]);
    }
    choice->state = ReadDword(kValueOverdubState);
}

LPCWSTR WhyNotPlayable(LPCWSTR path) {
    if (!HasPlainSteps(path)) {
        return L"not a plain device path (no \".\" or \"..\" steps)";
    }
    if (!IsBelowFolder(path, kFolderWindows) && !IsBelowFolder(path, kFolderMyDocuments) &&
        !IsOnStorageCard(path)) {
        return L"outside \\Windows, \\My Documents and the storage card";
    }
    WCHAR folder[MAX_PATH];
    StringCchCopyW(folder, MAX_PATH, path);
    LPWSTR last = wcsrchr(folder, L'\\');
    if (last != NULL && last != folder) {
        *last = L'\0';
        DWORD attributes = GetFileAttributesW(folder);
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            return L"no such folder";
        }
    }
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return L"no such file";
    }
    return NULL;
}
