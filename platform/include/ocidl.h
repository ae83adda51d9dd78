// Control interfaces: property bags and the objects that load their state from one.
#pragma once

#include <objidl.h>
#include <oleauto.h>

DEFINE_GUID(IID_IPropertyBag, 0x55272A00, 0x42CB, 0x11CE, 0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8,
            0x51);
DEFINE_GUID(IID_IErrorLog, 0x3127CA40, 0x446E, 0x11CE, 0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8,
            0x51);
DEFINE_GUID(IID_IPersistPropertyBag, 0x37D84F60, 0x42CB, 0x11CE, 0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B,
            0xB8, 0x51);

#ifdef __cplusplus
struct IErrorLog : public IUnknown {
    STDMETHOD(AddError)(LPCOLESTR pszPropName, EXCEPINFO* pExcepInfo) PURE;
};

// Named values an object reads its state from (Read fills *pVar; with pVar->vt not VT_EMPTY
// the caller asks for that type).
struct IPropertyBag : public IUnknown {
    STDMETHOD(Read)(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog* pErrorLog) PURE;
    STDMETHOD(Write)(LPCOLESTR pszPropName, VARIANT* pVar) PURE;
};

struct IPersistPropertyBag : public IPersist {
    STDMETHOD(InitNew)() PURE;
    STDMETHOD(Load)(IPropertyBag* pPropBag, IErrorLog* pErrorLog) PURE;
    STDMETHOD(Save)(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) PURE;
};
#endif
