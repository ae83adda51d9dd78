// The sound recorder dialog: records up to 30 seconds from the microphone into an AMR file named
// from the local time, plays it back, and tells the page that opened it whether a recording was
// made. Two variants share this procedure: the greeting recorder (template 106, also the only page
// of applet 1) and the background-sound recorder (template 1104).
//
// Only one recorder is open at a time, so its state is applet-wide. The dialog polls the recorder
// and the player on two 500 ms timers and takes no lock.
#include <new>

#include <string.h>
#include <wchar.h>

#include <windows.h>
#include <aygshell.h>
#include <commctrl.h>
#include <strsafe.h>

#include "applet/applet.h"
#include "common/sound_names.h"
#include "marrowfen_resources.h"
#include "media/sounds.h"
#include "sound_player.h"
#include "sound_recorder.h"

WCHAR greetingRecorderName[kPathChars];
WCHAR backgroundSoundRecorderName[kPathChars];

namespace {

// recorderState values.
const DWORD kIdle = 0;
const DWORD kPlaying = 2;
const DWORD kRecording = 3;

const UINT_PTR kRecordingTimer = 1062;
const UINT_PTR kPlaybackTimer = 1063;
const UINT kTickMs = 500;
// A recording ends by itself once this many whole seconds are recorded.
const DWORD kRecordingLimitSeconds = 30;
const int kProgressStep = 4;
const int kProgressFull = 100;
// Characters of the elapsed-time text.
const int kElapsedChars = 16;
// Images of the buttons in the glyph strips.
const int kPlayImage = 2;
const int kStopImage = 3;
const int kRecordImage = 4;
// Positions are in units of 100 ns.
const LONGLONG kUnitsPerSecond = 10000000;

DWORD recorderState = kIdle;
DWORD recordedFlag = 0;
int progressCounter = 0;
SoundRecorder* currentRecorder = NULL;

struct VariantInfo {
    UINT templateId;
    LPCWSTR nameFormat;  // base name from hour, minute and second
    UINT folderString;
    WCHAR* currentName;
    DLGPROC procedure;
};

const VariantInfo kVariants[2] = {
    {IDD_GREETING_RECORDER, L"gr%02d%02d%02d", IDS_FOLDER_GREETINGS, greetingRecorderName,
     GreetingRecorderDialogProc},
    {IDD_SOUND_RECORDER, L"od%02d%02d%02d", IDS_FOLDER_SOUNDS, backgroundSoundRecorderName,
     BackgroundSoundRecorderDialogProc},
};

void CloseCurrentRecorder() {
    if (currentRecorder != NULL) {
        currentRecorder->Close();
        delete currentRecorder;
        currentRecorder = NULL;
    }
}

void Enable(HWND dialog, int control, BOOL enabled) {
    EnableWindow(GetDlgItem(dialog, control), enabled);
}

void ShowElapsed(HWND dialog, DWORD seconds) {
    WCHAR text[kElapsedChars];
    StringCchPrintfW(text, kElapsedChars, L"%02d:%02d:%02d", seconds / 3600, (seconds % 3600) / 60,
                     seconds % 60);
    SetDlgItemTextW(dialog, IDC_RECORDER_ELAPSED, text);
}

void SetTrackRange(HWND dialog, int high) {
    SendDlgItemMessageW(dialog, IDC_RECORDER_PROGRESS, TBM_SETRANGE, TRUE, MAKELONG(0, high));
}

void SetTrackPosition(HWND dialog, int position) {
    SendDlgItemMessageW(dialog, IDC_RECORDER_PROGRESS, TBM_SETPOS, TRUE, position);
}

// The full path of the variant's current file: the documents folder, the variant's folder and
// currentName.
void BuildRecordingPath(const VariantInfo& variant, WCHAR* folder, WCHAR* path) {
    BuildDocumentsSubfolder(variant.folderString, folder, kPathChars);
    StringCchPrintfW(path, kPathChars, L"%s\\%s", folder, variant.currentName);
}

// A recording is written into a file of its own beside its target (the target's path and
// ".tmp"), so that a recording that fails leaves an earlier file of the same name as it was.
const int kRecordingPathChars = kPathChars + 4;
WCHAR recordingTarget[kPathChars];
WCHAR recordingFile[kRecordingPathChars];
// An AMR file that holds no more than its header holds no sound.
const DWORD kAmrHeaderBytes = 6;

DWORD FileBytes(LPCWSTR path) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(path, &found);
    if (search == INVALID_HANDLE_VALUE) {
        return 0;
    }
    FindClose(search);
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return 0;
    }
    return found.nFileSizeHigh != 0 ? 0xFFFFFFFF : found.nFileSizeLow;
}

