// Window procedures as 32-bit values. GetWindowLongW and SetWindowLongW carry a procedure in a
// LONG, as on the 32-bit phone; on the host a procedure's address needs 64 bits. GetWindowLongW
// therefore answers with a handle that stands for the procedure (which the API allows), and
// CallWindowProcW accepts such a handle as well as a real address. SetWindowLongW takes a handle,
// or an address cut to 32 bits, which is matched against the code the process has loaded.
#pragma once

#include <cstdint>
#include <span>

#include <windows.h>

namespace tovarin::gwes {

// The handle that stands for a procedure (0 for none). The same procedure always gets the same
// handle; handles are never reused.
LONG ProcedureHandle(WNDPROC proc);

// The procedure behind a value that came from GetWindowLongW, widened to a pointer either way
// (sign- or zero-extended); null when the value is not a procedure handle.
WNDPROC ProcedureOfHandle(uintptr_t value);

// What SetWindowLongW(GWL_WNDPROC) was given: a procedure handle, or the low 32 bits of a
// procedure's address. When those bits name code in more than one loaded object (objects mapped
// 4 GiB apart), the one that holds `caller` (the code that passed the value) wins: a module
// subclasses with its own procedure. Null when the value names no code of this process, or names
// it ambiguously.
WNDPROC ProcedureOfLong(LONG value, const void* caller = nullptr);

// An executable segment of a loaded object, [start, end).
struct CodeSegment {
    uintptr_t object = 0;  // the object's load address: segments of one object share it
    uintptr_t start = 0;
    uintptr_t end = 0;
};

// The address in `segments` whose low 32 bits are `low`, as ProcedureOfLong chooses it; 0 for
// none or an ambiguous choice.
uintptr_t ChooseCodeAddress(uint32_t low, std::span<const CodeSegment> segments, uintptr_t caller);

}  // namespace tovarin::gwes
