// Window timers: SetTimer and KillTimer. A timer belongs to the queue of its window's thread
// (or of the calling thread, without a window); see timer_list.h for when WM_TIMER comes.
#include <windows.h>

#include "gwes/window_manager.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

// Kernel lock held: the queue that keeps the timers of a window (or of the calling thread).
std::shared_ptr<ThreadQueue> TimerQueue(WindowManager& wm, HWND hwnd) {
    if (!hwnd) {
        return wm.OwnQueue();
    }
    const Window* window = wm.WindowOrFail(hwnd);
    if (!window) {
        return nullptr;
    }
    return wm.QueueOf(window->thread_id);
}

}  // namespace

extern "C" {

UINT_PTR WINAPI SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    std::shared_ptr<ThreadQueue> queue = TimerQueue(wm, hWnd);
    if (!queue) {
        return 0;
    }
    UINT_PTR id = queue->timers().Set(hWnd, nIDEvent, uElapse, lpTimerFunc, wm.scheduler().NowMs());
    queue->TimersChanged(wm.scheduler());
    return id;
}

BOOL WINAPI KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    std::shared_ptr<ThreadQueue> queue = TimerQueue(wm, hWnd);
    if (!queue) {
        return FALSE;
    }
    if (!queue->timers().Kill(hWnd, uIDEvent)) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    queue->TimersChanged(wm.scheduler());
    return TRUE;
}

}  // extern "C"
