#include "outside/nexolib/library_log.hpp"

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <mutex>

#include "outside/nexolib/xml_file.hpp"
#include "tessel/log.hpp"

namespace nexolib {
namespace {

std::wstring log_base() {
    wchar_t user[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, user))) return {};
    const std::wstring folder = with_slash(user) + L"Orvena\\Tarnwick\\Logs";
    ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    return folder + L"\\Nexolib";
}

// Made on first use; a log that cannot be opened stays without a file.
tessel::log& library_log() {
    static tessel::log log;
    static std::once_flag once;
    std::call_once(once, [] {
        try {
            const std::wstring base = log_base();
            if (!base.empty()) log.add_listener(std::make_unique<tessel::log::file>(base));
        } catch (...) {
        }
    });
    return log;
}

}  // namespace

std::wstring log_file_path() { return log_base() + L".log.txt"; }

void log_line(int level, const std::wstring& text) {
    try {
        library_log().write(level, text);
    } catch (...) {
    }
}

}  // namespace nexolib
