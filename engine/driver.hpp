// The program's driver record: one device with its installed driver and the
// newer driver available for it. Copied by value everywhere.
#pragma once

#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>

#include "bindings/hexcore.h"

namespace hx {

// The state that accompanies a progress report; other values pass through.
enum class engine_state : std::int32_t {
    scan_found_driver = 2,
    download_started = 3,
    downloading = 4,
    download_finishing = 5,
    download_verified = 6,
    installing = 7,
    installed = 8,
    download_failed = 9,
    install_failed = 10,
};

struct driver {
    std::int32_t device_id = 0;
    std::int32_t device_driver_id = 0;
    std::wstring device_description;
    std::wstring device_manufacturer;
    std::int32_t device_type = 0;
    std::wstring device_class;
    std::wstring device_class_guid;
    std::wstring installed_driver_provider;
    std::wstring installed_driver_version;
    std::int32_t installed_driver_version_major = 0;
    std::int32_t installed_driver_version_minor = 0;
    std::int32_t installed_driver_version_release = 0;
    std::int32_t installed_driver_version_build = 0;
    SYSTEMTIME installed_driver_release_date{};
    std::wstring available_driver_provider;
    std::wstring available_driver_version;
    std::int32_t available_driver_version_major = 0;
    std::int32_t available_driver_version_minor = 0;
    std::int32_t available_driver_version_release = 0;
    std::int32_t available_driver_version_build = 0;
    SYSTEMTIME available_driver_release_date{};
    std::wstring available_driver_inf_description;
};

// "%08x.%08x.%s" of device_id, device_driver_id and device_description:
// equal keys mean the same driver everywhere.
std::wstring driver_key(const driver& d);

// The multi-line text form used in log lines and list dumps.
std::wostream& write_driver(const driver& d, std::wostream& out);

// Copies an engine record field by field (strings up to their terminator,
// never past their array).
driver from_engine_record(const hx_engine_driver& record);

// The text form of a release date: year/month/day/hour:minute.
std::wstring date_text(const SYSTEMTIME& date);

}  // namespace hx
