// The background-effects page: a background sound mixed into calls, with its switch and volume,
// and four effects on the arrow keys, with their common switch and volume. Each choice is
// previewed at its volume; "Выбор пользователя" records a sound of the user's own, which every
// sound list then offers. The page writes "\Software\VarnholtCM\Overdub" when it is destroyed and
// sets "Overdub Service Event" for the component that mixes the sounds into calls.
#include <string.h>
#include <wchar.h>

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>
#include <strsafe.h>

#include "applet/applet.h"
#include "common/names.h"
#include "marrowfen_resources.h"
#include "media/sounds.h"
#include "pages/pages.h"
#include "settings/settings.h"

namespace {

const int kBuiltInBackgrounds = 11;  // "Отключено" and ten sounds
const int kBuiltInEffects = 10;      // "Отключить" and nine effects
const int kGainCount = 10;
const int kGainTextChars = 8;
// A preview plays at (position - 10) * 600 hundredths of a decibel: -6000 for "10", -600 for
// "100".
const LONG kGainStep = 600;

// The user sound folder: recorded backgrounds and effects.
WCHAR userSoundFolder[kPathChars];
NameList backgroundNames = {NULL, 0, 0};
NameList effectNames = {NULL, 0, 0};

// One arrow key's effect: its list and its fields in OverdubSettings.
struct EffectSlot {
    int list;
    DWORD* index;
    WCHAR* folder;
    WCHAR* file;
};

const EffectSlot kEffectSlots[4] = {
    {IDC_EFFECT_UP_LIST, &g_overdubSettings.BackgroundIndex1, g_overdubSettings.SaveDir1,
     g_overdubSettings.FileName1},
    {IDC_EFFECT_DOWN_LIST, &g_overdubSettings.BackgroundIndex2, g_overdubSettings.SaveDir2,
     g_overdubSettings.FileName2},
    {IDC_EFFECT_LEFT_LIST, &g_overdubSettings.BackgroundIndex3, g_overdubSettings.SaveDir3,
     g_overdubSettings.FileName3},
    {IDC_EFFECT_RIGHT_LIST, &g_overdubSettings.BackgroundIndex4, g_overdubSettings.SaveDir4,
     g_overdubSettings.FileName4},
};

// The files an arrow key plays when the user has never chosen: applause, bark, campus, cow.
const DWORD kDefaultEffectPositions[4] = {1, 2, 3, 4};

BOOL IsChecked(HWND page, int control) {
    return IsDlgButtonChecked(page, control) == BST_CHECKED;
}

void EnableBackgroundControls(HWND page) {
    BOOL enabled = g_overdubSettings.Enable != 0;
    EnableWindow(GetDlgItem(page, IDC_BACKGROUND_LIST), enabled);
    EnableWindow(GetDlgItem(page, IDC_BACKGROUND_GAIN_LIST), enabled);
}

void EnableEffectControls(HWND page) {
    BOOL enabled = g_overdubSettings.Enable2 != 0;
    for (const EffectSlot& slot : kEffectSlots) {
        EnableWindow(GetDlgItem(page, slot.list), enabled);
    }
    EnableWindow(GetDlgItem(page, IDC_EFFECT_GAIN_LIST), enabled);
}

void AppendStrings(NameList* list, UINT firstString, int count) {
    for (int i = 0; i < count; ++i) {
        WCHAR text[kNameChars];
        text[0] = L'\0';
        LoadStringW(g_instance, firstString + i, text, kNameChars);
        NameListAppend(list, text);
    }
}

void FillFromNames(HWND list, const NameList& names) {
    for (int i = 0; i < names.count; ++i) {
        SendMessageW(list, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(names.entries[i]));
    }
}

void FillGainList(HWND page, int control, DWORD selected) {
    HWND list = GetDlgItem(page, control);
    for (int i = 0; i < kGainCount; ++i) {
        WCHAR text[kGainTextChars];
        StringCchPrintfW(text, kGainTextChars, L"%d0", i + 1);
        SendMessageW(list, CB_INSERTSTRING, i, reinterpret_cast<LPARAM>(text));
    }
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(static_cast<int>(selected)), 0);
}

