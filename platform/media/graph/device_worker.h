// A streaming thread of a filter: a device thread, so that its waits run on the device clock
// (a capture second costs no wall time in simulated mode), with an event that asks it to stop.
#pragma once

#include <windows.h>
#include <strmif.h>

#include <cstdint>
#include <functional>

namespace tovarin::media {

class DeviceWorker {
  public:
    DeviceWorker();
    ~DeviceWorker();  // stops and joins
    DeviceWorker(const DeviceWorker&) = delete;
    DeviceWorker& operator=(const DeviceWorker&) = delete;

    // Starts body on a new device thread; false when the thread cannot be made.
    bool Start(std::function<void(DeviceWorker&)> body);
    // Asks the body to end and waits until it has (not from the worker's own thread).
    void Stop();
    bool Running() const { return thread_ != nullptr; }
    bool OnWorkerThread() const;

    // Inside the body: waits ms of device time; false when asked to stop.
    bool Sleep(uint32_t ms);
    bool StopRequested() const;
    // Wakes a Sleep without asking to stop (a changed state to look at).
    HANDLE stop_event() const { return stop_; }

  private:
    static DWORD WINAPI Entry(LPVOID self);

    HANDLE stop_;
    HANDLE thread_ = nullptr;
    DWORD thread_id_ = 0;
    std::function<void(DeviceWorker&)> body_;
};

// Device time in 100 ns units.
REFERENCE_TIME DeviceTimeNow();

}  // namespace tovarin::media
