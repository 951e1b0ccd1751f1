#include <algorithm>
#include <vector>

#include "tessel/log.hpp"
#include "tessel/system_message.hpp"
#include "tessel/unicode.hpp"

namespace tessel {
namespace {

const char byte_order_mark[3] = {'\xEF', '\xBB', '\xBF'};

HANDLE open_log(const std::wstring& path, DWORD share) {
    return ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::uint64_t file_size(HANDLE h) {
    LARGE_INTEGER size{};
    return ::GetFileSizeEx(h, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
}

bool write_all(HANDLE h, const char* data, std::size_t size) {
    DWORD written = 0;
    return ::WriteFile(h, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

// Copies the open log into a new file, never over an existing one. The copy
// goes through the log's own handle, so it works whatever sharing other
// processes asked for.
bool copy_to_new(HANDLE source, const std::wstring& target) {
    HANDLE out = ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER zero{};
    bool ok = ::SetFilePointerEx(source, zero, nullptr, FILE_BEGIN) != 0;
    std::vector<char> buffer(64 * 1024);
    while (ok) {
        DWORD got = 0;
        if (!::ReadFile(source, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) ok = false;
        else if (got == 0) break;
        else ok = write_all(out, buffer.data(), got);
    }
    ::CloseHandle(out);
    if (!ok) ::DeleteFileW(target.c_str());
    return ok;
}

}  // namespace

std::wstring log::file::lock_name(const std::wstring& base_path) {
    std::wstring name = L"log-" + base_path;
    std::replace(name.begin(), name.end(), L'\\', L'_');
    return name;
}

log::file::file(const std::string& base_path) : file(unicode::to_wide(base_path, CP_ACP)) {}

log::file::file(const std::wstring& base_path)
    : lock_(lock_name(base_path)), base_(base_path), path_(base_path + L".log.txt") {
    handle_ = open_log(path_, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (handle_ == INVALID_HANDLE_VALUE) handle_ = open_log(path_, FILE_SHARE_READ | FILE_SHARE_WRITE);
    if (handle_ == INVALID_HANDLE_VALUE) throw generic("CreateFile failed: " + system_message_narrow(::GetLastError()));

    scope guard(lock_);
    if (file_size(handle_) == 0) write_mark();
}

log::file::~file() {
    if (handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
}

std::wstring log::file::backup_path(std::uint32_t k) const { return base_ + L"." + std::to_wstring(k) + L".log.txt"; }

void log::file::write_mark() {
    LARGE_INTEGER zero{};
    ::SetFilePointerEx(handle_, zero, nullptr, FILE_BEGIN);
    ::SetEndOfFile(handle_);
    write_all(handle_, byte_order_mark, sizeof byte_order_mark);
}

// Backup 1 is the oldest. When no slot is free the backups move down one
// place and the last slot is tried again; if that fails too the rotation is
// given up for this write and the current file keeps growing, so nothing is
// lost and nothing spins while the lock is held.
bool log::file::rotate() {
    if (backups_ == 1) ::DeleteFileW(backup_path(1).c_str());
    for (std::uint32_t k = 1; k <= backups_; ++k)
        if (copy_to_new(handle_, backup_path(k))) return true;
    for (std::uint32_t k = 1; k < backups_; ++k)
        if (!::MoveFileExW(backup_path(k + 1).c_str(), backup_path(k).c_str(), MOVEFILE_REPLACE_EXISTING)) break;
    return copy_to_new(handle_, backup_path(backups_));
}

void log::file::write(int /*level*/, const std::string& header, const std::string& text) {
    std::string line;
    line.reserve(header.size() + text.size() + 2);
    line.append(header).append(text).append("\r\n");

    scope guard(lock_);
    // Other processes append too: find the end (and so the size) each time.
    LARGE_INTEGER zero{}, end{};
    ::SetFilePointerEx(handle_, zero, &end, FILE_END);
    if (static_cast<std::uint64_t>(end.QuadPart) >= size_limit_ && rotate()) write_mark();  // leaves it at the end
    write_all(handle_, line.data(), line.size());
}

}  // namespace tessel