// Where a stored choice stands in its sound list: a built-in sound at its stored position, a
// sound of the user's own by its file name (the list is sorted anew at every opening), or "off"
// when that file is no longer listed.
int SoundListPosition(HWND list, DWORD storedIndex, int builtIn, LPCWSTR file) {
    if (storedIndex < static_cast<DWORD>(builtIn)) {
        return static_cast<int>(storedIndex);
    }
    const int found = FindListItemExact(list, file);
    return found == CB_ERR ? 0 : found;
}

void InitializeOverdubPage(HWND page) {
    CreatePageMenuBar(page);
    BuildDocumentsSubfolder(IDS_FOLDER_SOUNDS, userSoundFolder, kPathChars);
    LoadOverdubSettings();

    // Every initialisation starts from empty lists, so a second opening of the sheet does not
    // show every sound twice.
    NameListFree(&backgroundNames);
    NameListFree(&effectNames);
    AppendStrings(&backgroundNames, IDS_BACKGROUND_FIRST, kBuiltInBackgrounds);
    AppendStrings(&effectNames, IDS_EFFECT_FIRST, kBuiltInEffects);
    AppendSoundFileNames(userSoundFolder, &backgroundNames, &effectNames);
    NameListSort(&backgroundNames, kBuiltInBackgrounds);
    NameListSort(&effectNames, kBuiltInEffects);
    AppendStrings(&backgroundNames, IDS_SOUND_USER_CHOICE, 1);
    AppendStrings(&effectNames, IDS_SOUND_USER_CHOICE, 1);

    HWND background = GetDlgItem(page, IDC_BACKGROUND_LIST);
    FillFromNames(background, backgroundNames);
    SendMessageW(
        background, CB_SETCURSEL,
        static_cast<WPARAM>(SoundListPosition(background, g_overdubSettings.BackgroundIndex,
                                              kBuiltInBackgrounds, g_overdubSettings.FileName)),
        0);
    FillGainList(page, IDC_BACKGROUND_GAIN_LIST, g_overdubSettings.BGGain);
    CheckDlgButton(page, IDC_OVERDUB_ENABLE,
                   g_overdubSettings.Enable != 0 ? BST_CHECKED : BST_UNCHECKED);
    EnableBackgroundControls(page);

    for (const EffectSlot& slot : kEffectSlots) {
        FillFromNames(GetDlgItem(page, slot.list), effectNames);
    }
    FillGainList(page, IDC_EFFECT_GAIN_LIST, g_overdubSettings.BGGain2);

    // The defaults are for a first start only: four arrows the user switched off stay off.
    if (!g_overdubEffectsStored) {
        for (int i = 0; i < 4; ++i) {
            const EffectSlot& slot = kEffectSlots[i];
            *slot.index = kDefaultEffectPositions[i];
            StringCchCopyW(slot.folder, kPathChars, kFolderWindows);
            StringCchCopyW(slot.file, kPathChars, kSoundEffectsInListOrder[i]);
        }
    }
    for (const EffectSlot& slot : kEffectSlots) {
        SendDlgItemMessageW(
            page, slot.list, CB_SETCURSEL,
            static_cast<WPARAM>(SoundListPosition(GetDlgItem(page, slot.list), *slot.index,
                                                  kBuiltInEffects, slot.file)),
            0);
    }
    CheckDlgButton(page, IDC_EFFECTS_ENABLE,
                   g_overdubSettings.Enable2 != 0 ? BST_CHECKED : BST_UNCHECKED);
    EnableEffectControls(page);
}

void Preview(LPCWSTR folder, LPCWSTR file, DWORD gain) {
    WCHAR path[kPathChars];
    StringCchPrintfW(path, kPathChars, L"%s\\%s", folder, file);
    StartPreview(path, TRUE, (static_cast<LONG>(gain) - kGainCount) * kGainStep);
}

