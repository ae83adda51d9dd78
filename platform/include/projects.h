// The device's storage-card enumeration (Note_prj.dll): the folders in the root that storage
// cards are mounted on, found as FindFirstFileW finds entries.
#pragma once

#include <windef.h>
#include <winbase.h>

#ifndef RC_INVOKED

TOVARIN_BEGIN_C

// The first storage card's folder (name and attributes in lpFindFlashData), with a search handle
// that FindNextFlashCard continues and FindClose ends; INVALID_HANDLE_VALUE when there is none
// (ERROR_NO_MORE_FILES). Exported by Note_prj.dll as ordinal 7.
WINBASEAPI HANDLE WINAPI FindFirstFlashCard(LPWIN32_FIND_DATAW lpFindFlashData);
// The next card's folder; FALSE with ERROR_NO_MORE_FILES after the last.
WINBASEAPI BOOL WINAPI FindNextFlashCard(HANDLE hFlashCard, LPWIN32_FIND_DATAW lpFindFlashData);

TOVARIN_END_C

#endif  // RC_INVOKED
