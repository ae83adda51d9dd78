#include "media/graph/pin.h"

#include <cstring>

#include "media/graph/enumerators.h"
#include "media/graph/filter_base.h"

namespace tovarin::media {

Pin* AsPin(IPin* pin) {
    return dynamic_cast<Pin*>(pin);
}

Pin::Pin(FilterBase& filter, PIN_DIRECTION direction, std::wstring name)
    : filter_(filter), direction_(direction), name_(std::move(name)) {}

STDMETHODIMP Pin::QueryInterface(REFIID riid, void** ppv) {
    if (ppv == nullptr) {
        return E_POINTER;
    }
    if (riid == IID_IUnknown || riid == IID_IPin) {
        return Offer(static_cast<IPin*>(this), ppv);
    }
    return Offer(QueryExtra(riid), ppv);
}

STDMETHODIMP_(ULONG) Pin::AddRef() {
    return filter_.AddRef();
}

STDMETHODIMP_(ULONG) Pin::Release() {
    return filter_.Release();
}

bool Pin::IsConnected() const {
    std::lock_guard lock(mutex_);
    return peer_ != nullptr;
}

Pin* Pin::Peer() const {
    std::lock_guard lock(mutex_);
    return peer_;
}

MediaType Pin::ConnectedType() const {
    std::lock_guard lock(mutex_);
    return type_;
}

STDMETHODIMP Pin::Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) {
    if (pReceivePin == nullptr) {
        return E_POINTER;
    }
    if (direction_ != PINDIR_OUTPUT) {
        return VFW_E_INVALID_DIRECTION;
    }
    if (IsConnected()) {
        return VFW_E_ALREADY_CONNECTED;
    }
    if (filter_.state() != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    Pin* input = AsPin(pReceivePin);
    if (input == nullptr) {
        return E_NOINTERFACE;
    }
    if (input->direction() != PINDIR_INPUT) {
        return VFW_E_INVALID_DIRECTION;
    }
    if (input->IsConnected()) {
        return VFW_E_ALREADY_CONNECTED;
    }
    std::vector<MediaType> candidates;
    if (pmt != nullptr && pmt->majortype != GUID_NULL_VALUE && pmt->subtype != GUID_NULL_VALUE) {
        candidates.push_back(MediaType::From(*pmt));
    } else {
        for (auto* list : {this, input}) {
            for (MediaType& type : list->OfferedTypes()) {
                if (pmt == nullptr || pmt->majortype == GUID_NULL_VALUE ||
                    pmt->majortype == type.major) {
                    candidates.push_back(std::move(type));
                }
            }
        }
    }
    for (const MediaType& type : candidates) {
        if (Accepts(type) && input->Accepts(type) && SUCCEEDED(TryConnect(input, type))) {
            return S_OK;
        }
    }
    return candidates.empty() ? VFW_E_NO_ACCEPTABLE_TYPES : VFW_E_CANNOT_CONNECT;
}

HRESULT Pin::TryConnect(Pin* input, const MediaType& type) {
    AM_MEDIA_TYPE am{};
    type.CopyTo(&am);
    HRESULT hr = input->ReceiveConnection(this, &am);
    FreeMediaType(am);
    if (FAILED(hr)) {
        return hr;
    }
    {
        std::lock_guard lock(mutex_);
        peer_ = input;
        type_ = type;
    }
    input->AddRef();
    hr = Connected(type);
    if (FAILED(hr)) {
        input->Disconnect();
        Disconnect();
    }
    return hr;
}

STDMETHODIMP Pin::ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) {
    if (pConnector == nullptr || pmt == nullptr) {
        return E_POINTER;
    }
    if (direction_ != PINDIR_INPUT) {
        return VFW_E_INVALID_DIRECTION;
    }
    if (IsConnected()) {
        return VFW_E_ALREADY_CONNECTED;
    }
    if (filter_.state() != State_Stopped) {
        return VFW_E_NOT_STOPPED;
    }
    Pin* output = AsPin(pConnector);
    const MediaType type = MediaType::From(*pmt);
    if (output == nullptr || !Accepts(type)) {
        return VFW_E_TYPE_NOT_ACCEPTED;
    }
    {
        std::lock_guard lock(mutex_);
        peer_ = output;
        type_ = type;
    }
    output->AddRef();
    HRESULT hr = Connected(type);
    if (FAILED(hr)) {
        Disconnect();
    }
    return hr;
}

