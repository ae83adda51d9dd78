#include "com/class_registry.h"

#include <mutex>
#include <deque>

#include "com/apartment.h"

namespace tovarin::com {
namespace {

struct Registry {
    std::mutex mutex;
    std::deque<ClassInfo> classes;  // a deque keeps FindClass results valid
};

// Registrations run from static initialisers of other source files, so the table is made on
// first use.
Registry& Classes() {
    static Registry registry;
    return registry;
}

}  // namespace

ClassRegistration::ClassRegistration(const CLSID& clsid, DWORD contexts, ClassFactory create) {
    Registry& registry = Classes();
    std::lock_guard lock(registry.mutex);
    registry.classes.push_back(ClassInfo{clsid, contexts, create});
}

const ClassInfo* FindClass(const CLSID& clsid) {
    Registry& registry = Classes();
    std::lock_guard lock(registry.mutex);
    for (const ClassInfo& info : registry.classes) {
        if (info.clsid == clsid) {
            return &info;
        }
    }
    return nullptr;
}

}  // namespace tovarin::com

HRESULT CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                         LPVOID* ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (!tovarin::com::IsInitializedOnCurrentThread()) {
        return CO_E_NOTINITIALIZED;
    }
    const tovarin::com::ClassInfo* info = tovarin::com::FindClass(rclsid);
    if (info == nullptr || (info->contexts & dwClsContext) == 0) {
        return REGDB_E_CLASSNOTREG;
    }
    if (pUnkOuter != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    return info->create(riid, ppv);
}
