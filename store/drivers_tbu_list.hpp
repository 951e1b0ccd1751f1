// Drivers to be updated: a hand-over list that another program writes under
// HKCU\Software\<company>\<product>\TBU\ (one subkey per driver, any name,
// the item layout of the other lists). Loading moves the items into memory
// and deletes them from the store.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "engine/driver.hpp"

class drivers_tbu_list {
public:
    drivers_tbu_list();  // does not load

    void load();
    std::vector<hx::driver> entries() const { return entries_; }
    std::wostream& dump(std::wostream& out) const;

    const std::wstring& base_key() const { return base_; }

private:
    std::wstring base_;
    std::vector<hx::driver> entries_;
};
