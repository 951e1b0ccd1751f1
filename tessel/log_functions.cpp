#include <comdef.h>

#include <cstdarg>
#include <exception>

#include "tessel/log.hpp"
#include "tessel/unicode.hpp"

namespace {

std::wstring from_ansi(const char* text) {
    if (!text) return {};
    try {
        return tessel::unicode::to_wide(text, CP_ACP);
    } catch (...) {
        return L"?";
    }
}

// Logging must never turn a handled failure into a new one.
template <class Message>
void write_process_log(int level, const Message& message) noexcept {
    try {
        tessel::scope guard(tessel::log::global_lock());
        tessel::log::instance().write(level, message);
    } catch (...) {
    }
}

template <class Char>
void write_formatted(int level, const Char* format, va_list args) noexcept {
    try {
        write_process_log(level, tessel::vformat(format, args));
    } catch (...) {
    }
}

}  // namespace

namespace tessel {

std::wstring describe_current_exception(const std::wstring& prefix) {
    std::wstring p = prefix;
    if (!p.empty() && p.back() != L' ') p += L' ';
    if (!std::current_exception()) return format(L"%s unknown exception", p.c_str());
    try {
        throw;
    } catch (const _com_error& e) {
        const wchar_t* text = e.ErrorMessage();
        return format(L"%s _com_error: %S", p.c_str(), unicode::to_narrow(text ? text : L"", CP_ACP, false).c_str());
    } catch (const exception_w& e) {
        return format(L"%s exception: %s", p.c_str(), e.what_w());
    } catch (const std::exception& e) {
        return format(L"%s exception: %s", p.c_str(), from_ansi(e.what()).c_str());
    } catch (...) {
        return format(L"%s unknown exception", p.c_str());
    }
}

}  // namespace tessel

void log_info(const char* format, ...) {
    va_list args;
    va_start(args, format);
    write_formatted(tessel::log::info, format, args);
    va_end(args);
}

void log_info(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    write_formatted(tessel::log::info, format, args);
    va_end(args);
}

void log_error(const char* format, ...) {
    va_list args;
    va_start(args, format);
    write_formatted(tessel::log::error, format, args);
    va_end(args);
}

void log_error(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    write_formatted(tessel::log::error, format, args);
    va_end(args);
}

void log_write(int level, const std::string& message) { write_process_log(level, message); }
void log_write(int level, const std::wstring& message) { write_process_log(level, message); }

void log_exception(const wchar_t* prefix) {
    const wchar_t* p = prefix ? prefix : L"";
    if (!std::current_exception()) {
        log_error(L"%s unknown exception caught", p);
        return;
    }
    try {
        try {
            throw;
        } catch (const _com_error& e) {
            const wchar_t* text = e.ErrorMessage();
            log_error(L"%s _com_error: %s", p, text ? text : L"");
        } catch (const tessel::exception_w& e) {
            log_error(L"%s Exception: %s", p, e.what_w());
        } catch (const std::exception& e) {
            log_error(L"%s exception: %s", p, from_ansi(e.what()).c_str());
        } catch (...) {
            log_error(L"%s unknown exception caught", p);
        }
    } catch (...) {
    }
}

void log_exception(const char* prefix) { log_exception(from_ansi(prefix).c_str()); }
