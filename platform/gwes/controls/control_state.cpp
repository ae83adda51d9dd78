#include "gwes/controls/control_state.h"

#include <map>
#include <mutex>

#include <commctrl.h>

#include "gwes/messages/message_pump.h"
#include "gwes/window_manager.h"
#include "kernel/device_local.h"

namespace tovarin::gwes::controls {
namespace {

struct StateTable {
    std::mutex mutex;
    std::map<HWND, std::shared_ptr<ControlState>> states;
};

std::shared_ptr<StateTable> Table() {
    static auto* table = new kernel::DeviceLocal<StateTable>;
    return table->Get();
}

}  // namespace

void AttachState(HWND hwnd, std::shared_ptr<ControlState> state) {
    auto table = Table();
    std::lock_guard guard(table->mutex);
    table->states[hwnd] = std::move(state);
}

void DetachState(HWND hwnd) {
    auto table = Table();
    std::shared_ptr<ControlState> gone;  // destroyed after the lock is released
    std::lock_guard guard(table->mutex);
    auto found = table->states.find(hwnd);
    if (found != table->states.end()) {
        gone = std::move(found->second);
        table->states.erase(found);
    }
}

std::shared_ptr<ControlState> StateOf(HWND hwnd) {
    auto table = Table();
    std::lock_guard guard(table->mutex);
    auto found = table->states.find(hwnd);
    return found == table->states.end() ? nullptr : found->second;
}

HWND ParentOf(HWND control) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    const Window* window = wm.windows().Find(control);
    if (!window) {
        return nullptr;
    }
    return window->parent ? window->parent->handle : window->owner;
}

int ControlId(HWND control) {
    return GetWindowLongW(control, GWL_ID);
}

DWORD StyleOf(HWND control) {
    return static_cast<DWORD>(GetWindowLongW(control, GWL_STYLE));
}

void SetStyleBits(HWND control, DWORD bits, bool on) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    if (Window* window = wm.windows().Find(control)) {
        window->style = on ? window->style | bits : window->style & ~bits;
    }
}

bool IsEnabled(HWND control) {
    return (StyleOf(control) & WS_DISABLED) == 0;
}

SIZE ClientSize(HWND control) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    const Window* window = wm.windows().Find(control);
    return window ? SIZE{window->width, window->height} : SIZE{0, 0};
}

POINT ScreenOrigin(HWND hwnd) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    POINT origin{0, 0};
    for (const Window* window = wm.windows().Find(hwnd); window; window = window->parent) {
        origin.x += window->x;
        origin.y += window->y;
    }
    return origin;
}

bool IsClass(HWND hwnd, std::wstring_view class_name) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    const Window* window = wm.windows().Find(hwnd);
    if (!window) {
        return false;
    }
    const std::wstring& name = window->window_class->name;
    return name.size() == class_name.size() &&
           std::equal(name.begin(), name.end(), class_name.begin(),
                      [](wchar_t a, wchar_t b) { return towlower(a) == towlower(b); });
}

std::wstring StoredText(HWND hwnd) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    const Window* window = wm.windows().Find(hwnd);
    return window ? window->title : std::wstring();
}

void StoreText(HWND hwnd, std::wstring_view text) {
    WindowManager& wm = WindowManager::Current();
    auto lock = wm.Lock();
    if (Window* window = wm.windows().Find(hwnd)) {
        window->title = text;
    }
}

bool Inside(HWND control, POINT point) {
    const SIZE size = ClientSize(control);
    return point.x >= 0 && point.y >= 0 && point.x < size.cx && point.y < size.cy;
}

void TakeFocus(HWND control) {
    if (GetFocus() != control) {
        SetFocus(control);
    }
}

void NotifyParent(HWND control, WORD code) {
    if (HWND parent = ParentOf(control)) {
        SendMessageW(parent, WM_COMMAND, MAKEWPARAM(ControlId(control), code),
                     reinterpret_cast<LPARAM>(control));
    }
}

LRESULT NotifyParentNm(HWND control, UINT code, void* header) {
    auto* nm = static_cast<NMHDR*>(header);
    nm->hwndFrom = control;
    nm->idFrom = static_cast<UINT_PTR>(ControlId(control));
    nm->code = code;
    HWND parent = ParentOf(control);
    return parent ? SendMessageW(parent, WM_NOTIFY, nm->idFrom, reinterpret_cast<LPARAM>(nm)) : 0;
}

}  // namespace tovarin::gwes::controls
