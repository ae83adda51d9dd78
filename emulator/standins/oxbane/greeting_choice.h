// Which greeting the answering recorder plays.
#pragma once

#include <windows.h>

// Writes the device path of the greeting to play into path (cchPath characters, terminator
// included; a path that does not fit is cut):
// - the caller's own greeting, when the answering service found one (found is 1 and playFile is
//   not empty): a bare file name lies in the greeting folder, except the built-in greeting, which
//   lies in \Windows; a name with a folder is taken as it is;
// - otherwise the greeting chosen in the control panel, saveDir\fileName, when both are given;
// - otherwise the built-in greeting, \Windows\greeting.amr.
void ChooseGreetingPath(DWORD found, LPCWSTR playFile, LPCWSTR saveDir, LPCWSTR fileName,
                        LPWSTR path, size_t cchPath);

// Whether the answering recorder may play path: a file inside the greetings folder
// (\My Documents\Мои Приветствия) or \Windows, named without "." or ".." steps. A published name
// such as "..\..\x" would otherwise reach any file of the device.
BOOL IsPlayableGreeting(LPCWSTR path);
