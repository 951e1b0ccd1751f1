// Owning wrapper of a kernel handle (CloseHandle on destruction).
#pragma once

#include <windows.h>

#include <utility>

namespace tessel {

class handle {
public:
    handle() = default;
    explicit handle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    ~handle() { reset(); }
    handle(handle&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
    handle& operator=(handle&& other) noexcept {
        if (this != &other) {
            reset();
            h_ = std::exchange(other.h_, nullptr);
        }
        return *this;
    }
    handle(const handle&) = delete;
    handle& operator=(const handle&) = delete;

    void reset(HANDLE h = nullptr) {
        if (h_) ::CloseHandle(h_);
        h_ = h == INVALID_HANDLE_VALUE ? nullptr : h;
    }
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }

private:
    HANDLE h_ = nullptr;
};

}  // namespace tessel
