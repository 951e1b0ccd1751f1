// The user's options and the usage counters, kept as values of
// HKCU\Software\<company>\<product>\Settings. Constructing a settings object
// loads it; the very first one (no key yet) stores the defaults and switches
// run at logon on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class settings {
public:
    // Throws "Failed to load suite data: %s" when the suite's language (the
    // default language) cannot be had.
    settings();

    void load();
    void save();

    std::wstring total_scans_text() const;
    std::wstring total_updates_text() const;
    const std::wstring& language() const { return m_language; }
    void set_language(const std::wstring& language);
    // The date and time of the last scan, or the phrase of
    // "COMPUTER_WAS_NEVER_SCANNED" (through translate) when there was none.
    std::wstring last_scan_text(const std::function<std::wstring(const std::wstring& key)>& translate) const;
    void dump() const;

    // Switches the scheduled task that starts the program at logon on or
    // off; errors are logged, never thrown.
    static void set_run_at_logon(bool enable);
    // Whether that task exists; false on errors.
    static bool run_at_logon();
    static std::wstring run_at_logon_task_name();

    const std::wstring& key_path() const { return key_path_; }
    const std::wstring& default_language() const { return default_language_; }

    std::int32_t m_total_scans = 0;
    std::int32_t m_total_updates = 0;
    std::int64_t m_last_scan = 0;  // seconds since 1970-01-01 UTC; 0 = never
    bool m_auto_scan = true;
    bool m_display_devices = true;
    std::int32_t m_number_of_found_updates = -1;
    std::wstring m_language;

private:
    void set_defaults();
    void load_language();
    void write_language() const;

    std::wstring key_path_;
    std::wstring default_language_;
};
