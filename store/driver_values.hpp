// The values of one driver item of the registry lists, in the order in
// which they are written and read.
#pragma once

#include "engine/driver.hpp"
#include "tessel/registry2.hpp"

namespace store {

void write_driver_values(tessel::registry2::key& item, const hx::driver& d);

// Reads into the record field by field: the first missing or mistyped value
// throws, and the fields read before it stay filled.
void read_driver_values(const tessel::registry2::key& item, hx::driver& d);

}  // namespace store
