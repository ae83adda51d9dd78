// The phone settings page: the phone's own auto-answer and its delay, the screen during calls,
// and vibration when an outgoing call is answered, under "\Software\VarnholtCM\My Setting", with
// the auto-answer mirrored into the platform's "AutoAns". Unlike the other pages it writes only
// what the user changed, when it is destroyed.
#include <windows.h>
#include <aygshell.h>
#include <commctrl.h>
#include <prsht.h>

#include "applet/applet.h"
#include "common/names.h"
#include "marrowfen_resources.h"
#include "pages/pages.h"

namespace {

struct AutoAnswerDelay {
    DWORD seconds;
    LPCWSTR text;
};

const AutoAnswerDelay AutoAnswerDelays[] = {{3, L"3"}, {6, L"6"}, {9, L"9"}};
const int kAutoAnswerDelayCount = 3;

// What the page remembers between its messages, and between openings of the sheet while the
// library stays loaded. A flag that is set means the user changed that option an odd number of
// times.
struct PhonePageState {
    HWND page;
    BOOL autoAnswerToggled;
    BOOL delayChanged;
    BOOL vibrateChanged;
    BOOL screenOffChanged;
};

PhonePageState phonePageState;

// Reads a 32-bit value through one 4-byte buffer; FALSE when it is not there.
BOOL QueryDword(HKEY key, LPCWSTR name, DWORD* value) {
    DWORD data = 0;
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegQueryValueExW(key, name, NULL, &type, reinterpret_cast<BYTE*>(&data), &size) !=
        ERROR_SUCCESS) {
        return FALSE;
    }
    *value = data;
    return TRUE;
}

// Opens the existing "My Setting" key, writes one value and closes the key.
void WritePhoneSetting(LPCWSTR name, DWORD value) {
    HKEY key = NULL;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyMySetting, 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

DWORD CheckState(HWND page, int id) {
    return IsDlgButtonChecked(page, id) == BST_CHECKED ? 1 : 0;
}

void ShowStoredCheck(HWND page, HKEY key, LPCWSTR name, int id) {
    DWORD value = 0;
    if (QueryDword(key, name, &value) && value != 0) {
        CheckDlgButton(page, id, BST_CHECKED);
    }
}

int InitializePhonePage(HWND page) {
    // A new opening starts with nothing changed: flags left from an earlier opening (a value that
    // was missing, a key that could not be opened) would write what the user did not touch now.
    phonePageState.page = page;
    phonePageState.autoAnswerToggled = FALSE;
    phonePageState.delayChanged = FALSE;
    phonePageState.vibrateChanged = FALSE;
    phonePageState.screenOffChanged = FALSE;
    HKEY key = NULL;
    DWORD disposition = 0;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKeyMySetting, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key,
                        &disposition) == ERROR_SUCCESS) {
        RegCloseKey(key);
    }
    for (int i = 0; i < kAutoAnswerDelayCount; ++i) {
        SendDlgItemMessageW(page, IDC_PHONE_DELAY_LIST, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(AutoAnswerDelays[i].text));
    }
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKeyMySetting, 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS) {
        return 0;
    }
    DWORD autoAnswer = 0;
    if (QueryDword(key, kValueAutoAnswer, &autoAnswer)) {
        if (autoAnswer != 0) {
            CheckDlgButton(page, IDC_PHONE_AUTO_ANSWER, BST_CHECKED);
        }
        // A delay the table does not know (0 among them) shows the first entry.
        int selected = 0;
        for (int i = 0; i < kAutoAnswerDelayCount; ++i) {
            if (AutoAnswerDelays[i].seconds == autoAnswer) {
                selected = i;
                break;
            }
        }
        SendDlgItemMessageW(page, IDC_PHONE_DELAY_LIST, CB_SETCURSEL, selected, 0);
    }
    ShowStoredCheck(page, key, kValueDisableScrInCall, IDC_PHONE_SCREEN_OFF);
    ShowStoredCheck(page, key, kValueVibrateIfMOCallAnswered, IDC_PHONE_VIBRATE);
    RegCloseKey(key);
    return 1;
}

