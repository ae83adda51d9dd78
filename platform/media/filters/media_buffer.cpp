#include "media/filters/media_buffer.h"

namespace tovarin::media {

STDMETHODIMP MediaBuffer::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IMediaBuffer) {
        *ppv = static_cast<IMediaBuffer*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP MediaBuffer::SetLength(DWORD cbLength) {
    if (cbLength > data_.size()) {
        return E_INVALIDARG;
    }
    length_ = cbLength;
    return S_OK;
}

STDMETHODIMP MediaBuffer::GetMaxLength(DWORD* pcbMaxLength) {
    if (pcbMaxLength == nullptr) {
        return E_POINTER;
    }
    *pcbMaxLength = static_cast<DWORD>(data_.size());
    return S_OK;
}

STDMETHODIMP MediaBuffer::GetBufferAndLength(BYTE** ppBuffer, DWORD* pcbLength) {
    if (ppBuffer == nullptr && pcbLength == nullptr) {
        return E_POINTER;
    }
    if (ppBuffer != nullptr) {
        *ppBuffer = data_.data();
    }
    if (pcbLength != nullptr) {
        *pcbLength = length_;
    }
    return S_OK;
}

}  // namespace tovarin::media
