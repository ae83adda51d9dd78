#include "gwes/input/keyboard_hooks.h"

#include <mutex>

#include "kernel/device_local.h"

namespace tovarin::gwes {
namespace {

struct Hook {
    HHOOK handle;
    HOOKPROC procedure;
    uint32_t thread_id;
};

struct KeyboardHooks {
    std::mutex mutex;
    std::vector<Hook> hooks;
    uintptr_t next_handle = 0x6000;
};

std::shared_ptr<KeyboardHooks> Hooks() {
    static auto* hooks = new kernel::DeviceLocal<KeyboardHooks>;
    return hooks->Get();
}

}  // namespace

HHOOK AddKeyboardHook(HOOKPROC procedure, uint32_t thread_id) {
    auto state = Hooks();
    std::lock_guard lock(state->mutex);
    const auto handle = reinterpret_cast<HHOOK>(state->next_handle++);
    state->hooks.push_back({handle, procedure, thread_id});
    return handle;
}

bool RemoveKeyboardHook(HHOOK hook) {
    auto state = Hooks();
    std::lock_guard lock(state->mutex);
    return std::erase_if(state->hooks, [hook](const Hook& h) { return h.handle == hook; }) > 0;
}

void ForgetKeyboardHooksOf(uint32_t thread_id) {
    auto state = Hooks();
    std::lock_guard lock(state->mutex);
    std::erase_if(state->hooks, [thread_id](const Hook& h) { return h.thread_id == thread_id; });
}

std::vector<HOOKPROC> KeyboardHooksInCallOrder() {
    auto state = Hooks();
    std::lock_guard lock(state->mutex);
    std::vector<HOOKPROC> procedures;
    for (auto it = state->hooks.rbegin(); it != state->hooks.rend(); ++it) {
        procedures.push_back(it->procedure);
    }
    return procedures;
}

}  // namespace tovarin::gwes
