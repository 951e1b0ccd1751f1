// What the engine knows about one device and about one driver package.
#pragma once

#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace hexcore {

// A driver version: four numbers, compared in order.
struct version {
    std::array<std::int32_t, 4> parts{};
    bool operator==(const version&) const = default;
    auto operator<=>(const version&) const = default;
};

// "a.b.c.d" (missing parts are 0); false for anything else.
bool parse_version(const char* text, version& out);
bool parse_version(const wchar_t* text, version& out);
std::wstring version_text(const version& v);

// "yyyy-mm-dd"; false for anything else.
bool parse_date(const char* text, SYSTEMTIME& out);
std::wstring date_text(const SYSTEMTIME& date);
// Orders two dates by year, month and day.
int compare_dates(const SYSTEMTIME& a, const SYSTEMTIME& b);

struct installed_driver {
    bool present = false;
    std::wstring provider;
    version ver;
    std::wstring version_text;
    SYSTEMTIME date{};
};

struct device {
    std::wstring instance_id;
    std::wstring description;
    std::wstring manufacturer;
    std::wstring setup_class;
    std::wstring class_guid;
    std::vector<std::wstring> hardware_ids;
    std::vector<std::wstring> compatible_ids;
    installed_driver driver;
};

// The engine's device identifier: derived from the instance id alone, so it
// stays the same across scans and program runs.
std::int32_t device_id_of(const std::wstring& instance_id);
// The engine's device type code, from the setup class name.
std::int32_t device_type_of(const std::wstring& setup_class);

}  // namespace hexcore
