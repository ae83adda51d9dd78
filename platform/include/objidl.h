// Object interfaces: IPersist, the base of every interface that saves an object's state.
#pragma once

#include <unknwn.h>

DEFINE_GUID(IID_IPersist, 0x0000010C, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x46);

#ifdef __cplusplus
struct IPersist : public IUnknown {
    STDMETHOD(GetClassID)(CLSID* pClassID) PURE;
};
#endif
