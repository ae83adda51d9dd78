// Test scaffolding for the window manager: a fresh simulated device with the test thread attached,
// a window class whose procedure records what it receives, and device threads that own windows
// and pump their messages.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <mutex>
#include <vector>

#include <windows.h>

#include "testing/device_fixture.h"
#include "testing/message_sequence.h"

namespace tovarin::gwes::testing {

inline constexpr wchar_t kRecorderClass[] = L"Recorder";

// Messages that make the recording procedure answer in a known way.
inline constexpr UINT kEchoPlusOne = WM_USER + 1;  // returns wParam + 1
inline constexpr UINT kWhoRuns = WM_USER + 2;      // returns the id of the thread that runs it

// What a window of the recorder class received, and on which thread.
struct Seen {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wparam = 0;
    LPARAM lparam = 0;
    DWORD thread = 0;
};

class Recorder {
  public:
    static Recorder& Instance();
    void Clear();
    void Add(const Seen& seen);
    // The messages of these kinds (every kind when none is given) to any window, in the order
    // received, to compare with a table
    // (testing/message_sequence.h; the recording class cannot tell sent from posted, so their
    // delivery flags are none).
    std::vector<tovarin::testing::LoggedMessage> Sequence(
        std::initializer_list<UINT> kinds = {}) const;
    // The same, of one window only (of every window when it is null).
    std::vector<tovarin::testing::LoggedMessage> SequenceOf(
        HWND window, std::initializer_list<UINT> kinds = {}) const;

  private:
    mutable std::mutex mutex_;
    std::vector<Seen> seen_;
};

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);

// A device thread that runs `setup` and then pumps its messages until WM_QUIT; its exit code is
// the quit code. The destructor asks it to quit and waits for it.
class PumpingThread {
  public:
    explicit PumpingThread(std::function<void()> setup);
    ~PumpingThread();
    PumpingThread(const PumpingThread&) = delete;
    PumpingThread& operator=(const PumpingThread&) = delete;

    DWORD id() const { return id_; }
    HANDLE handle() const { return handle_; }
    // Posts WM_QUIT with the code and waits for the thread; returns its exit code.
    DWORD Quit(int code = 0);

  private:
    static DWORD WINAPI Run(LPVOID self);

    std::function<void()> setup_;
    HANDLE handle_ = nullptr;
    DWORD id_ = 0;
    bool ended_ = false;
};

class WindowTest : public kernel::testing::SimulatedDeviceTest {
  protected:
    WindowTest();

    // A window of the recorder class on the calling thread.
    static HWND MakeWindow(LPCWSTR title, HWND parent = nullptr, DWORD style = 0);
};

}  // namespace tovarin::gwes::testing
