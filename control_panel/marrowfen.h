// The call-settings control panel: module-wide state and the operations its parts share.
//
// Threads: the control-panel host's thread runs CPlApplet, the modal sheet and every page; the
// storage-card monitor thread refills the storage lists (under the refresh lock) by sending
// them messages, which the platform delivers on the page thread.
#pragma once

#include <windows.h>

#include "marrowfen_resources.h"

// Characters of a path buffer, terminator included.
const int kPathChars = 260;

// ---------------------------------------------------------------------------------------------
// applet/
// ---------------------------------------------------------------------------------------------

// Capacities of the title buffers, terminator included.
const int kTitleAnsweringChars = 16;
const int kTitleOverdubChars = 32;
const int kTitleRecordingChars = 16;
const int kTitleCaptionChars = 16;
const int kTitleAppletChars = 20;
const int kTitleGreetingChars = 16;
const int kTitleGreetingSheetChars = 16;
const int kTitlePhoneChars = 16;

extern HINSTANCE g_instance;
extern WCHAR g_titleAnswering[kTitleAnsweringChars];
extern WCHAR g_titleOverdub[kTitleOverdubChars];
extern WCHAR g_titleRecording[kTitleRecordingChars];
extern WCHAR g_titleCaption[kTitleCaptionChars];
extern WCHAR g_titleApplet[kTitleAppletChars];
extern WCHAR g_titleGreeting[kTitleGreetingChars];
extern WCHAR g_titleGreetingSheet[kTitleGreetingSheetChars];
extern WCHAR g_titlePhone[kTitlePhoneChars];

// Fills the title buffers from the string table (at library load).
void LoadTitles();

// Formats a trace line with the tag "MultiCPlApplet" as the first argument and the millisecond
// tick count as the second, and hands it to the debug output.
void CplTrace(LPCWSTR format);

// The empty menu bar that the settings pages share: the first page to be initialised makes it,
// the first to be destroyed removes it.
extern HWND menuBarSlot;
// Makes the empty menu bar for the page when the slot is empty.
void CreatePageMenuBar(HWND page);
// Destroys the bar in the slot, if any, and empties the slot.
void DestroyPageMenuBar();

// Starts the help viewer on a help document and lets it run.
void ShowPageHelp(LPCWSTR document);

// ---------------------------------------------------------------------------------------------
// settings/
// ---------------------------------------------------------------------------------------------

// The control panel's copy of "\Software\VarnholtCM\AnswerMachine".
struct AnsweringPageSettings {
    DWORD QuellbrookEnable;
    DWORD Enable;
    DWORD RecordTime;
    DWORD ActiveTime;
    DWORD Index;
    WCHAR SaveDir[kPathChars];
    WCHAR FileName[kPathChars];
    WCHAR GreetingSaveDir[kPathChars];
    WCHAR GreetingFilename[kPathChars];
};

// The control panel's copy of "\Software\VarnholtCM\Overdub".
struct OverdubSettings {
    DWORD Enable;
    DWORD State;
    DWORD BackgroundIndex;
    DWORD BGGain;
    WCHAR SaveDir[kPathChars];
    WCHAR FileName[kPathChars];
    WCHAR SndFile[kPathChars];
    DWORD Enable2;
    DWORD BGGain2;
    DWORD BackgroundIndex1;
    DWORD BackgroundIndex2;
    DWORD BackgroundIndex3;
    DWORD BackgroundIndex4;
    WCHAR SaveDir1[kPathChars];
    WCHAR FileName1[kPathChars];
    WCHAR SaveDir2[kPathChars];
    WCHAR FileName2[kPathChars];
    WCHAR SaveDir3[kPathChars];
    WCHAR FileName3[kPathChars];
    WCHAR SaveDir4[kPathChars];
    WCHAR FileName4[kPathChars];
};

// The control panel's copy of "\Software\VarnholtCM\Callisk".
struct RecordingPageSettings {
    WCHAR SaveDir[kPathChars];
    WCHAR FileName[kPathChars];
    DWORD Activate;
};

extern AnsweringPageSettings g_answeringSettings;
extern OverdubSettings g_overdubSettings;
extern RecordingPageSettings g_recordingSettings;

// Each loader returns 1 when the key was opened, 0 when the defaults were taken; each writer 1
// when the key could be created or opened, else 0 with nothing written.
int LoadAnsweringSettings();
int SaveAnsweringSettings();
int LoadOverdubSettings();
int SaveOverdubSettings();
int LoadRecordingSettings();
int SaveRecordingSettings();

// Registry access shared by the loaders and writers (settings_registry.cpp).
HKEY OpenSettingsKey(LPCWSTR path);
HKEY CreateSettingsKey(LPCWSTR path);
// A value that cannot be read leaves the field as it was; ReadSettingsString reports whether it
// was read.
void ReadSettingsDword(HKEY key, LPCWSTR name, DWORD* field);
BOOL ReadSettingsString(HKEY key, LPCWSTR name, WCHAR* field);
void WriteSettingsDword(HKEY key, LPCWSTR name, DWORD value);
void WriteSettingsString(HKEY key, LPCWSTR name, LPCWSTR text);

// Opens or creates the service's named event (manual reset, initially set), sets it and lets it
// go. Nothing answers back.
void SignalServiceEvent(LPCWSTR name);

// ---------------------------------------------------------------------------------------------
// pages/
// ---------------------------------------------------------------------------------------------

INT_PTR CALLBACK AnsweringPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK OverdubPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RecordingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PhonePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK GreetingRecorderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// ---------------------------------------------------------------------------------------------
// storage/
// ---------------------------------------------------------------------------------------------

// Characters of cardRootPath, terminator included: "\" and at most 30 characters of name.
const int kCardRootChars = 32;

extern int cardPresent;
extern WCHAR cardRootPath[kCardRootChars];

int DetectStorageCard();
void RefreshStorageLists();
void RegisterStorageList(HWND list);
// Takes a list out of the registered ones, so that no refill reaches it once its page is gone.
void UnregisterStorageList(HWND list);
void StartCardMonitor();
void StopCardMonitor();
// The monitor thread's parts: the stop event, made (or opened) and cleared for a new monitor,
// and the thread, which takes over that handle.
HANDLE OpenCardMonitorStopEvent();
DWORD WINAPI CardMonitorThread(LPVOID stopEvent);

// Library load and unload of the storage part: the refresh lock, and the list of lists.
void InitializeStorage();
void ReleaseStorage();