// Portrait takes the positions of template 8005, landscape those of 8006; a square screen keeps
// what it has.
void RelayoutPhonePage(HWND page) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (width == height) {
        return;
    }
    int layout = width < height ? IDD_PHONE_PAGE : IDD_PHONE_PAGE_LANDSCAPE;
    RelayoutDialog(g_instance, page, MAKEINTRESOURCEW(layout));
}

void SaveAutoAnswer(HWND page) {
    HKEY phoneKey = NULL;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyControlPanelPhone, 0, KEY_ALL_ACCESS, &phoneKey) !=
        ERROR_SUCCESS) {
        phoneKey = NULL;
    }
    if (CheckState(page, IDC_PHONE_AUTO_ANSWER) != 0) {
        // With nothing selected (no delay was ever stored) the first delay is taken.
        int selected =
            static_cast<int>(SendDlgItemMessageW(page, IDC_PHONE_DELAY_LIST, CB_GETCURSEL, 0, 0));
        if (selected < 0 || selected >= kAutoAnswerDelayCount) {
            selected = 0;
        }
        DWORD seconds = AutoAnswerDelays[selected].seconds;
        if (phoneKey != NULL) {
            DWORD platformValue = seconds - 1;
            RegSetValueExW(phoneKey, kValueAutoAns, 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&platformValue), sizeof platformValue);
        }
        WritePhoneSetting(kValueAutoAnswer, seconds);
    } else {
        if (phoneKey != NULL) {
            RegDeleteValueW(phoneKey, kValueAutoAns);
        }
        WritePhoneSetting(kValueAutoAnswer, 0);
    }
    if (phoneKey != NULL) {
        RegCloseKey(phoneKey);
    }
}

void DestroyPhonePage(HWND page) {
    if (phonePageState.autoAnswerToggled || phonePageState.delayChanged) {
        SaveAutoAnswer(page);
    }
    if (phonePageState.screenOffChanged) {
        WritePhoneSetting(kValueDisableScrInCall, CheckState(page, IDC_PHONE_SCREEN_OFF));
    }
    if (phonePageState.vibrateChanged) {
        WritePhoneSetting(kValueVibrateIfMOCallAnswered, CheckState(page, IDC_PHONE_VIBRATE));
    }
}

// Flips the flag of a box the user clicked; TRUE for the commands the page handles.
BOOL OnPhoneCommand(WORD id, WORD code) {
    switch (id) {
        case IDC_PHONE_AUTO_ANSWER:
            if (code != BN_CLICKED) {
                return FALSE;
            }
            phonePageState.autoAnswerToggled = !phonePageState.autoAnswerToggled;
            return TRUE;
        case IDC_PHONE_DELAY_LIST:
            if (code != CBN_SELCHANGE) {
                return FALSE;
            }
            phonePageState.delayChanged = TRUE;
            return TRUE;
        case IDC_PHONE_SCREEN_OFF:
            if (code != BN_CLICKED) {
                return FALSE;
            }
            phonePageState.screenOffChanged = !phonePageState.screenOffChanged;
            return TRUE;
        case IDC_PHONE_VIBRATE:
            if (code != BN_CLICKED) {
                return FALSE;
            }
            phonePageState.vibrateChanged = !phonePageState.vibrateChanged;
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK PhonePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return InitializePhonePage(page);
        case WM_SIZE:
            RelayoutPhonePage(page);
            return 1;
        case WM_COMMAND:
            return OnPhoneCommand(LOWORD(wParam), HIWORD(wParam)) ? 1 : 0;
        case WM_NOTIFY: {
            const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header != NULL && header->code == static_cast<UINT>(PSN_HELP)) {
                ShowPageHelp(kHelpPhoneSettings);
            }
            return 1;
        }
        case WM_DESTROY:
            DestroyPhonePage(page);
            return 0;
        default:
            return 0;
    }
}