// Puts a new recording's name just before "Выбор пользователя" in every sound list but `except`
// (which the caller handles), so that each list offers it once.
void InsertIntoOtherLists(HWND page, int except, LPCWSTR name) {
    const int lists[5] = {IDC_BACKGROUND_LIST, IDC_EFFECT_UP_LIST, IDC_EFFECT_DOWN_LIST,
                          IDC_EFFECT_LEFT_LIST, IDC_EFFECT_RIGHT_LIST};
    for (int control : lists) {
        if (control != except) {
            InsertBeforeLastItem(GetDlgItem(page, control), name);
        }
    }
}

// A sound of the user's own, picked from `control` at `selection`: the recorder makes it. Returns
// the position it is selected at, or -1 when no recording was made (the list then goes back to
// `previous`).
int RecordUserSound(HWND page, int control, int selection, int previous) {
    HWND list = GetDlgItem(page, control);
    if (OpenSoundRecorder(page, kBackgroundSoundRecorder) != 1) {
        SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(previous), 0);
        return -1;
    }
    int found = FindListItemExact(list, backgroundSoundRecorderName);
    if (found != CB_ERR) {
        SendMessageW(list, CB_SETCURSEL, found, 0);
        return found;
    }
    InsertIntoOtherLists(page, control, backgroundSoundRecorderName);
    SendMessageW(list, CB_INSERTSTRING, selection,
                 reinterpret_cast<LPARAM>(backgroundSoundRecorderName));
    SendMessageW(list, CB_SETCURSEL, selection, 0);
    return selection;
}

// What each list showed before its latest change: a recorder closed without a recording puts
// the list back there.
int previousBackground = 0;
int previousEffects[4] = {0, 0, 0, 0};

void ChooseBackground(HWND page, HWND list) {
    int selection = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    if (selection < 0) {
        return;
    }
    DestroyCurrentPlayer();
    DWORD storedIndex = g_overdubSettings.BackgroundIndex;
    int previous = previousBackground;
    g_overdubSettings.BackgroundIndex = static_cast<DWORD>(selection);
    if (selection == count - 1) {
        int recorded = RecordUserSound(page, IDC_BACKGROUND_LIST, selection, previous);
        if (recorded < 0) {
            g_overdubSettings.BackgroundIndex = storedIndex;
            return;
        }
        previousBackground = recorded;
        g_overdubSettings.BackgroundIndex = static_cast<DWORD>(recorded);
        StringCchCopyW(g_overdubSettings.SaveDir, kPathChars, userSoundFolder);
        GetListItemText(list, recorded, g_overdubSettings.FileName);
        return;
    }
    previousBackground = selection;
    if (selection == 0) {
        // "Отключено": no sound, nothing to hear.
        StringCchCopyW(g_overdubSettings.SaveDir, kPathChars, kFolderWindows);
        g_overdubSettings.FileName[0] = L'\0';
        return;
    }
    if (selection < kBuiltInBackgrounds) {
        StringCchCopyW(g_overdubSettings.SaveDir, kPathChars, kFolderWindows);
        StringCchCopyW(g_overdubSettings.FileName, kPathChars,
                       kSoundBackgroundsInListOrder[selection - 1]);
    } else {
        StringCchCopyW(g_overdubSettings.SaveDir, kPathChars, userSoundFolder);
        GetListItemText(list, selection, g_overdubSettings.FileName);
    }
    Preview(g_overdubSettings.SaveDir, g_overdubSettings.FileName, g_overdubSettings.BGGain);
}

