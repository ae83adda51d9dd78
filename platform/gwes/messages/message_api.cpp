// The message functions: SendMessageW, PostMessageW, PostThreadMessageW, GetMessageW,
// PeekMessageW, TranslateMessage, DispatchMessageW, PostQuitMessage.
#include <optional>

#include <windows.h>

#include "gwes/messages/message_pump.h"
#include "gwes/window_manager.h"
#include "kernel/handles.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

// A filter window must be a window (or (HWND)-1, or none); false, with the last error set, when
// it is not.
bool ValidFilterWindow(WindowManager& wm, HWND hwnd) {
    if (!hwnd || hwnd == MessageFilter::kThreadMessagesOnly) {
        return true;
    }
    auto lock = wm.Lock();
    return wm.WindowOrFail(hwnd) != nullptr;
}

// The character a key press types, if any.
std::optional<wchar_t> CharacterOf(UINT vk, bool shift) {
    if (vk >= 'A' && vk <= 'Z') {
        return static_cast<wchar_t>(shift ? vk : vk - 'A' + 'a');
    }
    if (vk >= '0' && vk <= '9') {
        return static_cast<wchar_t>(vk);
    }
    switch (vk) {
        case VK_SPACE:
            return L' ';
        case VK_RETURN:
            return L'\r';
        case VK_BACK:
            return L'\b';
        case VK_TAB:
            return L'\t';
        case VK_ESCAPE:
            return static_cast<wchar_t>(0x1B);
        default:
            return std::nullopt;
    }
}

}  // namespace

extern "C" {

LRESULT WINAPI SendMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    WindowManager& wm = WindowManager::Current();
    wm.scheduler().ExitIfRequested();  // a thread of an ended program ends here
    return SendToWindow(wm, hWnd, Msg, wParam, lParam);
}

BOOL WINAPI PostMessageW(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    if (!hWnd) {
        // No window: a message for the calling thread itself.
        MSG posted{};
        posted.message = Msg;
        posted.wParam = wParam;
        posted.lParam = lParam;
        posted.time = static_cast<DWORD>(wm.scheduler().NowMs());
        wm.OwnQueue()->Post(wm.scheduler(), posted);
        return TRUE;
    }
    const Window* window = wm.WindowOrFail(hWnd);
    if (!window) {
        return FALSE;
    }
    PostToWindow(wm, *window, Msg, wParam, lParam);
    return TRUE;
}

BOOL WINAPI PostThreadMessageW(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    std::shared_ptr<ThreadQueue> queue = wm.QueueOf(idThread);
    if (!queue) {
        SetError(ERROR_INVALID_THREAD_ID);  // no such thread, or it has no message queue yet
        return FALSE;
    }
    MSG posted{};
    posted.message = Msg;
    posted.wParam = wParam;
    posted.lParam = lParam;
    posted.time = static_cast<DWORD>(wm.scheduler().NowMs());
    queue->Post(wm.scheduler(), posted);
    return TRUE;
}

BOOL WINAPI GetMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    WindowManager& wm = WindowManager::Current();
    wm.scheduler().ExitIfRequested();
    if (!lpMsg) {
        SetError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (!ValidFilterWindow(wm, hWnd)) {
        return -1;
    }
    const MessageFilter filter{.hwnd = hWnd, .first = wMsgFilterMin, .last = wMsgFilterMax};
    switch (NextMessage(wm, filter, /*remove=*/true, /*block=*/true, lpMsg)) {
        case NextResult::Message:
            return lpMsg->message == WM_QUIT ? FALSE : TRUE;
        case NextResult::None:
        case NextResult::Failed:
            break;
    }
    return -1;
}

BOOL WINAPI PeekMessageW(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax,
                         UINT wRemoveMsg) {
    WindowManager& wm = WindowManager::Current();
    wm.scheduler().ExitIfRequested();
    if (!lpMsg) {
        SetError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!ValidFilterWindow(wm, hWnd)) {
        return FALSE;
    }
    const MessageFilter filter{.hwnd = hWnd, .first = wMsgFilterMin, .last = wMsgFilterMax};
    const bool remove = (wRemoveMsg & PM_REMOVE) != 0;
    return NextMessage(wm, filter, remove, /*block=*/false, lpMsg) == NextResult::Message;
}

BOOL WINAPI TranslateMessage(const MSG* lpMsg) {
    if (!lpMsg || lpMsg->message != WM_KEYDOWN) {
        return FALSE;
    }
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    std::optional<wchar_t> character =
        CharacterOf(static_cast<UINT>(lpMsg->wParam), wm.ShiftHeld());
    if (!character) {
        return FALSE;
    }
    // The character is the next message the thread takes, ahead of anything posted since.
    MSG typed = *lpMsg;
    typed.message = WM_CHAR;
    typed.wParam = static_cast<WPARAM>(*character);
    wm.OwnQueue()->PostFirst(wm.scheduler(), typed);
    return TRUE;
}

LRESULT WINAPI DispatchMessageW(const MSG* lpMsg) {
    if (!lpMsg) {
        return 0;
    }
    WindowManager& wm = WindowManager::Current();
    const uint32_t self = CurrentThreadId();
    WNDPROC proc = nullptr;
    {
        auto lock = wm.Lock();
        if (lpMsg->message == WM_TIMER && lpMsg->lParam != 0) {
            // A timer procedure is called only for a timer of this thread that still has it, not
            // for any address a posted WM_TIMER carries.
            auto timer_proc = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
            if (wm.OwnQueue()->timers().Exists(lpMsg->hwnd, lpMsg->wParam, timer_proc)) {
                lock.unlock();
                timer_proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, GetTickCount());
                return 0;
            }
        }
        if (!lpMsg->hwnd) {
            return 0;  // a thread message has no procedure
        }
        const Window* window = wm.WindowOrFail(lpMsg->hwnd);
        if (!window) {
            return 0;
        }
        if (window->thread_id != self) {
            SetError(ERROR_WINDOW_OF_OTHER_THREAD);
            return 0;
        }
        proc = window->proc;
    }
    return CallWindowProcedure(proc, lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

void WINAPI PostQuitMessage(int nExitCode) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    wm.OwnQueue()->PostQuit(wm.scheduler(), nExitCode);
}

}  // extern "C"
