// The component classes that CoCreateInstance can make. A platform module registers its classes
// with a static ClassRegistration in the source file that implements them.
#pragma once

#include <objbase.h>

namespace tovarin::com {

// Makes a new object and returns its interface riid in *ppv (with one reference), or fails with
// *ppv NULL (E_NOINTERFACE when the object does not offer riid, E_OUTOFMEMORY).
using ClassFactory = HRESULT (*)(REFIID riid, void** ppv);

struct ClassInfo {
    CLSID clsid;
    DWORD contexts;  // CLSCTX_* bits the class can be created in
    ClassFactory create;
};

// A ClassFactory's work for an object just made with its one reference (nullptr when memory ran
// out): hands out riid and lets go of the object's own reference.
template <class T>
HRESULT HandOutNewObject(T* object, REFIID riid, void** ppv) {
    if (object == nullptr) {
        *ppv = nullptr;
        return E_OUTOFMEMORY;
    }
    const HRESULT hr = object->QueryInterface(riid, ppv);
    object->Release();
    return hr;
}

class ClassRegistration {
  public:
    ClassRegistration(const CLSID& clsid, DWORD contexts, ClassFactory create);
};

// The registered class, or nullptr.
const ClassInfo* FindClass(const CLSID& clsid);

}  // namespace tovarin::com
