// Matching devices against the catalog, ranked as Windows ranks drivers: a
// hardware-id match before a compatible-id match, then the higher version,
// then the later date.
#pragma once

#include <string>
#include <vector>

#include "bindings/hexcore.h"
#include "outside/hexcore/catalog.hpp"
#include "outside/hexcore/device.hpp"

namespace hexcore {

struct best_match {
    const package* pkg = nullptr;
    std::wstring matched_id;  // the device id the package serves
};

best_match find_best(const catalog& c, const device& d);

// The package is newer than the installed driver: a higher version, or the
// same version of a later date. Any package is newer than no driver.
bool is_newer(const package& p, const installed_driver& installed);

// The engine record of an outdated device and its package.
hx_engine_driver make_record(const device& d, const package& p);

struct outdated_device {
    std::size_t device_index;
    best_match match;
};

// Every outdated device, in inventory order.
std::vector<outdated_device> find_outdated(const catalog& c, const std::vector<device>& devices);

}  // namespace hexcore
