// Opening a downloaded package: a cabinet holding an INF, extracted with
// SetupAPI's cabinet functions, whose [Version] DriverVer must declare the
// version the catalog promised.
#pragma once

#include <stdexcept>
#include <string>

#include "outside/hexcore/device.hpp"

namespace hexcore {

class package_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Extracts every file into folder (made if missing); returns the INF's path.
std::wstring extract_package(const std::wstring& cabinet, const std::wstring& folder);

// The version of DriverVer in the INF's [Version] section.
version inf_driver_version(const std::wstring& inf);

// Removes a folder and everything in it; errors are ignored.
void remove_tree(const std::wstring& folder);

}  // namespace hexcore
