#include "gwes/windows/window_destruction.h"

#include <utility>
#include <vector>

#include "gwes/dialogs/dialog_manager.h"
#include "gwes/gdi/window_damage.h"
#include "gwes/input/focus.h"
#include "gwes/messages/message_pump.h"
#include "gwes/window_manager.h"

namespace tovarin::gwes {
namespace {

// Kernel lock held: everything that refers to the window goes before the window itself.
void Forget(WindowManager& wm, Window& window) {
    wm.hot_keys().ForgetWindow(window.handle);
    ForgetWindowInput(wm, window);
    if (std::shared_ptr<ThreadQueue> queue = wm.QueueOf(window.thread_id)) {
        queue->ForgetWindow(window.handle);
    }
    for (Window* owned : wm.windows().OwnedBy(window)) {
        owned->owner = nullptr;
    }
    window.window_class->windows--;
}

}  // namespace

void RemoveWindowSilently(WindowManager& wm, Window& window) {
    std::shared_ptr<Window> keep = wm.windows().FindShared(window.handle);
    if (!keep) {
        return;
    }
    const Region covered = window.parent ? Region() : ScreenArea(window);
    std::vector<Window*> children = window.children;
    for (Window* child : children) {
        RemoveWindowSilently(wm, *child);
    }
    Forget(wm, window);
    window.style &= ~WS_VISIBLE;
    wm.windows().Remove(window);
    if (!covered.Empty()) {
        DamageScreen(wm, covered);
    }
}

void DestroyWindowTree(WindowManager& wm, const std::shared_ptr<Window>& window) {
    WNDPROC proc = nullptr;
    HWND hand_over_to = nullptr;  // the owner takes over when the active window goes
    bool was_foreground = false;
    {
        auto lock = wm.Lock();
        if (!window->alive || window->destroying) {
            return;
        }
        {
            LayoutChange change(wm, *window);
            window->destroying = true;
            window->style &= ~WS_VISIBLE;
        }
        was_foreground = wm.foreground() == window->handle;
        if (was_foreground) {
            wm.set_foreground(nullptr);
        }
        if (wm.InputOf(window->thread_id).active == window->handle && window->owner &&
            window->thread_id == CurrentThreadId()) {
            hand_over_to = window->owner;
        }
        proc = window->proc;
    }
    CallWindowProcedure(proc, window->handle, WM_DESTROY, 0, 0);
    // A dialog's font goes with it.
    HFONT dialog_font = nullptr;
    {
        auto lock = wm.Lock();
        if (window->dialog) {
            dialog_font = std::exchange(window->dialog->font, nullptr);
        }
    }
    if (dialog_font) {
        DeleteObject(dialog_font);
    }

    std::vector<std::shared_ptr<Window>> dependents;
    {
        auto lock = wm.Lock();
        for (Window* child : window->children) {
            dependents.push_back(wm.windows().FindShared(child->handle));
        }
        for (Window* owned : wm.windows().OwnedBy(*window)) {
            dependents.push_back(wm.windows().FindShared(owned->handle));
        }
    }
    const uint32_t self = CurrentThreadId();
    for (const std::shared_ptr<Window>& dependent : dependents) {
        if (!dependent) {
            continue;
        }
        if (dependent->thread_id == self) {
            DestroyWindowTree(wm, dependent);
            continue;
        }
        // A window of another thread: its code cannot run here. A child goes with its parent;
        // an owned window stays and loses its owner.
        auto lock = wm.Lock();
        if (dependent->alive && dependent->IsChild()) {
            RemoveWindowSilently(wm, *dependent);
        }
    }

    {
        auto lock = wm.Lock();
        RemoveWindowSilently(wm, *window);
        Window* owner = wm.windows().Find(hand_over_to);
        if (!owner || !owner->Visible() || (owner->style & WS_DISABLED)) {
            if (was_foreground) {
                ForegroundToNextWindow(wm);
            }
            return;
        }
        if (was_foreground) {
            wm.set_foreground(hand_over_to);
        }
    }
    SetActiveWindow(hand_over_to);
}

}  // namespace tovarin::gwes
