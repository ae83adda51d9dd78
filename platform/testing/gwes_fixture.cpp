#include "testing/gwes_fixture.h"

#include <algorithm>

namespace tovarin::gwes::testing {

Recorder& Recorder::Instance() {
    static Recorder recorder;
    return recorder;
}

void Recorder::Clear() {
    std::lock_guard guard(mutex_);
    seen_.clear();
}

void Recorder::Add(const Seen& seen) {
    std::lock_guard guard(mutex_);
    seen_.push_back(seen);
}

std::vector<tovarin::testing::LoggedMessage> Recorder::Sequence(
    std::initializer_list<UINT> kinds) const {
    return SequenceOf(nullptr, kinds);
}

std::vector<tovarin::testing::LoggedMessage> Recorder::SequenceOf(
    HWND window, std::initializer_list<UINT> kinds) const {
    std::lock_guard guard(mutex_);
    std::vector<tovarin::testing::LoggedMessage> sequence;
    for (const Seen& seen : seen_) {
        if ((!window || seen.hwnd == window) &&
            (kinds.size() == 0 ||
             std::find(kinds.begin(), kinds.end(), seen.message) != kinds.end())) {
            sequence.push_back({seen.message, 0, seen.wparam, seen.lparam, seen.hwnd, seen.thread});
        }
    }
    return sequence;
}

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    Recorder::Instance().Add({hwnd, message, wparam, lparam, GetCurrentThreadId()});
    switch (message) {
        case kEchoPlusOne:
            return static_cast<LRESULT>(wparam + 1);
        case kWhoRuns:
            return static_cast<LRESULT>(GetCurrentThreadId());
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

PumpingThread::PumpingThread(std::function<void()> setup) : setup_(std::move(setup)) {
    handle_ = CreateThread(nullptr, 0, &Run, this, 0, &id_);
    EXPECT_NE(nullptr, handle_);
    // Returns once the thread has run its setup and waits for messages.
    kernel::WaitForDeviceIdle();
}

PumpingThread::~PumpingThread() {
    if (!ended_) {
        Quit();
    }
    CloseHandle(handle_);
}

DWORD PumpingThread::Quit(int code) {
    PostThreadMessageW(id_, WM_QUIT, static_cast<WPARAM>(code), 0);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(handle_, INFINITE));
    ended_ = true;
    DWORD exit_code = 0;
    GetExitCodeThread(handle_, &exit_code);
    return exit_code;
}

DWORD WINAPI PumpingThread::Run(LPVOID self) {
    static_cast<PumpingThread*>(self)->setup_();
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<DWORD>(message.wParam);
}

WindowTest::WindowTest() {
    Recorder::Instance().Clear();
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &RecordingProc;
    window_class.lpszClassName = kRecorderClass;
    window_class.cbWndExtra = 8;
    EXPECT_NE(0, RegisterClassW(&window_class));
}

HWND WindowTest::MakeWindow(LPCWSTR title, HWND parent, DWORD style) {
    return CreateWindowExW(0, kRecorderClass, title, style | (parent ? WS_CHILD : 0), 0, 0, 100,
                           100, parent, nullptr, nullptr, nullptr);
}

}  // namespace tovarin::gwes::testing
