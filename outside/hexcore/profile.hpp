// The device profile: an XML file that describes devices with the facts a
// live inventory reads, for the demo and for tests.
#pragma once

#include <string>
#include <vector>

#include "outside/hexcore/device.hpp"

namespace hexcore {

// Throws data_error when the file cannot be read or is malformed.
std::vector<device> read_profile(const std::wstring& path);

// Writes devices as a profile (used to journal a live inventory).
void write_profile(const std::wstring& path, const std::vector<device>& devices);

struct installed_change {
    std::wstring instance_id;
    std::wstring provider;
    std::wstring version_text;
    SYSTEMTIME date{};
};

// Records new installed drivers in the profile, through a temporary file
// that replaces it, so a failure leaves the old profile whole. Throws
// data_error.
void record_installs(const std::wstring& path, const std::vector<installed_change>& changes);

}  // namespace hexcore
