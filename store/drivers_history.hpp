// Every driver the program has updated, with the time of the update: one
// subkey per driver under HKCU\Software\<company>\<product>\History\,
// named with the decimal device_driver_id.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "engine/driver.hpp"

struct history_entry : hx::driver {
    std::int64_t update_time = 0;  // seconds since 1970-01-01 UTC
};

class drivers_history {
public:
    drivers_history();  // loads

    void load();
    // Stores the driver with the current time; it joins the list in memory
    // even when storing fails.
    void add(const hx::driver& d);
    void add(const std::vector<hx::driver>& drivers);
    std::vector<history_entry> entries() const { return entries_; }
    std::wostream& dump(std::wostream& out) const;

    const std::wstring& base_key() const { return base_; }

private:
    std::wstring base_;
    std::vector<history_entry> entries_;
};
