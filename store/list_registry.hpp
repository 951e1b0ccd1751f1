// What the three registry driver lists share: where they live, probing and
// deleting item keys, naming items and the common loading loop.
#pragma once

#include <functional>
#include <ostream>
#include <string>

#include "engine/driver.hpp"
#include "tessel/registry2.hpp"

namespace store {

// "Software\<company>\<product>" followed by the list's suffix.
std::wstring list_base_key(const wchar_t* suffix);

// Whether a key of HKEY_CURRENT_USER opens for reading.
bool key_exists(const std::wstring& path);

// Deletes an item key and whatever lies under it; failures are ignored.
// An empty item name is refused, since base key + "" is the whole list.
void delete_item_key(const std::wstring& base, const std::wstring& name);

// A registry key name for a text used as an item name: a backslash would
// split the item into nested keys, so it is stored as a slash; a text too
// long for a key name is shortened, with a hash of the whole.
std::wstring item_name(const std::wstring& text);

// Calls each(root, name) for every direct subkey of base, in ordinal order.
// A missing base key is an empty list; an error outside each() is logged
// under scope and ends the loop.
void for_each_item(const std::wstring& base, const char* scope,
                   const std::function<void(const tessel::registry2::key& root, const std::wstring& name)>& each);

}  // namespace store

namespace store {

// One item of the ignore or to-be-updated list; a failure is logged under
// scope and gives the record as far as it was read.
hx::driver read_driver_item(const tessel::registry2::key& root, const std::wstring& path, const char* scope);

// The records of a list dump: " DRV<n> " and the driver's text form each.
template <class Records>
void write_records(std::wostream& out, const Records& records) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        out << L" DRV" << i << L' ';
        hx::write_driver(records[i], out);
    }
}

}  // namespace store
