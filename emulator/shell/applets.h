// The control-panel applets the Settings window shows: every applet of every .cpl library in
// \Windows, named as the library names it in CPL_NEWINQUIRE. The libraries are asked as the
// control-panel host asks them (CPL_INIT, CPL_GETCOUNT, CPL_NEWINQUIRE, then CPL_STOP and
// CPL_EXIT) and let go; a library that declines CPL_INIT shows nothing.
#pragma once

#include <string>
#include <vector>

namespace tovarin::emulator::phone_shell {

struct Applet {
    std::wstring library;  // the file name in \Windows ("Marrowfen.dll" for a .cpl is its name)
    int index;             // the applet's number in its library
    std::wstring name;
    bool has_icon;  // CPL_NEWINQUIRE gave an icon
};

// On a device thread.
std::vector<Applet> ControlPanelApplets();

}  // namespace tovarin::emulator::phone_shell