// After the recorder has closed its file: a recording that holds sound replaces the target; one
// that does not is dropped and the target stays as it was.
void KeepRecording() {
    if (recordingFile[0] == L'\0') {
        return;
    }
    if (FileBytes(recordingFile) > kAmrHeaderBytes) {
        // A target that cannot be deleted cannot be replaced: it is kept, and so is nothing else.
        DeleteFileW(recordingTarget);
        MoveFileW(recordingFile, recordingTarget);
    }
    DeleteFileW(recordingFile);
    recordingFile[0] = L'\0';
}

// The user's sign that the recorder refused the name: a beep, and the name selected to be typed
// over.
void RefuseName(HWND dialog) {
    MessageBeep(MB_ICONHAND);
    HWND name = GetDlgItem(dialog, IDC_RECORDER_NAME);
    SetFocus(name);
    SendMessageW(name, EM_SETSEL, 0, -1);
}

void StartRecorderDialog(HWND dialog, const VariantInfo& variant, BOOL fullScreen) {
    // A page's preview stops when a recorder opens.
    DestroyCurrentPlayer();
    CloseCurrentRecorder();
    recorderState = kIdle;

    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_BAR_CLASSES;
    InitCommonControlsEx(&controls);
    CreateRecorderImageLists();

    SetTrackRange(dialog, 0);
    if (fullScreen) {
        SHINITDLGINFO info;
        info.dwMask = SHIDIM_FLAGS;
        info.hDlg = dialog;
        info.dwFlags = SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_EMPTYMENU;
        SHInitDialog(&info);
    }

    SYSTEMTIME now;
    GetLocalTime(&now);
    WCHAR baseName[kPathChars];
    StringCchPrintfW(baseName, kPathChars, variant.nameFormat, now.wHour, now.wMinute, now.wSecond);
    StringCchPrintfW(variant.currentName, kPathChars, L"%s.amr", baseName);
    SetDlgItemTextW(dialog, IDC_RECORDER_NAME, baseName);
    SendDlgItemMessageW(dialog, IDC_RECORDER_NAME, EM_LIMITTEXT, kRecordingNameMaxChars, 0);
    SetDlgItemTextW(dialog, IDC_RECORDER_ELAPSED, L"00:00:00");

    Enable(dialog, IDC_RECORDER_PLAY, FALSE);
    Enable(dialog, IDC_RECORDER_STOP, FALSE);
    recordedFlag = 0;
}

void StopRecorderDialog(HWND dialog) {
    Enable(dialog, IDC_RECORDER_STOP, FALSE);
    if (recorderState == kPlaying) {
        Enable(dialog, IDC_RECORDER_PLAY, TRUE);
        Enable(dialog, IDC_RECORDER_RECORD, TRUE);
        recorderState = kIdle;
        KillTimer(dialog, kPlaybackTimer);
        DestroyCurrentPlayer();
    }
    if (recorderState == kRecording) {
        recorderState = kIdle;
        Enable(dialog, IDC_RECORDER_PLAY, TRUE);
        Enable(dialog, IDC_RECORDER_RECORD, TRUE);
        KillTimer(dialog, kRecordingTimer);
        CloseCurrentRecorder();
        KeepRecording();
    }
    SetTrackPosition(dialog, 0);
    SetTrackRange(dialog, 0);
    SetDlgItemTextW(dialog, IDC_RECORDER_ELAPSED, L"00:00:00");
}

