#include "tessel/system_message.hpp"

#include <windows.h>

#include "tessel/unicode.hpp"

namespace tessel {

std::wstring system_message(unsigned long error_code) {
    wchar_t* buffer = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        error_code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text;
    if (n && buffer) text.assign(buffer, n);
    if (buffer) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    return text;
}

std::string system_message_narrow(unsigned long error_code) {
    return unicode::to_narrow(system_message(error_code), CP_ACP, false);
}

}  // namespace tessel
