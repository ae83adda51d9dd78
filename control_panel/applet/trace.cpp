// The applet's trace lines: each open of a sheet is traced step by step under "MultiCPlApplet".
#include <windows.h>
#include <strsafe.h>

#include "applet/applet.h"

namespace {

// Characters of a formatted trace line, terminator included.
const int kTraceChars = 1024;
const WCHAR kTraceTag[] = L"MultiCPlApplet";

}  // namespace

void CplTrace(LPCWSTR format) {
    WCHAR line[kTraceChars];
    // Every format takes the tag for its %s; those with a %d take the tick count as well.
    if (FAILED(StringCchPrintfW(line, kTraceChars, format, kTraceTag, GetTickCount())) &&
        line[0] == L'\0') {
        return;
    }
    NKDbgPrintfW(L"%s", line);
}