void Record(HWND dialog, const VariantInfo& variant) {
    if (recorderState != kIdle) {
        return;
    }
    // The name comes from the user: one that names no file of the folder starts nothing, so
    // nothing outside the folder is ever deleted or written.
    WCHAR baseName[kPathChars];
    baseName[0] = L'\0';
    GetDlgItemTextW(dialog, IDC_RECORDER_NAME, baseName, kPathChars);
    if (!IsRecordingNameUsable(baseName)) {
        RefuseName(dialog);
        return;
    }
    // The folder is made (one level; an existing one is fine) before anything else changes: where
    // it cannot be, no file can be written, and a capture graph whose writer fails never ends its
    // stream.
    WCHAR folder[kPathChars];
    WCHAR path[kPathChars];
    StringCchPrintfW(variant.currentName, kPathChars, L"%s.amr", baseName);
    BuildRecordingPath(variant, folder, path);
    CreateDirectoryW(folder, NULL);
    DWORD folderAttributes = GetFileAttributesW(folder);
    if (folderAttributes == INVALID_FILE_ATTRIBUTES ||
        (folderAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return;
    }
    StringCchCopyW(recordingTarget, kPathChars, path);
    StringCchPrintfW(recordingFile, kRecordingPathChars, L"%s.tmp", path);
    // What an earlier attempt may have left.
    DeleteFileW(recordingFile);

    CloseCurrentRecorder();
    currentRecorder = new (std::nothrow) SoundRecorder();
    if (currentRecorder == NULL || currentRecorder->SetOutputFile(recordingFile) != 0 ||
        currentRecorder->Start() != 0) {
        // Nothing records: the dialog stays idle, and the name can still be changed.
        CloseCurrentRecorder();
        DeleteFileW(recordingFile);
        recordingFile[0] = L'\0';
        MessageBeep(MB_ICONHAND);
        return;
    }
    SetTrackRange(dialog, kProgressFull);
    recorderState = kRecording;
    Enable(dialog, IDC_RECORDER_PLAY, FALSE);
    Enable(dialog, IDC_RECORDER_RECORD, FALSE);
    Enable(dialog, IDC_RECORDER_STOP, TRUE);
    SendDlgItemMessageW(dialog, IDC_RECORDER_NAME, EM_SETREADONLY, TRUE, 0);
    progressCounter = 0;
    SetTimer(dialog, kRecordingTimer, kTickMs, NULL);
    recordedFlag = 1;
}

void Play(HWND dialog, const VariantInfo& variant) {
    if (recorderState != kIdle) {
        return;
    }
    recorderState = kPlaying;
    Enable(dialog, IDC_RECORDER_PLAY, FALSE);
    Enable(dialog, IDC_RECORDER_STOP, TRUE);
    Enable(dialog, IDC_RECORDER_RECORD, FALSE);
    WCHAR folder[kPathChars];
    WCHAR path[kPathChars];
    BuildRecordingPath(variant, folder, path);
    DestroyCurrentPlayer();
    currentPlayer = new (std::nothrow) SoundPlayer();
    // A file that cannot be played leaves only stop, which returns the dialog to idle.
    if (currentPlayer == NULL || currentPlayer->RenderFile(path) != 0) {
        return;
    }
    SetTrackRange(dialog, kProgressFull);
    currentPlayer->Run();
    SetTimer(dialog, kPlaybackTimer, kTickMs, NULL);
}

void PlaybackTick(HWND dialog) {
    if (currentPlayer == NULL) {
        return;
    }
    LONGLONG position = 0;
    LONGLONG stop = 0;
    currentPlayer->GetCurrentPosition(&position);
    currentPlayer->GetStopPosition(&stop);
    LONGLONG playedSeconds = position / kUnitsPerSecond;
    LONGLONG totalSeconds = stop / kUnitsPerSecond;
    ShowElapsed(dialog, static_cast<DWORD>(playedSeconds));
    BOOL completed = currentPlayer->IsCompleted() != 0;
    int percent;
    if (totalSeconds > 0) {
        percent = static_cast<int>(static_cast<double>(playedSeconds) * 100.0 /
                                   static_cast<double>(totalSeconds));
    } else {
        // A sound shorter than a second has no whole seconds to share out.
        percent = completed ? kProgressFull : 0;
    }
    SetTrackPosition(dialog, percent);
    if (completed) {
        StopRecorderDialog(dialog);
    }
}

void RecordingTick(HWND dialog) {
    if (progressCounter < kProgressFull) {
        progressCounter += kProgressStep;
    } else {
        progressCounter = 0;
    }
    SetTrackPosition(dialog, progressCounter);
    DWORD milliseconds = 0;
    if (currentRecorder != NULL) {
        currentRecorder->GetElapsed(&milliseconds);
    }
    DWORD seconds = milliseconds / 1000;
    ShowElapsed(dialog, seconds);
    if (seconds >= kRecordingLimitSeconds) {
        StopRecorderDialog(dialog);
    }
}

// 1 only when a recording was started and left its file; an attempt that wrote nothing is no
// new sound for the page.
INT_PTR RecorderResult(const VariantInfo& variant) {
    if (recordedFlag == 0) {
        return 0;
    }
    WCHAR folder[kPathChars];
    WCHAR path[kPathChars];
    BuildRecordingPath(variant, folder, path);
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0
               ? 1
               : 0;
}

// The one procedure of both variants; `modal` is false for the page of applet 1, which the
// sheet shows full-screen and closes.
INT_PTR RecorderDialogProc(const VariantInfo& variant, BOOL modal, HWND dialog, UINT message,
                           WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            StartRecorderDialog(dialog, variant, modal);
            return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                case IDCANCEL:
                    if (modal) {
                        // The file is complete only once the recording has stopped.
                        StopRecorderDialog(dialog);
                        EndDialog(dialog, RecorderResult(variant));
                    }
                    break;
                case IDC_RECORDER_PLAY:
                    Play(dialog, variant);
                    break;
                case IDC_RECORDER_STOP:
                    StopRecorderDialog(dialog);
                    break;
                case IDC_RECORDER_RECORD:
                    Record(dialog, variant);
                    break;
                default:
                    break;
            }
            return FALSE;
        case WM_TIMER:
            if (wParam == kPlaybackTimer) {
                PlaybackTick(dialog);
            } else if (wParam == kRecordingTimer) {
                RecordingTick(dialog);
            }
            return FALSE;
        case WM_DRAWITEM: {
            const DRAWITEMSTRUCT* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item == NULL) {
                return FALSE;
            }
            if (item->CtlID == IDC_RECORDER_PLAY) {
                DrawRecorderButton(item, kPlayImage);
            } else if (item->CtlID == IDC_RECORDER_STOP) {
                DrawRecorderButton(item, kStopImage);
            } else if (item->CtlID == IDC_RECORDER_RECORD) {
                DrawRecorderButton(item, kRecordImage);
            }
            return FALSE;
        }
        case WM_DESTROY:
            StopRecorderDialog(dialog);
            DestroyRecorderImageLists();
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

