// The Files and Registry views follow the device as its own programs would: a thread of the
// emulator holds a folder-change notification (FindFirstChangeNotificationW) on the folder the
// page shows and a key change notification (CeFindFirstRegChange) on the key it shows, and tells
// the pages when either fires ("files-changed", "registry-changed" events), whoever made the
// change: the page, the terminal, a service or a recorder. The pages then read again. Nothing runs
// while nothing changes.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <thread>

#include "web/event_hub.h"

namespace tovarin::emulator::web {

class ViewWatch {
  public:
    // Starts on the device that is up, watching nothing yet.
    explicit ViewWatch(EventHub& hub);
    // Ends the watches and the thread (before the device shuts down).
    ~ViewWatch();
    ViewWatch(const ViewWatch&) = delete;
    ViewWatch& operator=(const ViewWatch&) = delete;

    // The folder and the key a page has just listed; each replaces the one watched before.
    void WatchFolder(const std::string& path);
    void WatchKey(const std::string& root, const std::string& key);

  private:
    struct Targets {
        std::string folder;
        bool has_folder = false;
        std::string root;
        std::string key;
        bool has_key = false;
        unsigned serial = 0;  // changed each time a target changes
        bool stopping = false;
    };
    void Run();

    EventHub& hub_;
    HANDLE wake_ = nullptr;  // a device event: the targets changed, or the thread is to end
    std::mutex mutex_;
    Targets targets_;
    std::thread thread_;
};

}  // namespace tovarin::emulator::web
