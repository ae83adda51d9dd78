// CoInitializeEx and CoUninitialize. Each thread keeps its own count of successful
// initialisations and the concurrency model of the first one; the library stays initialised on the
// thread until the count drops back to 0.
#include "com/apartment.h"

#include <objbase.h>

namespace tovarin::com {
namespace {

constexpr DWORD kKnownFlags =
    COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE | COINIT_SPEED_OVER_MEMORY;

struct ThreadState {
    unsigned count = 0;
    bool apartment_threaded = false;
};

thread_local ThreadState t_state;

}  // namespace

bool IsInitializedOnCurrentThread() {
    return t_state.count > 0;
}

}  // namespace tovarin::com

using tovarin::com::t_state;

HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit) {
    if (pvReserved != nullptr || (dwCoInit & ~tovarin::com::kKnownFlags) != 0) {
        return E_INVALIDARG;
    }
    const bool apartment_threaded = (dwCoInit & COINIT_APARTMENTTHREADED) != 0;
    if (t_state.count == 0) {
        t_state.count = 1;
        t_state.apartment_threaded = apartment_threaded;
        return S_OK;
    }
    if (t_state.apartment_threaded != apartment_threaded) {
        return RPC_E_CHANGED_MODE;
    }
    ++t_state.count;
    return S_FALSE;
}

void CoUninitialize(void) {
    if (t_state.count > 0) {
        --t_state.count;
    }
}
