// The filter that hosts a media object in a filter graph.
#pragma once

#include <strmif.h>

DEFINE_GUID(CLSID_DMOWrapperFilter, 0x94297043, 0xBD82, 0x4DFD, 0xB0, 0xDE, 0x81, 0x77, 0x73, 0x9C,
            0x6D, 0x20);
DEFINE_GUID(IID_IDMOWrapperFilter, 0x52D6F586, 0x9F0F, 0x4824, 0x8F, 0xC8, 0xE3, 0x2C, 0xA0, 0x49,
            0x30, 0xC2);

#ifdef __cplusplus
// Init creates the media object clsidDMO of category catDMO and gives the filter its pins.
struct IDMOWrapperFilter : public IUnknown {
    STDMETHOD(Init)(REFCLSID clsidDMO, REFCLSID catDMO) PURE;
};
#endif
