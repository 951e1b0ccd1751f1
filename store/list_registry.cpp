#include "store/list_registry.hpp"

#include <windows.h>

#include <cstdint>

#include "store/driver_values.hpp"
#include "tessel/config.hpp"
#include "tessel/format.hpp"
#include "tessel/log.hpp"

namespace store {

std::wstring list_base_key(const wchar_t* suffix) {
    return L"Software\\" + tessel::config::company_name() + L"\\" + tessel::config::product_name() + suffix;
}

bool key_exists(const std::wstring& path) {
    HKEY handle = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    ::RegCloseKey(handle);
    return true;
}

void delete_item_key(const std::wstring& base, const std::wstring& name) {
    if (name.empty()) return;
    ::RegDeleteTreeW(HKEY_CURRENT_USER, (base + name).c_str());
}

std::wstring item_name(const std::wstring& text) {
    std::wstring name = text;
    for (wchar_t& c : name)
        if (c == L'\\') c = L'/';
    // Registry key names end at 255 characters; a longer driver key keeps
    // its start and gets a hash of the whole text, the same on every call.
    constexpr std::size_t longest = 255;
    if (name.size() > longest) {
        std::uint32_t hash = 2166136261u;  // FNV-1a
        for (const wchar_t c : text) hash = (hash ^ static_cast<std::uint32_t>(c)) * 16777619u;
        name = name.substr(0, longest - 9) + tessel::format(L"~%08x", static_cast<unsigned>(hash));
    }
    return name;
}

void for_each_item(const std::wstring& base, const char* scope,
                   const std::function<void(const tessel::registry2::key& root, const std::wstring& name)>& each) {
    if (!key_exists(base)) return;
    try {
        const tessel::registry2::key root(HKEY_CURRENT_USER);
        const tessel::registry2::key list(root, base, false);
        for (const std::wstring& name : list.subkey_names()) each(root, name);
    } catch (...) {
        log_exception(scope);
    }
}

hx::driver read_driver_item(const tessel::registry2::key& root, const std::wstring& path, const char* scope) {
    hx::driver d;
    try {
        const tessel::registry2::key item(root, path, false);
        read_driver_values(item, d);
    } catch (...) {
        log_exception(scope);
    }
    return d;
}

}  // namespace store
