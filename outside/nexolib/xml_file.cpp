#include "outside/nexolib/xml_file.hpp"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "tessel/format.hpp"
#include "tessel/system_message.hpp"
#include "tessel/unicode.hpp"

namespace nexolib {

error::error(const std::wstring& text) : std::runtime_error("nexolib error"), text_(text) {}

// Never throws: this also turns exception texts into error texts.
std::wstring wide(const char* utf8) {
    if (!utf8) return {};
    try {
        return tessel::unicode::from_utf8(utf8);
    } catch (...) {
        return {};
    }
}

std::wstring with_slash(std::wstring folder) {
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
    return folder;
}

std::wstring expand(const std::wstring& text) {
    std::vector<wchar_t> buffer(32768);
    const DWORD n = ::ExpandEnvironmentStringsW(text.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0 || n > buffer.size()) return text;
    return std::wstring(buffer.data(), n - 1);
}

std::string read_file_bytes(const std::wstring& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = ::GetLastError();
        throw error(tessel::format(L"%s: cannot be opened (error %u: %s)", path.c_str(), static_cast<unsigned>(code),
                                   tessel::system_message(code).c_str()));
    }
    std::string bytes;
    LARGE_INTEGER size{};
    bool read = ::GetFileSizeEx(file, &size) && size.QuadPart < 0x10000000;
    if (read) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD got = 0;
        read = bytes.empty() || (::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
                                 got == bytes.size());
    }
    ::CloseHandle(file);
    if (!read) throw error(tessel::format(L"%s: cannot be read", path.c_str()));
    return bytes;
}

void load_xml(const std::wstring& path, pugi::xml_document& doc) {
    const std::string bytes = read_file_bytes(path);
    const pugi::xml_parse_result result = doc.load_buffer(bytes.data(), bytes.size());
    if (!result) {
        // The offset counts bytes of the file as given; lines end with LF.
        const std::size_t offset = std::min(static_cast<std::size_t>(std::max<std::ptrdiff_t>(result.offset, 0)), bytes.size());
        const int line = 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
        throw error(tessel::format(L"%s: malformed XML at line %d: %s", path.c_str(), line,
                                   wide(result.description()).c_str()));
    }
}

}  // namespace nexolib
