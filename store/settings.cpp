#include "store/settings.hpp"

#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "store/list_registry.hpp"
#include "store/suite_client.hpp"
#include "tessel/config.hpp"
#include "tessel/format.hpp"
#include "tessel/log.hpp"
#include "tessel/registry2.hpp"
#include "tessel/system_message.hpp"

using tessel::registry2::key;

namespace {

std::wstring suite_language() {
    try {
        return nx::language(nx::open_suite(nx::open_lib(), tessel::config::product_name()));
    } catch (const tessel::exception_w& e) {
        // Opening the suite already says so; other failures get the prefix.
        const std::wstring text = e.message_w();
        if (text.rfind(L"Failed to load suite data: ", 0) == 0) throw;
        throw tessel::exception_w(L"Failed to load suite data: %s", text.c_str());
    }
}

[[noreturn]] void throw_language_error(const wchar_t* what, LONG error) {
    throw tessel::exception_w(L"%s%d / %s", what, static_cast<int>(error),
                              tessel::system_message(static_cast<unsigned long>(error)).c_str());
}

}  // namespace

settings::settings()
    : key_path_(L"Software\\" + tessel::config::company_name() + L"\\" + tessel::config::product_name() +
                L"\\Settings"),
      default_language_(suite_language()) {
    set_defaults();
    load();
}

void settings::set_defaults() {
    m_total_scans = 0;
    m_total_updates = 0;
    m_last_scan = 0;
    m_auto_scan = true;
    m_display_devices = true;
    m_number_of_found_updates = -1;
    m_language = default_language_;
}

void settings::load() {
    if (!store::key_exists(key_path_)) {
        set_defaults();
        save();
        set_run_at_logon(true);
        return;
    }
    try {
        const key root(HKEY_CURRENT_USER);
        const key k(root, key_path_, false);
        m_total_scans = static_cast<std::int32_t>(k.read_dword(L"TotalScans"));
        m_total_updates = static_cast<std::int32_t>(k.read_dword(L"TotalUpdates"));
        m_last_scan = static_cast<std::int64_t>(k.read_qword(L"LastScanTime"));
        m_auto_scan = k.read_dword(L"AutoScan") == 1;
        m_display_devices = k.read_dword(L"DisplayDevices") == 1;
        // Stored sign-extended to 64 bits; the low 32 bits are the number.
        m_number_of_found_updates = static_cast<std::int32_t>(static_cast<std::uint32_t>(k.read_qword(L"NumberOfFoundUpdates")));
        load_language();
    } catch (...) {
        log_exception("settings::load");
    }
}

// Read with plain registry calls: the text up to the first zero character
// of a REG_SZ. Anything else falls back to "EN" with an error.
void settings::load_language() {
    HKEY handle = nullptr;
    LONG rc = ::RegOpenKeyExW(HKEY_CURRENT_USER, key_path_.c_str(), 0, KEY_READ, &handle);
    std::wstring text;
    if (rc == ERROR_SUCCESS) {
        DWORD largest = 0;
        rc = ::RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                &largest, nullptr, nullptr);
        if (rc == ERROR_SUCCESS) {
            std::vector<wchar_t> buffer(largest / sizeof(wchar_t) + 2, L'\0');
            DWORD size = largest;
            DWORD type = 0;
            rc = ::RegQueryValueExW(handle, L"Language", nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size);
            // A number stored under the name is no language code.
            if (rc == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ) rc = ERROR_DATATYPE_MISMATCH;
            if (rc == ERROR_SUCCESS) text = buffer.data();
        }
        ::RegCloseKey(handle);
    }
    if (rc != ERROR_SUCCESS) {
        m_language = L"EN";
        throw_language_error(L"Error reading user language: ", rc);
    }
    m_language = text;
}

void settings::write_language() const {
    HKEY handle = nullptr;
    LONG rc = ::RegOpenKeyExW(HKEY_CURRENT_USER, key_path_.c_str(), 0, KEY_WRITE, &handle);
    if (rc == ERROR_SUCCESS) {
        rc = ::RegSetValueExW(handle, L"Language", 0, REG_SZ, reinterpret_cast<const BYTE*>(m_language.c_str()),
                              static_cast<DWORD>((m_language.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(handle);
    }
    if (rc != ERROR_SUCCESS) throw_language_error(L"Error while saving user language: ", rc);
}

void settings::save() {
    if (!store::key_exists(key_path_)) {
        try {
            const key root(HKEY_CURRENT_USER);
            const key created(root, key_path_, true);
        } catch (...) {
            log_exception("settings::save");
        }
    }
    try {
        const key root(HKEY_CURRENT_USER);
        key k(root, key_path_, false);
        k.write_dword(L"TotalScans", static_cast<std::uint32_t>(m_total_scans));
        k.write_dword(L"TotalUpdates", static_cast<std::uint32_t>(m_total_updates));
        k.write_qword(L"LastScanTime", static_cast<std::uint64_t>(m_last_scan));
        k.write_dword(L"AutoScan", m_auto_scan ? 1 : 0);
        k.write_dword(L"DisplayDevices", m_display_devices ? 1 : 0);
        k.write_qword(L"NumberOfFoundUpdates",
                      static_cast<std::uint64_t>(static_cast<std::int64_t>(m_number_of_found_updates)));
        write_language();
    } catch (...) {
        log_exception("settings::save");
    }
}

std::wstring settings::total_scans_text() const { return tessel::format(L"%d", m_total_scans); }
std::wstring settings::total_updates_text() const { return tessel::format(L"%d", m_total_updates); }

void settings::set_language(const std::wstring& language) {
    m_language = language;
    save();
}

std::wstring settings::last_scan_text(const std::function<std::wstring(const std::wstring& key)>& translate) const {
    if (m_last_scan == 0) return translate(L"COMPUTER_WAS_NEVER_SCANNED");
    // Calendar seconds to FILETIME (100 ns since 1601), then to local time.
    const std::int64_t ticks = (m_last_scan + 11644473600LL) * 10000000LL;
    FILETIME utc{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(static_cast<std::uint64_t>(ticks) >> 32)};
    SYSTEMTIME utc_time{}, local{};
    double date = 0;
    BSTR text = nullptr;
    if (m_last_scan < 0 || !::FileTimeToSystemTime(&utc, &utc_time) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &utc_time, &local) || !::SystemTimeToVariantTime(&local, &date) ||
        FAILED(::VarBstrFromDate(date, LOCALE_USER_DEFAULT, 0, &text)))
        return L"Invalid DateTime";
    std::wstring result(text, ::SysStringLen(text));
    ::SysFreeString(text);
    return result;
}

void settings::dump() const {
    log_info("Kelvane settings start");
    log_info("m_total_scans=%d", m_total_scans);
    log_info("m_total_updates=%d", m_total_updates);
    log_info("m_last_scan=%d", static_cast<int>(static_cast<std::uint32_t>(m_last_scan)));
    log_info("m_auto_scan=%d", m_auto_scan ? 1 : 0);
    log_info("run_at_logon=%d", run_at_logon() ? 1 : 0);
    log_info(L"m_language=%s", m_language.c_str());
    log_info("m_display_devices=%d", m_display_devices ? 1 : 0);
    log_info("m_number_of_found_updates=%d", m_number_of_found_updates);
    log_info("Kelvane settings end");
}
