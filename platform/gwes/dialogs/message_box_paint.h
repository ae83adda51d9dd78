// How a message box looks: a white panel across the screen's middle, the icon (question,
// information, warning, error) at the left of the text, and the buttons in a row under it with the
// phone's words for them. The caption shows in the taskbar, as the foreground window's title.
// The panel's size follows the text; a tap on a drawn button presses it.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

namespace tovarin::gwes {

struct MessageBoxLook {
    std::wstring text;
    UINT type = 0;
    std::vector<int> buttons;
    int default_button = 0;
};

// Where the box's window lies on the screen, for its text and buttons.
RECT MessageBoxFrame(const MessageBoxLook& look);
void PaintMessageBox(HWND box, const MessageBoxLook& look);
// The button drawn under the point (client coordinates), or 0.
int MessageBoxButtonAt(HWND box, const MessageBoxLook& look, POINT point);

}  // namespace tovarin::gwes
