// The control panel's copies of the shared registry keys, their loaders and writers, and the
// service events that tell a service to reread its key.
#pragma once

#include <windows.h>

#include "path_chars.h"

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
// TRUE when the last LoadOverdubSettings found at least one of the four arrow keys' indices in
// the key: the user has chosen the effects before, so no default applies.
extern BOOL g_overdubEffectsStored;

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
// A value that cannot be read leaves the field as it was; both report whether it was read.
BOOL ReadSettingsDword(HKEY key, LPCWSTR name, DWORD* field);
BOOL ReadSettingsString(HKEY key, LPCWSTR name, WCHAR* field);
void WriteSettingsDword(HKEY key, LPCWSTR name, DWORD value);
void WriteSettingsString(HKEY key, LPCWSTR name, LPCWSTR text);

// Opens or creates the service's named event (manual reset, initially set), sets it and lets it
// go. Nothing answers back.
void SignalServiceEvent(LPCWSTR name);
