#include "store/drivers_history.hpp"

#include <ctime>

#include "store/driver_values.hpp"
#include "store/list_registry.hpp"
#include "tessel/format.hpp"
#include "tessel/log.hpp"

using tessel::registry2::key;

drivers_history::drivers_history() : base_(store::list_base_key(L"\\History\\")) { load(); }

void drivers_history::load() {
    entries_.clear();
    store::for_each_item(base_, "drivers_history::load", [this](const key& root, const std::wstring& name) {
        history_entry e;
        try {
            const key item(root, base_ + name, false);
            store::read_driver_values(item, e);
            // Stored as the low 32 bits; read back unsigned.
            e.update_time = static_cast<std::int64_t>(item.read_dword(L"update_time"));
        } catch (...) {
            log_exception("drivers_history::load");
        }
        entries_.push_back(e);
    });
}

void drivers_history::add(const hx::driver& d) {
    history_entry e;
    static_cast<hx::driver&>(e) = d;
    e.update_time = static_cast<std::int64_t>(::_time64(nullptr));
    const std::wstring path = base_ + tessel::format(L"%d", d.device_driver_id);
    try {
        const bool exists = store::key_exists(path);
        const key root(HKEY_CURRENT_USER);
        key item(root, path, !exists);
        store::write_driver_values(item, e);
        item.write_dword(L"update_time", static_cast<std::uint32_t>(e.update_time));
    } catch (...) {
        log_exception("drivers_history::add");
    }
    entries_.push_back(e);
}

void drivers_history::add(const std::vector<hx::driver>& drivers) {
    for (const hx::driver& d : drivers) add(d);
}

std::wostream& drivers_history::dump(std::wostream& out) const {
    out << L"DRV HISTORY START " << std::endl;
    store::write_records(out, entries_);
    out << L"DRV HISTORY END" << std::endl;
    return out;
}
