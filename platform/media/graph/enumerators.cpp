#include "media/graph/enumerators.h"

#include <new>

#include "com/com_ptr.h"

namespace tovarin::media {
namespace {

// Next, Skip, Reset and Clone over a fixed list of interface references.
template <class Enum, class Item>
class InterfaceEnumerator final : public Enum, private com::RefCounted {
  public:
    InterfaceEnumerator(const std::vector<Item*>& items, size_t at) : at_(at) {
        for (Item* item : items) {
            items_.push_back(com::ComPtr<Item>::Share(item));
        }
    }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == Iid()) {
            *ppv = static_cast<Enum*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return AddReference(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseReference(); }

    STDMETHODIMP Next(ULONG count, Item** out, ULONG* fetched) override {
        if (out == nullptr || (count > 1 && fetched == nullptr)) {
            return E_POINTER;
        }
        ULONG n = 0;
        while (n < count && at_ < items_.size()) {
            out[n] = items_[at_++].Get();
            out[n]->AddRef();
            ++n;
        }
        if (fetched != nullptr) {
            *fetched = n;
        }
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        at_ = std::min(items_.size(), at_ + count);
        return at_ < items_.size() ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        at_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(Enum** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        std::vector<Item*> raw;
        for (auto& item : items_) {
            raw.push_back(item.Get());
        }
        *out = new (std::nothrow) InterfaceEnumerator(raw, at_);
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }

  private:
    static const IID& Iid();
    std::vector<com::ComPtr<Item>> items_;
    size_t at_;
};

template <>
const IID& InterfaceEnumerator<IEnumPins, IPin>::Iid() {
    return IID_IEnumPins;
}
template <>
const IID& InterfaceEnumerator<IEnumFilters, IBaseFilter>::Iid() {
    return IID_IEnumFilters;
}

class TypeEnumerator final : public IEnumMediaTypes, private com::RefCounted {
  public:
    TypeEnumerator(std::vector<MediaType> types, size_t at) : types_(std::move(types)), at_(at) {}

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (ppv == nullptr) {
            return E_POINTER;
        }
        if (riid == IID_IUnknown || riid == IID_IEnumMediaTypes) {
            *ppv = static_cast<IEnumMediaTypes*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return AddReference(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseReference(); }

    STDMETHODIMP Next(ULONG count, AM_MEDIA_TYPE** out, ULONG* fetched) override {
        if (out == nullptr || (count > 1 && fetched == nullptr)) {
            return E_POINTER;
        }
        ULONG n = 0;
        while (n < count && at_ < types_.size()) {
            out[n] = types_[at_++].NewTaskMemory();
            if (out[n] == nullptr) {
                break;
            }
            ++n;
        }
        if (fetched != nullptr) {
            *fetched = n;
        }
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        at_ = std::min(types_.size(), at_ + count);
        return at_ < types_.size() ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        at_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumMediaTypes** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        *out = new (std::nothrow) TypeEnumerator(types_, at_);
        return *out != nullptr ? S_OK : E_OUTOFMEMORY;
    }

  private:
    std::vector<MediaType> types_;
    size_t at_;
};

}  // namespace

IEnumPins* NewPinEnumerator(const std::vector<IPin*>& pins) {
    return new (std::nothrow) InterfaceEnumerator<IEnumPins, IPin>(pins, 0);
}

IEnumFilters* NewFilterEnumerator(const std::vector<IBaseFilter*>& filters) {
    return new (std::nothrow) InterfaceEnumerator<IEnumFilters, IBaseFilter>(filters, 0);
}

IEnumMediaTypes* NewMediaTypeEnumerator(std::vector<MediaType> types) {
    return new (std::nothrow) TypeEnumerator(std::move(types), 0);
}

}  // namespace tovarin::media
