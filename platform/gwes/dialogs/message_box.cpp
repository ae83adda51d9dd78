// MessageBoxW and its host side.
#include "host/message_boxes.h"

#include <algorithm>
#include <optional>

#include <windows.h>

#include "gwes/dialogs/message_box_paint.h"
#include "gwes/gdi/window_damage.h"
#include "gwes/messages/message_pump.h"
#include "gwes/window_manager.h"
#include "host/device.h"
#include "kernel/handles.h"
#include "host/trace.h"

using namespace tovarin::gwes;
using tovarin::kernel::SetError;

namespace {

constexpr wchar_t kDefaultCaption[] = L"Error";

std::vector<int> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_OK:
            return {IDOK};
        case MB_OKCANCEL:
            return {IDOK, IDCANCEL};
        case MB_ABORTRETRYIGNORE:
            return {IDABORT, IDRETRY, IDIGNORE};
        case MB_YESNOCANCEL:
            return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO:
            return {IDYES, IDNO};
        case MB_RETRYCANCEL:
            return {IDRETRY, IDCANCEL};
        default:
            return {};
    }
}

bool Offers(const MessageBoxState& box, int button) {
    return std::find(box.buttons.begin(), box.buttons.end(), button) != box.buttons.end();
}

// What closing the box gives: Cancel where there is one, OK for a lone OK; 0 (the box cannot be
// closed) otherwise.
int CloseResult(const MessageBoxState& box) {
    if (Offers(box, IDCANCEL)) {
        return IDCANCEL;
    }
    return box.buttons.size() == 1 ? box.buttons.front() : 0;
}

int DefaultButton(const MessageBoxState& box) {
    const size_t index = (box.type & MB_DEFMASK) >> 8;
    return index < box.buttons.size() ? box.buttons[index] : box.buttons.front();
}

MessageBoxLook LookOf(const MessageBoxState& box) {
    return MessageBoxLook{box.text, box.type, box.buttons, DefaultButton(box)};
}

// The box may end inside a sent message, which GetMessageW delivers without returning: a message
// of no meaning makes the modal loop look at the box again. (Should the loop end otherwise, the
// thread's own loop later takes it and nothing happens.)
void WakeModalLoop() {
    PostMessageW(nullptr, WM_NULL, 0, 0);
}

// Gives the owner that the box disabled its input back. Lock held.
void EnableOwner(WindowManager& wm, MessageBoxState& state) {
    if (Window* window = wm.windows().Find(state.disabled_owner)) {
        window->style &= ~WS_DISABLED;
    }
    state.disabled_owner = nullptr;
}

// Ends the box with the result, if it offers that result.
void Finish(WindowManager& wm, HWND box, int result) {
    {
        auto lock = wm.Lock();
        std::shared_ptr<MessageBoxState> state = wm.MessageBoxOf(box);
        if (!state || state->done || result == 0 || !Offers(*state, result)) {
            return;
        }
        state->done = true;
        state->result = result;
        // The owner takes input again before the box goes, so that the foreground returns to
        // it rather than to some other window.
        EnableOwner(wm, *state);
    }
    DestroyWindow(box);
    WakeModalLoop();
}

LRESULT CALLBACK MessageBoxProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    WindowManager& wm = WindowManager::Current();
    std::optional<MessageBoxState> state;
    {
        auto lock = wm.Lock();
        if (std::shared_ptr<MessageBoxState> shared = wm.MessageBoxOf(hwnd)) {
            state = *shared;
        }
    }
    if (!state) {
        return DefWindowProcW(hwnd, message, wparam, lparam);
    }
    switch (message) {
        case WM_COMMAND:
            Finish(wm, hwnd, LOWORD(wparam));
            return 0;
        case WM_CLOSE:
            Finish(wm, hwnd, CloseResult(*state));
            return 0;
        case WM_PAINT:
            PaintMessageBox(hwnd, LookOf(*state));
            return 0;
        case WM_LBUTTONUP:
            // A tap on one of the buttons drawn in the box presses it.
            Finish(wm, hwnd,
                   MessageBoxButtonAt(hwnd, LookOf(*state), POINT{LOWORD(lparam), HIWORD(lparam)}));
            return 0;
        case WM_KEYDOWN:
            if (wparam == VK_RETURN) {
                Finish(wm, hwnd, DefaultButton(*state));
            } else if (wparam == VK_ESCAPE) {
                Finish(wm, hwnd, CloseResult(*state));
            }
            return 0;
        case WM_DESTROY: {
            // Destroyed without an answer (its owner went): it ends as if closed.
            {
                auto lock = wm.Lock();
                std::shared_ptr<MessageBoxState> shared = wm.MessageBoxOf(hwnd);
                if (!shared || shared->done) {
                    return 0;
                }
                shared->done = true;
                shared->result = CloseResult(*shared);
            }
            WakeModalLoop();
            return 0;
        }
        default:
            return DefWindowProcW(hwnd, message, wparam, lparam);
    }
}

