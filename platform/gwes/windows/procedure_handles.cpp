#include "gwes/windows/procedure_handles.h"

#include <link.h>

#include <algorithm>
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

// Collects the executable segments of every loaded object.
int CollectSegments(struct dl_phdr_info* info, size_t, void* data) {
    auto* segments = static_cast<std::vector<CodeSegment>*>(data);
    for (ElfW(Half) i = 0; i < info->dlpi_phnum; ++i) {
        const ElfW(Phdr)& header = info->dlpi_phdr[i];
        if (header.p_type != PT_LOAD || (header.p_flags & PF_X) == 0 || header.p_memsz == 0) {
            continue;
        }
        const uintptr_t start = info->dlpi_addr + header.p_vaddr;
        segments->push_back({info->dlpi_addr, start, start + header.p_memsz});
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

WNDPROC ProcedureOfLong(LONG value, const void* caller) {
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
    std::vector<CodeSegment> segments;
    dl_iterate_phdr(&CollectSegments, &segments);
    return reinterpret_cast<WNDPROC>(
        ChooseCodeAddress(low, segments, reinterpret_cast<uintptr_t>(caller)));
}

uintptr_t ChooseCodeAddress(uint32_t low, std::span<const CodeSegment> segments, uintptr_t caller) {
    struct Candidate {
        uintptr_t address;
        uintptr_t object;
    };
    std::vector<Candidate> found;
    for (const CodeSegment& segment : segments) {
        // A segment spans at most two 4 GiB windows: try the address in each.
        for (uintptr_t high : {segment.start >> 32, (segment.end - 1) >> 32}) {
            const uintptr_t candidate = (high << 32) | low;
            if (candidate >= segment.start && candidate < segment.end &&
                std::ranges::none_of(
                    found, [&](const Candidate& seen) { return seen.address == candidate; })) {
                found.push_back({candidate, segment.object});
            }
        }
    }
    if (found.size() == 1) {
        return found.front().address;
    }
    // Several objects hold such an address (which depends on where the host happened to map
    // them): the caller's own object decides, so that the choice never depends on the layout.
    auto holds_caller = [&](uintptr_t object) {
        return caller != 0 && std::ranges::any_of(segments, [&](const CodeSegment& segment) {
                   return segment.object == object && caller >= segment.start &&
                          caller < segment.end;
               });
    };
    uintptr_t chosen = 0;
    for (const Candidate& candidate : found) {
        if (holds_caller(candidate.object)) {
            if (chosen != 0) {
                return 0;
            }
            chosen = candidate.address;
        }
    }
    return chosen;
}

}  // namespace tovarin::gwes
