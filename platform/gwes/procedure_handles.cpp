#include "gwes/procedure_handles.h"

#include <link.h>

#include <mutex>
#include <vector>

namespace tovarin::gwes {
namespace {

// Handles lie at the top of the 32-bit range: sign-extended they are kernel addresses and
// zero-extended they lie above any executable that the host maps below 4 GiB, so neither reading
// can be a procedure's real address.
constexpr uint32_t kFirstHandle = 0xFFF00000;
constexpr uint32_t kHandleStep = 4;
constexpr size_t kMaxHandles = (0xFFFFFFFCu - kFirstHandle) / kHandleStep + 1;

// Procedures are the process's, not a device's: the table outlives devices.
std::mutex g_mutex;
std::vector<WNDPROC>& Procedures() {
    static auto* procedures = new std::vector<WNDPROC>;
    return *procedures;
}

uintptr_t Address(WNDPROC proc) {
    return reinterpret_cast<uintptr_t>(proc);
}

struct CodeSearch {
    uint32_t low = 0;
    uintptr_t found = 0;
    int matches = 0;
};

// Finds the executable segments that hold an address with the given low 32 bits.
int SearchSegments(struct dl_phdr_info* info, size_t, void* data) {
    auto* search = static_cast<CodeSearch*>(data);
    for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD || (header.p_flags & PF_X) == 0 || header.p_memsz == 0) {
            continue;
        }
        const uintptr_t start = info->dlpi_addr + header.p_vaddr;
        const uintptr_t end = start + header.p_memsz;
        // A segment spans at most two 4 GiB windows: try the address in each.
        for (uintptr_t high : {start >> 32, (end - 1) >> 32}) {
            uintptr_t candidate = (high << 32) | search->low;
            if (candidate >= start && candidate < end && candidate != search->found) {
                search->found = candidate;
                ++search->matches;
            }
        }
    }
    return 0;
}

}  // namespace

LONG ProcedureHandle(WNDPROC proc) {
    if (!proc) {
        return 0;
    }
    std::lock_guard guard(g_mutex);
    std::vector<WNDPROC>& procedures = Procedures();
    size_t index = 0;
    while (index < procedures.size() && procedures[index] != proc) {
        ++index;
    }
    if (index == procedures.size()) {
        if (procedures.size() == kMaxHandles) {
            return 0;
        }
        procedures.push_back(proc);
    }
    return static_cast<LONG>(kFirstHandle + static_cast<uint32_t>(index) * kHandleStep);
}

WNDPROC ProcedureOfHandle(uintptr_t value) {
    const uintptr_t high = value >> 32;
    if (high != 0 && high != 0xFFFFFFFFu) {
        return nullptr;
    }
    const auto low = static_cast<uint32_t>(value);
    if (low < kFirstHandle || (low - kFirstHandle) % kHandleStep != 0) {
        return nullptr;
    }
    std::lock_guard guard(g_mutex);
    const size_t index = (low - kFirstHandle) / kHandleStep;
    return index < Procedures().size() ? Procedures()[index] : nullptr;
}

WNDPROC ProcedureOfLong(LONG value) {
    const auto low = static_cast<uint32_t>(value);
    if (WNDPROC proc = ProcedureOfHandle(low)) {
        return proc;
    }
    if (low == 0) {
        return nullptr;
    }
    {
        // A procedure the window manager has seen before wins over a search of the code.
        std::lock_guard guard(g_mutex);
        for (WNDPROC known : Procedures()) {
            if (static_cast<uint32_t>(Address(known)) == low) {
                return known;
            }
        }
    }
    CodeSearch search{.low = low};
    dl_iterate_phdr(&SearchSegments, &search);
    if (search.matches != 1) {
        return nullptr;
    }
    return reinterpret_cast<WNDPROC>(search.found);
}

}  // namespace tovarin::gwes
