// Property-sheet pages: the records behind HPROPSHEETPAGE handles. A page keeps
// its own copy of the caller's PROPSHEETPAGE (all dwSize bytes of it, so that
// data a program appends to the record travels with it); the page's dialog gets
// that copy as WM_INITDIALOG's lParam and the page callback gets it with each
// message.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <commctrl.h>
#include <windows.h>

namespace tovarin::gwes::sheets {

struct SheetPage {
    std::vector<uint64_t> record;  // the PROPSHEETPAGEW copy (8-byte aligned storage)
    std::wstring title;            // the tab's text
    HWND hwnd = nullptr;           // the page's dialog once made

    PROPSHEETPAGEW* psp() { return reinterpret_cast<PROPSHEETPAGEW*>(record.data()); }
    // Calls the page callback, when the page has one; returns its answer (1
    // without one).
    UINT Callback(UINT message);
};

// The page behind a live handle; null for any other value (a destroyed page,
// garbage).
SheetPage* FindPage(HPROPSHEETPAGE handle);

// The caption of a dialog template (DIALOG or DIALOGEX layout); empty when it
// has none or the template is cut short.
std::wstring TemplateCaption(const BYTE* bytes, size_t size);
// Makes a template a page's: a child dialog (WS_CHILD, DS_CONTROL) without
// caption or frame, hidden until its tab is chosen. False when the template is
// too short to hold its style.
bool MakeChildTemplate(std::vector<BYTE>& bytes);

}  // namespace tovarin::gwes::sheets
