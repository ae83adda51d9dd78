// The answering-machine page: switches the answering machine on or off and chooses where its
// messages go, how long they may be, how long the phone rings first and which greeting is played
// (previewed as it is picked, or recorded in the greeting recorder); it also switches per-caller
// greetings and starts the greeting manager and the voicemail program. It writes
// "\Software\VarnholtCM\AnswerMachine" when it is destroyed (when the sheet closes) and then sets
// "Answer Machine Service Event", on which the answering service rereads the key.
#include <string.h>
#include <wchar.h>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <prsht.h>
#include <strsafe.h>

#include "applet/applet.h"
#include "common/names.h"
#include "marrowfen_resources.h"
#include "media/sounds.h"
#include "pages/pages.h"
#include "settings/settings.h"
#include "storage/storage.h"

namespace {

const int kListTextChars = 32;
// Characters of the card's folder name.
const int kCardFolderChars = 128;
const int kRecordTimeCount = 5;
const int kActiveTimeCount = 3;
const int kStorageMainMemory = 0;

// The greeting files of the greeting folder, sorted.
NameList greetingNames = {NULL, 0, 0};

BOOL IsChecked(HWND page, int control) {
    return IsDlgButtonChecked(page, control) == BST_CHECKED;
}

void EnableDependentControls(HWND page) {
    BOOL enabled = g_answeringSettings.Enable != 0;
    EnableWindow(GetDlgItem(page, IDC_STORAGE_LIST), enabled);
    EnableWindow(GetDlgItem(page, IDC_RECORD_TIME_LIST), enabled);
    EnableWindow(GetDlgItem(page, IDC_ACTIVE_TIME_LIST), enabled);
    EnableWindow(GetDlgItem(page, IDC_GREETING_LIST), enabled);
}

// Inserts `count` texts from the string table, from `firstString` on, at positions 0.. and
// selects `selected` as it stands (a stored value outside the list selects nothing).
void FillChoiceList(HWND page, int control, UINT firstString, int count, DWORD selected) {
    HWND list = GetDlgItem(page, control);
    for (int position = 0; position < count; ++position) {
        WCHAR text[kListTextChars];
        text[0] = L'\0';
        LoadStringW(g_instance, firstString + position, text, kListTextChars);
        SendMessageW(list, CB_INSERTSTRING, position, reinterpret_cast<LPARAM>(text));
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(static_cast<int>(selected)), 0);
}

void FillGreetingList(HWND page) {
    WCHAR folder[kPathChars];
    BuildDocumentsSubfolder(IDS_FOLDER_GREETINGS, folder, kPathChars);
    // Every initialisation starts from an empty list, so a second opening of the sheet does not
    // show every greeting twice.
    NameListFree(&greetingNames);
    AppendSoundFileNames(folder, &greetingNames, NULL);
    NameListSort(&greetingNames, 0);

    HWND list = GetDlgItem(page, IDC_GREETING_LIST);
    WCHAR text[kListTextChars];
    text[0] = L'\0';
    LoadStringW(g_instance, IDS_GREETING_BUILT_IN, text, kListTextChars);
    SendMessageW(list, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(text));
    for (int i = 0; i < greetingNames.count; ++i) {
        SendMessageW(list, CB_INSERTSTRING, i + 1,
                     reinterpret_cast<LPARAM>(greetingNames.entries[i]));
    }
    text[0] = L'\0';
    LoadStringW(g_instance, IDS_GREETING_USER, text, kListTextChars);
    SendMessageW(list, CB_INSERTSTRING, greetingNames.count + 1, reinterpret_cast<LPARAM>(text));

    // The stored greeting among the items before "Пользовательский"; the built-in one otherwise.
    SendMessageW(list, CB_SETCURSEL, 0, 0);
    for (int position = 0; position <= greetingNames.count; ++position) {
        WCHAR item[kPathChars];
        GetListItemText(list, position, item);
        if (lstrcmpiW(item, g_answeringSettings.GreetingFilename) == 0) {
            SendMessageW(list, CB_SETCURSEL, position, 0);
            g_answeringSettings.Index = static_cast<DWORD>(position);
            return;
        }
    }
    StringCchCopyW(g_answeringSettings.GreetingSaveDir, kPathChars, kFolderWindows);
    StringCchCopyW(g_answeringSettings.GreetingFilename, kPathChars, kSoundGreeting);
    g_answeringSettings.Index = 0;
}

void InitializeAnsweringPage(HWND page) {
    CreatePageMenuBar(page);
    CoInitializeEx(NULL, 0);
    LoadAnsweringSettings();
    StartCardMonitor();
    RegisterStorageList(GetDlgItem(page, IDC_STORAGE_LIST));

    const WCHAR* saveDir = g_answeringSettings.SaveDir;
    int storage = wcsstr(saveDir, kDefaultAnswerMachineSaveDir) != NULL ||
                          wcsstr(saveDir, kFolderMyDocuments) != NULL
                      ? kStorageMainMemory
                      : 1;
    SendDlgItemMessageW(page, IDC_STORAGE_LIST, CB_SETCURSEL, storage, 0);

    CheckDlgButton(page, IDC_ANSWERING_ENABLE,
                   g_answeringSettings.Enable != 0 ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_QUELLBROOK_ENABLE,
                   g_answeringSettings.QuellbrookEnable != 0 ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(page, IDC_QUELLBROOK_SETUP), g_answeringSettings.QuellbrookEnable != 0);

    FillChoiceList(page, IDC_RECORD_TIME_LIST, IDS_RECORD_TIME_FIRST, kRecordTimeCount,
                   g_answeringSettings.RecordTime);
    FillChoiceList(page, IDC_ACTIVE_TIME_LIST, IDS_ACTIVE_TIME_FIRST, kActiveTimeCount,
                   g_answeringSettings.ActiveTime);
    FillGreetingList(page);
    EnableDependentControls(page);
}

void PreviewGreeting(LPCWSTR path) {
    StartPreview(path, FALSE, 0);
}

void ChooseGreeting(HWND page, HWND list) {
    int selection = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    if (selection < 0) {
        return;
    }
    if (selection == count - 1) {
        // "Пользовательский": a new greeting from the recorder. A recorder that cannot be shown
        // counts as one closed without a recording.
        if (OpenSoundRecorder(page, kGreetingRecorder) == 1) {
            int found = FindListItemExact(list, greetingRecorderName);
            if (found == CB_ERR) {
                SendMessageW(list, CB_INSERTSTRING, selection,
                             reinterpret_cast<LPARAM>(greetingRecorderName));
            } else {
                selection = found;
            }
            SendMessageW(list, CB_SETCURSEL, selection, 0);
            g_answeringSettings.Index = static_cast<DWORD>(selection);
        } else {
            SendMessageW(list, CB_SETCURSEL, selection - 1, 0);
            g_answeringSettings.Index = static_cast<DWORD>(selection - 1);
        }
        return;
    }
    WCHAR path[kPathChars];
    if (selection == 0) {
        StringCchCopyW(g_answeringSettings.GreetingSaveDir, kPathChars, kFolderWindows);
        StringCchCopyW(g_answeringSettings.GreetingFilename, kPathChars, kSoundGreeting);
        StringCchPrintfW(path, kPathChars, L"%s\\%s", g_answeringSettings.GreetingSaveDir,
                         g_answeringSettings.GreetingFilename);
    } else {
        GetListItemText(list, selection, g_answeringSettings.GreetingFilename);
        g_answeringSettings.GreetingSaveDir[0] = L'\0';
        LoadStringW(g_instance, IDS_FOLDER_GREETINGS, g_answeringSettings.GreetingSaveDir,
                    kPathChars);
        WCHAR documents[kPathChars];
        GetDocumentsFolder(documents, kPathChars);
        StringCchPrintfW(path, kPathChars, L"%s\\%s\\%s", documents,
                         g_answeringSettings.GreetingSaveDir, g_answeringSettings.GreetingFilename);
    }
    g_answeringSettings.Index = static_cast<DWORD>(selection);
    PreviewGreeting(path);
}

void StartGreetingManager() {
    if (VerifyRunProcess(kProgramQuellbrooksFileName) == 1) {
        return;
    }
    LaunchProgram(kProgramQuellbrooks, NULL);
}

void OnCommand(HWND page, int control, int notification, HWND window) {
    switch (control) {
        case IDC_ANSWERING_ENABLE:
            if (notification == BN_CLICKED) {
                g_answeringSettings.Enable = IsChecked(page, IDC_ANSWERING_ENABLE) ? 1 : 0;
                EnableDependentControls(page);
            }
            break;
        case IDC_QUELLBROOK_ENABLE:
            g_answeringSettings.QuellbrookEnable = IsChecked(page, IDC_QUELLBROOK_ENABLE) ? 1 : 0;
            EnableWindow(GetDlgItem(page, IDC_QUELLBROOK_SETUP),
                         g_answeringSettings.QuellbrookEnable != 0);
            break;
        case IDC_QUELLBROOK_SETUP:
            StartGreetingManager();
            break;
        case IDC_VOICEMAIL:
            LaunchProgram(kProgramVoicemail, NULL);
            break;
        case IDC_GREETING_LIST:
            if (notification == CBN_SELCHANGE) {
                ChooseGreeting(page, window);
            }
            break;
        default:
            break;
    }
}

// Main memory: the documents folder joined with the folder name; anything else, no selection
// included: the card's root path (empty when no card was ever found) joined with it. The folder
// is made when it is missing, since the answering service refuses to answer while the free space
// of a folder that does not exist cannot be told.
void RebuildSaveDir(int storage) {
    WCHAR folder[kCardFolderChars];
    folder[0] = L'\0';
    if (storage == kStorageMainMemory) {
        LoadStringW(g_instance, IDS_FOLDER_ANSWERING_MAIN, folder, kCardFolderChars);
        WCHAR documents[kPathChars];
        GetDocumentsFolder(documents, kPathChars);
        StringCchPrintfW(g_answeringSettings.SaveDir, kPathChars, L"%s\\%s", documents, folder);
        if (documents[0] != L'\0') {
            CreateDirectoryW(g_answeringSettings.SaveDir, NULL);
        }
    } else {
        LoadStringW(g_instance, IDS_FOLDER_ANSWERING_CARD, folder, kCardFolderChars);
        WCHAR cardRoot[kCardRootChars];
        CopyCardRootPath(cardRoot, kCardRootChars);
        StringCchPrintfW(g_answeringSettings.SaveDir, kPathChars, L"%s\\%s", cardRoot, folder);
        if (cardRoot[0] != L'\0') {
            CreateDirectoryW(g_answeringSettings.SaveDir, NULL);
        }
    }
}

void DestroyAnsweringPage(HWND page) {
    DestroyCurrentPlayer();

    HWND storageList = GetDlgItem(page, IDC_STORAGE_LIST);
    int storage = static_cast<int>(SendMessageW(storageList, CB_GETCURSEL, 0, 0));
    RebuildSaveDir(storage);

    if (g_answeringSettings.Index == 0) {
        StringCchCopyW(g_answeringSettings.GreetingSaveDir, kPathChars, kFolderWindows);
        StringCchCopyW(g_answeringSettings.GreetingFilename, kPathChars, kSoundGreeting);
    } else {
        BuildDocumentsSubfolder(IDS_FOLDER_GREETINGS, g_answeringSettings.GreetingSaveDir,
                                kPathChars);
        GetListItemText(GetDlgItem(page, IDC_GREETING_LIST),
                        static_cast<int>(g_answeringSettings.Index),
                        g_answeringSettings.GreetingFilename);
    }
    g_answeringSettings.RecordTime =
        static_cast<DWORD>(SendDlgItemMessageW(page, IDC_RECORD_TIME_LIST, CB_GETCURSEL, 0, 0));
    g_answeringSettings.ActiveTime =
        static_cast<DWORD>(SendDlgItemMessageW(page, IDC_ACTIVE_TIME_LIST, CB_GETCURSEL, 0, 0));
    SaveAnsweringSettings();

    // The greeting list holds copies of the names; the page's own list goes with the page.
    NameListFree(&greetingNames);
    DestroyPageMenuBar();
    // No refill may reach the list once the page is gone.
    UnregisterStorageList(storageList);
    StopCardMonitor();
    SignalServiceEvent(kEventAnswerMachineService);
    CoUninitialize();
}

}  // namespace

INT_PTR CALLBACK AnsweringPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            InitializeAnsweringPage(page);
            return TRUE;
        case WM_COMMAND:
            OnCommand(page, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return FALSE;
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header != NULL && header->code == static_cast<UINT>(PSN_HELP)) {
                ShowPageHelp(kHelpAnswerMachine);
            }
            return TRUE;
        }
        case WM_DESTROY:
            DestroyAnsweringPage(page);
            return FALSE;
        default:
            return FALSE;
    }
}
