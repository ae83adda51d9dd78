// Where the call recorder puts its recordings.
#pragma once

#include <windows.h>

// Writes the path prefix of the recordings, folder\name-part, into prefix (cchPrefix characters,
// terminator included; a prefix that does not fit is cut). The folder is saveDir: a bare folder
// name (no leading backslash, as the control panel stores it until the user saves the page) lies
// in \My Documents, and an empty one means \My Documents\Мои Телефонные Записи. The name part is
// fileName, "CK" when empty. A recording's file name is the name part followed by the time.
void ChooseRecordingPrefix(LPCWSTR saveDir, LPCWSTR fileName, LPWSTR prefix, size_t cchPrefix);
