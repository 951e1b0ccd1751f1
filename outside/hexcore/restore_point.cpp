#include "outside/hexcore/restore_point.hpp"

#include <windows.h>
#include <srrestoreptapi.h>

#include <filesystem>

#include "outside/hexcore/profile.hpp"
#include "outside/hexcore/text.hpp"

namespace hexcore {
namespace {

using set_restore_point_fn = BOOL(WINAPI*)(PRESTOREPOINTINFOW, PSTATEMGRSTATUS);

// srclient.dll from the system folder only, found when first needed.
set_restore_point_fn system_restore_function(std::string& why) {
    wchar_t folder[MAX_PATH] = {};
    ::GetSystemDirectoryW(folder, MAX_PATH);
    const std::wstring path = std::wstring(folder) + L"\\srclient.dll";
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) {
        why = "System Restore is not available (" + system_text(::GetLastError()) + ")";
        return nullptr;
    }
    auto f = reinterpret_cast<set_restore_point_fn>(
        reinterpret_cast<void*>(::GetProcAddress(module, "SRSetRestorePointW")));
    if (!f) why = "System Restore offers no SRSetRestorePointW";
    return f;
}

std::wstring stamp() {
    SYSTEMTIME t;
    ::GetLocalTime(&t);
    wchar_t text[32];
    swprintf(text, 32, L"%04u%02u%02u-%02u%02u%02u-%03u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond,
             t.wMilliseconds);
    return text;
}

}  // namespace

void restore_point::begin(const std::wstring& description, const std::vector<device>& devices) {
    description_ = description;
    if (config_.restore == config::restore_mode::system) begin_system(description);
    else begin_journal(description, devices);
}

void restore_point::begin_system(const std::wstring& description) {
    std::string why;
    const set_restore_point_fn set = system_restore_function(why);
    if (!set) throw restore_error(why);
    RESTOREPOINTINFOW info{};
    info.dwEventType = BEGIN_SYSTEM_CHANGE;
    info.dwRestorePtType = DEVICE_DRIVER_INSTALL;
    lstrcpynW(info.szDescription, description.c_str(), MAX_DESC_W);
    STATEMGRSTATUS status{};
    if (!set(&info, &status)) {
        const DWORD why = status.nStatus ? status.nStatus : ::GetLastError();
        throw restore_error("System Restore did not make the restore point" + (why ? ": " + system_text(why) : ""));
    }
    open_system_ = true;
    sequence_ = status.llSequenceNumber;
    // Windows makes no new point when one was made in the last 24 hours and
    // still reports success; the existing point then covers this run.
    log_.write("Restore point " + std::to_string(sequence_) + " begun for \"" + utf8(description) +
               "\" (Windows reuses a point made in the last 24 hours instead of making a new one)");
}

void restore_point::begin_journal(const std::wstring& description, const std::vector<device>& devices) {
    std::error_code error;
    std::filesystem::create_directories(config_.journal, error);
    if (error) throw restore_error("the journal folder " + utf8(config_.journal) + " cannot be made");
    const std::wstring target = config_.journal + L"\\" + stamp() + L".xml";
    if (config_.inventory == config::inventory_source::file) {
        if (!::CopyFileW(config_.profile.c_str(), target.c_str(), TRUE))
            throw restore_error("the device profile cannot be saved to " + utf8(target) + ": " +
                                system_text(::GetLastError()));
    } else {
        try {
            write_profile(target, devices);
        } catch (const std::exception& e) {
            throw restore_error(std::string("the device state cannot be saved: ") + e.what());
        }
    }
    log_.write("Journal restore point for \"" + utf8(description) + "\": " + utf8(target));
}

void restore_point::end(bool changed) {
    if (!open_system_) return;
    open_system_ = false;
    std::string why;
    const set_restore_point_fn set = system_restore_function(why);
    if (!set) return;
    RESTOREPOINTINFOW info{};
    info.dwEventType = END_SYSTEM_CHANGE;
    info.dwRestorePtType = changed ? DEVICE_DRIVER_INSTALL : CANCELLED_OPERATION;
    info.llSequenceNumber = sequence_;
    STATEMGRSTATUS status{};
    set(&info, &status);
    log_.write("Restore point " + std::to_string(sequence_) + (changed ? " closed" : " cancelled (nothing changed)"));
}

}  // namespace hexcore
