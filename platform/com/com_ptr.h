// Owning pointers to component objects, for the platform's own code and its tests.
#pragma once

#include <unknwn.h>

#include <atomic>
#include <utility>

namespace tovarin::com {

// Holds one reference to an interface and releases it when it goes.
template <class Interface>
class ComPtr {
  public:
    ComPtr() = default;
    // Takes over a reference the caller already owns.
    static ComPtr Adopt(Interface* p) {
        ComPtr ptr;
        ptr.p_ = p;
        return ptr;
    }
    // Adds a reference of its own.
    static ComPtr Share(Interface* p) {
        if (p != nullptr) {
            p->AddRef();
        }
        return Adopt(p);
    }
    ComPtr(const ComPtr& other) : p_(other.p_) {
        if (p_ != nullptr) {
            p_->AddRef();
        }
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(p_, other.p_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    void Reset() {
        if (Interface* p = std::exchange(p_, nullptr)) {
            p->Release();
        }
    }
    Interface* Get() const { return p_; }
    Interface* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out parameters: releases what is held and returns the slot to fill.
    Interface** Out() {
        Reset();
        return &p_;
    }
    // Hands the reference to the caller.
    Interface* Detach() { return std::exchange(p_, nullptr); }

  private:
    Interface* p_ = nullptr;
};

// The reference count of a platform object; the object deletes itself when it drops to 0.
class RefCounted {
  protected:
    RefCounted() = default;
    virtual ~RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    ULONG AddReference() { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
    ULONG ReleaseReference() {
        const ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) {
            delete this;
        }
        return left;
    }

  private:
    std::atomic<ULONG> refs_{1};
};

}  // namespace tovarin::com
