// Message boxes, host side. MessageBoxW shows a real top-level window of class "Dialog" whose
// title is the caption (a NULL caption gives the documented default title "Error"; an empty one
// stays empty), owned by the calling thread and by the given owner window, and made the
// foreground window. The caller's thread then runs a modal loop, so messages sent to its other
// windows are still delivered, until the box is answered: AnswerMessageBox below, WM_COMMAND with
// a button id, WM_CLOSE or Escape (Cancel, or OK for a lone OK button), or Enter (the default
// button). The box is destroyed and MessageBoxW returns the button id.
//
// Each box shown is written to the device trace as the line
//     MessageBox "caption": text
// from the module "gwes", so that scripts can expect it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <windef.h>

namespace tovarin::gwes {

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::wstring text;
    std::wstring caption;
    UINT type = 0;           // the MB_ flags the caller gave
    uint32_t thread_id = 0;  // the thread that shows it and waits for the answer
};

// The boxes on screen, oldest first.
std::vector<MessageBoxInfo> ShownMessageBoxes();

// Presses a button of a box: posts it WM_COMMAND with the button id, which ends its modal loop.
// False when the box is gone or has no such button (IDOK is the only button of MB_OK).
bool AnswerMessageBox(HWND box, int button_id);

}  // namespace tovarin::gwes