BOOL IsRecordingNameUsable(LPCWSTR name) {
    if (name[0] == L'\0' || wcslen(name) > static_cast<size_t>(kRecordingNameMaxChars)) {
        return FALSE;
    }
    BOOL onlyDots = TRUE;
    for (LPCWSTR at = name; *at != L'\0'; ++at) {
        if (wcschr(L"\\/:*?\"<>|", *at) != NULL || *at < L' ') {
            return FALSE;
        }
        if (*at != L'.') {
            onlyDots = FALSE;
        }
    }
    return !onlyDots;
}

INT_PTR OpenSoundRecorder(HWND owner, RecorderVariant variant) {
    const VariantInfo& info = kVariants[variant];
    HRSRC found = FindResourceW(g_instance, MAKEINTRESOURCEW(info.templateId), RT_DIALOG);
    if (found == NULL) {
        return -1;
    }
    HGLOBAL loaded = LoadResource(g_instance, found);
    if (loaded == NULL) {
        return -1;
    }
    LPCDLGTEMPLATEW dialogTemplate = static_cast<LPCDLGTEMPLATEW>(LockResource(loaded));
    if (dialogTemplate == NULL) {
        return -1;
    }
    return DialogBoxIndirectParamW(g_instance, dialogTemplate, owner, info.procedure, 0);
}

INT_PTR CALLBACK GreetingRecorderDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    return RecorderDialogProc(kVariants[kGreetingRecorder], TRUE, dialog, message, wParam, lParam);
}

INT_PTR CALLBACK BackgroundSoundRecorderDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                                   LPARAM lParam) {
    return RecorderDialogProc(kVariants[kBackgroundSoundRecorder], TRUE, dialog, message, wParam,
                              lParam);
}

INT_PTR CALLBACK GreetingRecorderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    return RecorderDialogProc(kVariants[kGreetingRecorder], FALSE, page, message, wParam, lParam);
}
