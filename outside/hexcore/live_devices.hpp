// The live inventory and the live install, through SetupAPI.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "outside/hexcore/device.hpp"

namespace hexcore {

class install_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every present device. Throws data_error when SetupAPI cannot list them.
std::vector<device> live_inventory();

// Installs the INF's driver on the devices with this hardware id. A 32-bit
// process on 64-bit Windows cannot (ERROR_IN_WOW64), so there the 64-bit
// helper hexcoreinstall.exe beside the engine does it. Throws install_error.
void install_live(const std::wstring& engine_folder, const std::wstring& hardware_id, const std::wstring& inf);

// Checks that every device now has the version: a system can report an
// install that did not happen. Throws install_error.
void verify_live_install(const std::vector<std::wstring>& instance_ids, const version& expected);

// "m-d-yyyy", the form of a driver key's DriverDate.
bool parse_driver_date(const std::wstring& text, SYSTEMTIME& out);

}  // namespace hexcore
