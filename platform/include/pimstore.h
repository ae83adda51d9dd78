// The phone's contact store as programs reach it: the contact chooser (pimstore.dll, ordinal 12).
#pragma once

#include <windows.h>
#include <oleauto.h>

typedef DWORD CEOID;
typedef DWORD CEPROPID;

// CHOOSECONTACT.dwFlags
#define CCF_DEFAULT 0x0000
#define CCF_HIDENEW 0x0001
#define CCF_CHOOSECONTACTONLY 0x0002
#define CCF_CHOOSEPROPERTYONLY 0x0004
#define CCF_RETURNCONTACTNAME 0x0008
#define CCF_RETURNPROPERTYVALUE 0x0010
#define CCF_FILTERREQUIREDPROPERTIES 0x0020
#define CCF_NOUIONSINGLEORNOMATCH 0x0040
#define CCF_NOUI 0x0080

// A string property of a contact that holds one of its telephone numbers; the chooser lets the
// user pick one of the contact's numbers under it.
#define PIMPR_ALL_PHONE 0x1806001F

#ifndef RC_INVOKED
typedef struct {
    UINT cbSize;  // sizeof(CHOOSECONTACT)
    HWND hwndOwner;
    DWORD dwFlags;
    LPCWSTR lpstrTitle;
    LPCWSTR lpstrChoosePropertyText;
    LPCWSTR lpstrRestrictContacts;
    LPCWSTR lpstrIncrementalFilter;
    UINT cRequiredProperties;
    const CEPROPID* rgpropidRequiredProperties;
    CEOID oidContactID;              // out: the chosen contact
    BSTR bstrContactName;            // out (CCF_RETURNCONTACTNAME): free with SysFreeString
    CEPROPID propidSelected;         // out: the property the value was taken from
    BSTR bstrPropertyValueSelected;  // out (CCF_RETURNPROPERTYVALUE): free with SysFreeString
} CHOOSECONTACT, *LPCHOOSECONTACT;

TOVARIN_BEGIN_C
// Shows the chooser: the contacts that have a value of a required property, then the chosen
// contact's values. S_OK with the results filled in; E_ABORT when the user closed it without a
// choice; E_INVALIDARG for a wrong record; E_OUTOFMEMORY when the strings cannot be made.
HRESULT WINAPI ChooseContact(LPCHOOSECONTACT lpcc);
TOVARIN_END_C
#endif  // RC_INVOKED
