// A counted reference to a COM object (or to anything with AddRef and
// Release): copies add a reference, destruction releases it.
#pragma once

#include <utility>

namespace store {

template <class T>
class com_ptr {
public:
    com_ptr() = default;
    // Takes over a reference the caller already holds.
    static com_ptr adopt(T* p) {
        com_ptr r;
        r.p_ = p;
        return r;
    }
    // Adds a reference of its own.
    static com_ptr share(T* p) {
        if (p) p->AddRef();
        return adopt(p);
    }
    com_ptr(const com_ptr& o) : p_(o.p_) {
        if (p_) p_->AddRef();
    }
    com_ptr(com_ptr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    com_ptr& operator=(com_ptr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }
    ~com_ptr() { reset(); }

    void reset() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out-parameters: releases what is held first.
    T** out() {
        reset();
        return &p_;
    }

private:
    T* p_ = nullptr;
};

}  // namespace store
