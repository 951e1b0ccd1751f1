#include "store/drivers_ignore_list.hpp"

#include <algorithm>

#include "store/driver_values.hpp"
#include "store/list_registry.hpp"
#include "tessel/log.hpp"

using tessel::registry2::key;

drivers_ignore_list::drivers_ignore_list() : base_(store::list_base_key(L"\\Ignore\\")) { load(); }

void drivers_ignore_list::load() {
    entries_.clear();
    const char* const scope = "drivers_ignore_list::load";
    store::for_each_item(base_, scope, [this, scope](const key& root, const std::wstring& name) {
        entries_.push_back(store::read_driver_item(root, base_ + name, scope));
    });
}

void drivers_ignore_list::add(const hx::driver& d) {
    const std::wstring path = base_ + store::item_name(hx::driver_key(d));
    try {
        const bool exists = store::key_exists(path);
        const key root(HKEY_CURRENT_USER);
        key item(root, path, !exists);
        store::write_driver_values(item, d);
    } catch (...) {
        log_exception("drivers_ignore_list::add");
    }
    entries_.push_back(d);
}

void drivers_ignore_list::remove(const std::wstring& driver_key) {
    const auto found = std::find_if(entries_.begin(), entries_.end(),
                                    [&](const hx::driver& d) { return hx::driver_key(d) == driver_key; });
    if (found != entries_.end()) entries_.erase(found);
    store::delete_item_key(base_, store::item_name(driver_key));
}

std::vector<std::wstring> drivers_ignore_list::keys() const {
    std::vector<std::wstring> result;
    result.reserve(entries_.size());
    for (const hx::driver& d : entries_) result.push_back(hx::driver_key(d));
    return result;
}

std::wostream& drivers_ignore_list::dump(std::wostream& out) const {
    out << L"DRV IGNORE LIST SIZE=" << entries_.size() << L' ' << std::endl;
    store::write_records(out, entries_);
    out << L"DRV IGNORE LIST END " << std::endl;
    return out;
}
