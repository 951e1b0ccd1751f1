#include "store_test_support.hpp"

#include <gtest/gtest.h>

#include <mstask.h>

#include "support.hpp"
#include "tessel/config.hpp"

namespace store_test {

void use_product_names() {
    tessel::config::set_names(L"Orvena", L"Tamsin");
    tessel::config::init(nullptr);
}

hx::driver sample_driver(std::int32_t device_id, std::int32_t driver_id, const std::wstring& description) {
    hx::driver d;
    d.device_id = device_id;
    d.device_driver_id = driver_id;
    d.device_description = description;
    d.device_manufacturer = L"Orvena Devices";
    d.device_type = -7;
    d.device_class = L"Net";
    d.device_class_guid = L"{4d36e972-e325-11ce-bfc1-08002be10318}";
    d.installed_driver_provider = L"Old Provider";
    d.installed_driver_version = L"1.2.3.4";
    d.installed_driver_version_major = 1;
    d.installed_driver_version_minor = 2;
    d.installed_driver_version_release = 3;
    d.installed_driver_version_build = 4;
    d.installed_driver_release_date.wYear = 2009;
    d.installed_driver_release_date.wMonth = 6;
    d.installed_driver_release_date.wDay = 1;
    d.available_driver_provider = L"New Provider \x00E9";
    d.available_driver_version = L"5.6.7.8";
    d.available_driver_version_major = 5;
    d.available_driver_version_minor = 6;
    d.available_driver_version_release = 7;
    d.available_driver_version_build = -8;
    d.available_driver_release_date.wYear = 2012;
    d.available_driver_inf_description = L"Network adapter (inf)";
    return d;
}

void expect_same_stored_fields(const hx::driver& r, const hx::driver& o) {
    EXPECT_EQ(r.device_id, o.device_id);
    EXPECT_EQ(r.device_driver_id, o.device_driver_id);
    EXPECT_EQ(r.device_description, o.device_description);
    EXPECT_EQ(r.device_manufacturer, o.device_manufacturer);
    EXPECT_EQ(r.device_type, o.device_type);
    EXPECT_EQ(r.device_class, o.device_class);
    EXPECT_EQ(r.device_class_guid, o.device_class_guid);
    EXPECT_EQ(r.installed_driver_provider, o.installed_driver_provider);
    EXPECT_EQ(r.installed_driver_version, o.installed_driver_version);
    EXPECT_EQ(r.installed_driver_version_major, o.installed_driver_version_major);
    EXPECT_EQ(r.installed_driver_version_minor, o.installed_driver_version_minor);
    EXPECT_EQ(r.installed_driver_version_release, o.installed_driver_version_release);
    EXPECT_EQ(r.installed_driver_version_build, o.installed_driver_version_build);
    EXPECT_EQ(r.available_driver_provider, o.available_driver_provider);
    EXPECT_EQ(r.available_driver_version, o.available_driver_version);
    EXPECT_EQ(r.available_driver_version_major, o.available_driver_version_major);
    EXPECT_EQ(r.available_driver_version_minor, o.available_driver_version_minor);
    EXPECT_EQ(r.available_driver_version_release, o.available_driver_version_release);
    EXPECT_EQ(r.available_driver_version_build, o.available_driver_version_build);
    EXPECT_EQ(r.available_driver_inf_description, o.available_driver_inf_description);
    // Release dates are not stored.
    EXPECT_EQ(r.installed_driver_release_date.wYear, 0);
    EXPECT_EQ(r.available_driver_release_date.wYear, 0);
}

void delete_key(const std::wstring& path) { ::RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()); }

bool key_exists(const std::wstring& path) {
    HKEY h = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    ::RegCloseKey(h);
    return true;
}

DWORD value_type(const std::wstring& path, const wchar_t* name, DWORD* size) {
    DWORD type = 0, bytes = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &bytes) !=
        ERROR_SUCCESS)
        return 0;
    if (size) *size = bytes;
    return type;
}

namespace {
void set_value(const std::wstring& path, const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY h = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(::RegSetValueExW(h, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    ::RegCloseKey(h);
}
}  // namespace

void set_dword(const std::wstring& path, const wchar_t* name, DWORD value) {
    set_value(path, name, REG_DWORD, &value, sizeof value);
}
void set_qword(const std::wstring& path, const wchar_t* name, unsigned long long value) {
    set_value(path, name, REG_QWORD, &value, sizeof value);
}
void set_string(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    set_value(path, name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

DWORD get_dword(const std::wstring& path, const wchar_t* name) {
    DWORD value = 0, size = sizeof value;
    EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size), ERROR_SUCCESS)
        << "value " << static_cast<const void*>(name);
    return value;
}

unsigned long long get_qword(const std::wstring& path, const wchar_t* name) {
    unsigned long long value = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name, RRF_RT_REG_QWORD, nullptr, &value, &size), ERROR_SUCCESS);
    return value;
}

void delete_value(const std::wstring& path, const wchar_t* name) {
    HKEY h = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE, &h), ERROR_SUCCESS);
    EXPECT_EQ(::RegDeleteValueW(h, name), ERROR_SUCCESS);
    ::RegCloseKey(h);
}

int subkey_count(const std::wstring& path) {
    HKEY h = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return -1;
    DWORD count = 0;
    ::RegQueryInfoKeyW(h, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    ::RegCloseKey(h);
    return static_cast<int>(count);
}

std::string suite_xml(const std::string& language) {
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
           "<suite language=\"" + language + "\">\n"
           "  <user id=\"u-1\" name=\"Test User\"/>\n"
           "  <site address=\"https://www.orvena.com/\"/>\n"
           "  <product name=\"Tamsin\" version=\"1.1.124.1\"/>\n"
           "</suite>\n";
}

void delete_logon_task() {
    const HRESULT init = ::CoInitialize(nullptr);
    ITaskScheduler* scheduler = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_CTaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                                     reinterpret_cast<void**>(&scheduler)))) {
        scheduler->Delete(L"Tamsin Auto Start");
        scheduler->Release();
    }
    if (SUCCEEDED(init)) ::CoUninitialize();
}

}  // namespace store_test
