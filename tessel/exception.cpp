#include "tessel/exception.hpp"

#include <windows.h>

#include "tessel/unicode.hpp"

namespace tessel {

const char* exception::what() const noexcept {
    try {
        what_ = kind() + "[" + message() + "]";
        return what_.c_str();
    } catch (...) {
        return "tessel::exception";
    }
}

const std::string& exception::message() const { return message_; }
const std::string& exception::kind() const { return kind_; }

void exception::add_kind(const char* word) {
    if (!kind_.empty()) kind_ += '.';
    kind_ += word;
}

void exception_w::add_kind(const wchar_t* word) {
    if (!kind_w_.empty()) kind_w_ += L'.';
    kind_w_ += word;
    narrow_filled_ = false;
}

void exception_w::fill_narrow() const {
    if (narrow_filled_) return;
    // Wide texts go to ANSI without the strict check: unmappable characters
    // become the default character rather than losing the whole text.
    try {
        message_ = unicode::to_narrow(message_w_, CP_ACP, false);
        kind_ = unicode::to_narrow(kind_w_, CP_ACP, false);
    } catch (...) {
        message_.assign(1, '?');
    }
    narrow_filled_ = true;
}

const char* exception_w::what() const noexcept {
    fill_narrow();
    return exception::what();
}

const std::string& exception_w::message() const {
    fill_narrow();
    return message_;
}

const std::string& exception_w::kind() const {
    fill_narrow();
    return kind_;
}

const wchar_t* exception_w::what_w() const noexcept {
    try {
        what_w_ = kind_w_ + L"[" + message_w_ + L"]";
        return what_w_.c_str();
    } catch (...) {
        return L"tessel::exception_w";
    }
}

const std::wstring& exception_w::message_w() const { return message_w_; }
const std::wstring& exception_w::kind_w() const { return kind_w_; }

}  // namespace tessel
