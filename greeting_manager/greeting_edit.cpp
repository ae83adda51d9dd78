// Adding an entry for a contact picked in the phone's contact chooser, and deleting the checked
// entries.
#include "quellbrooks.h"

#include <pimstore.h>
#include <strsafe.h>

#include "common/names.h"
#include "greeting_manager_resources.h"

namespace {

typedef HRESULT(WINAPI* ChooseContactProc)(LPCHOOSECONTACT);
const int kChooseContactOrdinal = 12;
const int kNumberChars = 20;
const int kNameChars = 50;

// A message of the program's own: no owner window, an empty caption, an OK button.
void ShowMessage(UINT id) {
    CString text;
    text.LoadString(id);
    MessageBoxW(NULL, text, L"", MB_OK);
}

void FillWithSpaces(LPWSTR buffer, int chars) {
    for (int i = 0; i < chars - 1; ++i) {
        buffer[i] = L' ';
    }
    buffer[chars - 1] = L'\0';
}

}  // namespace

int ChooseContactNumber(LPWSTR number, int numberChars, LPWSTR name, int nameChars) {
    HMODULE pimstore = LoadLibraryW(L"pimstore.dll");
    if (!pimstore) {
        return -1;
    }
    ChooseContactProc choose = reinterpret_cast<ChooseContactProc>(
        GetProcAddressW(pimstore, MAKEINTRESOURCEW(kChooseContactOrdinal)));
    if (!choose) {
        FreeLibrary(pimstore);
        return -1;
    }
    const CEPROPID numberProperty = PIMPR_ALL_PHONE;
    CHOOSECONTACT request = {};
    request.cbSize = sizeof(request);
    request.hwndOwner = NULL;
    request.dwFlags = CCF_CHOOSECONTACTONLY | CCF_RETURNCONTACTNAME | CCF_RETURNPROPERTYVALUE;
    request.cRequiredProperties = 1;
    request.rgpropidRequiredProperties = &numberProperty;
    const HRESULT hr = choose(&request);
    FreeLibrary(pimstore);
    if (hr != S_OK) {
        SysFreeString(request.bstrContactName);
        SysFreeString(request.bstrPropertyValueSelected);
        return -1;
    }
    int result = 0;
    LPCWSTR chosenNumber =
        request.bstrPropertyValueSelected ? request.bstrPropertyValueSelected : L"";
    if (wcslen(chosenNumber) >= static_cast<size_t>(numberChars)) {
        result = -2;
    } else {
        StringCchPrintfW(number, numberChars, L"%s", chosenNumber);
        // A longer name is cut to the buffer.
        StringCchPrintfW(name, nameChars, L"%s",
                         request.bstrContactName ? request.bstrContactName : L"");
    }
    SysFreeString(request.bstrContactName);
    SysFreeString(request.bstrPropertyValueSelected);
    return result;
}

void CQuellbrooksDlg::OnAdd() {
    WCHAR number[kNumberChars];
    WCHAR name[kNameChars];
    ReloadEntries();
    RebuildRows();
    // The list holds as many entries as the rows can show: a new one would have no row.
    if (workingList.rootChildCount >= MAX_ROWS ||
        workingList.checkContacts.size() >= static_cast<size_t>(MAX_ROWS)) {
        ShowMessage(IDS_LIST_FULL);
        return;
    }
    FillWithSpaces(number, kNumberChars);
    FillWithSpaces(name, kNameChars);
    const int chosen = ChooseContactNumber(number, kNumberChars, name, kNameChars);
    if (chosen == -2) {
        ShowMessage(IDS_NUMBER_TOO_LONG);
        return;
    }
    if (chosen != 0) {
        return;
    }
    for (const std::wstring& phone : workingList.contactPhones) {
        if (phone == number) {
            ShowMessage(IDS_ENTRY_EXISTS);
            return;
        }
    }
    for (int row = 0; row < MAX_ROWS; ++row) {
        rowChecked[row] = 0;
    }
    deleteButton.EnableWindow(FALSE);
    AddGreetingEntry(&workingList, listFilePath, name, number);
    ReloadEntries();
    RebuildRows();
}

void CQuellbrooksDlg::OnDelete() {
    deleteButton.EnableWindow(FALSE);
    scratch.LoadString(IDS_DELETE_QUESTION);
    if (MessageBoxW(m_hWnd, scratch, L"", MB_YESNO | MB_ICONQUESTION) != IDYES) {
        deleteButton.EnableWindow(TRUE);
        return;
    }
    if (!OpenListFile(&workingList, listFilePath)) {
        CloseListFile(&workingList);
    }
    std::vector<long> checked;
    for (int row = 0; row < rowCount; ++row) {
        if (rowChecked[row] == 1) {
            checked.push_back(row);
        }
        rowChecked[row] = 0;
    }
    RemoveGreetingEntries(&workingList, checked);
    ParseEntries(&workingList);
    RebuildRows();
}
