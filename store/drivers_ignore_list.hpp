// Drivers the user asked never to be offered again: one subkey per driver
// under HKCU\Software\<company>\<product>\Ignore\, named with its driver key.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "engine/driver.hpp"

class drivers_ignore_list {
public:
    drivers_ignore_list();  // loads

    void load();
    // Stores the driver; it joins the list in memory even when storing fails.
    void add(const hx::driver& d);
    // Drops the first record with this driver key and deletes its item.
    void remove(const std::wstring& driver_key);
    std::vector<hx::driver> entries() const { return entries_; }
    std::vector<std::wstring> keys() const;
    std::wostream& dump(std::wostream& out) const;

    const std::wstring& base_key() const { return base_; }

private:
    std::wstring base_;
    std::vector<hx::driver> entries_;
};
