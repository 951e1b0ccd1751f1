#include "tessel/unicode.hpp"

#include <windows.h>

#include <vector>

namespace tessel::unicode {
namespace {

// 0 and 1 stand for the system's ANSI and OEM code pages; the flag rules
// apply to the code page they stand for (an ANSI code page may be UTF-8).
unsigned resolve(unsigned code_page) {
    if (code_page == CP_ACP) return ::GetACP();
    if (code_page == CP_OEMCP) return ::GetOEMCP();
    return code_page;
}

}  // namespace

bool takes_no_flags(unsigned code_page) {
    switch (code_page) {
    case 42: case 50221: case 50222: case 50225: case 50227: case 50229:
    case 52936: case 54936: case 65000: case 65001:
        return true;
    default:
        return code_page >= 57002 && code_page <= 57011;
    }
}

std::string to_narrow(std::wstring_view text, unsigned code_page, bool strict) {
    if (text.empty()) return {};
    CPINFO info{};
    if (!::GetCPInfo(code_page, &info)) throw invalid_codepage();

    const bool no_flags = takes_no_flags(resolve(code_page));
    const int length = static_cast<int>(text.size());
    std::vector<char> buffer(static_cast<std::size_t>(length) * info.MaxCharSize);
    BOOL used_default = FALSE;
    const int n = ::WideCharToMultiByte(code_page, 0, text.data(), length, buffer.data(),
                                        static_cast<int>(buffer.size()), nullptr,
                                        no_flags ? nullptr : &used_default);
    if (used_default && strict) throw unmappable_character();
    if (n > 0) return std::string(buffer.data(), static_cast<std::size_t>(n));
    switch (::GetLastError()) {
    case ERROR_INSUFFICIENT_BUFFER: throw out_of_memory();
    case ERROR_INVALID_PARAMETER: throw unmappable_character();
    default: throw generic();
    }
}

std::wstring to_wide(std::string_view bytes, unsigned code_page) {
    if (bytes.empty()) return {};
    const bool no_flags = takes_no_flags(resolve(code_page));
    const int length = static_cast<int>(bytes.size());
    std::vector<wchar_t> buffer(static_cast<std::size_t>(length));
    const int n = ::MultiByteToWideChar(code_page, no_flags ? 0 : MB_ERR_INVALID_CHARS, bytes.data(),
                                        length, buffer.data(), length);
    if (n > 0) return std::wstring(buffer.data(), static_cast<std::size_t>(n));
    switch (::GetLastError()) {
    case ERROR_INSUFFICIENT_BUFFER: throw out_of_memory();
    case ERROR_INVALID_PARAMETER: throw invalid_codepage();
    case ERROR_NO_UNICODE_TRANSLATION: throw unmappable_character();
    default: throw generic();
    }
}

}  // namespace tessel::unicode
