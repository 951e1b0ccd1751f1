// Shared by the store tests: the program's names, a driver with every
// field set, and direct registry access to check what was stored.
#pragma once

#include <windows.h>

#include <string>

#include "engine/driver.hpp"

namespace store_test {

// Company "Orvena", product "Tamsin", folders of this test program.
void use_product_names();

// A record whose fields all differ from the defaults.
hx::driver sample_driver(std::int32_t device_id, std::int32_t driver_id, const std::wstring& description);

// Expects every stored field of a read-back record to equal the original.
void expect_same_stored_fields(const hx::driver& read, const hx::driver& original);

// Removes HKCU\<path> with everything under it.
void delete_key(const std::wstring& path);
bool key_exists(const std::wstring& path);
// The type and size of a value, or type 0 when it is missing.
DWORD value_type(const std::wstring& path, const wchar_t* name, DWORD* size = nullptr);
void set_dword(const std::wstring& path, const wchar_t* name, DWORD value);
void set_qword(const std::wstring& path, const wchar_t* name, unsigned long long value);
void set_string(const std::wstring& path, const wchar_t* name, const std::wstring& value);
DWORD get_dword(const std::wstring& path, const wchar_t* name);
unsigned long long get_qword(const std::wstring& path, const wchar_t* name);
void delete_value(const std::wstring& path, const wchar_t* name);
int subkey_count(const std::wstring& path);

// Suite data for the product "Tamsin" with the given suite language.
std::string suite_xml(const std::string& language);

// Deletes the run-at-logon task, if there is one.
void delete_logon_task();

}  // namespace store_test
