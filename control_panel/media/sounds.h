// The control panel's sounds: the preview that the pages and the recorder play, the sound
// recorder dialog with its glyph buttons, and the greeting recorder page that shows the recorder
// on a sheet of its own.
#pragma once

#include <windows.h>

#include "path_chars.h"

// Ends the preview or playback in progress: destroys and deletes the player in currentPlayer.
void DestroyCurrentPlayer();
// Replaces the player in currentPlayer with a new one on `path`. A file that cannot be rendered
// plays nothing. With `setVolume`, the volume (hundredths of a decibel) is set before it runs.
void StartPreview(LPCWSTR path, BOOL setVolume, LONG volume);

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
// The only page of applet 1: the greeting recorder.
INT_PTR CALLBACK GreetingRecorderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// The most characters a recording's name may have: with ".amr" it still fits an entry of the
// pages' sound lists (63 characters), which leave out a longer name.
const int kRecordingNameMaxChars = 59;

// Whether a name that the user typed may name a recording: not empty, not only dots, not longer
// than kRecordingNameMaxChars, and without a character that a file name cannot hold.
BOOL IsRecordingNameUsable(LPCWSTR name);

// The button glyphs (recorder_buttons.cpp): the two image lists made from bitmaps 3030..3032,
// their release, and the drawing of an owner-drawn button with glyph `image`.
void CreateRecorderImageLists();
void DestroyRecorderImageLists();
void DrawRecorderButton(const DRAWITEMSTRUCT* item, int image);
