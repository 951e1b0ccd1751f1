#include "engine/driver.hpp"

#include <cwchar>

#include "tessel/format.hpp"

namespace hx {
namespace {

template <std::size_t N>
std::wstring fixed_text(const wchar_t (&text)[N]) {
    return std::wstring(text, ::wcsnlen(text, N));
}

}  // namespace

std::wstring driver_key(const driver& d) {
    return tessel::format(L"%08x.%08x.%s", static_cast<unsigned>(d.device_id), static_cast<unsigned>(d.device_driver_id),
                          d.device_description.c_str());
}

std::wstring date_text(const SYSTEMTIME& t) {
    return tessel::format(L"%d/%d/%d/%d:%d", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute);
}

std::wostream& write_driver(const driver& d, std::wostream& out) {
    auto line = [&out](const wchar_t* label, const auto& value) {
        out << L"   " << label << L'=' << value << std::endl;
    };
    out << std::endl;
    out << L"   id=" << driver_key(d) << L' ' << std::endl;
    line(L"device_id", d.device_id);
    line(L"device_driver_id", d.device_driver_id);
    line(L"device_description", d.device_description);
    line(L"device_manufacturer", d.device_manufacturer);
    line(L"device_type", d.device_type);
    line(L"device_class", d.device_class);
    line(L"device_class_guid", d.device_class_guid);
    line(L"installed_driver_provider", d.installed_driver_provider);
    line(L"installed_driver_version", d.installed_driver_version);
    line(L"installed_driver_version_major", d.installed_driver_version_major);
    line(L"installed_driver_version_minor", d.installed_driver_version_minor);
    line(L"installed_driver_version_release", d.installed_driver_version_release);
    line(L"installed_driver_version_build", d.installed_driver_version_build);
    line(L"installed_driver_release_date", date_text(d.installed_driver_release_date));
    line(L"available_driver_provider", d.available_driver_provider);
    line(L"available_driver_version", d.available_driver_version);
    line(L"available_driver_version_major", d.available_driver_version_major);
    line(L"available_driver_version_minor", d.available_driver_version_minor);
    line(L"available_driver_version_release", d.available_driver_version_release);
    line(L"available_driver_version_build", d.available_driver_version_build);
    line(L"available_driver_release_date", date_text(d.available_driver_release_date));
    line(L"available_driver_inf_description", d.available_driver_inf_description);
    return out;
}

driver from_engine_record(const hx_engine_driver& r) {
    driver d;
    d.device_id = r.device_id;
    d.device_driver_id = r.device_driver_id;
    d.device_description = fixed_text(r.device_description);
    d.device_manufacturer = fixed_text(r.device_manufacturer);
    d.device_type = r.device_type;
    d.device_class = fixed_text(r.device_class);
    d.device_class_guid = fixed_text(r.device_class_guid);
    d.installed_driver_provider = fixed_text(r.installed_driver_provider);
    d.installed_driver_version = fixed_text(r.installed_driver_version);
    d.installed_driver_version_major = r.installed_driver_version_major;
    d.installed_driver_version_minor = r.installed_driver_version_minor;
    d.installed_driver_version_release = r.installed_driver_version_release;
    d.installed_driver_version_build = r.installed_driver_version_build;
    d.installed_driver_release_date = r.installed_driver_release_date;
    d.available_driver_provider = fixed_text(r.available_driver_provider);
    d.available_driver_version = fixed_text(r.available_driver_version);
    d.available_driver_version_major = r.available_driver_version_major;
    d.available_driver_version_minor = r.available_driver_version_minor;
    d.available_driver_version_release = r.available_driver_version_release;
    d.available_driver_version_build = r.available_driver_version_build;
    d.available_driver_release_date = r.available_driver_release_date;
    d.available_driver_inf_description = fixed_text(r.available_driver_inf_description);
    return d;
}

}  // namespace hx
