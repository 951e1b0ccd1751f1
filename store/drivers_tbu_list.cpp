#include "store/drivers_tbu_list.hpp"

#include "store/list_registry.hpp"
#include "tessel/log.hpp"

using tessel::registry2::key;

drivers_tbu_list::drivers_tbu_list() : base_(store::list_base_key(L"\\TBU\\")) {}

void drivers_tbu_list::load() {
    entries_.clear();
    const char* const scope = "drivers_tbu_list::load";
    store::for_each_item(base_, scope, [this, scope](const key& root, const std::wstring& name) {
        const hx::driver d = store::read_driver_item(root, base_ + name, scope);
        // Read once: an item that cannot be read would otherwise come back
        // at every start.
        store::delete_item_key(base_, name);
        entries_.push_back(d);
    });
}

std::wostream& drivers_tbu_list::dump(std::wostream& out) const {
    out << L"DRV TBU START " << std::endl;
    store::write_records(out, entries_);
    out << L"DRV TBU END" << std::endl;
    return out;
}
