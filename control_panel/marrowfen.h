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

// Asks the maker's library whether a program of this file name runs: 1 when it does; 0 when it
// does not or the library cannot tell.
int VerifyRunProcess(LPCWSTR fileName);

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

// Characters of a name-list entry, terminator included; a longer file name is left out.
const int kNameChars = 64;

// A growable list of fixed 64-character entries (the pages' greeting and sound names).
struct NameList {
    WCHAR (*entries)[kNameChars];
    int count;
    int capacity;
};

// Appends a name; a name of more than 63 characters, or one that finds no memory, is left out.
void NameListAppend(NameList* list, LPCWSTR name);
// Sorts the entries from `first` to the end, ascending, with the platform's locale-aware
// comparison; the entries before `first` keep their places.
void NameListSort(NameList* list, int first);
// Empties the list and gives its memory back.
void NameListFree(NameList* list);
// Appends the name of every sound file (*.amr) of the folder to each of the lists given.
void AppendSoundFileNames(LPCWSTR folder, NameList* first, NameList* second);

// The documents folder (the special folder 0, "\My Documents"), empty when it cannot be told.
void GetDocumentsFolder(WCHAR* folder, int chars);
// Joins the documents folder and a folder name loaded from the string table.
void BuildDocumentsSubfolder(UINT folderString, WCHAR* path, int chars);
// Starts a program with an optional command line and lets it run; nothing is reported.
void LaunchProgram(LPCWSTR path, LPCWSTR commandLine);

// The position of the item whose text equals `text` without regard to case, searched over the
// whole list, or CB_ERR.
int FindListItemExact(HWND list, LPCWSTR text);
// Inserts `text` just before the last item of the list and returns its position.
int InsertBeforeLastItem(HWND list, LPCWSTR text);
// The text of item `position` into a buffer of kPathChars characters (empty when there is none).
void GetListItemText(HWND list, int position, WCHAR* text);

// Ends the preview or playback in progress: destroys and deletes the player in currentPlayer.
void DestroyCurrentPlayer();
// Replaces the player in currentPlayer with a new one on `path`. A file that cannot be rendered
// plays nothing. With `setVolume`, the volume (hundredths of a decibel) is set before it runs.
void StartPreview(LPCWSTR path, BOOL setVolume, LONG volume);

// Releases the pages' name lists (at library unload).
void ReleasePageLists();
void ReleaseOverdubPageLists();

// ---------------------------------------------------------------------------------------------
// media/: the sound recorder dialog
// ---------------------------------------------------------------------------------------------

// The two variants of the recorder: the greeting recorder (template 106, "gr" names in
// "Мои Приветствия") and the background-sound recorder (template 1104, "od" names in
// "Мои Фоновые Звуковые Эффекты").
enum RecorderVariant { kGreetingRecorder = 0, kBackgroundSoundRecorder = 1 };

// Each variant's file name with extension, as the last recorder of that variant left it; the
// opening page reads it after the dialog has ended.
extern WCHAR greetingRecorderName[kPathChars];
extern WCHAR backgroundSoundRecorderName[kPathChars];

// Shows the variant's recorder modally over `owner` from its dialog template: 1 when a recording
// was made (its file exists), 0 when none was, -1 when the dialog could not be shown.
INT_PTR OpenSoundRecorder(HWND owner, RecorderVariant variant);

INT_PTR CALLBACK GreetingRecorderDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam);
INT_PTR CALLBACK BackgroundSoundRecorderDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                                   LPARAM lParam);

// Whether a name that the user typed may name a recording: not empty, not only dots, and
// without a character that a file name cannot hold.
BOOL IsRecordingNameUsable(LPCWSTR name);

// The button glyphs (recorder_buttons.cpp): the two image lists made from bitmaps 3030..3032,
// their release, and the drawing of an owner-drawn button with glyph `image`.
void CreateRecorderImageLists();
void DestroyRecorderImageLists();
void DrawRecorderButton(const DRAWITEMSTRUCT* item, int image);

// ---------------------------------------------------------------------------------------------
// storage/
// ---------------------------------------------------------------------------------------------

// Characters of cardRootPath, terminator included: "\" and at most 30 characters of name.
const int kCardRootChars = 32;

// Shared by the card monitor's thread and the pages' thread: the flag is read and written with the
// interlocked calls, the root only under the storage lists' lock (a page copies it with
// CopyCardRootPath).
extern int cardPresent;
extern WCHAR cardRootPath[kCardRootChars];

// 1 when a storage card is in, and then its root ("\" and the folder name) in `root`.
int FindStorageCard(WCHAR* root, int chars);
// FindStorageCard into cardRootPath; under the storage lists' lock, or before any thread shares it.
int DetectStorageCard();
// Copies cardRootPath ("" while no card was ever found) into `buffer` of `chars` characters.
void CopyCardRootPath(WCHAR* buffer, int chars);
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
