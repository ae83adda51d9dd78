// A filter's pin. Pins are parts of their filter: they share its reference count. Connected pins
// pass samples by direct calls: an output pin delivers on its filter's streaming thread into the
// connected input pin, which handles the sample before the call returns.
#pragma once

#include <dshow.h>

#include <mutex>
#include <string>
#include <vector>

#include "com/com_ptr.h"
#include "media/graph/media_type.h"

namespace tovarin::media {

class FilterBase;

struct Sample {
    std::vector<uint8_t> data;
    REFERENCE_TIME start = 0;  // media time of the first byte
    REFERENCE_TIME stop = 0;
};

class Pin : public IPin {
  public:
    Pin(FilterBase& filter, PIN_DIRECTION direction, std::wstring name);
    virtual ~Pin() = default;

    // IUnknown: the filter's count. Pins add their extra interfaces through QueryExtra.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IPin
    STDMETHODIMP Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) override;
    STDMETHODIMP ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP ConnectedTo(IPin** pPin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* pmt) override;
    STDMETHODIMP QueryPinInfo(PIN_INFO* pInfo) override;
    STDMETHODIMP QueryDirection(PIN_DIRECTION* pPinDir) override;
    STDMETHODIMP QueryId(LPWSTR* Id) override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* pmt) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** ppEnum) override;
    STDMETHODIMP QueryInternalConnections(IPin** apPin, ULONG* nPin) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

    const std::wstring& name() const { return name_; }
    PIN_DIRECTION direction() const { return direction_; }
    FilterBase& filter() { return filter_; }
    bool IsConnected() const;
    Pin* Peer() const;
    MediaType ConnectedType() const;

    // Output pins: the types offered, best first. Input pins: may suggest types too.
    virtual std::vector<MediaType> OfferedTypes() { return {}; }
    // Whether the pin takes this type (and, for an input pin, the upstream pin offering it).
    virtual bool Accepts(const MediaType& type) = 0;
    // A connection was made with this type (S_OK) or is refused.
    virtual HRESULT Connected(const MediaType&) { return S_OK; }
    virtual void Disconnected() {}

    // Input pins, on the upstream streaming thread.
    virtual HRESULT Receive(const Sample&) { return E_UNEXPECTED; }
    virtual void ReceiveEndOfStream() {}

    // Output pins.
    HRESULT Deliver(const Sample& sample);
    void DeliverEndOfStream();

    // The pin category, for the capture graph builder (GUID_NULL: none).
    virtual GUID Category() const { return GUID_NULL_VALUE; }
    static constexpr GUID GUID_NULL_VALUE = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};

  protected:
    virtual void* QueryExtra(REFIID) { return nullptr; }

  private:
    HRESULT TryConnect(Pin* input, const MediaType& type);

    FilterBase& filter_;
    const PIN_DIRECTION direction_;
    const std::wstring name_;
    mutable std::mutex mutex_;
    Pin* peer_ = nullptr;  // holds a reference to the peer's filter
    MediaType type_;
};

// Our pin behind an IPin, or nullptr for a pin of another implementation.
Pin* AsPin(IPin* pin);

}  // namespace tovarin::media
