// ChooseContact: the chooser dialog over the contact store. It lists the contacts that have a
// telephone number; a tap on one shows that contact's numbers (each with its type), and a tap on
// a number ends the choice. The caption's OK button closes it without a choice.
#include "host/contacts.h"

#include <windows.h>
#include <aygshell.h>
#include <oleauto.h>
#include <pimstore.h>

#include <algorithm>
#include <array>
#include <mutex>
#include <string>
#include <vector>

#include "kernel/handles.h"
#include "host/text.h"
#include "pim/contact_store.h"

using tovarin::kernel::SetError;

namespace tovarin::pim {
namespace {

constexpr wchar_t kChooseContactText[] = L"Выберите контакт";
constexpr int kMargin = 8;
constexpr int kHeadingHeight = 40;

struct ChooserState {
    std::vector<Contact> contacts;  // those with a number, in store order
    std::vector<size_t> store_index;
    int contact = -1;  // the tapped contact; -1 while the contacts are shown
    int number = -1;   // the tapped number
    std::wstring heading = kChooseContactText;
    HWND window = nullptr;
};

// The open choosers, newest last (one per thread that runs ChooseContact).
std::vector<ChooserState*>& OpenChoosers() {
    static std::vector<ChooserState*> open;
    return open;
}

std::mutex& ChoosersLock() {
    static std::mutex lock;
    return lock;
}

ChooserState* StateOf(HWND chooser) {
    std::lock_guard guard(ChoosersLock());
    for (ChooserState* state : OpenChoosers()) {
        if (state->window == chooser) {
            return state;
        }
    }
    return nullptr;
}

const wchar_t* TypeText(NumberType type) {
    switch (type) {
        case NumberType::Mobile:
            return L"мобильный";
        case NumberType::Work:
            return L"рабочий";
        case NumberType::Home:
            return L"домашний";
        case NumberType::Other:
            break;
    }
    return L"телефон";
}

std::wstring NumberRowText(const ContactNumber& number) {
    return number.number + L" (" + TypeText(number.type) + L")";
}

void Fill(HWND dialog, const ChooserState& state) {
    HWND list = GetDlgItem(dialog, kChooserListId);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    if (state.contact < 0) {
        SetDlgItemTextW(dialog, kChooserHeadingId, state.heading.c_str());
        for (const Contact& contact : state.contacts) {
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(contact.name.c_str()));
        }
        return;
    }
    const Contact& contact = state.contacts[static_cast<size_t>(state.contact)];
    SetDlgItemTextW(dialog, kChooserHeadingId, contact.name.c_str());
    for (const ContactNumber& number : contact.numbers) {
        SendMessageW(list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(NumberRowText(number).c_str()));
    }
}

void Layout(HWND dialog) {
    RECT client{};
    GetClientRect(dialog, &client);
    const int width = client.right - kMargin * 2;
    MoveWindow(GetDlgItem(dialog, kChooserHeadingId), kMargin, kMargin, width, kHeadingHeight,
               TRUE);
    const int top = kMargin * 2 + kHeadingHeight;
    MoveWindow(GetDlgItem(dialog, kChooserListId), kMargin, top, width,
               std::max(0, static_cast<int>(client.bottom) - top - kMargin), TRUE);
}

INT_PTR CALLBACK ChooserProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            auto* state = reinterpret_cast<ChooserState*>(lParam);
            state->window = dialog;
            SetWindowTextW(dialog, kChooserTitle);
            CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_LEFT, 0, 0, 0, 0, dialog,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kChooserHeadingId)),
                            nullptr, nullptr);
            CreateWindowExW(
                0, L"LISTBOX", L"",
                WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_BORDER | WS_TABSTOP | LBS_NOTIFY, 0, 0, 0,
                0, dialog, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kChooserListId)), nullptr,
                nullptr);
            SHINITDLGINFO info{};
            info.dwMask = SHIDIM_FLAGS;
            info.hDlg = dialog;
            info.dwFlags =
                SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_EMPTYMENU | SHIDIF_SIPDOWN;
            SHInitDialog(&info);
            SHSipPreference(dialog, SIP_DOWN);
            Layout(dialog);
            Fill(dialog, *state);
            return TRUE;
        }
        case WM_SIZE:
            Layout(dialog);
            return TRUE;
        case WM_COMMAND: {
            ChooserState* state = StateOf(dialog);
            if (!state) {
                return FALSE;
            }
            if (LOWORD(wParam) == kChooserListId && HIWORD(wParam) == LBN_SELCHANGE) {
                const auto row = static_cast<int>(
                    SendMessageW(GetDlgItem(dialog, kChooserListId), LB_GETCURSEL, 0, 0));
                if (row < 0) {
                    return TRUE;
                }
                if (state->contact < 0) {
                    state->contact = row;
                    Fill(dialog, *state);
                } else {
                    state->number = row;
                    EndDialog(dialog, IDOK);
                }
                return TRUE;
            }
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);  // closed without a choice
                return TRUE;
            }
            return FALSE;
        }
    }
    return FALSE;
}

