#include "recording_place.h"

#include <strsafe.h>
#include <wchar.h>

#include "common/names.h"

void ChooseRecordingPrefix(LPCWSTR saveDir, LPCWSTR fileName, LPWSTR prefix, size_t cchPrefix) {
    LPCWSTR name = (fileName != NULL && fileName[0] != L'\0') ? fileName : kDefaultCalliskFileName;
    if (saveDir == NULL || saveDir[0] == L'\0') {
        StringCchPrintfW(prefix, cchPrefix, L"%s\\%s\\%s", kFolderMyDocuments,
                         kFolderCallRecordings, name);
        return;
    }
    if (saveDir[0] != L'\\') {
        StringCchPrintfW(prefix, cchPrefix, L"%s\\%s\\%s", kFolderMyDocuments, saveDir, name);
        return;
    }
    size_t length = wcslen(saveDir);
    bool hasSeparator = saveDir[length - 1] == L'\\';
    StringCchPrintfW(prefix, cchPrefix, hasSeparator ? L"%s%s" : L"%s\\%s", saveDir, name);
}
