// Fetches the engine's last scan results and filters them into the list of
// outdated drivers the program shows: no empty descriptions, nothing black-
// or ignore-listed, no duplicates, and unless display_devices is on, one
// device per engine driver.
#pragma once

#include <vector>

#include "engine/driver.hpp"

namespace hx {

std::vector<driver> get_scan_results(bool display_devices);

bool is_black_listed(const driver& d);
bool is_ignore_listed(const driver& d);

}  // namespace hx
