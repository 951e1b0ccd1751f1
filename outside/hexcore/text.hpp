// Text helpers of the engine: UTF-8 and UTF-16, copies into the fixed
// arrays of the engine record, the system's text for an error code.
#pragma once

#include <cstddef>
#include <cwchar>
#include <string>
#include <string_view>

namespace hexcore {

std::wstring wide(std::string_view utf8_text);
std::string utf8(std::wstring_view text);
std::string system_text(unsigned long error);

// Copies as much as fits and always terminates.
template <std::size_t N>
void copy_text(wchar_t (&target)[N], std::wstring_view text) {
    const std::size_t n = text.size() < N - 1 ? text.size() : N - 1;
    std::wmemcpy(target, text.data(), n);
    target[n] = 0;
}

}  // namespace hexcore
