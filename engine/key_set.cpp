#include "engine/key_set.hpp"

namespace hx {

key_set black_list_keys;
key_set ignore_list_keys;

void key_set::replace(std::set<std::wstring> keys) {
    std::lock_guard<std::mutex> guard(lock_);
    keys_.swap(keys);
}

bool key_set::contains(const std::wstring& key) const {
    std::lock_guard<std::mutex> guard(lock_);
    return keys_.count(key) != 0;
}

std::set<std::wstring> key_set::keys() const {
    std::lock_guard<std::mutex> guard(lock_);
    return keys_;
}

}  // namespace hx
