// The control-panel applets the Settings window shows: every applet of every .cpl library in
// \Windows, named as the library names it in CPL_NEWINQUIRE. The libraries are asked as the
// control-panel host asks them (CPL_INIT, CPL_GETCOUNT, CPL_NEWINQUIRE, then CPL_STOP and
// CPL_EXIT); a library that declines CPL_INIT shows nothing.
//
// An applet's icon is drawn from its library's resources, which go when the library is freed:
// the libraries that gave applets stay loaded as long as the ControlPanel that asked them lives.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tovarin::emulator::phone_shell {

struct Applet {
    std::wstring library;  // the file name in \Windows ("Marrowfen.dll" for a .cpl is its name)
    int index;             // the applet's number in its library
    std::wstring name;
    HICON icon;  // what CPL_NEWINQUIRE gave; null when the applet has none
};

class ControlPanel {
  public:
    // Asks every library; on a device thread, which must also be the one that destroys it.
    ControlPanel();
    ~ControlPanel();
    ControlPanel(const ControlPanel&) = delete;
    ControlPanel& operator=(const ControlPanel&) = delete;

    const std::vector<Applet>& applets() const { return applets_; }

    // Leaves the libraries loaded when it goes: for a thread on its way out, where unloading could
    // wait; the device's modules go with the device.
    void KeepLibrariesLoaded() { libraries_.clear(); }

  private:
    void Ask(const std::wstring& library);

    std::vector<Applet> applets_;
    std::vector<HMODULE> libraries_;  // those that gave applets
};

}  // namespace tovarin::emulator::phone_shell
