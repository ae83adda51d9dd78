// Starting a device thread that must finish its setup (its windows, its loaded libraries)
// before boot goes on.
#pragma once

#include <windows.h>

#include <string>

namespace tovarin::emulator {

// Passed to the thread's routine, which calls Ready() once its setup is done.
class ReadySignal {
  public:
    explicit ReadySignal(HANDLE event) : event_(event) {}
    void Ready() const { SetEvent(event_); }

  private:
    HANDLE event_;
};

// Starts routine on a new device thread and waits until it calls ready.Ready() or ends. The
// routine receives a ReadyThreadStart*, which lives only until Ready(): the routine takes the
// context first and touches the record no more after Ready(). False, with a description, when
// the thread cannot start or ends before it is ready. The thread goes on after Ready().
struct ReadyThreadStart {
    void* context = nullptr;
    ReadySignal ready{nullptr};
};
bool StartReadyThread(LPTHREAD_START_ROUTINE routine, void* context, const char* what,
                      std::string* error);

}  // namespace tovarin::emulator
