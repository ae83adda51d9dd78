// What the kernel asks of the platform's other subsystems (the window manager, the shell, the
// device's own libraries, the contacts), which it does not know. Each subsystem hands the kernel
// its part as the platform library loads (TOVARIN_SUBSYSTEM in one of its files), so that every
// include and every call runs from the subsystems down to the kernel, never up.
#pragma once

namespace tovarin::kernel {

struct SubsystemHooks {
    // Where the subsystem stands among the others: boot registers their modules in this order, so
    // that module handles do not depend on the order in which the library's parts were linked.
    int order = 0;
    // Device boot, after the kernel's coredll.dll: the subsystem's built-in modules, or its own
    // functions added to coredll's exports.
    void (*register_modules)() = nullptr;
    // A device thread is ending, on that thread, after its modules have seen DLL_THREAD_DETACH
    // and before its handle is signalled.
    void (*thread_ending)() = nullptr;
};

// Adds a subsystem's hooks; returns true so that a file-scope constant can call it at load.
bool AddSubsystem(const SubsystemHooks& hooks);

// Each subsystem's register_modules, in their order (RegisterPlatformBuiltins calls it).
void RegisterSubsystemModules();
// Each subsystem's thread_ending, on the ending device thread.
void SubsystemsThreadEnding();

}  // namespace tovarin::kernel

// Hands a subsystem's hooks to the kernel as the platform library loads.
#define TOVARIN_SUBSYSTEM(name, ...)                                                     \
    namespace {                                                                          \
    [[maybe_unused]] const bool kSubsystem_##name =                                      \
        ::tovarin::kernel::AddSubsystem(::tovarin::kernel::SubsystemHooks{__VA_ARGS__}); \
    }
