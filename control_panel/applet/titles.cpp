// The module handle, the title buffers filled at load, and the applet's trace lines.
#include <windows.h>
#include <strsafe.h>

#include "marrowfen.h"

HINSTANCE g_instance = NULL;
WCHAR g_titleAnswering[kTitleAnsweringChars];
WCHAR g_titleOverdub[kTitleOverdubChars];
WCHAR g_titleRecording[kTitleRecordingChars];
WCHAR g_titleCaption[kTitleCaptionChars];
WCHAR g_titleApplet[kTitleAppletChars];
WCHAR g_titleGreeting[kTitleGreetingChars];
WCHAR g_titleGreetingSheet[kTitleGreetingSheetChars];
WCHAR g_titlePhone[kTitlePhoneChars];

namespace {

// Characters of a formatted trace line, terminator included.
const int kTraceChars = 1024;
const WCHAR kTraceTag[] = L"MultiCPlApplet";

}  // namespace

void LoadTitles() {
    // A text longer than its buffer is cut to the buffer: "Запись Разговора" shows as
    // "Запись Разговор".
    LoadStringW(g_instance, IDS_TITLE_ANSWERING, g_titleAnswering, kTitleAnsweringChars);
    LoadStringW(g_instance, IDS_TITLE_OVERDUB, g_titleOverdub, kTitleOverdubChars);
    LoadStringW(g_instance, IDS_TITLE_RECORDING, g_titleRecording, kTitleRecordingChars);
    LoadStringW(g_instance, IDS_TITLE_CAPTION, g_titleCaption, kTitleCaptionChars);
    LoadStringW(g_instance, IDS_TITLE_APPLET, g_titleApplet, kTitleAppletChars);
    LoadStringW(g_instance, IDS_TITLE_GREETING, g_titleGreeting, kTitleGreetingChars);
    LoadStringW(g_instance, IDS_TITLE_GREETING_SHEET, g_titleGreetingSheet,
                kTitleGreetingSheetChars);
    LoadStringW(g_instance, IDS_TITLE_PHONE, g_titlePhone, kTitlePhoneChars);
}

void CplTrace(LPCWSTR format) {
    WCHAR line[kTraceChars];
    // Every format takes the tag for its %s; those with a %d take the tick count as well.
    if (FAILED(StringCchPrintfW(line, kTraceChars, format, kTraceTag, GetTickCount())) &&
        line[0] == L'\0') {
        return;
    }
    NKDbgPrintfW(L"%s", line);
}