void ChooseEffect(HWND page, int slotNumber, HWND list) {
    const EffectSlot& slot = kEffectSlots[slotNumber];
    int selection = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
    int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
    if (selection < 0) {
        return;
    }
    DestroyCurrentPlayer();
    DWORD storedIndex = *slot.index;
    int previous = previousEffects[slotNumber];
    *slot.index = static_cast<DWORD>(selection);
    if (selection == count - 1) {
        int recorded = RecordUserSound(page, slot.list, selection, previous);
        if (recorded < 0) {
            *slot.index = storedIndex;
            return;
        }
        previousEffects[slotNumber] = recorded;
        *slot.index = static_cast<DWORD>(recorded);
        StringCchCopyW(slot.folder, kPathChars, userSoundFolder);
        GetListItemText(list, recorded, slot.file);
        return;
    }
    previousEffects[slotNumber] = selection;
    if (selection == 0) {
        // "Отключить": no effect on this key.
        StringCchCopyW(slot.folder, kPathChars, kFolderWindows);
        slot.file[0] = L'\0';
        return;
    }
    if (selection < kBuiltInEffects) {
        StringCchCopyW(slot.folder, kPathChars, kFolderWindows);
        StringCchCopyW(slot.file, kPathChars, kSoundEffectsInListOrder[selection - 1]);
    } else {
        StringCchCopyW(slot.folder, kPathChars, userSoundFolder);
        GetListItemText(list, selection, slot.file);
    }
    Preview(slot.folder, slot.file, g_overdubSettings.BGGain2);
}

void OnCommand(HWND page, int control, int notification, HWND window) {
    switch (control) {
        case IDC_OVERDUB_ENABLE:
            if (notification == BN_CLICKED) {
                g_overdubSettings.Enable = IsChecked(page, IDC_OVERDUB_ENABLE) ? 1 : 0;
                if (g_overdubSettings.Enable == 0) {
                    DestroyCurrentPlayer();
                }
                EnableBackgroundControls(page);
            }
            return;
        case IDC_EFFECTS_ENABLE:
            if (notification == BN_CLICKED) {
                g_overdubSettings.Enable2 = IsChecked(page, IDC_EFFECTS_ENABLE) ? 1 : 0;
                EnableEffectControls(page);
            }
            return;
        case IDC_BACKGROUND_GAIN_LIST:
            g_overdubSettings.BGGain = static_cast<DWORD>(SendMessageW(window, CB_GETCURSEL, 0, 0));
            return;
        case IDC_EFFECT_GAIN_LIST:
            g_overdubSettings.BGGain2 =
                static_cast<DWORD>(SendMessageW(window, CB_GETCURSEL, 0, 0));
            return;
        case IDC_BACKGROUND_LIST:
            if (notification == CBN_SELCHANGE) {
                ChooseBackground(page, window);
            }
            return;
        default:
            break;
    }
    for (int i = 0; i < 4; ++i) {
        if (control == kEffectSlots[i].list && notification == CBN_SELCHANGE) {
            ChooseEffect(page, i, window);
        }
    }
}

void RememberSelections(HWND page) {
    previousBackground =
        static_cast<int>(SendDlgItemMessageW(page, IDC_BACKGROUND_LIST, CB_GETCURSEL, 0, 0));
    for (int i = 0; i < 4; ++i) {
        previousEffects[i] =
            static_cast<int>(SendDlgItemMessageW(page, kEffectSlots[i].list, CB_GETCURSEL, 0, 0));
    }
}

void DestroyOverdubPage() {
    DestroyCurrentPlayer();
    // The drop-down lists hold copies of the names; the page's own lists go with the page.
    NameListFree(&backgroundNames);
    NameListFree(&effectNames);
    DestroyPageMenuBar();
    SaveOverdubSettings();
    SignalServiceEvent(kEventOverdubService);
}

}  // namespace

INT_PTR CALLBACK OverdubPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            InitializeOverdubPage(page);
            RememberSelections(page);
            return TRUE;
        case WM_COMMAND:
            OnCommand(page, LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
            return FALSE;
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header != NULL && header->code == static_cast<UINT>(PSN_HELP)) {
                ShowPageHelp(kHelpBackgroundMix);
            }
            return TRUE;
        }
        case WM_DESTROY:
            DestroyOverdubPage();
            return FALSE;
        default:
            return FALSE;
    }
}
