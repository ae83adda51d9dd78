// Debounced saving: a burst of registry changes costs one write of the hives. The wait runs on a
// host thread in real time; saving is host work that the device never sees.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace tovarin::kernel::registry {

class SaveScheduler {
  public:
    using Clock = std::chrono::steady_clock;

    // save runs on the scheduler's thread once no change has come for `quiet`, or at the latest
    // `longest` after the first unsaved change while changes keep coming.
    SaveScheduler(std::function<void()> save, std::chrono::milliseconds quiet,
                  std::chrono::milliseconds longest);
    // Stops the thread without saving: the owner saves what is pending itself.
    ~SaveScheduler();
    SaveScheduler(const SaveScheduler&) = delete;
    SaveScheduler& operator=(const SaveScheduler&) = delete;

    // Something was changed that must reach the disk.
    void Changed();
    void SetDelays(std::chrono::milliseconds quiet, std::chrono::milliseconds longest);

  private:
    void Run();

    const std::function<void()> save_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::chrono::milliseconds quiet_;
    std::chrono::milliseconds longest_;
    bool pending_ = false;
    bool stopping_ = false;
    Clock::time_point quiet_until_;
    Clock::time_point latest_;
    std::thread thread_;  // started by the first change
};

}  // namespace tovarin::kernel::registry
