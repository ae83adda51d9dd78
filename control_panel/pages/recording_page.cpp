// The call-recording page: switches the call-recording service on or off and chooses where the
// recordings go. It writes "\Software\VarnholtCM\Callisk" when it is destroyed (when the sheet
// closes) and then sets "Phone Record Service Event", on which the service rereads the key.
#include <string.h>
#include <wchar.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <shlobj.h>
#include <strsafe.h>

#include "applet/applet.h"
#include "common/names.h"
#include "marrowfen_resources.h"
#include "pages/pages.h"
#include "settings/settings.h"
#include "storage/storage.h"

namespace {

// Characters of the folder name and of the documents folder read at destruction.
const int kFolderNameChars = 128;
const int kDocumentsChars = 64;

// Storage list positions.
const int kStorageMainMemory = 0;
const int kStorageCard = 1;

void EnableStorageList(HWND page) {
    EnableWindow(GetDlgItem(page, IDC_STORAGE_LIST), g_recordingSettings.Activate != 0);
}

void InitializeRecordingPage(HWND page) {
    CreatePageMenuBar(page);
    LoadRecordingSettings();
    CheckDlgButton(page, IDC_RECORDING_ACTIVATE,
                   g_recordingSettings.Activate != 0 ? BST_CHECKED : BST_UNCHECKED);
    EnableStorageList(page);
    RegisterStorageList(GetDlgItem(page, IDC_STORAGE_LIST));
    // A folder that is not a full path (a fresh phone's bare folder name) lies in main memory,
    // as the recording service takes it; a full path elsewhere names the card, and shows no
    // choice while no card is in.
    const WCHAR* saveDir = g_recordingSettings.SaveDir;
    int position = wcsstr(saveDir, kFolderMyDocuments) != NULL || saveDir[0] != L'\\'
                       ? kStorageMainMemory
                       : kStorageCard;
    SendDlgItemMessageW(page, IDC_STORAGE_LIST, CB_SETCURSEL, position, 0);
}

// Main memory: the documents folder joined with the folder name; anything else, no selection
// included: the card's root path (empty when no card was ever found) joined with it.
void RebuildSaveDir(int position) {
    WCHAR folder[kFolderNameChars];
    folder[0] = L'\0';
    if (position == kStorageMainMemory) {
        LoadStringW(g_instance, IDS_FOLDER_RECORDINGS_MAIN, folder, kFolderNameChars);
        WCHAR documents[kDocumentsChars];
        documents[0] = L'\0';
        if (!SHGetSpecialFolderPath(NULL, documents, CSIDL_DESKTOP, FALSE)) {
            documents[0] = L'\0';
        }
        StringCchPrintfW(g_recordingSettings.SaveDir, kPathChars, L"%s\\%s", documents, folder);
    } else {
        LoadStringW(g_instance, IDS_FOLDER_RECORDINGS_CARD, folder, kFolderNameChars);
        WCHAR cardRoot[kCardRootChars];
        CopyCardRootPath(cardRoot, kCardRootChars);
        StringCchPrintfW(g_recordingSettings.SaveDir, kPathChars, L"%s\\%s", cardRoot, folder);
    }
}

void DestroyRecordingPage(HWND page) {
    DestroyPageMenuBar();
    HWND list = GetDlgItem(page, IDC_STORAGE_LIST);
    int position = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    // No refill may reach the list once the page is gone.
    UnregisterStorageList(list);
    RebuildSaveDir(position);
    SaveRecordingSettings();
    SignalServiceEvent(kEventPhoneRecordService);
}

}  // namespace

INT_PTR CALLBACK RecordingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            InitializeRecordingPage(page);
            return 1;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_RECORDING_ACTIVATE && HIWORD(wParam) == BN_CLICKED) {
                g_recordingSettings.Activate =
                    IsDlgButtonChecked(page, IDC_RECORDING_ACTIVATE) == BST_CHECKED ? 1 : 0;
                EnableStorageList(page);
            }
            return 0;
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header != NULL && header->code == static_cast<UINT>(PSN_HELP)) {
                ShowPageHelp(kHelpCallisk);
            }
            return 1;
        }
        case WM_DESTROY:
            DestroyRecordingPage(page);
            return 0;
        default:
            return 0;
    }
}
