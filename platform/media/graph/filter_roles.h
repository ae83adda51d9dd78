// Roles that some filters play for the filter graph beyond IBaseFilter: a source whose play range
// the graph sets (IMediaSeeking), a renderer whose volume it sets (IBasicAudio).
#pragma once

#include <dshow.h>

namespace tovarin::media {

class SeekableSource {
  public:
    virtual ~SeekableSource() = default;
    virtual REFERENCE_TIME Duration() const = 0;
    // What the next run plays, in media time.
    virtual void SetPlayRange(REFERENCE_TIME start, REFERENCE_TIME stop) = 0;
};

class VolumeControl {
  public:
    virtual ~VolumeControl() = default;
    virtual void SetVolume(LONG volume) = 0;  // hundredths of a decibel, -10000..0
    virtual LONG Volume() const = 0;
    virtual void SetBalance(LONG balance) = 0;
    virtual LONG Balance() const = 0;
};

// IDispatch for the automation interfaces the graph offers: they are called through their
// vtables only, so there is no type information to give.
#define TOVARIN_NO_TYPE_INFO                                                                  \
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override {                                   \
        if (pctinfo == nullptr)                                                               \
            return E_POINTER;                                                                 \
        *pctinfo = 0;                                                                         \
        return S_OK;                                                                          \
    }                                                                                         \
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override {                              \
        return E_NOTIMPL;                                                                     \
    }                                                                                         \
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {             \
        return E_NOTIMPL;                                                                     \
    }                                                                                         \
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) \
        override {                                                                            \
        return E_NOTIMPL;                                                                     \
    }

}  // namespace tovarin::media
