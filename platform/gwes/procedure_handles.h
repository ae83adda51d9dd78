// Window procedures as 32-bit values. GetWindowLongW and SetWindowLongW carry a procedure in a
// LONG, as on the 32-bit phone; on the host a procedure's address needs 64 bits. GetWindowLongW
// therefore answers with a handle that stands for the procedure (which the API allows), and
// CallWindowProcW accepts such a handle as well as a real address. SetWindowLongW takes a handle,
// or an address cut to 32 bits, which is matched against the code the process has loaded.
#pragma once

#include <cstdint>

#include <windows.h>

namespace tovarin::gwes {

// The handle that stands for a procedure (0 for none). The same procedure always gets the same
// handle; handles are never reused.
LONG ProcedureHandle(WNDPROC proc);

// The procedure behind a value that came from GetWindowLongW, widened to a pointer either way
// (sign- or zero-extended); null when the value is not a procedure handle.
WNDPROC ProcedureOfHandle(uintptr_t value);

// What SetWindowLongW(GWL_WNDPROC) was given: a procedure handle, or the low 32 bits of a
// procedure's address. Null when the value names no code of this process, or names it ambiguously.
WNDPROC ProcedureOfLong(LONG value);

}  // namespace tovarin::gwes
