// A plain IMediaBuffer over a byte vector, for handing samples to and from media objects.
#pragma once

#include <mediaobj.h>

#include <vector>

#include "com/com_ptr.h"

namespace tovarin::media {

class MediaBuffer final : public IMediaBuffer, private com::RefCounted {
  public:
    // A buffer of max_length bytes holding the first `length` of them.
    MediaBuffer(DWORD max_length, DWORD length) : data_(max_length), length_(length) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return AddReference(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseReference(); }
    STDMETHODIMP SetLength(DWORD cbLength) override;
    STDMETHODIMP GetMaxLength(DWORD* pcbMaxLength) override;
    STDMETHODIMP GetBufferAndLength(BYTE** ppBuffer, DWORD* pcbLength) override;

    BYTE* data() { return data_.data(); }
    DWORD length() const { return length_; }

  private:
    std::vector<BYTE> data_;
    DWORD length_;
};

}  // namespace tovarin::media
