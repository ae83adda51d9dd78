// The titles of the applets, their sheets and pages, filled from the string table at load.
#include <windows.h>

#include "applet/applet.h"
#include "marrowfen_resources.h"

WCHAR g_titleAnswering[kTitleAnsweringChars];
WCHAR g_titleOverdub[kTitleOverdubChars];
WCHAR g_titleRecording[kTitleRecordingChars];
WCHAR g_titleCaption[kTitleCaptionChars];
WCHAR g_titleApplet[kTitleAppletChars];
WCHAR g_titleGreeting[kTitleGreetingChars];
WCHAR g_titleGreetingSheet[kTitleGreetingSheetChars];
WCHAR g_titlePhone[kTitlePhoneChars];

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
