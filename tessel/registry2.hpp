// A registry key object that owns one open key, with typed reads and writes
// that either succeed or throw. A failed read leaves nothing half-done.
#pragma once

#include <windows.h>

#include <cstdint>
#include <set>
#include <string>

#include "tessel/exception.hpp"

namespace tessel::registry2 {

TESSEL_EXCEPTION(generic, tessel::exception, "registry2");
TESSEL_EXCEPTION(key_error, generic, "key_error");
TESSEL_EXCEPTION(value_error, generic, "value_error");
TESSEL_EXCEPTION(type_mismatch, generic, "type_mismatch");
TESSEL_EXCEPTION(size_mismatch, generic, "size_mismatch");

class key {
public:
    // Opens a root (HKEY_CURRENT_USER, ...) for reading and writing, or for
    // reading only where writing is refused.
    explicit key(HKEY root);
    // Opens (or, with create, creates) a subkey of another key.
    key(const key& parent, const std::wstring& path, bool create);
    ~key();
    key(key&& other) noexcept;
    key& operator=(key&&) = delete;
    key(const key&) = delete;
    key& operator=(const key&) = delete;

    std::wstring read_string(const std::wstring& name) const;
    std::uint32_t read_dword(const std::wstring& name) const;
    std::uint64_t read_qword(const std::wstring& name) const;
    void write_string(const std::wstring& name, const std::wstring& value);
    void write_dword(const std::wstring& name, std::uint32_t value);
    void write_qword(const std::wstring& name, std::uint64_t value);
    std::set<std::wstring> subkey_names() const;

    HKEY handle() const { return handle_; }

private:
    // Type and size of a value; type 0 when it does not exist.
    void query(const std::wstring& name, DWORD expected_type, DWORD& size) const;
    void read_fixed(const std::wstring& name, DWORD type, void* data, DWORD size) const;
    void write(const std::wstring& name, DWORD type, const void* data, DWORD size);

    HKEY handle_ = nullptr;
};

}  // namespace tessel::registry2