void TraceShown(const std::wstring& caption, const std::wstring& text) {
    tovarin::kernel::Device& device = tovarin::kernel::Device::Current();
    device.trace().Write(
        {device.NowMs(), L"gwes", L"MessageBox \"" + caption + L"\": " + text + L"\n"});
}

// Puts everything back when the modal loop ends, also when the thread is ended inside it.
class ModalScope {
  public:
    ModalScope(WindowManager& wm, HWND box, HWND owner) : wm_(wm), box_(box), owner_(owner) {
        auto lock = wm_.Lock();
        previous_foreground_ = wm_.foreground();
        if (Window* window = wm_.windows().Find(box_)) {
            wm_.set_foreground(box_);
            LayoutChange change(wm_, *window);
            wm_.windows().BringToTop(*window);
        }
        std::shared_ptr<MessageBoxState> state = wm_.MessageBoxOf(box_);
        if (Window* window = wm_.windows().Find(owner_);
            state && window && !(window->style & WS_DISABLED)) {
            window->style |= WS_DISABLED;  // the owner takes no input while the box is up
            state->disabled_owner = owner_;
        }
    }
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
    ~ModalScope() {
        auto lock = wm_.Lock();
        if (std::shared_ptr<MessageBoxState> state = wm_.MessageBoxOf(box_)) {
            EnableOwner(wm_, *state);
        }
        wm_.RemoveMessageBox(box_);
        if ((!wm_.foreground() || wm_.foreground() == box_) &&
            wm_.windows().Find(previous_foreground_)) {
            wm_.set_foreground(previous_foreground_);
        }
    }

  private:
    WindowManager& wm_;
    const HWND box_;
    const HWND owner_;
    HWND previous_foreground_ = nullptr;
};

}  // namespace

namespace tovarin::gwes {

std::vector<MessageBoxInfo> ShownMessageBoxes() {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    std::vector<MessageBoxInfo> shown;
    for (const auto& [hwnd, state] : wm.message_boxes()) {
        if (!state->done && wm.windows().Find(hwnd)) {
            shown.push_back({hwnd, state->text, state->caption, state->type, state->thread_id});
        }
    }
    return shown;
}

bool AnswerMessageBox(HWND box, int button_id) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    std::shared_ptr<MessageBoxState> state = wm.MessageBoxOf(box);
    const Window* window = wm.windows().Find(box);
    if (!state || state->done || !window || !Offers(*state, button_id)) {
        return false;
    }
    PostToWindow(wm, *window, WM_COMMAND, MAKEWPARAM(button_id, BN_CLICKED), 0);
    return true;
}

}  // namespace tovarin::gwes

extern "C" {

int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
    std::vector<int> buttons = ButtonsOf(uType);
    if (buttons.empty()) {
        SetError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (hWnd && !IsWindowOrFail(hWnd)) {
        return 0;
    }
    WindowManager& wm = WindowManager::Current();
    auto state = std::make_shared<MessageBoxState>();
    state->text = lpText ? lpText : L"";
    state->caption = lpCaption ? lpCaption : kDefaultCaption;
    state->type = uType;
    state->thread_id = CurrentThreadId();
    state->buttons = std::move(buttons);

    const DWORD ex_style = (uType & MB_TOPMOST) ? WS_EX_TOPMOST : 0;
    const RECT frame = MessageBoxFrame(LookOf(*state));
    HWND box = CreateWindowExW(ex_style, kDialogClassName, state->caption.c_str(),
                               WS_POPUP | WS_CAPTION | WS_VISIBLE, frame.left, frame.top,
                               frame.right - frame.left, frame.bottom - frame.top, hWnd, nullptr,
                               nullptr, nullptr);
    if (!box) {
        return 0;
    }
    {
        auto lock = wm.Lock();
        Window* window = wm.windows().Find(box);
        if (!window) {
            return 0;
        }
        window->proc = &MessageBoxProc;
        wm.AddMessageBox(box, state);
    }
    TraceShown(state->caption, state->text);

    std::optional<int> quit_code;
    {
        ModalScope modal(wm, box, hWnd);
        auto done = [&] {
            auto lock = wm.Lock();
            return state->done;
        };
        MSG message;
        while (!done()) {
            BOOL got = GetMessageW(&message, nullptr, 0, 0);
            if (got == -1) {
                break;
            }
            if (got == 0) {
                quit_code = static_cast<int>(message.wParam);  // handed on after the box
                break;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (IsWindow(box)) {
            DestroyWindow(box);  // ended without an answer: closed
        }
    }
    if (quit_code) {
        PostQuitMessage(*quit_code);
    }
    auto lock = wm.Lock();
    return state->result;
}

}  // extern "C"
