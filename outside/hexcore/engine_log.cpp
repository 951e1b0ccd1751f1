#include "outside/hexcore/engine_log.hpp"

#include <windows.h>

#include <cstdio>

namespace hexcore {

void engine_log::open(const std::wstring& base_path) {
    std::lock_guard<std::mutex> guard(lock_);
    path_ = base_path.empty() ? std::wstring() : base_path + L".log";
}

void engine_log::write(const std::string& line) {
    try {
        SYSTEMTIME t;
        ::GetLocalTime(&t);
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "%04u/%02u/%02u %02u:%02u:%02u.%03u  ", t.wYear, t.wMonth, t.wDay, t.wHour,
                      t.wMinute, t.wSecond, t.wMilliseconds);
        const std::string text = stamp + line + "\r\n";
        std::lock_guard<std::mutex> guard(lock_);
        if (path_.empty()) return;
        HANDLE h = ::CreateFileW(path_.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_ALWAYS, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return;
        DWORD written = 0;
        ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        ::CloseHandle(h);
    } catch (...) {
    }
}

}  // namespace hexcore
