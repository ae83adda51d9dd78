// Device paths of the sounds the stand-ins play: how a folder and a name are joined, and which
// paths a stand-in may open at all.
#pragma once

#include <windows.h>

// folder\name (one backslash between them), cut to cchPath characters.
void JoinPath(LPCWSTR folder, LPCWSTR name, LPWSTR path, size_t cchPath);

// Whether path is absolute and none of its steps is empty, "." or "..": a published name such
// as "..\..\x" would otherwise reach any file of the device.
BOOL HasPlainSteps(LPCWSTR path);

// Whether path lies below folder (a case-insensitive match followed by a backslash and more).
BOOL IsBelowFolder(LPCWSTR path, LPCWSTR folder);
