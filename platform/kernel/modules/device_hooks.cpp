// What the rest of the kernel calls into the loader: thread notifications, device shutdown and
// the resources of a module.
#include <winbase.h>

#include "kernel/modules/loader.h"
#include "kernel/modules/module_table.h"
#include "kernel/modules/modules.h"

namespace tovarin::kernel::modules {

void OnThreadAttach() {
    NotifyThread(DLL_THREAD_ATTACH);
}

void OnThreadDetach() {
    NotifyThread(DLL_THREAD_DETACH);
}

void UnloadAll() {
    // lpvReserved non-NULL tells a module that the process ends rather than that it is freed.
    LPVOID const process_ends = reinterpret_cast<LPVOID>(1);
    for (const EntryCall& entry : Modules().BeginUnloadAll()) {
        if (entry.dll_main) {
            entry.dll_main(entry.handle, DLL_PROCESS_DETACH, process_ends);
        }
    }
    std::vector<std::shared_ptr<HostLibrary>> libraries = Modules().Clear();
    for (std::shared_ptr<HostLibrary>& library : libraries) {
        library.reset();  // newest first, as they were detached
    }
}

std::span<const std::byte> ResourcesOf(HMODULE module) {
    std::optional<ModuleView> view = Modules().View(module);
    return view ? view->resources : std::span<const std::byte>();
}

}  // namespace tovarin::kernel::modules
