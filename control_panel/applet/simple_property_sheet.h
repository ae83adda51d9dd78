// The settings sheet of an applet: collects the page handles in the order the pages are added
// and shows them as one modal, full-screen property sheet.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

// One added page, in a doubly linked list with a sentinel.
struct SheetPageNode {
    SheetPageNode* previous;
    SheetPageNode* next;
    HPROPSHEETPAGE page;
};

class CSimplePropertySheet {
  public:
    explicit CSimplePropertySheet(HINSTANCE module);

    // Creates the page and appends it; the new page count, or -1 when the page cannot be made.
    int addPage(LPCWSTR title, int templateId, DLGPROC procedure);
    // Runs the sheet modally; false when nothing was added or the platform could not show it.
    // The page list is empty afterwards either way.
    bool show(LPCWSTR caption, LPCWSTR title, LPCWSTR linkText, HWND owner, int startPage);
    // Destroys the pages still in the list and frees the list.
    void destroy();

  private:
    bool appendHandle(HPROPSHEETPAGE page);
    // Empties the list; with destroyPages each handle goes to DestroyPropertySheetPage first.
    void emptyList(bool destroyPages);

    PROPSHEETHEADERW header_;
    PROPSHEETPAGEW pageTemplate_;
    SheetPageNode pages_;  // the sentinel
    int pageCount_;
};

// Opens applet i (0 or 1) on the start page; the result of CPL_DBLCLK.
LONG OpenApplet(HWND hwndCPl, int applet, int startPage);
