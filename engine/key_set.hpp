// An ordered set of driver keys that the window thread replaces and the
// engine's threads read: every access takes the set's own lock, so a
// replacement during a scan never meets a reader half-way.
#pragma once

#include <mutex>
#include <set>
#include <string>

namespace hx {

class key_set {
public:
    void replace(std::set<std::wstring> keys);
    bool contains(const std::wstring& key) const;
    std::set<std::wstring> keys() const;

private:
    mutable std::mutex lock_;
    std::set<std::wstring> keys_;
};

// Keys of the black list and of the user's ignore list, filled by the main
// window at start-up and refilled when the ignore list changes.
extern key_set black_list_keys;
extern key_set ignore_list_keys;

}  // namespace hx