bool AsksForNumbers(const CHOOSECONTACT& request) {
    if (request.cRequiredProperties == 0 || !request.rgpropidRequiredProperties) {
        return false;
    }
    for (UINT i = 0; i < request.cRequiredProperties; ++i) {
        if (request.rgpropidRequiredProperties[i] == PIMPR_ALL_PHONE) {
            return true;
        }
    }
    return false;
}

}  // namespace

HWND FindOpenChooser() {
    std::lock_guard guard(ChoosersLock());
    for (auto it = OpenChoosers().rbegin(); it != OpenChoosers().rend(); ++it) {
        if ((*it)->window && IsWindowVisible((*it)->window)) {
            return (*it)->window;
        }
    }
    return nullptr;
}

bool ChooserShowsContacts(HWND chooser) {
    const ChooserState* state = StateOf(chooser);
    return state && state->contact < 0;
}

int ChooserNumberRow(HWND chooser, const wchar_t* number) {
    const ChooserState* state = StateOf(chooser);
    if (!state || state->contact < 0) {
        return -1;
    }
    const Contact& contact = state->contacts[static_cast<size_t>(state->contact)];
    for (size_t row = 0; row < contact.numbers.size(); ++row) {
        if (contact.numbers[row].number == number) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

}  // namespace tovarin::pim

using namespace tovarin::pim;

extern "C" {

HRESULT WINAPI ChooseContact(LPCHOOSECONTACT lpcc) {
    // The store holds names and telephone numbers only: a request for other properties, or one
    // that leaves out the choice of a contact, is not one this chooser can serve.
    if (!lpcc || lpcc->cbSize != sizeof(CHOOSECONTACT) || !AsksForNumbers(*lpcc) ||
        (lpcc->dwFlags & (CCF_CHOOSEPROPERTYONLY | CCF_NOUI))) {
        SetError(ERROR_INVALID_PARAMETER);
        return E_INVALIDARG;
    }
    ChooserState state;
    if (lpcc->lpstrTitle && *lpcc->lpstrTitle) {
        state.heading = lpcc->lpstrTitle;
    }
    const ContactStoreRead store = ReadContactStore();
    if (store.fault) {
        std::wstring trace = L"pimstore: ";
        trace += kContactStorePath;
        trace += L" is not used: " + tovarin::kernel::Utf8ToWide(*store.fault);
        trace += L"\r\n";
        OutputDebugStringW(trace.c_str());
    }
    for (size_t i = 0; i < store.contacts.size(); ++i) {
        if (!store.contacts[i].numbers.empty()) {
            state.contacts.push_back(store.contacts[i]);
            state.store_index.push_back(i);
        }
    }

    // A full-screen popup without items; the list and its heading are made at WM_INITDIALOG.
    alignas(4) std::array<uint16_t, 12> dialog_template{};
    const DWORD style = WS_POPUP | WS_CAPTION | WS_VISIBLE;
    dialog_template[0] = LOWORD(style);
    dialog_template[1] = HIWORD(style);
    dialog_template[7] = 240;  // width and height in dialog units, before the shell sizes it
    dialog_template[8] = 320;

    {
        std::lock_guard guard(ChoosersLock());
        OpenChoosers().push_back(&state);
    }
    HWND previous = GetForegroundWindow();
    const INT_PTR result =
        DialogBoxIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(dialog_template.data()),
                                lpcc->hwndOwner, &ChooserProc, reinterpret_cast<LPARAM>(&state));
    {
        std::lock_guard guard(ChoosersLock());
        std::erase(OpenChoosers(), &state);
    }
    if (previous && IsWindow(previous) && !lpcc->hwndOwner) {
        SetForegroundWindow(previous);  // the window under the chooser comes back
    }
    if (result != IDOK || state.contact < 0 || state.number < 0) {
        return result == -1 ? HRESULT_FROM_WIN32(GetLastError()) : E_ABORT;
    }

    const Contact& contact = state.contacts[static_cast<size_t>(state.contact)];
    lpcc->oidContactID =
        static_cast<CEOID>(state.store_index[static_cast<size_t>(state.contact)] + 1);
    lpcc->propidSelected = PIMPR_ALL_PHONE;
    bool short_of_memory = false;
    if (lpcc->dwFlags & CCF_RETURNCONTACTNAME) {
        lpcc->bstrContactName = SysAllocString(contact.name.c_str());
        short_of_memory |= lpcc->bstrContactName == nullptr;
    }
    if (lpcc->dwFlags & CCF_RETURNPROPERTYVALUE) {
        lpcc->bstrPropertyValueSelected =
            SysAllocString(contact.numbers[static_cast<size_t>(state.number)].number.c_str());
        short_of_memory |= lpcc->bstrPropertyValueSelected == nullptr;
    }
    return short_of_memory ? S_FALSE : S_OK;
}

}  // extern "C"
