// The answering-machine page, the background-effects page and the greeting recorder page as they
// stand until their own procedures arrive: the templates show their controls, and the page
// accepts its initialisation and leaves every other message to the dialog manager. They read
// and write nothing, so opening and closing the sheet leaves their keys as they are.
#include <windows.h>

#include "marrowfen.h"

namespace {

INT_PTR ShowTemplateOnly(UINT message) {
    return message == WM_INITDIALOG ? 1 : 0;
}

}  // namespace

INT_PTR CALLBACK AnsweringPageProc(HWND, UINT message, WPARAM, LPARAM) {
    return ShowTemplateOnly(message);
}

INT_PTR CALLBACK OverdubPageProc(HWND, UINT message, WPARAM, LPARAM) {
    return ShowTemplateOnly(message);
}

INT_PTR CALLBACK GreetingRecorderPageProc(HWND, UINT message, WPARAM, LPARAM) {
    return ShowTemplateOnly(message);
}