STDMETHODIMP Pin::Disconnect() {
    Pin* peer = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (filter_.state() != State_Stopped) {
            return VFW_E_NOT_STOPPED;
        }
        peer = std::exchange(peer_, nullptr);
        type_ = MediaType();
    }
    if (peer == nullptr) {
        return S_FALSE;
    }
    Disconnected();
    peer->Release();
    return S_OK;
}

STDMETHODIMP Pin::ConnectedTo(IPin** pPin) {
    if (pPin == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    *pPin = peer_;
    if (peer_ == nullptr) {
        return VFW_E_NOT_CONNECTED;
    }
    peer_->AddRef();
    return S_OK;
}

STDMETHODIMP Pin::ConnectionMediaType(AM_MEDIA_TYPE* pmt) {
    if (pmt == nullptr) {
        return E_POINTER;
    }
    std::lock_guard lock(mutex_);
    if (peer_ == nullptr) {
        std::memset(pmt, 0, sizeof(*pmt));
        return VFW_E_NOT_CONNECTED;
    }
    type_.CopyTo(pmt);
    return S_OK;
}

STDMETHODIMP Pin::QueryPinInfo(PIN_INFO* pInfo) {
    if (pInfo == nullptr) {
        return E_POINTER;
    }
    pInfo->pFilter = &filter_;
    filter_.AddRef();
    pInfo->dir = direction_;
    std::wcsncpy(pInfo->achName, name_.c_str(), MAX_PIN_NAME - 1);
    pInfo->achName[MAX_PIN_NAME - 1] = L'\0';
    return S_OK;
}

STDMETHODIMP Pin::QueryDirection(PIN_DIRECTION* pPinDir) {
    if (pPinDir == nullptr) {
        return E_POINTER;
    }
    *pPinDir = direction_;
    return S_OK;
}

STDMETHODIMP Pin::QueryId(LPWSTR* Id) {
    if (Id == nullptr) {
        return E_POINTER;
    }
    *Id = TaskMemoryString(name_);
    return *Id != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP Pin::QueryAccept(const AM_MEDIA_TYPE* pmt) {
    if (pmt == nullptr) {
        return E_POINTER;
    }
    return Accepts(MediaType::From(*pmt)) ? S_OK : S_FALSE;
}

STDMETHODIMP Pin::EnumMediaTypes(IEnumMediaTypes** ppEnum) {
    if (ppEnum == nullptr) {
        return E_POINTER;
    }
    *ppEnum = NewMediaTypeEnumerator(OfferedTypes());
    return *ppEnum != nullptr ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP Pin::QueryInternalConnections(IPin**, ULONG*) {
    return E_NOTIMPL;  // documented: every input reaches every output
}

STDMETHODIMP Pin::EndOfStream() {
    if (direction_ != PINDIR_INPUT) {
        return E_UNEXPECTED;
    }
    ReceiveEndOfStream();
    return S_OK;
}

STDMETHODIMP Pin::BeginFlush() {
    return direction_ == PINDIR_INPUT ? S_OK : E_UNEXPECTED;
}

STDMETHODIMP Pin::EndFlush() {
    return direction_ == PINDIR_INPUT ? S_OK : E_UNEXPECTED;
}

STDMETHODIMP Pin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) {
    return S_OK;
}

HRESULT Pin::Deliver(const Sample& sample) {
    Pin* peer = Peer();
    return peer == nullptr ? VFW_E_NOT_CONNECTED : peer->Receive(sample);
}

void Pin::DeliverEndOfStream() {
    if (Pin* peer = Peer()) {
        peer->ReceiveEndOfStream();
    }
}

}  // namespace tovarin::media
