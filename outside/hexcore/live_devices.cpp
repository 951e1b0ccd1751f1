#include "outside/hexcore/live_devices.hpp"

#include <windows.h>
#include <newdev.h>
#include <setupapi.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>

#include "outside/hexcore/catalog.hpp"
#include "outside/hexcore/text.hpp"

namespace hexcore {
namespace {

// Device instance ids are at most 200 characters.
constexpr DWORD max_instance_id = 200;

class device_list {
public:
    device_list() : set_(::SetupDiGetClassDevsW(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES | DIGCF_PRESENT)) {
        if (set_ == INVALID_HANDLE_VALUE)
            throw data_error("The devices cannot be listed: " + system_text(::GetLastError()));
    }
    ~device_list() { ::SetupDiDestroyDeviceInfoList(set_); }
    HDEVINFO get() const { return set_; }

private:
    HDEVINFO set_;
};

std::vector<wchar_t> property(HDEVINFO set, SP_DEVINFO_DATA& data, DWORD which) {
    DWORD type = 0, size = 0;
    ::SetupDiGetDeviceRegistryPropertyW(set, &data, which, &type, nullptr, 0, &size);
    if (size == 0) return {};
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 2, 0);
    if (!::SetupDiGetDeviceRegistryPropertyW(set, &data, which, &type, reinterpret_cast<PBYTE>(buffer.data()), size,
                                             nullptr))
        return {};
    return buffer;
}

std::wstring text_property(HDEVINFO set, SP_DEVINFO_DATA& data, DWORD which) {
    const std::vector<wchar_t> b = property(set, data, which);
    return b.empty() ? std::wstring() : std::wstring(b.data());
}

std::vector<std::wstring> multi_property(HDEVINFO set, SP_DEVINFO_DATA& data, DWORD which) {
    const std::vector<wchar_t> b = property(set, data, which);
    std::vector<std::wstring> out;
    for (const wchar_t* p = b.data(); !b.empty() && *p; p += wcslen(p) + 1) out.emplace_back(p);
    return out;
}

std::wstring registry_text(HKEY key, const wchar_t* name) {
    wchar_t buffer[512] = {};
    DWORD size = sizeof buffer - sizeof(wchar_t), type = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &size) != ERROR_SUCCESS ||
        type != REG_SZ)
        return {};
    return buffer;
}

installed_driver driver_of(HDEVINFO set, SP_DEVINFO_DATA& data) {
    installed_driver d;
    HKEY key = ::SetupDiOpenDevRegKey(set, &data, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE) return d;
    d.version_text = registry_text(key, L"DriverVersion");
    d.provider = registry_text(key, L"ProviderName");
    const std::wstring date = registry_text(key, L"DriverDate");
    ::RegCloseKey(key);
    if (d.version_text.empty() || !parse_version(d.version_text.c_str(), d.ver)) return installed_driver();
    d.present = true;
    parse_driver_date(date, d.date);
    return d;
}

bool wow64() {
    BOOL result = FALSE;
    using fn = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto is_wow64 = reinterpret_cast<fn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    return is_wow64 && is_wow64(::GetCurrentProcess(), &result) && result;
}

}  // namespace

bool parse_driver_date(const std::wstring& text, SYSTEMTIME& out) {
    unsigned m = 0, d = 0, y = 0;
    if (std::swscanf(text.c_str(), L"%u-%u-%u", &m, &d, &y) != 3 || m < 1 || m > 12 || d < 1 || d > 31 || y < 1980)
        return false;
    out = SYSTEMTIME{};
    out.wYear = static_cast<WORD>(y);
    out.wMonth = static_cast<WORD>(m);
    out.wDay = static_cast<WORD>(d);
    return true;
}

std::vector<device> live_inventory() {
    device_list list;
    std::vector<device> devices;
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    for (DWORD i = 0; ::SetupDiEnumDeviceInfo(list.get(), i, &data); ++i) {
        device d;
        wchar_t id[max_instance_id + 1] = {};
        if (!::SetupDiGetDeviceInstanceIdW(list.get(), &data, id, max_instance_id, nullptr)) continue;
        d.instance_id = id;
        d.description = text_property(list.get(), data, SPDRP_FRIENDLYNAME);
        if (d.description.empty()) d.description = text_property(list.get(), data, SPDRP_DEVICEDESC);
        d.manufacturer = text_property(list.get(), data, SPDRP_MFG);
        d.setup_class = text_property(list.get(), data, SPDRP_CLASS);
        wchar_t guid[40] = {};
        if (::StringFromGUID2(data.ClassGuid, guid, 40)) d.class_guid = guid;
        d.hardware_ids = multi_property(list.get(), data, SPDRP_HARDWAREID);
        d.compatible_ids = multi_property(list.get(), data, SPDRP_COMPATIBLEIDS);
        d.driver = driver_of(list.get(), data);
        devices.push_back(std::move(d));
    }
    return devices;
}

void install_live(const std::wstring& engine_folder, const std::wstring& hardware_id, const std::wstring& inf) {
    if (sizeof(void*) == 4 && wow64()) {
        const std::wstring helper = engine_folder + L"hexcoreinstall.exe";
        std::wstring command = L"\"" + helper + L"\" \"" + inf + L"\" \"" + hardware_id + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessW(helper.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                              nullptr, &si, &pi))
            throw install_error("the install helper cannot be started: " + system_text(::GetLastError()));
        ::CloseHandle(pi.hThread);
        ::WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = 1;
        ::GetExitCodeProcess(pi.hProcess, &code);
        ::CloseHandle(pi.hProcess);
        if (code != 0) throw install_error("Windows did not install the driver: " + system_text(code));
        return;
    }
    BOOL reboot = FALSE;
    if (!::UpdateDriverForPlugAndPlayDevicesW(nullptr, hardware_id.c_str(), inf.c_str(), INSTALLFLAG_FORCE, &reboot))
        throw install_error("Windows did not install the driver: " + system_text(::GetLastError()));
}

void verify_live_install(const std::vector<std::wstring>& instance_ids, const version& expected) {
    const std::vector<device> now = live_inventory();
    for (const std::wstring& id : instance_ids) {
        const auto it = std::find_if(now.begin(), now.end(),
                                     [&](const device& d) { return ::lstrcmpiW(d.instance_id.c_str(), id.c_str()) == 0; });
        if (it == now.end()) throw install_error("the device " + utf8(id) + " is gone after the install");
        if (!it->driver.present || it->driver.ver != expected)
            throw install_error("Windows reported the install, but " + utf8(id) + " still has the driver version " +
                                (it->driver.present ? utf8(it->driver.version_text) : std::string("(none)")));
    }
}

}  // namespace hexcore
