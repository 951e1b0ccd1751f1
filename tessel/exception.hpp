// The program's exception family. Every exception carries a message and a
// dotted kind; each subclass appends its own word to its base's kind, so a
// log line tells where a failure came from ("registry2.value_error").
#pragma once

#include <exception>
#include <string>

#include "tessel/format.hpp"

namespace tessel {

class exception : public std::exception {
public:
    exception() = default;
    explicit exception(std::string message) : message_(std::move(message)) {}
    explicit exception(const char* message) : message_(message ? message : "") {}
    // printf-style: used only when arguments follow the format.
    template <class... A>
        requires(sizeof...(A) > 0)
    explicit exception(const char* format_text, A... args) : message_(format(format_text, args...)) {
        static_assert(printf_arguments<A...>, "printf arguments must be numbers or pointers");
    }

    ~exception() override = default;
    const char* what() const noexcept override;   // kind "[" message "]"
    virtual const std::string& message() const;
    virtual const std::string& kind() const;

protected:
    void add_kind(const char* word);

    mutable std::string what_;
    mutable std::string message_;
    mutable std::string kind_;
};

class exception_w : public exception {
public:
    exception_w() = default;
    explicit exception_w(std::wstring message) : message_w_(std::move(message)) {}
    explicit exception_w(const wchar_t* message) : message_w_(message ? message : L"") {}
    template <class... A>
        requires(sizeof...(A) > 0)
    explicit exception_w(const wchar_t* format_text, A... args) : message_w_(format(format_text, args...)) {
        static_assert(printf_arguments<A...>, "printf arguments must be numbers or pointers");
    }

    const char* what() const noexcept override;
    const std::string& message() const override;
    const std::string& kind() const override;
    virtual const wchar_t* what_w() const noexcept;  // kind "[" message "]"
    virtual const std::wstring& message_w() const;
    virtual const std::wstring& kind_w() const;

protected:
    void add_kind(const wchar_t* word);

private:
    void fill_narrow() const;

    mutable std::wstring what_w_;
    std::wstring message_w_;
    std::wstring kind_w_;
    mutable bool narrow_filled_ = false;
};

}  // namespace tessel

// Declares an exception class that appends WORD to the kind of BASE.
#define TESSEL_EXCEPTION(NAME, BASE, WORD)                                              \
    class NAME : public BASE {                                                         \
    public:                                                                            \
        NAME() { this->add_kind(WORD); }                                                     \
        explicit NAME(std::string message) : BASE(std::move(message)) { this->add_kind(WORD); } \
        explicit NAME(const char* message) : BASE(message) { this->add_kind(WORD); }        \
        template <class... A>                                                          \
            requires(sizeof...(A) > 0)                                                 \
        explicit NAME(const char* format_text, A... args) : BASE(format_text, args...) { \
            this->add_kind(WORD);                                                          \
        }                                                                              \
    }
