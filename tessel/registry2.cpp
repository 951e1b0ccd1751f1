#include "tessel/registry2.hpp"

#include <vector>

#include "tessel/unicode.hpp"

namespace tessel::registry2 {
namespace {

constexpr REGSAM read_write = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

// Names appear in exception texts in the ANSI code page.
std::string ansi(const std::wstring& name) {
    try {
        return unicode::to_narrow(name, CP_ACP, false);
    } catch (...) {
        return "?";
    }
}

}  // namespace

key::key(HKEY root) {
    LONG rc = ::RegOpenKeyExW(root, nullptr, 0, read_write, &handle_);
    if (rc == ERROR_ACCESS_DENIED) rc = ::RegOpenKeyExW(root, nullptr, 0, KEY_READ, &handle_);
    if (rc != ERROR_SUCCESS) {
        handle_ = nullptr;
        throw key_error("RegOpenKeyEx() failed: handle %i (%i)", static_cast<int>(reinterpret_cast<INT_PTR>(root)),
                        static_cast<int>(rc));
    }
}

key::key(const key& parent, const std::wstring& path, bool create) {
    if (create) {
        const LONG rc = ::RegCreateKeyExW(parent.handle_, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                          read_write, nullptr, &handle_, nullptr);
        if (rc != ERROR_SUCCESS) {
            handle_ = nullptr;
            throw key_error("RegCreateKeyEx() failed: key \"%s\" (%i)", ansi(path).c_str(), static_cast<int>(rc));
        }
        return;
    }
    LONG rc = ::RegOpenKeyExW(parent.handle_, path.c_str(), 0, read_write, &handle_);
    if (rc == ERROR_ACCESS_DENIED) rc = ::RegOpenKeyExW(parent.handle_, path.c_str(), 0, KEY_READ, &handle_);
    if (rc != ERROR_SUCCESS) {
        handle_ = nullptr;
        throw key_error("RegOpenKeyEx() failed: key \"%s\" (%i)", ansi(path).c_str(), static_cast<int>(rc));
    }
}

key::~key() {
    if (handle_) ::RegCloseKey(handle_);
}

key::key(key&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }

void key::query(const std::wstring& name, DWORD expected_type, DWORD& size) const {
    DWORD type = 0;
    size = 0;
    if (::RegQueryValueExW(handle_, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) type = 0;
    if (type == 0) throw value_error("Not found: value \"%s\"", ansi(name).c_str());
    const bool accepted = type == expected_type || (expected_type == REG_SZ && type == REG_EXPAND_SZ);
    if (!accepted)
        throw type_mismatch("Type mismatch: value \"%s\" expected %i found %i", ansi(name).c_str(),
                            static_cast<int>(expected_type), static_cast<int>(type));
}

void key::read_fixed(const std::wstring& name, DWORD type, void* data, DWORD size) const {
    DWORD reported = 0;
    query(name, type, reported);
    DWORD got = size;
    DWORD found_type = 0;
    const LONG rc = ::RegQueryValueExW(handle_, name.c_str(), nullptr, &found_type, static_cast<BYTE*>(data), &got);
    if (got != size)
        throw size_mismatch("Size mismatch: value \"%s\" expected %i found %i", ansi(name).c_str(),
                            static_cast<int>(size), static_cast<int>(got));
    if (rc != ERROR_SUCCESS)
        throw value_error("RegQueryValueEx() failed: value \"%s\" (%i)", ansi(name).c_str(), static_cast<int>(rc));
}

std::uint32_t key::read_dword(const std::wstring& name) const {
    std::uint32_t value = 0;
    read_fixed(name, REG_DWORD, &value, sizeof value);
    return value;
}

std::uint64_t key::read_qword(const std::wstring& name) const {
    std::uint64_t value = 0;
    read_fixed(name, REG_QWORD, &value, sizeof value);
    return value;
}

std::wstring key::read_string(const std::wstring& name) const {
    DWORD size = 0;
    query(name, REG_SZ, size);
    // One spare character: a value stored without its NUL still reads into a
    // buffer that can hold one.
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1);
    DWORD got = size;
    DWORD type = 0;
    const LONG rc =
        ::RegQueryValueExW(handle_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (rc == ERROR_MORE_DATA || got != size)
        throw size_mismatch("Size mismatch: value \"%s\" expected %i found %i", ansi(name).c_str(),
                            static_cast<int>(size), static_cast<int>(got));
    if (rc != ERROR_SUCCESS)
        throw value_error("RegQueryValueEx() failed: value \"%s\" (%i)", ansi(name).c_str(), static_cast<int>(rc));

    std::wstring text(buffer.data(), got / sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    if (type == REG_EXPAND_SZ) {
        std::vector<wchar_t> expanded(32768);
        const DWORD n = ::ExpandEnvironmentStringsW(text.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
        if (n > 0 && n <= expanded.size()) text.assign(expanded.data(), n - 1);
    }
    return text;
}

void key::write(const std::wstring& name, DWORD type, const void* data, DWORD size) {
    const LONG rc = ::RegSetValueExW(handle_, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    if (rc != ERROR_SUCCESS)
        throw value_error("RegSetValueEx() failed: value \"%s\" (%i)", ansi(name).c_str(), static_cast<int>(rc));
}

void key::write_string(const std::wstring& name, const std::wstring& value) {
    write(name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void key::write_dword(const std::wstring& name, std::uint32_t value) { write(name, REG_DWORD, &value, sizeof value); }

void key::write_qword(const std::wstring& name, std::uint64_t value) { write(name, REG_QWORD, &value, sizeof value); }

std::set<std::wstring> key::subkey_names() const {
    std::set<std::wstring> names;
    for (DWORD index = 0;; ++index) {
        wchar_t name[260] = {};
        DWORD length = 260;
        const LONG rc = ::RegEnumKeyExW(handle_, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (rc == ERROR_NO_MORE_ITEMS) break;
        if (rc != ERROR_SUCCESS)
            throw key_error("RegEnumKeyEx() failed: handle %i (%i)", static_cast<int>(reinterpret_cast<INT_PTR>(handle_)),
                            static_cast<int>(rc));
        if (length > 0 && name[length - 1] == L'\0') --length;
        names.emplace(name, length);
    }
    return names;
}

}  // namespace tessel::registry2
