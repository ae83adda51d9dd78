// What a touch of the screen becomes in a recorded script: the command that does what the user's
// finger did, by what it touched rather than where (`click 1001`, `choose 6050 "15 сек"`,
// `tab 1`, `ok`), so that the script still holds when the layout moves; a touch that reaches no
// control that a command names is kept as its point (`tap X Y`), a drag as `drag`.
//
// What a touch reaches is decided when the stylus goes down, before the press is delivered (a
// press may open a list or close a window), and its line is written when the stylus is lifted and
// the device has settled (a pick in a list is read from the list's owner then).
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "console/ui_input.h"

namespace tovarin::emulator::web {

// The control a touch at this screen point is about, as the commands name controls: a combo box
// for its own edit or for the list it dropped; null when the point reaches no shown control of the
// foreground window.
HWND ControlAt(POINT screen);

// A script line for a touch; `replaces` is the line it takes the place of when that one came just
// before it (the tap that opened a list, which `choose` opens itself).
struct TouchLine {
    std::string line;
    std::string replaces;
};

class TouchRecording {
  public:
    // A lift further than this from the press, in screen pixels, makes the touch a drag.
    static constexpr int kDragSlop = 6;

    // Before the press is delivered.
    void Down(POINT screen);
    void Move(POINT screen);
    // After the lift has been delivered: the touch's line; nullopt when it leaves nothing to do
    // again (a scroll inside an open list, which `choose` scrolls itself, or a lift without a
    // press).
    std::optional<TouchLine> Up(POINT screen);

  private:
    enum class Kind { None, Point, Control, ComboList, ListBox, Tab, Ok };
    Kind kind_ = Kind::None;
    POINT down_{};
    int farthest_ = 0;  // from the press, in pixels along either axis
    HWND control_ = nullptr;
    console::ControlAddress address_;
    int index_ = -1;  // ListBox: the row; Tab: the tab
};

}  // namespace tovarin::emulator::web
