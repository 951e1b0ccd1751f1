#include "tessel/format.hpp"

#include <cstdio>
#include <vector>

namespace tessel {
namespace {

// A format that keeps failing to fit (a broken conversion) must not eat
// memory without end; past this size the text is taken as formatted so far.
constexpr std::size_t max_buffer = std::size_t(1) << 26;

template <class Char, class Formatter>
std::basic_string<Char> grow_and_format(const Char* format, va_list args, Formatter formatter) {
    std::vector<Char> buffer(1024);
    for (;;) {
        va_list copy;
        va_copy(copy, args);
        const int n = formatter(buffer.data(), buffer.size(), format, copy);
        va_end(copy);
        if (n >= 0 && static_cast<std::size_t>(n) < buffer.size())
            return std::basic_string<Char>(buffer.data(), static_cast<std::size_t>(n));
        if (buffer.size() >= max_buffer) {
            buffer.back() = Char();
            return std::basic_string<Char>(buffer.data());
        }
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

std::string vformat(const char* format, va_list args) {
    if (!format) return {};
    return grow_and_format(format, args, [](char* b, std::size_t n, const char* f, va_list a) {
        return ::_vsnprintf(b, n, f, a);
    });
}

std::wstring vformat(const wchar_t* format, va_list args) {
    if (!format) return {};
    return grow_and_format(format, args, [](wchar_t* b, std::size_t n, const wchar_t* f, va_list a) {
        return ::_vsnwprintf(b, n, f, a);
    });
}

std::string format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = vformat(format, args);
    va_end(args);
    return text;
}

std::wstring format(const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    std::wstring text = vformat(format, args);
    va_end(args);
    return text;
}

}  // namespace tessel
