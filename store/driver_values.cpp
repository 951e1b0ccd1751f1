#include "store/driver_values.hpp"

#include <cstdint>

namespace store {
namespace {

// One table drives both directions, so writing and reading can never
// disagree about the order.
template <class Visitor>
void visit_fields(hx::driver& d, Visitor&& v) {
    v.number(L"device_id", d.device_id);
    v.number(L"device_driver_id", d.device_driver_id);
    v.text(L"device_description", d.device_description);
    v.text(L"device_manufacturer", d.device_manufacturer);
    v.number(L"device_type", d.device_type);
    v.text(L"device_class", d.device_class);
    v.text(L"device_class_guid", d.device_class_guid);
    v.text(L"installed_driver_provider", d.installed_driver_provider);
    v.text(L"installed_driver_version", d.installed_driver_version);
    v.number(L"installed_driver_version_major", d.installed_driver_version_major);
    v.number(L"installed_driver_version_minor", d.installed_driver_version_minor);
    v.number(L"installed_driver_version_release", d.installed_driver_version_release);
    v.number(L"installed_driver_version_build", d.installed_driver_version_build);
    v.text(L"available_driver_provider", d.available_driver_provider);
    v.text(L"available_driver_version", d.available_driver_version);
    v.number(L"available_driver_version_major", d.available_driver_version_major);
    v.number(L"available_driver_version_minor", d.available_driver_version_minor);
    v.number(L"available_driver_version_release", d.available_driver_version_release);
    v.number(L"available_driver_version_build", d.available_driver_version_build);
    v.text(L"available_driver_inf_description", d.available_driver_inf_description);
}

struct writer {
    tessel::registry2::key& item;
    void number(const wchar_t* name, std::int32_t& value) { item.write_dword(name, static_cast<std::uint32_t>(value)); }
    void text(const wchar_t* name, std::wstring& value) { item.write_string(name, value); }
};

struct reader {
    const tessel::registry2::key& item;
    void number(const wchar_t* name, std::int32_t& value) { value = static_cast<std::int32_t>(item.read_dword(name)); }
    void text(const wchar_t* name, std::wstring& value) { value = item.read_string(name); }
};

}  // namespace

void write_driver_values(tessel::registry2::key& item, const hx::driver& d) {
    hx::driver copy = d;
    visit_fields(copy, writer{item});
}

void read_driver_values(const tessel::registry2::key& item, hx::driver& d) {
    visit_fields(d, reader{item});
}

}  // namespace store
